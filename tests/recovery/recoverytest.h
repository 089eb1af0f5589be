// What the recovery tests share: the lines of a buffer, a Shift-JIS sample
// whose trail bytes look like ASCII delimiters, and a run of every kind of
// edit a user makes, with a look at the text after each.
#pragma once

#include "text/textbuffer.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// Every line exactly, and the line-end mode, for byte-for-byte comparisons.
struct CTextImage
{
    std::vector<std::string> aLines;
    int nLineEndMode = LINEEND_CRLF;
    friend bool operator==(const CTextImage &, const CTextImage &) = default;
};

inline CTextImage ImageOf(const CCrystalTextBuffer &buffer)
{
    CTextImage image;
    for (int i = 0; i < buffer.GetLineCount(); ++i)
        image.aLines.emplace_back(buffer.GetLine(i));
    image.nLineEndMode = buffer.GetLineEndMode();
    return image;
}

// 表示 ソフト 能力 (0x5C trail bytes), カナ ｶﾅ, a CR inside a line of an LF
// document, and a tab.
inline const std::string SJIS_SAMPLE =
    "\x95\x5C\x8E\xA6 \x83\x5C\x83\x74\x83\x67 \x94\x5C\x97\xCD\n"
    "\x83\x4A\x83\x69 \xB6\xC5\tend\r of line\n"
    "<p>\x82\xA0\x82\xA2\x82\xA4</p>\n";

// Text put in as one user action.
inline void Insert(CCrystalTextBuffer &buffer, int nLine, int nChar, std::string_view text, int nAction = ACTION_TYPING)
{
    int nEndLine = 0;
    int nEndChar = 0;
    buffer.InsertText(nullptr, nLine, nChar, text, nEndLine, nEndChar, nAction);
}

// A position at most nPos into the line that does not split a character.
inline int CharStart(const CCrystalTextBuffer &buffer, int nLine, int nPos)
{
    nPos = std::min(nPos, buffer.GetLineLength(nLine));
    return nPos < buffer.GetLineLength(nLine) && buffer.IsTrailByteAt(nLine, nPos) ? nPos - 1 : nPos;
}

// Types, pastes, deletes, undoes, redoes, replaces all, indents a block and
// changes the line-end mode, each as one user action, and calls fnAfter
// after each of them.
inline void ApplyEveryKindOfEdit(CCrystalTextBuffer &buffer, const std::function<void()> &fnAfter)
{
    int nEndLine = 0;
    int nEndChar = 0;
    // Typing a word, a double-byte character at a time, as one undo group.
    const char *const apszTyped[] = {"\x93\xFA", "\x96\x7B", "\x8C\xEA", "x", "\x83\x5C"};
    CPoint pt(3, 1);
    for (const char *psz : apszTyped) {
        CUndoGroup group(buffer, nullptr, true);
        buffer.InsertText(nullptr, pt.y, pt.x, psz, nEndLine, nEndChar, ACTION_TYPING);
        pt = CPoint(nEndChar, nEndLine);
        fnAfter();
    }
    // Enter.
    buffer.InsertText(nullptr, pt.y, pt.x, "\r\n", nEndLine, nEndChar, ACTION_TYPING);
    fnAfter();
    // A paste over several lines; the lone LF stays inside its line.
    buffer.InsertText(nullptr, 0, 2, "pasted\r\nlines\nwith LF\r\n\x82\xA0", nEndLine, nEndChar, ACTION_PASTE);
    fnAfter();
    // Lines copied within the program keep their CR bytes.
    buffer.InsertLines(nullptr, 2, 0, {"cr\rinside", "", "\x95\x5C"}, nEndLine, nEndChar, ACTION_PASTE);
    fnAfter();
    // Backspace over a double-byte character, and a selection over lines.
    buffer.DeleteText(nullptr, 0, 0, 0, 2, ACTION_BACKSPACE);
    fnAfter();
    buffer.DeleteText(nullptr, 1, CharStart(buffer, 1, 3), 3, CharStart(buffer, 3, 1), ACTION_DELSEL);
    fnAfter();
    CPoint ptCaret;
    buffer.Undo(ptCaret);
    fnAfter();
    buffer.Undo(ptCaret);
    fnAfter();
    buffer.Redo(ptCaret);
    fnAfter();
    // Replace all: every "e" becomes a double-byte character, in one batch.
    {
        CUndoGroup group(buffer, nullptr);
        CBufferBatch batch(buffer, nullptr);
        for (int nLine = 0; nLine < buffer.GetLineCount(); ++nLine)
            for (int nPos = 0; nPos < buffer.GetLineLength(nLine); ++nPos) {
                if (buffer.IsTrailByteAt(nLine, nPos) || buffer.GetLine(nLine)[static_cast<std::size_t>(nPos)] != 'e')
                    continue;
                buffer.DeleteText(nullptr, nLine, nPos, nLine, nPos + 1, ACTION_REPLACE);
                buffer.InsertText(nullptr, nLine, nPos, "\x82\x85", nEndLine, nEndChar, ACTION_REPLACE);
            }
    }
    fnAfter();
    // A block indent of every line.
    {
        CUndoGroup group(buffer, nullptr);
        for (int nLine = 0; nLine < buffer.GetLineCount(); ++nLine)
            buffer.InsertText(nullptr, nLine, 0, "\t", nEndLine, nEndChar, ACTION_INDENT2);
    }
    fnAfter();
    buffer.Undo(ptCaret);
    fnAfter();
    buffer.Redo(ptCaret);
    fnAfter();
    // A change the undo list does not keep, and the line-end conversion.
    buffer.InsertText(nullptr, 0, 0, "//", nEndLine, nEndChar, ACTION_INDENT);
    buffer.SetLineEndMode(LINEEND_CRLF);
    buffer.InsertText(nullptr, buffer.GetLineCount() - 1, 0, "!", nEndLine, nEndChar, ACTION_TYPING);
    fnAfter();
}
