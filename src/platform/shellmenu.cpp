#include "platform/shellmenu.h"

#include "text/filehandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The first line of every file we write: how we know a file is ours.
constexpr const char *OUR_MARK = "# Wrenpad: the file manager's \"Wrenpadで編集\"";

constexpr const char *COMMENT = "Wrenpadでファイルを編集します";
constexpr const char *ICON = "jp.orvane.Wrenpad";
// The types the editor's own desktop entry names, for "Open With".
constexpr const char *MIME_TYPES =
    "text/plain;text/html;application/xhtml+xml;application/x-asp;text/x-csrc;text/x-chdr;text/x-c++src;"
    "text/x-c++hdr;text/x-java;application/x-perl;text/x-perl;text/x-pascal;text/x-basic;text/vbscript;";

struct CFileManager
{
    const char *pszProgram;
    unsigned nKinds;
};

constexpr CFileManager FILE_MANAGERS[] = {
    {"nautilus", SHELLMENU_OPEN_WITH},
    {"thunar", SHELLMENU_OPEN_WITH},
    {"caja", SHELLMENU_OPEN_WITH | SHELLMENU_ACTIONS},
    {"pcmanfm", SHELLMENU_OPEN_WITH | SHELLMENU_ACTIONS},
    {"pcmanfm-qt", SHELLMENU_OPEN_WITH | SHELLMENU_ACTIONS},
    {"dolphin", SHELLMENU_OPEN_WITH | SHELLMENU_KDE},
    {"konqueror", SHELLMENU_OPEN_WITH | SHELLMENU_KDE},
    {"nemo", SHELLMENU_OPEN_WITH | SHELLMENU_NEMO},
};

constexpr EShellMenuKind KINDS[] = {SHELLMENU_OPEN_WITH, SHELLMENU_ACTIONS, SHELLMENU_KDE, SHELLMENU_NEMO};

bool IsExecutableFile(const std::string &strPath)
{
    struct stat st;
    return stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(strPath.c_str(), X_OK) == 0;
}

std::string FolderOf(const std::string &strPath)
{
    return strPath.substr(0, strPath.rfind('/'));
}

