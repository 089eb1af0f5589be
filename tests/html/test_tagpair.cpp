// Wrapping a selection: the remembered pair, the line pieces of the result,
// and where the selection or the caret goes, checked against the text that a
// real buffer holds after the wrap.
#include "html/tagpair.h"

#include <gtest/gtest.h>

namespace {

class TagPair : public ::testing::Test
{
protected:
    void SetUp() override { ForgetTagPair(); }
    void TearDown() override { ForgetTagPair(); }
};

// Wraps S..E of a buffer holding strText and returns the text the reselection
// covers and the text in front of the caret's line position after a wrap
// without reselection.
struct CWrapOutcome
{
    std::string strSelected;   // the reselected text, lines joined with CR LF
    std::string strBeforeCaret;  // the caret line up to the caret
    std::string strAfterCaret;   // the caret line from the caret
};

CWrapOutcome Wrap(const std::string &strText, CPoint S, CPoint E, const std::string &strOpen,
                  const std::string &strClose)
{
    CCrystalTextBuffer buffer;
    buffer.InitNew();
    int l = 0;
    int c = 0;
    buffer.InsertText(nullptr, 0, 0, strText, l, c);
    std::vector<std::string> aInner = buffer.GetTextLines(S.y, S.x, E.y, E.x);
    const std::vector<std::string> aPieces = WrapLinePieces(strOpen, aInner, strClose);
    buffer.DeleteText(nullptr, S.y, S.x, E.y, E.x);
    const std::vector<std::string_view> aViews(aPieces.begin(), aPieces.end());
    buffer.InsertLines(nullptr, S.y, S.x, aViews, l, c);

    CWrapOutcome outcome;
    const CTextExtent open = MeasureInsertedText(strOpen);
    const CTextExtent close = MeasureInsertedText(strClose);
    const CTagPairSelection sel = PlaceAfterTagPair(S, E, open, close, true);
    buffer.GetText(sel.ptStart.y, sel.ptStart.x, sel.ptEnd.y, sel.ptEnd.x, outcome.strSelected);
    const CTagPairSelection caret = PlaceAfterTagPair(S, E, open, close, false);
    EXPECT_EQ(caret.ptStart, caret.ptEnd);
    // The caret stands where the inserted text ends.
    EXPECT_EQ(caret.ptEnd, CPoint(c, l));
    const std::string_view line = buffer.GetLine(caret.ptEnd.y);
    outcome.strBeforeCaret = line.substr(0, static_cast<std::size_t>(caret.ptEnd.x));
    outcome.strAfterCaret = line.substr(static_cast<std::size_t>(caret.ptEnd.x));
    return outcome;
}

} // namespace

TEST_F(TagPair, MemoryNestsTheLaterPairInside)
{
    RememberTagPair("<b>", "</b>", false);
    RememberTagPair("<i>", "</i>", false);
    EXPECT_EQ(g_strLastTagOpen + "|" + g_strLastTagClose, "<i>|</i>");

    ForgetTagPair();
    RememberTagPair("<b>", "</b>", true);
    RememberTagPair("<i>", "</i>", true);
    RememberTagPair("", "&AMP;", true);
    EXPECT_EQ(g_strLastTagOpen + "|" + g_strLastTagClose, "<b><i>|&AMP;</i></b>");
}

TEST_F(TagPair, PiecesFollowTheBuffersLineBreaks)
{
    EXPECT_EQ(WrapLinePieces("<div>\r\n", {"a", "b"}, "\r\n</div>\r\n"),
              (std::vector<std::string>{"<div>", "a", "b", "</div>", ""}));
    // A lone CR breaks the line as it would in typed text; a lone LF is a byte.
    EXPECT_EQ(WrapLinePieces("<p>\r", {"x\ry"}, "\n</p>"), (std::vector<std::string>{"<p>", "x\ry\n</p>"}));
    EXPECT_EQ(WrapLinePieces("", {}, ""), (std::vector<std::string>{""}));
    const CTextExtent extent = MeasureInsertedText("ab\r\ncd\refg\nh");
    EXPECT_EQ(extent.nLineBreaks, 2);
    EXPECT_EQ(extent.nLastLength, 5);
}

TEST_F(TagPair, PlacementOfTheDocumentedCases)
{
    // Nothing selected: the caret between the tags, or behind the closing one.
    CWrapOutcome o = Wrap("hello", CPoint(5, 0), CPoint(5, 0), "<b>", "</b>");
    EXPECT_EQ(o.strSelected, "");
    EXPECT_EQ(o.strBeforeCaret, "hello<b></b>");

    // Three characters of one line wrapped in a div: the opening line, the
    // characters alone on the next line, then the closing lines.
    o = Wrap("abcdefg", CPoint(2, 0), CPoint(5, 0), "<div align=\"left\">\r\n", "\r\n</div>\r\n");
    EXPECT_EQ(o.strSelected, "cde");
    EXPECT_EQ(o.strBeforeCaret, "");
    EXPECT_EQ(o.strAfterCaret, "fg");

    // A selection over lines with an opening text that ends its line.
    o = Wrap("l0\r\nline1\r\nl2\r\nline3", CPoint(2, 1), CPoint(3, 3), "<p>\r\n", "</p>");
    EXPECT_EQ(o.strSelected, "ne1\r\nl2\r\nlin");
    EXPECT_EQ(o.strBeforeCaret, "lin</p>");
}
