// A whole application for widget tests: its own in-memory settings, its own
// single-instance channel, and hooks that answer message boxes and the file
// and program dialogs as each test says.
#pragma once

#include "app/appsettings.h"
#include "app/ui/childframe.h"
#include "app/ui/mainframe.h"
#include "app/ui/wrenpadapp.h"
#include "app/ui/wrenpaddoc.h"
#include "app/ui/wrenpadview.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "recovery/statefolder.h"
#include "support/testutil.h"

#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

class CAppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Nothing of the user's own configuration or data is touched.
        QStandardPaths::setTestModeEnabled(true);
        SetStateFolderOverride(m_dir.File("state"));
        SetAppProfile(&m_profile);
        SetMessageBoxHook([this](const CMsgBoxRequest &box) -> int {
            m_aBoxes.push_back(box);
            if (m_aAnswers.empty())
                return IDOK;
            const int nAnswer = m_aAnswers.front();
            m_aAnswers.pop_front();
            return nAnswer;
        });
        SetFileDialogHook([this](const CFileDialogRequest &request) {
            m_aFileRequests.push_back(request);
            if (m_aFileAnswers.empty())
                return QStringList();
            QStringList answer = m_aFileAnswers.front();
            m_aFileAnswers.pop_front();
            return answer;
        });
        SetDialogHook([this](QDialog *pDialog) {
            if (!m_fnDialog)
                return static_cast<int>(QDialog::Rejected);
            return m_fnDialog(pDialog);
        });
    }

    void TearDown() override
    {
        m_pApp.reset();
        QApplication::processEvents();
        SetMessageBoxHook(nullptr);
        SetFileDialogHook(nullptr);
        SetDialogHook(nullptr);
        SetAppProfile(nullptr);
        SetStateFolderOverride(std::string());
        QStandardPaths::setTestModeEnabled(false);
    }

    // Opens a file as the user would and lets the window settle.
    CWrenpadDoc *Open(const std::string &strPath)
    {
        CWrenpadDoc *pDoc = m_pApp->OpenDocumentFile(QString::fromStdString(strPath));
        Idle();
        return pDoc;
    }

    // Starts the application with the given arguments; false when start-up ended it.
    bool Start(const QStringList &args = {})
    {
        m_pApp = std::make_unique<CWrenpadApp>();
        m_pApp->SetChannelPath(QString::fromStdString(m_dir.File("channel")));
        const bool bRunning = m_pApp->InitInstance(args);
        if (bRunning) {
            QApplication::setActiveWindow(Frame());
            if (CWrenpadView *pView = View())
                pView->setFocus();
        }
        QApplication::processEvents();
        return bRunning;
    }

    // Text as the input method commits it to the active view.
    void Commit(const QString &strText)
    {
        QInputMethodEvent ev;
        ev.setCommitString(strText);
        QApplication::sendEvent(View(), &ev);
    }

    // Runs the event loop until the condition holds; false after nMs.
    template <typename Pred> static bool WaitFor(Pred pred, int nMs = 10000) { return QTest::qWaitFor(pred, nMs); }

    CMainFrame *Frame() const { return m_pApp->GetMainFrame(); }
    CWrenpadView *View() const { return Frame()->GetActiveView(); }
    CWrenpadDoc *Doc() const { return View() ? View()->GetDocument() : nullptr; }

    // Runs the idle work as the event loop would.
    void Idle()
    {
        QApplication::processEvents();
        // Closed windows are deleted once control is back in the event loop.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        Frame()->OnIdleUpdate();
    }

    std::string WriteFile(const std::string &strName, const std::string &strBytes)
    {
        WriteFileBytes(m_dir.File(strName), strBytes);
        return m_dir.File(strName);
    }

    // The document's lines joined by '|'.
    static std::string Text(const CWrenpadDoc *pDoc)
    {
        std::string s;
        const CCrystalTextBuffer &buffer = pDoc->GetBuffer();
        for (int i = 0; i < buffer.GetLineCount(); ++i) {
            if (i > 0)
                s += '|';
            s.append(buffer.GetLine(i));
        }
        return s;
    }

    CTempDir m_dir;
    CMemoryProfileStore m_profile;
    std::unique_ptr<CWrenpadApp> m_pApp;
    std::vector<CMsgBoxRequest> m_aBoxes;
    std::deque<int> m_aAnswers;
    std::vector<CFileDialogRequest> m_aFileRequests;
    std::deque<QStringList> m_aFileAnswers;
    std::function<int(QDialog *)> m_fnDialog;
};

// An application that opens no empty document of its own at start.
class CAppFixtureNoNewFile : public CAppFixture
{
protected:
    void SetUp() override
    {
        CAppFixture::SetUp();
        m_profile.WriteInt(SECTION_MAIN, "bOpenNewFile", 0);
    }
};
