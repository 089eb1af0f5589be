#include "imagemapdlg.h"

#include "filetools/imagesize.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

// Texts are copied into the toolkit's own memory: it may keep a string after
// this plug-in is gone, and a literal's data would go with the plug-in.
QString Text(const char *psz)
{
    return QString::fromUtf8(psz);
}

QString Text(const std::string &str)
{
    return QString::fromUtf8(str.data(), static_cast<qsizetype>(str.size()));
}

// Smaller drags are clicks.
constexpr int MIN_AREA_SIZE = 3;

} // namespace

// ---------------------------------------------------------------------------
// Canvas

CImageMapCanvas::CImageMapCanvas(const QImage &image, QSize size, QWidget *pParent)
    : QWidget(pParent), m_image(image), m_size(size)
{
    setFixedSize(size);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::ClickFocus);
}

void CImageMapCanvas::SetSelected(int nArea)
{
    m_nSelected = nArea;
    update();
}

QPoint CImageMapCanvas::Clamped(const QPoint &pt) const
{
    return QPoint(std::clamp(pt.x(), 0, m_size.width()), std::clamp(pt.y(), 0, m_size.height()));
}

void CImageMapCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_image.isNull()) {
        // An image the toolkit cannot show still has its size from its header.
        painter.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
        painter.drawText(rect(), Qt::AlignCenter, Text("(画像を表示できません)"));
    } else {
        painter.drawImage(QRect(QPoint(0, 0), m_size), m_image);
    }
    if (m_pAreas) {
        for (std::size_t i = 0; i < m_pAreas->size(); ++i) {
            const CMapArea &area = (*m_pAreas)[i];
            const QRect rc = QRect(QPoint(area.nLeft, area.nTop), QPoint(area.nRight, area.nBottom)).normalized();
            const bool bSelected = static_cast<int>(i) == m_nSelected;
            const QColor colour = bSelected ? QColor(0xE0, 0x20, 0x20) : QColor(0x20, 0x40, 0xE0);
            painter.fillRect(rc, QColor(colour.red(), colour.green(), colour.blue(), 48));
            painter.setPen(QPen(colour, bSelected ? 3 : 2));
            painter.drawRect(rc);
            painter.drawText(rc.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::number(i + 1));
        }
    }
    if (m_bDragging) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(QRect(m_ptAnchor, m_ptCurrent).normalized());
    }
}

void CImageMapCanvas::mousePressEvent(QMouseEvent *pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_bDragging = true;
    m_ptAnchor = m_ptCurrent = Clamped(pEvent->position().toPoint());
    update();
}

void CImageMapCanvas::mouseMoveEvent(QMouseEvent *pEvent)
{
    if (!m_bDragging)
        return;
    m_ptCurrent = Clamped(pEvent->position().toPoint());
    update();
}

void CImageMapCanvas::mouseReleaseEvent(QMouseEvent *pEvent)
{
    if (!m_bDragging || pEvent->button() != Qt::LeftButton)
        return;
    m_bDragging = false;
    m_ptCurrent = Clamped(pEvent->position().toPoint());
    const int nLeft = std::min(m_ptAnchor.x(), m_ptCurrent.x());
    const int nTop = std::min(m_ptAnchor.y(), m_ptCurrent.y());
    const int nWidth = std::abs(m_ptCurrent.x() - m_ptAnchor.x());
    const int nHeight = std::abs(m_ptCurrent.y() - m_ptAnchor.y());
    update();
    if (nWidth >= MIN_AREA_SIZE && nHeight >= MIN_AREA_SIZE) {
        if (m_fnAdded)
            m_fnAdded(QRect(nLeft, nTop, nWidth, nHeight));
        return;
    }
    // A click chooses the uppermost area under it, the one drawn last.
    int nChosen = -1;
    if (m_pAreas) {
        for (std::size_t i = m_pAreas->size(); i-- > 0;) {
            const CMapArea &area = (*m_pAreas)[i];
            if (QRect(QPoint(area.nLeft, area.nTop), QPoint(area.nRight, area.nBottom)).normalized().contains(m_ptCurrent)) {
                nChosen = static_cast<int>(i);
                break;
            }
        }
    }
    if (m_fnChosen)
        m_fnChosen(nChosen);
}

// ---------------------------------------------------------------------------
// Dialog

