// A shown view over its own buffer, for the widget tests of the views.
#pragma once

#include "text/textbuffer.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

template <typename View>
class CViewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_buffer.InitNew();
        m_view.resize(600, 400);
        m_view.AttachBuffer(&m_buffer);
        m_view.show();
        m_view.setFocus();
        QApplication::processEvents();
    }

    // Puts text at the start of the document without an undo record.
    void SetText(std::string_view text)
    {
        int l = 0;
        int c = 0;
        m_buffer.InsertText(nullptr, 0, 0, text, l, c, ACTION_INDENT);
        m_view.PlaceCaret(CPoint(0, 0));
    }

    // The lines joined by "|".
    std::string Text() const
    {
        std::string s;
        for (int i = 0; i < m_buffer.GetLineCount(); ++i) {
            if (i > 0)
                s += '|';
            s.append(m_buffer.GetLine(i));
        }
        return s;
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&m_view, key, mods); }

    void Select(CPoint ptFrom, CPoint ptTo)
    {
        m_view.MoveCaret(ptTo);
        m_view.SetSelectionAnchor(ptFrom);
        m_view.SelectRange(ptFrom, ptTo);
    }

    CCrystalTextBuffer m_buffer;
    View m_view;
};
