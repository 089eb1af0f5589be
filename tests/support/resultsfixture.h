// A fixture for the widget tests of the results bar: a temporary folder, the
// settings in memory, and the jumps to a file and line the results hand to
// the editor, collected instead of sent.
#pragma once

#include "platform/copydata.h"
#include "platform/profile.h"
#include "search/ui/resultsedit.h"
#include "support/testutil.h"

#include <QStringList>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

class CResultsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppProfile(&m_store);
        SetCopyDataReceiver([this](int nCode, const std::string &strPayload) {
            m_aHandOffs.emplace_back(nCode, strPayload);
            return true;
        });
    }
    void TearDown() override
    {
        SetCopyDataReceiver(nullptr);
        SetAppProfile(nullptr);
    }

    static QStringList Lines(const CResultsEdit &edit) { return edit.toPlainText().split(QLatin1Char('\n')); }

    // Puts the cursor on a line of the results and double-clicks there.
    static void DoubleClickLine(CResultsEdit &edit, int nLine)
    {
        QTextCursor cursor(edit.document()->findBlockByNumber(nLine));
        edit.setTextCursor(cursor);
        QTest::mouseDClick(edit.viewport(), Qt::LeftButton, Qt::NoModifier, edit.cursorRect(cursor).center());
    }

    CTempDir m_dir;
    CMemoryProfileStore m_store;
    std::vector<std::pair<int, std::string>> m_aHandOffs;
};
