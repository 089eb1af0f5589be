// Message boxes, beeps and the wait cursor, behind one facade that tests can
// intercept: a test installs a hook that records each box and answers it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

enum EMsgBoxStyle
{
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};

enum EMsgBoxAnswer
{
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

struct CMsgBoxRequest
{
    QString strText;
    QString strCaption;
    unsigned nStyle = MB_OK;
};

// Shows a modal message box and returns the button pressed (IDOK ...).
int MessageBox(QWidget *pParent, const QString &strText, const QString &strCaption = QString(),
               unsigned nStyle = MB_OK);
// The system's short warning sound.
void Beep();

// Test hooks: while set, boxes are not shown; the hook answers them.
using MsgBoxHook = std::function<int(const CMsgBoxRequest &)>;
void SetMessageBoxHook(MsgBoxHook hook);
void SetBeepHook(std::function<void()> hook);

// Shows the busy cursor for the lifetime of the object.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;
};
