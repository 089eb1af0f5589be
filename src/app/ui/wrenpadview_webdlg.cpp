// The web commands that ask for their markup in a dialog first. Cancel
// inserts and remembers nothing.
#include "app/appsettings.h"
#include "app/ui/wrenpadview.h"
#include "html/tagattr.h"
#include "html/ui/webdialogs.h"
#include "platform/ui/dialogs.h"
#include "res/commands.h"

namespace {

bool Accepted(QDialog &dlg)
{
    return ExecDialog(&dlg) == QDialog::Accepted;
}

} // namespace

bool CWrenpadView::OnWebDialogCommand(int nID, const std::string &strPresetFile)
{
    // Wraps the selection, selects it again and remembers the pair.
    auto wrap = [this](const CTagTexts &texts) { InsertTagPair(texts.strOpen, texts.strClose, true, true); };
    // Puts the markup behind the selection and remembers it.
    auto insert = [this](const std::string &strText) { InsertTagPair(std::string(), strText, false, true); };

    switch (nID) {
    case ID_WEB_PARAGRAPH: {
        CParagraphDlg dlg(this);
        if (!Accepted(dlg))
            return true;
        if (dlg.IsWrap())
            wrap(ParagraphTagTexts(dlg.GetAlign()));
        else
            insert("<p>");
        return true;
    }
    case ID_WEB_HOTLINK: {
        CHotLinkDlg dlg(GetDocumentPath(), this);
        if (!strPresetFile.empty())
            dlg.SetFile(QString::fromStdString(strPresetFile));
        if (Accepted(dlg))
            wrap(AttributeTagTexts("a", HotLinkAttributes(dlg.GetFields())));
        return true;
    }
    case ID_WEB_BOOKMARK: {
        CAnchorNameDlg dlg(QStringLiteral("ブックマークの設定"), QStringLiteral("ﾌﾞｯｸﾏｰｸ名"), this);
        if (Accepted(dlg))
            wrap(BookmarkTagTexts(dlg.GetName()));
        return true;
    }
    case ID_WEB_JUMP: {
        CAnchorNameDlg dlg(QStringLiteral("ジャンプの設定"), QStringLiteral("ｼﾞｬﾝﾌﾟ先"), this);
        if (Accepted(dlg))
            wrap(JumpTagTexts(dlg.GetName()));
        return true;
    }
    case ID_WEB_FONT: {
        CProfileStore &store = AppProfile();
        CFontTagDlg dlg(QString::fromStdString(store.GetString(SECTION_MAIN, "strFontTagFace", "")),
                        QString::fromStdString(store.GetString(SECTION_MAIN, "strFontTagColor", "")), this);
        if (!Accepted(dlg))
            return true;
        store.WriteString(SECTION_MAIN, "strFontTagFace", dlg.GetFaceSetting().toStdString());
        store.WriteString(SECTION_MAIN, "strFontTagColor", dlg.GetColorSetting().toStdString());
        wrap(FontTagTexts(FontTagAttributes(dlg.GetFields()), dlg.GetOther(), dlg.GetStyles()));
        return true;
    }
    case ID_WEB_HEADING: {
        CHeadingDlg dlg(this);
        if (Accepted(dlg))
            wrap(dlg.GetTagTexts());
        return true;
    }
    case ID_WEB_STYLE_TAG: {
        CClassTagDlg dlg(this);
        if (!Accepted(dlg))
            return true;
        dlg.SaveLists();
        wrap(ClassTagTexts(dlg.GetTag(), dlg.GetClass()));
        return true;
    }
    case ID_WEB_RULE: {
        CRuleDlg dlg(this);
        if (Accepted(dlg))
            insert(AttributeTagTexts("hr", RuleAttributes(dlg.GetFields())).strOpen);
        return true;
    }
    case ID_WEB_IMAGE: {
        CImageDlg dlg(GetDocumentPath(), this);
        if (!strPresetFile.empty())
            dlg.SetFile(QString::fromStdString(strPresetFile));
        if (Accepted(dlg))
            insert(AttributeTagTexts("img", ImageAttributes(dlg.GetFields())).strOpen);
        return true;
    }
    case ID_WEB_TABLE_CELL: {
        CCellDlg dlg(this);
        if (Accepted(dlg))
            wrap(AttributeTagTexts("td", WithOtherAttributes(CellAttributes(dlg.GetFields()), dlg.GetOther())));
        return true;
    }
    default:
        return OnWebStructureCommand(nID);
    }
}
