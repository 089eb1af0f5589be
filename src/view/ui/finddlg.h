// The find ("検索") and replace ("置換") dialogs. They only collect the
// texts and options; the view runs the searches through the handlers it sets.
// Texts go in and out as document bytes (CP932); a proposed text that the
// user leaves as it is keeps its exact bytes.
#pragma once

#include "text/textbuffer.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

class CExtraChars;

class CSearchDlgBase : public QDialog
{
    Q_OBJECT

public:
    // The document's table of characters Shift-JIS lacks (null for a
    // Shift-JIS document): the texts are its bytes through it. A search text
    // with a character the table lacks counts as unmappable (it can match
    // nothing); a replacement text gives such characters new codes.
    void SetExtraChars(CExtraChars *pExtra) { m_pExtra = pExtra; }
    CExtraChars *ExtraChars() const { return m_pExtra; }
    // The search text's earlier entries (UTF-8, most recent first).
    void SetSearchHistory(const std::vector<std::string> &aHistory);
    // The proposed search text (CP932).
    void SetSearchText(const std::string &strBytes);
    // The proposed search text as the user typed it (UTF-8).
    void SetSearchTextUtf8(const std::string &strText);
    // The search text as CP932; pnUnmappable receives how many characters
    // typed into it have no CP932 form (each became "?").
    std::string GetSearchText(int *pnUnmappable = nullptr) const;
    // The search text as typed (UTF-8), for the history and messages.
    std::string GetSearchTextUtf8() const;
    // SEARCH_MATCH_CASE, SEARCH_WHOLE_WORD and SEARCH_REGEX (and in the find
    // dialog SEARCH_UP).
    virtual void SetFlags(std::uint32_t dwFlags);
    virtual std::uint32_t GetFlags() const;

protected:
    explicit CSearchDlgBase(QWidget *pParent);
    // Enables the buttons that need a search text.
    virtual void OnTextChanged() {}
    // The three check boxes, one under the other.
    QVBoxLayout *CheckBoxColumn() const;

    QComboBox *m_pSearchText;
    QCheckBox *m_pWholeWord;
    QCheckBox *m_pMatchCase;
    QCheckBox *m_pRegex;

private:
    CExtraChars *m_pExtra = nullptr;
    std::string m_strProposed;
    QString m_strProposedText;
};

class CFindDlg : public CSearchDlgBase
{
    Q_OBJECT

public:
    explicit CFindDlg(QWidget *pParent = nullptr);
    void SetFlags(std::uint32_t dwFlags) override;
    std::uint32_t GetFlags() const override;
    // "次を検索(&F)": the handler returns true when the dialog is to close.
    void SetFindHandler(std::function<bool()> fn) { m_fnFind = std::move(fn); }

protected:
    void OnTextChanged() override;

private:
    QRadioButton *m_pUp;
    QRadioButton *m_pDown;
    QPushButton *m_pFindNext;
    std::function<bool()> m_fnFind;
};

class CReplaceDlg : public CSearchDlgBase
{
    Q_OBJECT

public:
    explicit CReplaceDlg(QWidget *pParent = nullptr);
    void SetReplaceHistory(const std::vector<std::string> &aHistory);
    std::string GetReplaceText(int *pnUnmappable = nullptr) const;
    std::string GetReplaceTextUtf8() const;
    // The scope: "選択範囲(&S)" (which can be disabled) or "ﾌｧｲﾙ全体(&O)".
    void SetScope(bool bSelection, bool bSelectionAllowed);
    bool IsSelectionScope() const;

    enum EButton
    {
        BUTTON_FIND_NEXT,
        BUTTON_REPLACE,
        BUTTON_REPLACE_ALL,
    };
    void SetHandler(EButton nButton, std::function<void()> fn);
    // The button Enter presses.
    void SetDefaultButton(EButton nButton);

protected:
    void OnTextChanged() override;

private:
    QComboBox *m_pReplaceText;
    QRadioButton *m_pScopeSelection;
    QRadioButton *m_pScopeFile;
    QPushButton *m_apButtons[3];
    std::function<void()> m_afnHandlers[3];
};