bool MakeFolders(const std::string &strFolder)
{
    std::size_t nPos = 1;
    while (nPos != std::string::npos) {
        nPos = strFolder.find('/', nPos + 1);
        const std::string strPart = strFolder.substr(0, nPos);
        if (mkdir(strPart.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(strFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsOurFile(const std::string &strPath)
{
    std::FILE *pFile = std::fopen(strPath.c_str(), "rb");
    if (!pFile)
        return false;
    char aLine[256] = {};
    const bool bRead = std::fgets(aLine, sizeof aLine, pFile) != nullptr;
    std::fclose(pFile);
    return bRead && std::strncmp(aLine, OUR_MARK, std::strlen(OUR_MARK)) == 0;
}

// Writes the whole file beside its place and renames it there, so that a
// file manager watching the folder never reads half of it.
bool WriteWhole(const std::string &strPath, const std::string &strText, mode_t nMode)
{
    std::string strTemp = strPath + ".XXXXXX";
    CFileHandle file(mkostemp(strTemp.data(), O_CLOEXEC));
    if (!file.IsOpen())
        return false;
    bool bOk = file.WriteFully(strText.data(), strText.size());
    bOk = bOk && fchmod(file.Get(), nMode) == 0;
    bOk = file.Close() && bOk;
    if (bOk && rename(strTemp.c_str(), strPath.c_str()) == 0)
        return true;
    unlink(strTemp.c_str());
    return false;
}

std::string PathOf(const std::string &strDataFolder, EShellMenuKind eKind)
{
    return strDataFolder + "/" + ShellMenuFileName(eKind);
}

} // namespace

unsigned DetectShellMenuKinds(std::string_view strPathVariable)
{
    unsigned nKinds = 0;
    while (!strPathVariable.empty()) {
        const std::size_t nColon = strPathVariable.find(':');
        const std::string strFolder(strPathVariable.substr(0, nColon));
        strPathVariable = nColon == std::string_view::npos ? std::string_view() : strPathVariable.substr(nColon + 1);
        // An empty entry means the current folder, which is no place to find
        // the desktop's file manager.
        if (strFolder.empty() || strFolder[0] != '/')
            continue;
        for (const CFileManager &manager : FILE_MANAGERS)
            if (IsExecutableFile(strFolder + "/" + manager.pszProgram))
                nKinds |= manager.nKinds;
    }
    return nKinds;
}

const char *ShellMenuFileName(EShellMenuKind eKind)
{
    switch (eKind) {
    case SHELLMENU_OPEN_WITH:
        return "applications/jp.orvane.Wrenpad-edit.desktop";
    case SHELLMENU_ACTIONS:
        return "file-manager/actions/jp.orvane.Wrenpad-edit.desktop";
    case SHELLMENU_KDE:
        return "kio/servicemenus/jp.orvane.Wrenpad-edit.desktop";
    case SHELLMENU_NEMO:
        return "nemo/actions/jp.orvane.Wrenpad-edit.nemo_action";
    default:
        return "";
    }
}

bool DesktopExecProgram(const std::string &strProgram, std::string &strQuoted)
{
    strQuoted.clear();
    if (strProgram.empty() || strProgram[0] != '/')
        return false;
    std::string strArgument = "\"";
    for (const char c : strProgram) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
        // Inside double quotes these four keep their meaning unless escaped.
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            strArgument += '\\';
        strArgument += c;
    }
    strArgument += '"';
    // Then the escapes of a string value: a backslash is written twice, and a
    // percent sign that is no field code is written twice as well.
    for (const char c : strArgument) {
        if (c == '\\')
            strQuoted += "\\\\";
        else if (c == '%')
            strQuoted += "%%";
        else
            strQuoted += c;
    }
    return true;
}

std::string ShellMenuFileText(EShellMenuKind eKind, const std::string &strQuotedProgram)
{
    const std::string strExec = "Exec=" + strQuotedProgram + " %F\n";
    std::string s = std::string(OUR_MARK) + "\n";
    switch (eKind) {
    case SHELLMENU_OPEN_WITH:
        s += "[Desktop Entry]\nType=Application\n";
        s += std::string("Name=") + SHELLMENU_LABEL + "\n";
        s += std::string("Comment=") + COMMENT + "\n";
        s += strExec;
        s += std::string("Icon=") + ICON + "\n";
        s += "Terminal=false\nNoDisplay=true\n";
        s += std::string("MimeType=") + MIME_TYPES + "\n";
        break;
    case SHELLMENU_ACTIONS:
        s += "[Desktop Entry]\nType=Action\n";
        s += std::string("Name=") + SHELLMENU_LABEL + "\n";
        s += std::string("Tooltip=") + COMMENT + "\n";
        s += std::string("Icon=") + ICON + "\n";
        s += "Profiles=edit;\n\n[X-Action-Profile edit]\n";
        s += std::string("Name=") + SHELLMENU_LABEL + "\n";
        s += strExec;
        s += "MimeTypes=all/allfiles;\n";
        break;
    case SHELLMENU_KDE:
        s += "[Desktop Entry]\nType=Service\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
        s += "MimeType=all/allfiles;\nActions=edit;\n\n[Desktop Action edit]\n";
        s += std::string("Name=") + SHELLMENU_LABEL + "\n";
        s += std::string("Icon=") + ICON + "\n";
        s += strExec;
        break;
    case SHELLMENU_NEMO:
        s += "[Nemo Action]\n";
        s += std::string("Name=") + SHELLMENU_LABEL + "\n";
        s += std::string("Comment=") + COMMENT + "\n";
        s += strExec;
        s += std::string("Icon-Name=") + ICON + "\n";
        s += "Selection=notnone\nExtensions=nodirs;\n";
        break;
    default:
        break;
    }
    return s;
}

bool InstallShellMenu(const std::string &strDataFolder, const std::string &strProgram, unsigned nKinds,
                      std::string &strError)
{
    strError.clear();
    std::string strQuoted;
    if (strDataFolder.empty() || strDataFolder[0] != '/') {
        strError = "no data folder";
        return false;
    }
    if (!DesktopExecProgram(strProgram, strQuoted)) {
        strError = "the program's path cannot be written in a desktop entry: " + strProgram;
        return false;
    }
    for (const EShellMenuKind eKind : KINDS) {
        const std::string strPath = PathOf(strDataFolder, eKind);
        if ((nKinds & eKind) == 0) {
            if (IsOurFile(strPath))
                unlink(strPath.c_str());
            continue;
        }
        // A file of that name that is not ours stays the user's.
        struct stat st;
        if (lstat(strPath.c_str(), &st) == 0 && !IsOurFile(strPath)) {
            strError = strPath + " exists and was not written by Wrenpad";
        } else if (!MakeFolders(FolderOf(strPath))) {
            strError = FolderOf(strPath) + ": " + std::strerror(errno);
        } else {
            // Service menus outside the system's folders run only when executable.
            const mode_t nMode = eKind == SHELLMENU_KDE ? 0755 : 0644;
            if (WriteWhole(strPath, ShellMenuFileText(eKind, strQuoted), nMode))
                continue;
            strError = strPath + ": " + std::strerror(errno);
        }
        RemoveShellMenu(strDataFolder);
        return false;
    }
    return true;
}

bool RemoveShellMenu(const std::string &strDataFolder)
{
    bool bOk = true;
    if (strDataFolder.empty())
        return true;
    for (const EShellMenuKind eKind : KINDS) {
        const std::string strPath = PathOf(strDataFolder, eKind);
        if (IsOurFile(strPath) && unlink(strPath.c_str()) != 0)
            bOk = false;
    }
    return bOk;
}

unsigned InstalledShellMenuKinds(const std::string &strDataFolder)
{
    unsigned nKinds = 0;
    if (strDataFolder.empty())
        return 0;
    for (const EShellMenuKind eKind : KINDS)
        if (IsOurFile(PathOf(strDataFolder, eKind)))
            nKinds |= eKind;
    return nKinds;
}
