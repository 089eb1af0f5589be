// The clipboard. A copy offers the text as Unicode (for other programs, with
// "\n" line breaks) and, privately, the exact Shift-JIS lines, which a paste in
// Wrenpad prefers so that copying within the program never changes a byte.
#include "view/ui/crystaleditview.h"

#include "text/doctext.h"
#include "text/ui/codec_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace {

// The private form: "<count>\n<len>,<len>,...\n" then the line pieces back to
// back; the lines of a box have "<count> box" as their first line, which a
// reader that knows no boxes refuses, falling back to the Unicode text.
QByteArray EncodePieces(const std::vector<std::string> &aPieces, bool bBox)
{
    QByteArray header = QByteArray::number(static_cast<qsizetype>(aPieces.size())) + (bBox ? " box\n" : "\n");
    QByteArray body;
    for (std::size_t i = 0; i < aPieces.size(); ++i) {
        if (i > 0)
            header += ',';
        header += QByteArray::number(static_cast<qsizetype>(aPieces[i].size()));
        body.append(aPieces[i].data(), static_cast<qsizetype>(aPieces[i].size()));
    }
    return header + '\n' + body;
}

bool DecodePieces(const QByteArray &data, std::vector<std::string> &aPieces, bool &bBox)
{
    aPieces.clear();
    const qsizetype nFirst = data.indexOf('\n');
    const qsizetype nSecond = nFirst < 0 ? -1 : data.indexOf('\n', nFirst + 1);
    if (nSecond < 0)
        return false;
    QByteArray count = data.left(nFirst);
    bBox = count.endsWith(" box");
    if (bBox)
        count.chop(4);
    bool bOk = false;
    const qsizetype nCount = count.toLongLong(&bOk);
    if (!bOk || nCount <= 0)
        return false;
    const QList<QByteArray> lengths = data.mid(nFirst + 1, nSecond - nFirst - 1).split(',');
    if (lengths.size() != nCount)
        return false;
    qsizetype nPos = nSecond + 1;
    for (const QByteArray &len : lengths) {
        const qsizetype n = len.toLongLong(&bOk);
        if (!bOk || n < 0 || nPos + n > data.size())
            return false;
        aPieces.emplace_back(data.constData() + nPos, static_cast<std::size_t>(n));
        nPos += n;
    }
    return nPos == data.size();
}

// Whether the data holds a box's lines in the private form.
bool IsBoxMime(const QMimeData *pData)
{
    if (!pData || !pData->hasFormat(QString::fromLatin1(WRENPAD_MIME_SJIS)))
        return false;
    const QByteArray data = pData->data(QString::fromLatin1(WRENPAD_MIME_SJIS));
    const qsizetype nFirst = data.indexOf('\n');
    return nFirst > 0 && data.left(nFirst).endsWith(" box");
}

std::string JoinPieces(const std::vector<std::string> &aPieces)
{
    std::string s;
    for (std::size_t i = 0; i < aPieces.size(); ++i) {
        if (i > 0)
            s += "\r\n";
        s += aPieces[i];
    }
    return s;
}

// Unicode text with its line breaks as CR LF, as the buffer takes them.
QString WithCrLf(QString str)
{
    str.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    str.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    str.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return str;
}

} // namespace

QMimeData *CCrystalEditView::MimeFromLines(const std::vector<std::string> &aPieces, bool bBox,
                                           const CExtraChars *pExtra)
{
    auto *pData = new QMimeData;
    std::string strJoined;
    for (std::size_t i = 0; i < aPieces.size(); ++i) {
        if (i > 0)
            strJoined += '\n';
        strJoined += aPieces[i];
    }
    if (!pExtra || FindExtraChar(strJoined, *pExtra) == 0)
        pData->setData(QString::fromLatin1(WRENPAD_MIME_SJIS), EncodePieces(aPieces, bBox));
    pData->setText(DocTextToQString(strJoined, pExtra));
    return pData;
}

QMimeData *CCrystalEditView::MimeFromBytes(std::string_view bytes, const CExtraChars *pExtra)
{
    // Split at CR LF only: lines of the text may hold other CRs and LFs.
    std::vector<std::string> aPieces;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t n = bytes.find("\r\n", nStart);
        if (n == std::string_view::npos)
            break;
        aPieces.emplace_back(bytes.substr(nStart, n - nStart));
        nStart = n + 2;
    }
    aPieces.emplace_back(bytes.substr(nStart));
    return MimeFromLines(aPieces, false, pExtra);
}

