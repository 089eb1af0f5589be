// What the editor reads from the input methods: IBus's address file for a
// display, and fcitx5's listing of input contexts.
#include "platform/inputmethodinfo.h"

#include <gtest/gtest.h>

TEST(InputMethodInfo, IBusAddressFileIsNamedAfterHostAndDisplayNumber)
{
    const std::string id = "3d1219c7c4c5404aaa1f6d2a48adfda4";
    EXPECT_EQ(IBusAddressFileName(":0", "", id), id + "-unix-0");
    // The screen number is not part of it; a host name is.
    EXPECT_EQ(IBusAddressFileName(":15.0", "", id), id + "-unix-15");
    EXPECT_EQ(IBusAddressFileName("localhost:10.0", "", id), id + "-localhost-10");
    // Wayland wins over an X11 display, as in the toolkit's own IBus client.
    EXPECT_EQ(IBusAddressFileName(":0", "wayland-0", id), id + "-unix-wayland-0");
    // Nothing to go by: no file at all rather than one for a made-up display.
    EXPECT_EQ(IBusAddressFileName("", "", id), "");
    EXPECT_EQ(IBusAddressFileName("nocolon", "", id), "");
    EXPECT_EQ(IBusAddressFileName(":", "", id), "");
    EXPECT_EQ(IBusAddressFileName(":0", "", ""), "");
}

TEST(InputMethodInfo, IBusAddressIsTheValueOfItsLine)
{
    const std::string file = "# This file is created by ibus-daemon, please do not modify it.\n"
                             "# IBUS_ADDRESS=unix:path=/commented/out\n"
                             "IBUS_ADDRESS=unix:abstract=/home/u/.cache/ibus/dbus-UrI3y07s,guid=041ec1b1\r\n"
                             "IBUS_DAEMON_PID=13422\n";
    EXPECT_EQ(ParseIBusAddressFile(file), "unix:abstract=/home/u/.cache/ibus/dbus-UrI3y07s,guid=041ec1b1");
    EXPECT_EQ(ParseIBusAddressFile("IBUS_DAEMON_PID=1\n"), "");
    EXPECT_EQ(ParseIBusAddressFile(""), "");
    // The last line need not end in a line break.
    EXPECT_EQ(ParseIBusAddressFile("IBUS_ADDRESS=unix:path=/x"), "unix:path=/x");
}

TEST(InputMethodInfo, Fcitx5ListingNamesAProgramOnlyByTheWholeField)
{
    const std::string info = "Group [x11::15] has 2 InputContext(s)\n"
                             "  IC [6574] program:wrenpad-tool frontend:dbus cap:6000800072 focus:0\n"
                             "  IC [9a0c] program:konsole frontend:dbus focus:1\n"
                             "Input Context without group\n";
    EXPECT_TRUE(Fcitx5ListsProgram(info, "konsole"));
    EXPECT_TRUE(Fcitx5ListsProgram(info, "wrenpad-tool"));
    // A name that only begins another program's name is not listed.
    EXPECT_FALSE(Fcitx5ListsProgram(info, "wrenpad"));
    EXPECT_FALSE(Fcitx5ListsProgram(info, "kon"));
    EXPECT_FALSE(Fcitx5ListsProgram("  IC [1] xprogram:wrenpad\n", "wrenpad"));
    // The last field of the listing may end it.
    EXPECT_TRUE(Fcitx5ListsProgram("  IC [1] program:wrenpad", "wrenpad"));
    EXPECT_FALSE(Fcitx5ListsProgram("Group [x11::15] has 0 InputContext(s)\n", "wrenpad"));
    EXPECT_FALSE(Fcitx5ListsProgram(info, ""));
}
