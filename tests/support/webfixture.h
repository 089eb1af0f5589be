// A shown application view for the web command tests: its own settings, the
// remembered tag pair cleared, and hooks that answer message boxes, the
// colour and file dialogs and the program's own dialogs.
#pragma once

#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/tagpair.h"
#include "platform/profile.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/filedialogs.h"
#include "platform/ui/msgbox.h"
#include "res/commands.h"
#include "support/viewfixture.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <string_view>

// A field of a dialog by its object name.
template <typename T>
T *Child(QDialog *pDialog, const char *pszName)
{
    T *p = pDialog->findChild<T *>(QString::fromUtf8(pszName));
    EXPECT_NE(p, nullptr) << pszName;
    return p;
}

class CWebFixture : public CViewFixture<CWrenpadView>
{
protected:
    void SetUp() override
    {
        CViewFixture::SetUp();
        SetAppProfile(&m_store);
        m_savedSettings = AppSettings();
        AppSettings() = CAppSettings();
        ForgetTagPair();
        SetMessageBoxHook([this](const CMsgBoxRequest &box) {
            m_aBoxes.push_back(box);
            if (m_aAnswers.empty())
                return static_cast<int>(IDOK);
            const int nAnswer = m_aAnswers.front();
            m_aAnswers.pop_front();
            return nAnswer;
        });
        SetDialogHook([this](QDialog *pDialog) {
            m_aDialogTitles.push_back(pDialog->windowTitle());
            return m_fnDialog ? m_fnDialog(pDialog) : static_cast<int>(QDialog::Rejected);
        });
        SetColorDialogHook([this](const QColor &initial, QColor &chosen) {
            m_aColorsOffered.push_back(initial);
            if (!m_answerColor.isValid())
                return false;
            chosen = m_answerColor;
            return true;
        });
        SetFileDialogHook([this](const CFileDialogRequest &request) {
            m_aFileRequests.push_back(request);
            return m_answerFiles;
        });
    }

    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        SetDialogHook(nullptr);
        SetColorDialogHook(nullptr);
        SetFileDialogHook(nullptr);
        AppSettings() = m_savedSettings;
        ForgetTagPair();
        SetAppProfile(nullptr);
    }

    // Runs a command as the window does: only when its update handler enables it.
    void Run(int nID)
    {
        if (Enabled(nID))
            m_view.RouteCommand(nID);
    }

    bool Enabled(int nID)
    {
        CCmdUI ui(nID);
        return m_view.RouteUpdate(&ui) && ui.IsEnabled();
    }

    std::string Selected() { return m_view.GetSelectedText(); }

    // Starts over with the text, writable and with nothing to undo.
    void Reset(std::string_view text)
    {
        m_buffer.SetReadOnly(false);
        const int nLast = m_buffer.GetLineCount() - 1;
        m_buffer.DeleteText(nullptr, 0, 0, nLast, m_buffer.GetLineLength(nLast), ACTION_INDENT);
        SetText(text);
        m_buffer.ClearUndo();
    }

    std::string UndoName()
    {
        std::string strName;
        m_buffer.GetUndoDescription(strName);
        return strName;
    }

    void Undo() { m_view.RouteCommand(ID_EDIT_UNDO); }

    CMemoryProfileStore m_store;
    CAppSettings m_savedSettings;
    std::vector<CMsgBoxRequest> m_aBoxes;
    std::deque<int> m_aAnswers;
    std::vector<QString> m_aDialogTitles;
    std::function<int(QDialog *)> m_fnDialog;
    std::vector<QColor> m_aColorsOffered;
    QColor m_answerColor;
    std::vector<CFileDialogRequest> m_aFileRequests;
    QStringList m_answerFiles;
};