bool CCrystalEditView::LinesFromMime(const QMimeData *pData, std::vector<std::string> &aPieces, int *pnUnmappable,
                                     bool *pbBox, char32_t *pcFirst) const
{
    aPieces.clear();
    if (pnUnmappable)
        *pnUnmappable = 0;
    if (pbBox)
        *pbBox = false;
    if (!pData)
        return false;
    bool bBox = false;
    if (pData->hasFormat(QString::fromLatin1(WRENPAD_MIME_SJIS))
        && DecodePieces(pData->data(QString::fromLatin1(WRENPAD_MIME_SJIS)), aPieces, bBox)) {
        if (pbBox)
            *pbBox = bBox;
        return true;
    }
    if (!pData->hasText())
        return false;
    const QString str = WithCrLf(pData->text());
    const std::string bytes = QStringToDocText(str, m_pTextBuffer->GetExtraChars(), pnUnmappable, pcFirst);
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t n = bytes.find("\r\n", nStart);
        if (n == std::string::npos)
            break;
        aPieces.push_back(bytes.substr(nStart, n - nStart));
        nStart = n + 2;
    }
    aPieces.push_back(bytes.substr(nStart));
    return true;
}

bool CCrystalEditView::InsertMimeText(const QMimeData *pData, CPoint pt, int nAction, CPoint &ptEnd)
{
    ptEnd = pt;
    std::vector<std::string> aPieces;
    int nBad = 0;
    char32_t cFirst = 0;
    if (!LinesFromMime(pData, aPieces, &nBad, nullptr, &cFirst) || !AcceptUnmappable(nBad, cFirst))
        return false;
    if (aPieces.size() == 1 && aPieces[0].empty())
        return false;
    const std::vector<std::string_view> aViews(aPieces.begin(), aPieces.end());
    int nEndLine = pt.y;
    int nEndChar = pt.x;
    if (!m_pTextBuffer->InsertLines(this, pt.y, pt.x, aViews, nEndLine, nEndChar, nAction))
        return false;
    ptEnd = CPoint(nEndChar, nEndLine);
    return true;
}

bool CCrystalEditView::CopyTextToClipboard(std::string_view text)
{
    QApplication::clipboard()->setMimeData(MimeFromBytes(text, m_pTextBuffer->GetExtraChars()));
    return true;
}

bool CCrystalEditView::CanPaste() const
{
    const QMimeData *pData = QApplication::clipboard()->mimeData();
    return pData && (pData->hasText() || pData->hasFormat(QString::fromLatin1(WRENPAD_MIME_SJIS)));
}

bool CCrystalEditView::PasteTextFromClipboard(std::string &strText) const
{
    std::vector<std::string> aPieces;
    if (!LinesFromMime(QApplication::clipboard()->mimeData(), aPieces))
        return false;
    strText = JoinPieces(aPieces);
    return true;
}

void CCrystalEditView::OnEditCopy()
{
    if (!IsSelection() || !m_pTextBuffer)
        return;
    if (m_bBoxSelect) {
        CopyBoxToClipboard();
        return;
    }
    CPoint b;
    CPoint e;
    GetSelectionRange(b, e);
    QApplication::clipboard()->setMimeData(
        MimeFromLines(m_pTextBuffer->GetTextLines(b.y, b.x, e.y, e.x), false, m_pTextBuffer->GetExtraChars()));
}

void CCrystalEditView::OnEditCut()
{
    if (!CanEdit() || !IsSelection())
        return;
    if (m_bBoxSelect) {
        CutBox();
        return;
    }
    OnEditCopy();
    DeleteCurrentSelection(ACTION_CUT);
}

void CCrystalEditView::OnEditPaste()
{
    if (!CanEdit())
        return;
    const QMimeData *pData = QApplication::clipboard()->mimeData();
    if (m_bBoxSelect || IsBoxMime(pData)) {
        PasteBox(pData);
        return;
    }
    CUndoGroup group(*m_pTextBuffer, this);
    DeleteCurrentSelection(ACTION_PASTE);
    CPoint ptEnd;
    InsertMimeText(pData, m_ptCaret, ACTION_PASTE, ptEnd);
    PlaceCaret(ptEnd);
}
