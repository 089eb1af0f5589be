// The running application driven by the main window's commands, for tests
// that start it without an empty first document.
#pragma once

#include "support/appfixture.h"

#include <QTest>

#include <deque>

class CAppCommands : public CAppFixtureNoNewFile
{
protected:
    // Runs a command, the message boxes answered as given, and lets the window settle.
    void Run(int nID, std::deque<int> aAnswers = {})
    {
        if (!aAnswers.empty())
            m_aAnswers = std::move(aAnswers);
        Frame()->ExecuteCommand(nID);
        Idle();
    }

    // The state the menus and bars show for the command.
    CCmdUI Update(int nID) const
    {
        CCmdUI ui(nID, true);
        Frame()->RouteUpdate(&ui);
        return ui;
    }

    void Type(const char *pszText) { QTest::keyClicks(View(), QString::fromUtf8(pszText)); }
    QString Title() const { return Frame()->GetActiveChild()->windowTitle(); }
};
