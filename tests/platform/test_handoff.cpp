// Files handed to the main frame: payloads of codes 100 and 101 and the
// framing of the single-instance channel, well-formed or not.
#include "platform/copydata.h"
#include "platform/handoff.h"

#include <gtest/gtest.h>

#include <climits>

using namespace std::string_literals;

TEST(Handoff, OpenAndOpenAtLine)
{
    CHandoff h;
    ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE, "/w/index.html", h));
    EXPECT_EQ(h.strPath, "/w/index.html");
    EXPECT_EQ(h.nLine, 0);
    ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE, "/w/a.txt\0"s, h));
    EXPECT_EQ(h.strPath, "/w/a.txt");

    ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE_AT_LINE, "/w/a b.txt\t12\0"s, h));
    EXPECT_EQ(h.strPath, "/w/a b.txt");
    EXPECT_EQ(h.nLine, 12);
    // Lines below 1 mean 1; a number past int is clamped.
    for (const char *psz : {"/w/a\t0", "/w/a\t-7"}) {
        ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE_AT_LINE, psz, h)) << psz;
        EXPECT_EQ(h.nLine, 1) << psz;
    }
    ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE_AT_LINE, "/w/a\t99999999999999", h));
    EXPECT_EQ(h.nLine, INT_MAX);
    // A tab in the file name: the line follows the last one.
    ASSERT_TRUE(ParseHandoff(COPYDATA_OPEN_FILE_AT_LINE, "/w/x\ty\t3", h));
    EXPECT_EQ(h.strPath, "/w/x\ty");
    EXPECT_EQ(h.nLine, 3);
}

TEST(Handoff, MalformedPayloadsAreRefusedWhole)
{
    CHandoff h{"/untouched", 5};
    const std::vector<std::pair<int, std::string>> bad = {
        {COPYDATA_OPEN_FILE, ""},
        {COPYDATA_OPEN_FILE, "\0"s},
        {COPYDATA_OPEN_FILE, "/w/a\0b"s},
        {COPYDATA_OPEN_FILE, std::string(5000, 'x')},
        {COPYDATA_OPEN_FILE, "/" + std::string(HANDOFF_MAX_PAYLOAD, 'x')},
        {COPYDATA_OPEN_FILE_AT_LINE, "/w/a.txt"},
        {COPYDATA_OPEN_FILE_AT_LINE, "/w/a.txt\t"},
        {COPYDATA_OPEN_FILE_AT_LINE, "/w/a.txt\t1x"},
        {COPYDATA_OPEN_FILE_AT_LINE, "\t3"},
        {102, "/w/a.txt"},
        {0, "/w/a.txt"},
    };
    for (const auto &[nCode, payload] : bad)
        EXPECT_FALSE(ParseHandoff(nCode, payload, h)) << nCode << " " << payload.substr(0, 20);
    EXPECT_EQ(h.strPath, "/untouched");
}

TEST(Handoff, ChannelMessagesDecodeOnlyWhenWholeAndOurs)
{
    const std::string msg = EncodeHandoffMessage(COPYDATA_OPEN_FILE, "/w/a.txt");
    int nCode = -1;
    std::string strPayload;
    EXPECT_EQ(DecodeHandoffMessage(msg, nCode, strPayload), HANDOFF_COMPLETE);
    EXPECT_EQ(nCode, COPYDATA_OPEN_FILE);
    EXPECT_EQ(strPayload, "/w/a.txt");
    for (std::size_t n = 0; n < msg.size(); ++n)
        EXPECT_EQ(DecodeHandoffMessage(msg.substr(0, n), nCode, strPayload), HANDOFF_INCOMPLETE) << n;

    EXPECT_EQ(DecodeHandoffMessage(msg + "x", nCode, strPayload), HANDOFF_INVALID);
    EXPECT_EQ(DecodeHandoffMessage("GET / HTTP/1.0\r\n", nCode, strPayload), HANDOFF_INVALID);
    EXPECT_EQ(DecodeHandoffMessage(EncodeHandoffMessage(55, "x"), nCode, strPayload), HANDOFF_INVALID);
    // A length beyond the limit is refused before its bytes arrive.
    std::string tooLong = EncodeHandoffMessage(COPYDATA_OPEN_FILE, std::string(HANDOFF_MAX_PAYLOAD + 1, 'x'));
    EXPECT_EQ(DecodeHandoffMessage(tooLong.substr(0, 12), nCode, strPayload), HANDOFF_INVALID);
    EXPECT_EQ(DecodeHandoffMessage(EncodeHandoffMessage(HANDOFF_ACTIVATE, ""), nCode, strPayload), HANDOFF_COMPLETE);
    EXPECT_EQ(nCode, HANDOFF_ACTIVATE);
}