CImageMapDialog::CImageMapDialog(const std::string &strImagePath, const QImage &image, QSize size, int nLimit,
                                 QWidget *pParent)
    : QDialog(pParent), m_size(size), m_nLimit(nLimit)
{
    setWindowTitle(Text("クリッカブルマップの作成"));
    setObjectName(Text("imageMapDialog"));

    m_pMapName = new QLineEdit(Text(DefaultMapName(strImagePath)), this);
    m_pMapName->setObjectName(Text("mapName"));
    auto *pNameRow = new QHBoxLayout;
    auto *pNameLabel = new QLabel(Text("マップ名(&N)："), this);
    pNameLabel->setBuddy(m_pMapName);
    pNameRow->addWidget(pNameLabel);
    pNameRow->addWidget(m_pMapName, 1);

    m_pCanvas = new CImageMapCanvas(image, size, this);
    m_pCanvas->setObjectName(Text("mapCanvas"));
    m_pCanvas->SetAreas(&m_aAreas);
    m_pCanvas->m_fnAdded = [this](const QRect &rc) { AddArea(rc); };
    m_pCanvas->m_fnChosen = [this](int nArea) { Choose(nArea); };
    auto *pScroll = new QScrollArea(this);
    pScroll->setWidget(m_pCanvas);
    pScroll->setMinimumSize(std::min(size.width() + 4, 480), std::min(size.height() + 4, 360));

    m_pTable = new QTableWidget(0, 3, this);
    m_pTable->setObjectName(Text("mapAreas"));
    m_pTable->setHorizontalHeaderLabels({Text("座標"), Text("リンク先"), Text("説明")});
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setColumnWidth(0, 110);
    m_pTable->setColumnWidth(1, 140);
    m_pTable->setMinimumWidth(380);
    m_pTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed);
    m_pTable->verticalHeader()->setVisible(true);
    connect(m_pTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *pItem) {
        if (m_bFilling || pItem->row() < 0 || pItem->row() >= static_cast<int>(m_aAreas.size()))
            return;
        CMapArea &area = m_aAreas[static_cast<std::size_t>(pItem->row())];
        const std::string strText = pItem->text().toStdString();
        if (pItem->column() == 1)
            area.strHref = strText;
        else if (pItem->column() == 2)
            area.strAlt = strText;
    });
    connect(m_pTable, &QTableWidget::currentCellChanged, this, [this](int nRow, int, int, int) {
        if (!m_bFilling)
            m_pCanvas->SetSelected(nRow);
        UpdateButtons();
    });

    auto *pMiddle = new QHBoxLayout;
    pMiddle->addWidget(pScroll, 3);
    pMiddle->addWidget(m_pTable, 2);

    auto *pHint = new QLabel(Text("画像の上をドラッグすると、その四角形がエリアになります。"
                                  "リンク先と説明は右の表に書き込みます。"),
                             this);
    pHint->setWordWrap(true);

    m_pImageTag = new QCheckBox(Text("<img>タグも挿入する(&I)"), this);
    m_pImageTag->setObjectName(Text("imageTag"));
    m_pImageTag->setChecked(true);
    const std::size_t nSlash = strImagePath.rfind('/');
    m_pImageSrc = new QLineEdit(Text(nSlash == std::string::npos ? strImagePath : strImagePath.substr(nSlash + 1)),
                                this);
    m_pImageSrc->setObjectName(Text("imageSrc"));
    connect(m_pImageTag, &QCheckBox::toggled, m_pImageSrc, &QWidget::setEnabled);
    auto *pImageRow = new QHBoxLayout;
    pImageRow->addWidget(m_pImageTag);
    pImageRow->addWidget(new QLabel(Text("画像ファイル："), this));
    pImageRow->addWidget(m_pImageSrc, 1);

    m_pDelete = new QPushButton(Text("エリアを削除(&D)"), this);
    m_pDelete->setObjectName(Text("deleteArea"));
    connect(m_pDelete, &QPushButton::clicked, this, [this] { DeleteSelected(); });
    auto *pButtons = new QDialogButtonBox(this);
    m_pOk = pButtons->addButton(Text("OK"), QDialogButtonBox::AcceptRole);
    m_pOk->setObjectName(Text("ok"));
    pButtons->addButton(Text("キャンセル"), QDialogButtonBox::RejectRole);
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, [this] { reject(); });
    auto *pButtonRow = new QHBoxLayout;
    pButtonRow->addWidget(m_pDelete);
    pButtonRow->addStretch(1);
    pButtonRow->addWidget(pButtons);

    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(Text("mapStatus"));
    m_pStatus->setStyleSheet(Text("color: #c00000"));

    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pNameRow);
    pLayout->addLayout(pMiddle, 1);
    pLayout->addWidget(pHint);
    pLayout->addLayout(pImageRow);
    pLayout->addWidget(m_pStatus);
    pLayout->addLayout(pButtonRow);
    UpdateButtons();
}

CImageMapContent CImageMapDialog::GetContent() const
{
    CImageMapContent map;
    map.strMapName = m_pMapName->text().trimmed().toStdString();
    if (map.strMapName.empty())
        map.strMapName = "map";
    for (char &c : map.strMapName)
        if (c == ' ' || c == '\t')
            c = '_';
    map.bImageTag = m_pImageTag->isChecked();
    map.strImageSrc = m_pImageSrc->text().trimmed().toStdString();
    map.nWidth = m_size.width();
    map.nHeight = m_size.height();
    map.aAreas = m_aAreas;
    return map;
}

