#include "app/ui/docdialogs.h"

#include "app/appsettings.h"
#include "view/ui/fontutil.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

namespace {

// Whether the ASCII letters of a face all take the same width. Fontconfig
// marks no Japanese face as fixed-pitch, so the letters are measured.
bool IsFixedPitch(const QString &strFamily)
{
    QFont font(strFamily);
    font.setPixelSize(16);
    const QFontMetrics fm(font);
    const int nWidth = fm.horizontalAdvance(QLatin1Char('X'));
    return nWidth > 0 && fm.horizontalAdvance(QLatin1Char('i')) == nWidth
           && fm.horizontalAdvance(QLatin1Char('W')) == nWidth && fm.horizontalAdvance(QLatin1Char('.')) == nWidth;
}

} // namespace

QStringList CFontDlg::FixedPitchFaces()
{
    QStringList faces;
    for (const QString &strFamily : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(strFamily) && IsFixedPitch(strFamily))
            faces << strFamily;
    }
    return faces;
}

CFontDlg::CFontDlg(const QString &strFace, int nPointSize, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("フォント"));
    m_pFaces = new QListWidget(this);
    m_pFaces->setObjectName(QStringLiteral("fontFace"));
    m_pFaces->addItems(FixedPitchFaces());
    m_pSize = new QSpinBox(this);
    m_pSize->setObjectName(QStringLiteral("fontSize"));
    m_pSize->setRange(1, FONT_SIZE_MAX);
    m_pSize->setSuffix(QStringLiteral(" pt"));
    m_pPreview = new QLabel(QStringLiteral("AaBbYyZz 0123 あいうえお アイウエオ 漢字"), this);
    m_pPreview->setObjectName(QStringLiteral("fontPreview"));
    m_pPreview->setMinimumHeight(48);
    m_pPreview->setFrameShape(QFrame::StyledPanel);

    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("フォント名(&F):"), m_pFaces);
    pForm->addRow(QStringLiteral("サイズ(&S):"), m_pSize);
    pForm->addRow(QStringLiteral("サンプル:"), m_pPreview);
    LayOutFormDialog(this, pForm);

    connect(m_pFaces, &QListWidget::currentRowChanged, this, [this] { UpdatePreview(); });
    connect(m_pSize, &QSpinBox::valueChanged, this, [this] { UpdatePreview(); });
    SetFace(strFace);
    SetPointSize(nPointSize);
}

QString CFontDlg::GetFace() const
{
    const QListWidgetItem *pItem = m_pFaces->currentItem();
    return pItem ? pItem->text() : QString();
}

int CFontDlg::GetPointSize() const
{
    return m_pSize->value();
}

void CFontDlg::SetFace(const QString &strFace)
{
    QList<QListWidgetItem *> items = m_pFaces->findItems(strFace, Qt::MatchFixedString);
    if (items.isEmpty())
        items = m_pFaces->findItems(MakeViewFont(strFace).family(), Qt::MatchFixedString);
    if (!items.isEmpty())
        m_pFaces->setCurrentItem(items.first());
    else if (m_pFaces->count() > 0)
        m_pFaces->setCurrentRow(0);
}

void CFontDlg::SetPointSize(int nPointSize)
{
    m_pSize->setValue(nPointSize > 0 ? nPointSize : 14);
}

void CFontDlg::UpdatePreview()
{
    m_pPreview->setFont(MakeViewFont(GetFace(), GetPointSize() * 4 / 3));
}

CTabStopDlg::CTabStopDlg(int nTabSize, QWidget *pParent)
    : CNumberDlg(QStringLiteral("タブストップの設定"), QStringLiteral("タブ数"), QStringLiteral("tabCount"), 0,
                 TAB_STOP_MAX, nTabSize, pParent)
{
}
