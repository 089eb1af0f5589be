// A stand-in for the image-map plug-in, loaded by the tests. Built twice: as
// it should be, and (WP_FAKE_NO_ENTRY) without its map entry.
#include <cstring>
#include <string>

extern "C" {

int WpGetImageSize(const char *pszImagePath, int *pnWidth, int *pnHeight)
{
    (void)pszImagePath;
    *pnWidth = 32;
    *pnHeight = 16;
    return 1;
}

#ifndef WP_FAKE_NO_ENTRY
// The markup names the image. A path with "none" in it gives nothing; one
// with "fill" fills the whole buffer and leaves no terminator.
int ShowWpImageMap(char *pszBuffer, int nSize, const char *pszImagePath)
{
    const std::string strPath = pszImagePath;
    if (strPath.find("none") != std::string::npos)
        return 0;
    if (strPath.find("fill") != std::string::npos) {
        std::memset(pszBuffer, 'x', static_cast<std::size_t>(nSize));
        return 1;
    }
    const std::string strName = strPath.substr(strPath.rfind('/') + 1);
    const std::string strMarkup = "<map name=\"" + strName + "\">\r\n<area shape=\"rect\" coords=\"0,0,31,15\" href=\"#\">\r\n</map>";
    if (static_cast<int>(strMarkup.size()) >= nSize)
        return 0;
    std::memcpy(pszBuffer, strMarkup.c_str(), strMarkup.size() + 1);
    return 1;
}
#endif
}
