#include "app/ui/aboutdlg.h"

#include "platform/ui/programfolder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int ICON_SIZE = 64;

} // namespace

QString VersionText()
{
    return QStringLiteral("Version %1").arg(QApplication::applicationVersion());
}

CAboutDlg::CAboutDlg(QWidget *pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    m_pIcon = new QLabel(this);
    m_pIcon->setObjectName(QStringLiteral("aboutIcon"));
    m_pIcon->setFixedSize(ICON_SIZE + 16, ICON_SIZE + 16);
    m_pIcon->setAlignment(Qt::AlignCenter);

    auto *pName = new QLabel(QStringLiteral("<b>Wrenpad</b> テキスト／HTMLエディター"), this);
    auto *pVersion = new QLabel(VersionText(), this);
    pVersion->setObjectName(QStringLiteral("aboutVersion"));
    // The links open the folders where the user's own files live.
    const QString strFolder = ProgramFolder();
    auto *pLinks = new QLabel(QStringLiteral("<a href=\"%1\">ユーザーデータのフォルダーを開く</a>")
                                  .arg(QUrl::fromLocalFile(strFolder).toString().toHtmlEscaped()),
                              this);
    pLinks->setObjectName(QStringLiteral("aboutLinks"));
    pLinks->setOpenExternalLinks(true);
    pLinks->setToolTip(strFolder);

    auto *pText = new QVBoxLayout;
    pText->addWidget(pName);
    pText->addWidget(pVersion);
    pText->addWidget(pLinks);
    pText->addStretch(1);
    auto *pTop = new QHBoxLayout;
    pTop->addWidget(m_pIcon);
    pTop->addLayout(pText, 1);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addWidget(pButtons);

    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(60);
    connect(m_pTimer, &QTimer::timeout, this, &CAboutDlg::Animate);
    m_pTimer->start();
    Animate();
}

void CAboutDlg::Animate()
{
    // The icon hops gently, as a wren does.
    const int nOffset = static_cast<int>(std::lround(6 * std::abs(std::sin(m_nFrame++ * 0.15))));
    QPixmap pixmap(m_pIcon->size() * m_pIcon->devicePixelRatioF());
    pixmap.setDevicePixelRatio(m_pIcon->devicePixelRatioF());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QIcon(QStringLiteral(":/icons/wrenpad.svg")).paint(&painter, QRect(8, 10 - nOffset, ICON_SIZE, ICON_SIZE));
    painter.end();
    m_pIcon->setPixmap(pixmap);
}

CSplashWnd::CSplashWnd(QWidget *pCentreOn)
    : QWidget(pCentreOn, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(360, 180);
    if (pCentreOn)
        move(pCentreOn->geometry().center() - rect().center());
    QTimer::singleShot(SHOW_MS, this, &QWidget::close);
}

void CSplashWnd::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x3f, 0x8f, 0xd8));
    gradient.setColorAt(1, QColor(0x1d, 0x5a, 0xa8));
    painter.fillRect(rect(), gradient);
    QIcon(QStringLiteral(":/icons/wrenpad.svg")).paint(&painter, QRect(24, 40, 96, 96));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(136, 50, 220, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Wrenpad"));
    font.setPixelSize(14);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(138, 96, 220, 24), Qt::AlignLeft | Qt::AlignVCenter, VersionText());
}

void CSplashWnd::mousePressEvent(QMouseEvent *)
{
    close();
}
