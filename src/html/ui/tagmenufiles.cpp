#include "html/ui/tagmenufiles.h"

#include "platform/ui/programfolder.h"

#include <QDir>

CUserTagList &AppUserTags()
{
    static CUserTagList s_list;
    return s_list;
}

CWebMenuFile &AppWebMenu()
{
    static CWebMenuFile s_menu;
    return s_menu;
}

CAlignList &AppTagAlign()
{
    static CAlignList s_list;
    return s_list;
}

CAlignList &AppUsrAlign()
{
    static CAlignList s_list;
    return s_list;
}

std::string ProgramFilePath(const char *pszName)
{
    return QDir(ProgramFolder()).filePath(QString::fromUtf8(pszName)).toStdString();
}

void LoadTagMenuFiles()
{
    AppTagAlign().Load(ProgramFilePath(TAGALIGN_FILE_NAME));
    AppUsrAlign().Load(ProgramFilePath(USRALIGN_FILE_NAME));
    AppWebMenu().Load(ProgramFilePath(WEBMENU_FILE_NAME));
    ReloadUserTags();
}

void ReloadUserTags()
{
    AppUserTags().Load(ProgramFilePath(USERTAG_FILE_NAME));
}

bool SaveUserTags()
{
    return AppUserTags().Save(ProgramFilePath(USERTAG_FILE_NAME));
}
