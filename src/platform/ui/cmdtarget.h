// Commands and their update handlers.
//
// Every command has a numeric id. An object that handles commands derives from
// CCmdTarget and registers, usually in its constructor, a handler per id or id
// range and, where the command's menu item or button must be enabled, checked
// or relabelled, an update handler. A command is offered to a chain of targets
// (view, document, child frame, main frame, application) and the first target
// with a handler takes it.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// What an update handler may say about a command's menu item or button.
class CCmdUI
{
public:
    explicit CCmdUI(int nID, bool bMenu = false) : m_nID(nID), m_bMenu(bMenu) {}

    int GetID() const { return m_nID; }
    // Whether the item being updated is a menu entry. Menu entries and status
    // panes take new text; tool-bar buttons keep their tool tips.
    bool IsMenu() const { return m_bMenu; }

    void Enable(bool bOn = true) { m_bEnabled = bOn; }
    void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    void SetRadio(bool bOn = true) { m_nCheck = bOn ? 1 : 0; }
    void SetText(const QString &strText) { m_strText = strText; }

    bool IsEnabled() const { return m_bEnabled; }
    int GetCheck() const { return m_nCheck; }
    const std::optional<QString> &GetText() const { return m_strText; }
    // An update handler answered for this command.
    bool IsHandled() const { return m_bHandled; }
    void SetHandled() { m_bHandled = true; }

private:
    int m_nID;
    bool m_bMenu;
    bool m_bEnabled = true;
    int m_nCheck = 0;
    std::optional<QString> m_strText;
    bool m_bHandled = false;
};

class CCmdTarget
{
public:
    using Handler = std::function<void(int nID)>;
    using UpdateHandler = std::function<void(CCmdUI *pCmdUI)>;

    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget &) = delete;
    CCmdTarget &operator=(const CCmdTarget &) = delete;

    // With pCmdUI null: runs the handler of nID, if this target has one.
    // Otherwise: runs the update handler of nID into pCmdUI, if any.
    // Returns whether this target answered.
    virtual bool OnCmdMsg(int nID, CCmdUI *pCmdUI);

    // Whether this target has a handler for the command.
    bool HasCommand(int nID) const;

    // The id ranges this target has handlers or update handlers for, in the
    // order they were registered.
    struct CIdRange
    {
        int nFirst;
        int nLast;
    };
    std::vector<CIdRange> GetRegisteredIds() const;

protected:
    void OnCommand(int nID, std::function<void()> fn);
    void OnCommandRange(int nFirst, int nLast, Handler fn);
    void OnUpdate(int nID, UpdateHandler fn);
    void OnUpdateRange(int nFirst, int nLast, UpdateHandler fn);

private:
    struct CommandEntry
    {
        int nFirst;
        int nLast;
        Handler fn;
    };
    struct UpdateEntry
    {
        int nFirst;
        int nLast;
        UpdateHandler fn;
    };
    std::vector<CommandEntry> m_aCommands;
    std::vector<UpdateEntry> m_aUpdates;
};

// The commands whose handlers are running now, the innermost last. A handler
// that shows a dialog runs until the dialog closes, so this tells what the
// user is doing while a dialog of the toolkit's or a message box is open.
const std::vector<int> &RunningCommands();
