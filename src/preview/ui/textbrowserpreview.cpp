#include "preview/ui/textbrowserpreview.h"

#include "platform/ui/shellopen.h"
#include "preview/preview.h"
#include "text/ui/codec_qt.h"

#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QStringDecoder>

namespace {

QByteArray ReadWhole(const QString &strPath, bool *pbOk)
{
    QFile file(strPath);
    *pbOk = file.open(QIODevice::ReadOnly);
    return *pbOk ? file.readAll() : QByteArray();
}

bool IsShiftJisName(const std::string &strCharset)
{
    QString strName = QString::fromStdString(strCharset).toLower();
    strName.remove(QLatin1Char('-')).remove(QLatin1Char('_'));
    return strName == QLatin1String("shiftjis") || strName == QLatin1String("sjis")
           || strName == QLatin1String("windows31j") || strName == QLatin1String("cp932")
           || strName == QLatin1String("xsjis") || strName == QLatin1String("mskanji");
}

} // namespace

CPageTextBrowser::CPageTextBrowser(QWidget *pParent) : QTextBrowser(pParent)
{
    setObjectName(QStringLiteral("previewTextBrowser"));
    setOpenLinks(false);
}

QVariant CPageTextBrowser::loadResource(int nType, const QUrl &name)
{
    const QUrl url = m_baseUrl.resolved(name);
    if (!url.isLocalFile())
        return QVariant();
    bool bOk = false;
    const QByteArray data = ReadWhole(url.toLocalFile(), &bOk);
    if (!bOk)
        return QVariant();
    // Images are handed over as bytes; style sheets and pages as text.
    if (nType == QTextDocument::ImageResource)
        return data;
    return CTextBrowserPreview::DecodePage(data);
}

CTextBrowserPreview::CTextBrowserPreview(QWidget *pParent) : m_pBrowser(new CPageTextBrowser(pParent))
{
    QObject::connect(m_pBrowser, &QTextBrowser::anchorClicked, m_pBrowser,
                     [this](const QUrl &url) { OnAnchorClicked(url); });
}

CTextBrowserPreview::~CTextBrowserPreview()
{
    delete m_pBrowser;
}

QWidget *CTextBrowserPreview::GetWidget()
{
    return m_pBrowser;
}

QString CTextBrowserPreview::DecodePage(const QByteArray &page)
{
    const std::string_view bytes(page.constData(), static_cast<std::size_t>(page.size()));
    const std::string strCharset = PageCharset(bytes);
    if (!IsShiftJisName(strCharset)) {
        QStringDecoder decoder(strCharset.c_str());
        if (decoder.isValid())
            return decoder.decode(page);
    }
    return Cp932ToQString(bytes);
}

bool CTextBrowserPreview::Load(const QString &strPath)
{
    m_strPath = strPath;
    bool bOk = false;
    const QByteArray page = ReadWhole(strPath, &bOk);
    if (!bOk) {
        m_pBrowser->SetBaseUrl(QUrl());
        m_pBrowser->setPlainText(QStringLiteral("%1 を読み込めません。").arg(strPath));
        return false;
    }
    QUrl base = QUrl::fromLocalFile(QFileInfo(strPath).absoluteFilePath());
    const std::string strBase = FindBaseHref(std::string_view(page.constData(), static_cast<std::size_t>(page.size())));
    if (!strBase.empty())
        base = base.resolved(QUrl(QString::fromStdString(strBase)));
    m_pBrowser->SetBaseUrl(base);
    const QString strText = DecodePage(page);
    const QString strSuffix = QFileInfo(strPath).suffix().toLower();
    if (strSuffix == QLatin1String("txt"))
        m_pBrowser->setPlainText(strText);
    else
        m_pBrowser->setHtml(strText);
    return true;
}

void CTextBrowserPreview::Navigate(const QString &strPath, bool bKeepScroll)
{
    const int nX = m_pBrowser->horizontalScrollBar()->value();
    const int nY = m_pBrowser->verticalScrollBar()->value();
    const bool bOk = Load(strPath);
    if (bKeepScroll) {
        m_pBrowser->horizontalScrollBar()->setValue(nX);
        m_pBrowser->verticalScrollBar()->setValue(nY);
    }
    if (m_fnLoadFinished)
        m_fnLoadFinished(bOk);
}

void CTextBrowserPreview::NavigateToAnchor(const QString &strPath, const QString &strAnchor)
{
    const bool bOk = Load(strPath);
    if (bOk && !strAnchor.isEmpty())
        m_pBrowser->scrollToAnchor(strAnchor);
    if (m_fnLoadFinished)
        m_fnLoadFinished(bOk);
}

void CTextBrowserPreview::Refresh()
{
    if (!m_strPath.isEmpty())
        Navigate(m_strPath, true);
}

void CTextBrowserPreview::OnAnchorClicked(const QUrl &url)
{
    // A link within the page stays within it, whatever base the page has.
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
        m_pBrowser->scrollToAnchor(url.fragment());
        return;
    }
    const QUrl target = m_pBrowser->GetBaseUrl().resolved(url);
    if (target.isLocalFile()) {
        const QString strFile = target.toLocalFile();
        if (strFile != m_strPath && QFileInfo(strFile).isFile())
            Navigate(strFile);
        if (strFile == m_strPath || QFileInfo(strFile).isFile()) {
            if (target.hasFragment())
                m_pBrowser->scrollToAnchor(target.fragment());
            return;
        }
    }
    ShellOpen(target.toString(QUrl::FullyEncoded).toStdString());
}
