// A shown view over its own buffer, for the widget tests of the views.
#pragma once

#include "text/textbuffer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

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

    // The selection as its start and end.
    std::pair<CPoint, CPoint> Selection()
    {
        CPoint b;
        CPoint e;
        m_view.GetSelectionRange(b, e);
        return {b, e};
    }

    // What the view draws, as an image of its text area.
    QImage Render()
    {
        QImage image(m_view.viewport()->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        m_view.DrawArea(painter, image.rect());
        return image;
    }

    // Pixels of the rectangle that pass the test.
    template <typename Pred>
    static int CountPixels(const QImage &image, const QRect &rc, Pred pred)
    {
        int n = 0;
        for (int y = rc.top(); y <= rc.bottom(); ++y)
            for (int x = rc.left(); x <= rc.right(); ++x)
                n += pred(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    }

    // The rectangle of a character cell of the first text line shown.
    QRect Cell(int nCell, int nLineOnScreen = 0)
    {
        const int cw = m_view.GetCharWidth();
        return QRect(m_view.GetMarginWidth() + nCell * cw, nLineOnScreen * m_view.GetLineHeight(), cw,
                     m_view.GetLineHeight());
    }

    static bool IsGreen(const QColor &c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; }

    CCrystalTextBuffer m_buffer;
    View m_view;
};
