// WpImgMap.wpi: image sizes for the image tag dialog, and the clickable-map
// dialog. It offers no menu commands of its own.
#include "wpplugin.h"

#include "filetools/imagesize.h"
#include "imagemapdlg.h"

WPPLUGIN_EXPORT int WpGetImageSize(const char *pszImagePath, int *pnWidth, int *pnHeight)
{
    if (!pszImagePath || !pnWidth || !pnHeight)
        return 0;
    const CImageSize size = ReadImageFileSize(pszImagePath);
    if (size.eFormat == IMAGE_UNKNOWN)
        return 0;
    *pnWidth = size.nWidth;
    *pnHeight = size.nHeight;
    return 1;
}

WPPLUGIN_EXPORT int ShowWpImageMap(char *pszBuffer, int nSize, const char *pszImagePath)
{
    return RunImageMapDialog(pszBuffer, nSize, pszImagePath, [](QDialog *pDialog) { return pDialog->exec(); });
}
