// The per-line state cache, driven by a real buffer's change notifications.
#include "syntax/linesource.h"
#include "syntax/statecache.h"
#include "syntax/viewtype.h"
#include "text/textbuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a view does with the cache: keep it up to date with the buffer.
class CColoringView : public CBufferView
{
public:
    CColoringView(CCrystalTextBuffer &buffer, int nViewType)
        : m_buffer(buffer), m_lines(buffer), m_colorer(m_lines, nViewType)
    {
        m_buffer.AttachView(this);
    }
    ~CColoringView() override { m_buffer.DetachView(this); }

    void UpdateView(CBufferView *, const ChangeHint *, std::uint32_t dwFlags, int nLine) override
    {
        m_colorer.Cache().OnTextChanged(dwFlags, nLine, m_buffer.GetLineCount());
    }

    // Every line's state as the cache gives it.
    std::vector<std::uint32_t> States()
    {
        std::vector<std::uint32_t> states;
        for (int i = 0; i < m_buffer.GetLineCount(); ++i)
            states.push_back(m_colorer.GetLineParseState(i));
        return states;
    }

    CCrystalTextBuffer &m_buffer;
    CBufferLineSource m_lines;
    CSyntaxColorer m_colorer;
};

void Insert(CCrystalTextBuffer &buffer, int nLine, int nPos, std::string_view text)
{
    int nEndLine = 0;
    int nEndChar = 0;
    ASSERT_TRUE(buffer.InsertText(nullptr, nLine, nPos, text, nEndLine, nEndChar));
}

class StateCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_buffer.InitNew();
        Insert(m_buffer, 0, 0, "int a;\r\nint b;\r\n\r\nint c;\r\nint d;\r\nint e;");
    }

    CCrystalTextBuffer m_buffer;
};

} // namespace

TEST_F(StateCache, ComputesLazilyAndOnlyForwards)
{
    CColoringView view(m_buffer, VIEWTYPE_CPP);
    CLineStateCache &cache = view.m_colorer.Cache();
    EXPECT_EQ(cache.GetLineStateCount(), 0);
    EXPECT_EQ(view.m_colorer.GetLineParseState(-1), 0u);
    EXPECT_EQ(cache.GetLineStateCount(), 0);

    Insert(m_buffer, 0, 0, "/*");
    EXPECT_EQ(view.m_colorer.GetLineParseState(2), 0x04u);
    EXPECT_EQ(cache.GetLineStateCount(), 6);
    EXPECT_TRUE(cache.IsLineStateKnown(2));
    EXPECT_FALSE(cache.IsLineStateKnown(3));
    // A line past the end reads as the last line.
    EXPECT_EQ(view.m_colorer.GetLineParseState(100), 0x04u);
    EXPECT_TRUE(cache.IsLineStateKnown(5));
}

TEST_F(StateCache, FollowsInsertedAndDeletedLines)
{
    CColoringView view(m_buffer, VIEWTYPE_CPP);
    view.States();

    Insert(m_buffer, 1, 0, "x\r\n/* y\r\n");
    EXPECT_EQ(view.m_colorer.Cache().GetLineStateCount(), 8);
    EXPECT_TRUE(view.m_colorer.Cache().IsLineStateKnown(0));
    EXPECT_EQ(view.States(), (std::vector<std::uint32_t>{0, 0, 4, 4, 4, 4, 4, 4}));

    ASSERT_TRUE(m_buffer.DeleteText(nullptr, 1, 0, 6, 0));
    EXPECT_EQ(view.m_colorer.Cache().GetLineStateCount(), 3);
    CColoringView fresh(m_buffer, VIEWTYPE_CPP);  // parses from the top
    EXPECT_EQ(view.States(), fresh.States());
    EXPECT_EQ(m_buffer.GetLineCount(), 3);
}

TEST_F(StateCache, SwitchingTheTypeDiscardsEveryState)
{
    CColoringView view(m_buffer, VIEWTYPE_CPP);
    Insert(m_buffer, 0, 0, "/* ");
    EXPECT_EQ(view.States(), (std::vector<std::uint32_t>(6, 4)));

    view.m_colorer.SetViewType(VIEWTYPE_VB);
    EXPECT_EQ(view.m_colorer.Cache().GetLineStateCount(), 0);
    EXPECT_EQ(view.States(), (std::vector<std::uint32_t>(6, 0)));

    view.m_colorer.SetViewType(VIEWTYPE_CPP);
    EXPECT_EQ(view.States(), (std::vector<std::uint32_t>(6, 4)));
}

TEST_F(StateCache, BookmarksKeepTheStatesAndAReloadDropsThem)
{
    CColoringView view(m_buffer, VIEWTYPE_CPP);
    view.States();
    m_buffer.SetLineFlag(2, LF_BOOKMARK, true);
    EXPECT_TRUE(view.m_colorer.Cache().IsLineStateKnown(5));

    m_buffer.FreeAll();
    m_buffer.InitNew();
    EXPECT_EQ(view.m_colorer.Cache().GetLineStateCount(), 0);
    EXPECT_EQ(view.States(), (std::vector<std::uint32_t>{0}));
}

TEST(StateCacheStandard, NoStateCrossesALineInTheStandardType)
{
    const CMemoryLineSource lines({"/* http://a.jp", "", "b"});
    CSyntaxColorer colorer(lines, VIEWTYPE_STANDARD);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(colorer.GetLineParseState(i), 0u);
    CSyntaxColorer none(lines, 8);
    std::vector<ColorBlock> aBuffer;
    int nBlocks = -1;
    EXPECT_EQ(none.ParseLineForDrawing(0, aBuffer, nBlocks), 0u);
    EXPECT_EQ(nBlocks, 0);
}

TEST(StateCacheLongLine, DrawingALongLineKeepsItsRunsNotThreeBlocksPerByte)
{
    // 2 MB of tags: room for 3 blocks per byte would be 6 million blocks.
    std::string strLine;
    while (strLine.size() < 2u * 1024 * 1024)
        strLine += "<td width=100 bgcolor=\"#FFEEDD\">\x95\x5C\x8E\xA6 x</td> ";
    const CMemoryLineSource lines({strLine, "<b>"});
    CSyntaxColorer colorer(lines, VIEWTYPE_HTML);

    // The same line into room of the full size, as a view reserved it before.
    std::vector<ColorBlock> aFull(static_cast<std::size_t>(ColorBlockCapacity(static_cast<int>(strLine.size()))));
    int nFull = 0;
    const std::uint32_t dwFull = ParseLineHtml(lines, 0, 0, aFull.data(), nFull);
    ASSERT_GT(nFull, 100000);

    std::vector<ColorBlock> aBuffer;
    int nBlocks = -1;
    EXPECT_EQ(colorer.ParseLineForDrawing(0, aBuffer, nBlocks), dwFull);
    ASSERT_EQ(nBlocks, nFull);
    EXPECT_EQ(aBuffer.size(), static_cast<std::size_t>(nBlocks));
    for (int i = 0; i < nBlocks; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        ASSERT_TRUE(aBuffer[k].nCharPos == aFull[k].nCharPos && aBuffer[k].nColorIndex == aFull[k].nColorIndex)
            << "block " << i;
    }

    // A short line after it reuses the same vector.
    EXPECT_EQ(colorer.ParseLineForDrawing(1, aBuffer, nBlocks), 0u);
    ASSERT_EQ(nBlocks, 4);
    EXPECT_EQ(aBuffer[2].nCharPos, 1);
    EXPECT_EQ(aBuffer[2].nColorIndex, COLORINDEX_TAG);
}
