#include "html/ui/htmlgendlgs.h"

#include "platform/ui/filedialogs.h"
#include "text/ui/codec_qt.h"
#include "ui/formdialog.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

CVerticalRowsDlg::CVerticalRowsDlg(bool bUseRows, int nRows, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("行数"));
    m_pUseRows = new QCheckBox(QStringLiteral("行数"), this);
    m_pUseRows->setObjectName(QStringLiteral("useRows"));
    m_pUseRows->setChecked(bUseRows);
    m_pRows = new QSpinBox(this);
    m_pRows->setObjectName(QStringLiteral("rows"));
    m_pRows->setRange(1, 1000);
    m_pRows->setValue(std::clamp(nRows, 1, 1000));
    m_pRows->setEnabled(bUseRows);
    connect(m_pUseRows, &QCheckBox::toggled, m_pRows, &QWidget::setEnabled);
    auto *pForm = new QFormLayout;
    pForm->addRow(m_pUseRows, m_pRows);
    LayOutFormDialog(this, pForm);
}

int CVerticalRowsDlg::GetRows() const
{
    return m_pUseRows->isChecked() ? m_pRows->value() : 0;
}

bool CVerticalRowsDlg::GetUseRows() const
{
    return m_pUseRows->isChecked();
}

namespace {

QColor ToQColor(CGradColor c)
{
    return QColor(c.nRed, c.nGreen, c.nBlue);
}

void PaintButton(QPushButton *pButton, CGradColor c)
{
    pButton->setStyleSheet(QStringLiteral("QPushButton { border: 1px solid gray; border-left: 12px solid %1; }")
                               .arg(ToQColor(c).name()));
}

} // namespace

CGradationDlg::CGradationDlg(bool bTextField, CGradColor crFrom, CGradColor crTo, bool bRainbow, QWidget *pParent)
    : QDialog(pParent), m_crFrom(crFrom), m_crTo(crTo)
{
    setWindowTitle(QStringLiteral("文字のグラデーション"));
    m_pText = new QLineEdit(this);
    m_pText->setObjectName(QStringLiteral("text"));
    m_pText->setEnabled(bTextField);
    if (bTextField)
        m_pText->setText(QStringLiteral("グラデーション"));
    m_pSample = new QLabel(this);
    m_pSample->setObjectName(QStringLiteral("sample"));
    m_pSample->setTextFormat(Qt::RichText);
    m_pSample->setMinimumWidth(240);
    m_pRainbow = new QCheckBox(QStringLiteral("虹色"), this);
    m_pRainbow->setObjectName(QStringLiteral("rainbow"));
    m_pRainbow->setChecked(bRainbow);
    m_pFrom = new QPushButton(QStringLiteral("始め(色)"), this);
    m_pFrom->setObjectName(QStringLiteral("fromColor"));
    m_pTo = new QPushButton(QStringLiteral("終り(色)"), this);
    m_pTo->setObjectName(QStringLiteral("toColor"));
    m_pFrom->setAutoDefault(false);
    m_pTo->setAutoDefault(false);
    auto *pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pRainbow);
    pButtons->addWidget(m_pFrom);
    pButtons->addWidget(m_pTo);
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("文字:"), m_pText);
    pForm->addRow(QStringLiteral("ｻﾝﾌﾟﾙ:"), m_pSample);
    pForm->addRow(pButtons);
    LayOutFormDialog(this, pForm);

    connect(m_pText, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(m_pRainbow, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(m_pFrom, &QPushButton::clicked, this, [this] { ChooseColorFor(true); });
    connect(m_pTo, &QPushButton::clicked, this, [this] { ChooseColorFor(false); });
    UpdateSample();
}

QString CGradationDlg::GetText() const
{
    return m_pText->text();
}

bool CGradationDlg::GetRainbow() const
{
    return m_pRainbow->isChecked();
}

void CGradationDlg::SetColors(CGradColor crFrom, CGradColor crTo)
{
    m_crFrom = crFrom;
    m_crTo = crTo;
    UpdateSample();
}

QString CGradationDlg::SampleHtml() const
{
    const QString strText = m_pText->isEnabled() && !m_pText->text().isEmpty() ? m_pText->text()
                                                                                : QStringLiteral("グラデーション");
    const std::string strHtml = BuildGradation(QStringToCp932(strText), m_crFrom, m_crTo,
                                               m_pRainbow->isChecked(), false);
    return Cp932ToQString(strHtml);
}

void CGradationDlg::ChooseColorFor(bool bFrom)
{
    CGradColor &c = bFrom ? m_crFrom : m_crTo;
    QColor chosen;
    if (!ChooseColor(this, ToQColor(c), chosen))
        return;
    c = {chosen.red(), chosen.green(), chosen.blue()};
    UpdateSample();
}

void CGradationDlg::UpdateSample()
{
    // The sample is the very markup the command inserts, shown rendered.
    m_pSample->setText(SampleHtml());
    PaintButton(m_pFrom, m_crFrom);
    PaintButton(m_pTo, m_crTo);
    m_pFrom->setEnabled(!m_pRainbow->isChecked());
    m_pTo->setEnabled(!m_pRainbow->isChecked());
}

CTableCsvDlg::CTableCsvDlg(int nSeparator, bool bEraseTags, QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("<Table>タグをCSVに変換"));
    m_pSeparator = new QComboBox(this);
    m_pSeparator->setObjectName(QStringLiteral("separator"));
    m_pSeparator->addItems({QStringLiteral("カンマ"), QStringLiteral("タブ"), QStringLiteral("半角空白")});
    m_pSeparator->setCurrentIndex(std::clamp(nSeparator, 0, 2));
    m_pEraseTags = new QCheckBox(QStringLiteral("タグをすべて消去する。"), this);
    m_pEraseTags->setObjectName(QStringLiteral("eraseTags"));
    m_pEraseTags->setChecked(bEraseTags);
    auto *pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("区切り文字："), m_pSeparator);
    pForm->addRow(m_pEraseTags);
    LayOutFormDialog(this, pForm);
}

int CTableCsvDlg::GetSeparator() const
{
    return m_pSeparator->currentIndex();
}

bool CTableCsvDlg::GetEraseTags() const
{
    return m_pEraseTags->isChecked();
}
