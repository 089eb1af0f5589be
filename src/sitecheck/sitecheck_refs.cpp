// Following one reference of a page: the file it names, the case of its
// letters, the anchor it points at and the size of the picture.
#include "sitecheck/pagescan.h"
#include "sitecheck/sitecheck.h"
#include "sitecheck/siteref.h"
#include "filetools/imagesize.h"

#include <sys/stat.h>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        x = x >= 'A' && x <= 'Z' ? static_cast<char>(x + 0x20) : x;
        y = y >= 'A' && y <= 'Z' ? static_cast<char>(y + 0x20) : y;
        if (x != y)
            return false;
    }
    return true;
}

const char *MissingText(ESiteRefKind eKind)
{
    switch (eKind) {
    case SITEREF_IMAGE:
        return "画像がありません: ";
    case SITEREF_STYLE:
        return "ファイルがありません: ";
    default:
        return "リンク先がありません: ";
    }
}

} // namespace

void CSiteCheck::CheckReference(CCheckedPage &checked, const CSiteRef &ref)
{
    const CPage &page = checked.page;
    const std::string strShown = "\"" + ref.strValue + "\"";
    const CSiteRefParts parts = SplitReference(ref.strValue);
    auto CheckFragment = [&](const std::unordered_map<std::string, int> &anchors) {
        if (!parts.bFragment || parts.strFragment.empty() || EqualsNoCase(parts.strFragment, "top")
            || anchors.count(parts.strFragment) > 0)
            return;
        for (const auto &[strName, nLine] : anchors) {
            if (EqualsNoCase(strName, parts.strFragment)) {
                Add(page, ref.nLine, false,
                    "アンカーの大文字と小文字が違います: " + strShown + "（ページには \"#" + strName + "\"）");
                return;
            }
        }
        Add(page, ref.nLine, false, "アンカーがありません: " + strShown);
    };

    std::string strPath = parts.strPath;
    switch (parts.eForm) {
    case SITEREFFORM_NONE:
        return;
    case SITEREFFORM_FRAGMENT:
        CheckFragment(checked.scan.anchors);
        return;
    case SITEREFFORM_NETWORK:
        Add(page, ref.nLine, true, "ネットワーク上のリンクは確認していません: " + strShown);
        return;
    case SITEREFFORM_ROOT:
        Add(page, ref.nLine, true, "サーバーのルートからのパスは確認していません: " + strShown);
        return;
    case SITEREFFORM_FILE:
        // A file address inside the site is checked like a path; one outside it only for being there.
        if (strPath.compare(0, m_strRootAbsolute.size() + 1, m_strRootAbsolute + "/") == 0) {
            strPath = strPath.substr(m_strRootAbsolute.size() + 1);
            break;
        }
        {
            struct stat st {};
            if (stat(strPath.c_str(), &st) != 0)
                Add(page, ref.nLine, false, MissingText(ref.eKind) + strShown);
            else
                Add(page, ref.nLine, true, "サイトのフォルダの外を指しています: " + strShown);
        }
        return;
    case SITEREFFORM_RELATIVE:
        if (checked.scan.bBase)
            return;
        break;
    }

    CSiteResolved target = m_folders.Resolve(parts.eForm == SITEREFFORM_FILE ? std::string() : checked.strFolder,
                                             strPath);
    if (target.eTarget == SITETARGET_OUTSIDE) {
        Add(page, ref.nLine, true, "サイトのフォルダの外を指しています: " + strShown);
        return;
    }
    if (target.eTarget == SITETARGET_MISSING) {
        Add(page, ref.nLine, false, MissingText(ref.eKind) + strShown);
        return;
    }
    if (target.eTarget == SITETARGET_CASE)
        Add(page, ref.nLine, false, "大文字と小文字が違います: " + strShown + "（ディスク上は \"" + target.strReal + "\"）");
    if (target.bFolder) {
        // A server answers a folder with its index page.
        std::string strIndex;
        for (const char *pszIndex : {"index.html", "index.htm", "index.shtml"}) {
            const CSiteResolved index = m_folders.Resolve(target.strRelative, pszIndex);
            if (index.eTarget == SITETARGET_FOUND && !index.bFolder) {
                strIndex = index.strRelative;
                break;
            }
        }
        if (strIndex.empty()) {
            Add(page, ref.nLine, true, "フォルダを指していますが、index.html がありません: " + strShown);
            return;
        }
        target.strRelative = strIndex;
    }
    if (parts.bFragment && IsSitePageName(target.strRelative))
        CheckFragment(target.strRelative == page.strRelative ? checked.scan.anchors : AnchorsOf(target.strRelative));
    if (ref.eKind == SITEREF_IMAGE && (!ref.strWidth.empty() || !ref.strHeight.empty())) {
        const int nWidth = ref.strWidth.empty() ? -1 : PixelValue(ref.strWidth);
        const int nHeight = ref.strHeight.empty() ? -1 : PixelValue(ref.strHeight);
        if (nWidth < 0 && nHeight < 0)
            return;
        const CImageSize size = ReadImageFileSize(m_folders.FullPath(target.strRelative));
        if (size.eFormat == IMAGE_UNKNOWN)
            return;
        if ((nWidth >= 0 && nWidth != size.nWidth) || (nHeight >= 0 && nHeight != size.nHeight)) {
            std::string strTag;
            if (!ref.strWidth.empty())
                strTag += "width=" + ref.strWidth;
            if (!ref.strHeight.empty())
                strTag += (strTag.empty() ? "" : " ") + std::string("height=") + ref.strHeight;
            Add(page, ref.nLine, false,
                "画像の大きさが違います: " + strShown + " は " + std::to_string(size.nWidth) + "x"
                    + std::to_string(size.nHeight) + "、タグは " + strTag);
        }
    }
}
