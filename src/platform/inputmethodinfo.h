// What the editor reads from the input methods it asks to switch on: where
// IBus leaves the address of its bus, what fcitx5's debug listing says about
// this program's input contexts, and which IBus engines are input methods.
// Pure text functions; the conversation itself is in inputmethod.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The name of the file in which ibus-daemon leaves its bus address for a
// display, "<machine id>-<host>-<display number>" (IBus clients look for it
// in <config home>/ibus/bus/). A Wayland display wins over an X11 one, as it
// does for the toolkit's own IBus client: "wayland-0" gives
// "<id>-unix-wayland-0", ":1.0" gives "<id>-unix-1", "host:10" gives
// "<id>-host-10". Empty when no display is given.
std::string IBusAddressFileName(std::string_view strX11Display, std::string_view strWaylandDisplay,
                                std::string_view strMachineId);

// The value of the IBUS_ADDRESS line of such a file; empty when there is none.
std::string ParseIBusAddressFile(std::string_view text);

// Whether fcitx5's debug listing of its input contexts (Controller1.DebugInfo,
// lines such as "IC [..] program:wrenpad frontend:dbus ... focus:1") has one
// that belongs to the program strProgram.
bool Fcitx5ListsProgram(std::string_view info, std::string_view strProgram);

// IBus names its keyboard layouts "xkb:..."; every other engine is an input method.
bool IsIBusLayoutEngine(std::string_view strEngine);

// The Japanese input methods of IBus, in the order in which one is chosen
// when the user is typing through a plain layout.
const std::vector<std::string> &IBusJapaneseEngines();