void CImageMapDialog::accept()
{
    if (m_aAreas.empty())
        return;
    std::string strMarkup = MarkupToSjis(BuildImageMapMarkup(GetContent()));
    if (static_cast<long long>(strMarkup.size()) + 1 > m_nLimit) {
        m_pStatus->setText(Text("マップが長すぎて挿入できません（%1 バイト、%2 バイトまで）。エリアを減らしてください。")
                               .arg(strMarkup.size())
                               .arg(m_nLimit - 1));
        return;
    }
    m_strMarkup = std::move(strMarkup);
    QDialog::accept();
}

void CImageMapDialog::AddArea(const QRect &rc)
{
    CMapArea area;
    area.nLeft = rc.left();
    area.nTop = rc.top();
    area.nRight = rc.left() + rc.width();
    area.nBottom = rc.top() + rc.height();
    m_aAreas.push_back(area);
    RefreshTable();
    Choose(static_cast<int>(m_aAreas.size()) - 1);
    // The link is what the user writes next: typing goes into its cell.
    m_pTable->setFocus();
}

void CImageMapDialog::DeleteSelected()
{
    const int nRow = m_pTable->currentRow();
    if (nRow < 0 || nRow >= static_cast<int>(m_aAreas.size()))
        return;
    m_aAreas.erase(m_aAreas.begin() + nRow);
    RefreshTable();
    Choose(std::min(nRow, static_cast<int>(m_aAreas.size()) - 1));
}

void CImageMapDialog::Choose(int nArea)
{
    m_bFilling = true;
    if (nArea >= 0 && nArea < m_pTable->rowCount())
        m_pTable->setCurrentCell(nArea, 1);
    else
        m_pTable->setCurrentCell(-1, -1);
    m_bFilling = false;
    m_pCanvas->SetSelected(nArea);
    UpdateButtons();
}

void CImageMapDialog::RefreshTable()
{
    m_bFilling = true;
    m_pTable->setRowCount(static_cast<int>(m_aAreas.size()));
    for (std::size_t i = 0; i < m_aAreas.size(); ++i) {
        const CMapArea &area = m_aAreas[i];
        auto *pCoords = new QTableWidgetItem(Text(AreaCoords(area, m_size.width(), m_size.height())));
        pCoords->setFlags(pCoords->flags() & ~Qt::ItemIsEditable);
        const int nRow = static_cast<int>(i);
        m_pTable->setItem(nRow, 0, pCoords);
        m_pTable->setItem(nRow, 1, new QTableWidgetItem(Text(area.strHref)));
        m_pTable->setItem(nRow, 2, new QTableWidgetItem(Text(area.strAlt)));
    }
    m_bFilling = false;
    m_pStatus->clear();
    m_pCanvas->update();
    UpdateButtons();
}

void CImageMapDialog::UpdateButtons()
{
    m_pOk->setEnabled(!m_aAreas.empty());
    m_pDelete->setEnabled(m_pTable->currentRow() >= 0 && m_pTable->currentRow() < static_cast<int>(m_aAreas.size()));
}

// ---------------------------------------------------------------------------
// The plug-in's entry

int RunImageMapDialog(char *pszBuffer, int nSize, const char *pszImagePath,
                      const std::function<int(QDialog *)> &fnExec)
{
    if (!pszBuffer || nSize <= 1 || !pszImagePath || !*pszImagePath)
        return 0;
    // Without an application there is nothing to show a dialog with.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return 0;
    const std::string strPath = pszImagePath;
    const CImageSize header = ReadImageFileSize(strPath);
    QImageReader reader(Text(strPath));
    // Map coordinates are those of the stored pixels, the size the image tag gives.
    reader.setAutoTransform(false);
    QImage image = reader.read();
    QSize size = header.eFormat != IMAGE_UNKNOWN ? QSize(header.nWidth, header.nHeight) : image.size();
    if (size.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, Text("クリッカブルマップ"),
                        Text("画像ファイルを読み込めません。\n") + Text(strPath), QMessageBox::Ok,
                        QApplication::activeWindow());
        fnExec(&box);
        return 0;
    }
    if (!image.isNull() && image.size() != size)
        image = image.scaled(size);
    CImageMapDialog dialog(strPath, image, size, nSize, QApplication::activeWindow());
    if (fnExec(&dialog) != QDialog::Accepted)
        return 0;
    const std::string &strMarkup = dialog.GetMarkup();
    if (strMarkup.empty() || static_cast<long long>(strMarkup.size()) + 1 > nSize)
        return 0;
    std::memcpy(pszBuffer, strMarkup.data(), strMarkup.size());
    pszBuffer[strMarkup.size()] = '\0';
    return 1;
}
