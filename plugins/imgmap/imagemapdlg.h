// The image-map plug-in's dialog: the image, on which the user drags out
// rectangles, and the list of those rectangles with the link and the text of
// each. The plug-in is unloaded once it returns, so nothing here may outlive
// the call: no meta-object of our own (no Q_OBJECT), no deferred deletion,
// and no string literal data handed to the toolkit (texts are built with
// QString::fromUtf8, which copies).
#pragma once

#include "imagemapmarkup.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The image with the rectangles drawn on it.
class CImageMapCanvas : public QWidget
{
public:
    CImageMapCanvas(const QImage &image, QSize size, QWidget *pParent);

    void SetAreas(const std::vector<CMapArea> *pAreas) { m_pAreas = pAreas; }
    void SetSelected(int nArea);
    int GetSelected() const { return m_nSelected; }

    // A rectangle dragged out (in image pixels), and a click that chose an
    // area (-1: none).
    std::function<void(const QRect &)> m_fnAdded;
    std::function<void(int)> m_fnChosen;

    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent *pEvent) override;
    void mousePressEvent(QMouseEvent *pEvent) override;
    void mouseMoveEvent(QMouseEvent *pEvent) override;
    void mouseReleaseEvent(QMouseEvent *pEvent) override;

private:
    QPoint Clamped(const QPoint &pt) const;

    QImage m_image;  // null when the image could not be decoded
    QSize m_size;
    const std::vector<CMapArea> *m_pAreas = nullptr;
    int m_nSelected = -1;
    bool m_bDragging = false;
    QPoint m_ptAnchor;
    QPoint m_ptCurrent;
};

class CImageMapDialog : public QDialog
{
public:
    // nLimit: the bytes the markup may take in Shift-JIS, with its terminator.
    CImageMapDialog(const std::string &strImagePath, const QImage &image, QSize size, int nLimit,
                    QWidget *pParent = nullptr);

    CImageMapContent GetContent() const;
    // The markup in Shift-JIS once the dialog was accepted.
    const std::string &GetMarkup() const { return m_strMarkup; }

    void accept() override;

private:
    void AddArea(const QRect &rc);
    void DeleteSelected();
    void Choose(int nArea);
    void RefreshTable();
    void UpdateButtons();

    std::vector<CMapArea> m_aAreas;
    QSize m_size;
    int m_nLimit;
    std::string m_strMarkup;
    CImageMapCanvas *m_pCanvas;
    QLineEdit *m_pMapName;
    QCheckBox *m_pImageTag;
    QLineEdit *m_pImageSrc;
    QTableWidget *m_pTable;
    QPushButton *m_pDelete;
    QPushButton *m_pOk;
    QLabel *m_pStatus;
    bool m_bFilling = false;
};

// What the plug-in's ShowWpImageMap does, with the way the dialog is run
// given: loads the image, runs the dialog and copies the markup into the
// buffer. Returns 1 when it wrote markup, 0 otherwise (no application, an
// image that cannot be read, Cancel).
int RunImageMapDialog(char *pszBuffer, int nSize, const char *pszImagePath,
                      const std::function<int(QDialog *)> &fnExec);
