// What the preview reads from pages it did not write: the character code
// declaration, the base element, and the copy with a base put in, on
// arbitrary bytes. No crash or overrun, and the properties that must hold:
// the copy holds the page's bytes around the one base it adds, and a page
// with a base of its own is left alone.
#include "preview/preview.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool bOk, const char *pszWhat)
{
    if (!bOk) {
        std::fprintf(stderr, "property failed: %s\n", pszWhat);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *pData, std::size_t nSize)
{
    const std::string_view page(reinterpret_cast<const char *>(pData), nSize);
    bool bDeclared = false;
    const std::string strCharset = PageCharset(page, &bDeclared);
    Check(!strCharset.empty() || bDeclared, "an undeclared page gets a code");

    const std::string strHref = "file:///x/";
    const std::string strCopy = WithBaseHref(page, strHref);
    if (FindBaseHref(page).empty() && strCopy != page) {
        const std::string strBase = "<base href=\"file:///x/\">";
        Check(strCopy.size() == page.size() + strBase.size(), "only the base is added");
        bool bKept = false;
        for (std::size_t nAt = strCopy.find(strBase); nAt != std::string::npos && !bKept;
             nAt = strCopy.find(strBase, nAt + 1))
            bKept = strCopy.compare(0, nAt, page, 0, nAt) == 0
                    && strCopy.compare(nAt + strBase.size(), std::string::npos, page, nAt) == 0;
        Check(bKept, "the page's bytes are kept around the base");
    }
    (void)PreviewCopyBytes(page, strHref);
    return 0;
}
