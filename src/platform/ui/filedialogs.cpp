#include "platform/ui/filedialogs.h"

#include "platform/ui/focusreturn.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

namespace {

FileDialogHook &FileHook()
{
    static FileDialogHook hook;
    return hook;
}

ColorDialogHook &ColorHook()
{
    static ColorDialogHook hook;
    return hook;
}

} // namespace

void SetFileDialogHook(FileDialogHook hook)
{
    FileHook() = std::move(hook);
}

void SetColorDialogHook(ColorDialogHook hook)
{
    ColorHook() = std::move(hook);
}

QStringList RunFileDialog(QWidget *pParent, const CFileDialogRequest &request, int *pnChoice)
{
    const CFocusReturn focus(pParent);
    if (pnChoice)
        *pnChoice = request.nChoice;
    if (FileHook()) {
        CFileDialogRequest asked = request;
        QStringList chosen = FileHook()(asked);
        if (pnChoice)
            *pnChoice = asked.nChoice;
        return chosen;
    }

    QFileDialog dlg(pParent, request.strTitle, request.strDirectory);
    // The toolkit's own dialog takes extra rows; a desktop's does not. Chosen
    // first: changing it later starts the dialog's state (the filter chosen)
    // afresh.
    if (!request.aChoices.isEmpty())
        dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(request.bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.bFolder) {
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly);
    } else if (request.bSave)
        dlg.setFileMode(QFileDialog::AnyFile);
    else
        dlg.setFileMode(request.bMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dlg.setNameFilters(request.aFilters);
    // Chosen as the dialog holds the filters: it tidies their blanks
    // ("Html Files  (*.html)" becomes "Html Files (*.html)").
    const QStringList aShown = dlg.nameFilters();
    if (request.nFilterIndex >= 1 && request.nFilterIndex <= aShown.size())
        dlg.selectNameFilter(aShown[request.nFilterIndex - 1]);
    if (!request.strDefaultSuffix.isEmpty())
        dlg.setDefaultSuffix(request.strDefaultSuffix);
    if (!request.strFileName.isEmpty())
        dlg.selectFile(request.strFileName);
    QComboBox *pChoice = nullptr;
    if (!request.aChoices.isEmpty()) {
        if (auto *pGrid = qobject_cast<QGridLayout *>(dlg.layout())) {
            pChoice = new QComboBox(&dlg);
            pChoice->setObjectName(QStringLiteral("choice"));
            pChoice->addItems(request.aChoices);
            pChoice->setCurrentIndex(request.nChoice);
            auto *pLabel = new QLabel(request.strChoiceLabel, &dlg);
            pLabel->setBuddy(pChoice);
            const int nRow = pGrid->rowCount();
            pGrid->addWidget(pLabel, nRow, 0);
            pGrid->addWidget(pChoice, nRow, 1);
        }
    }
    if (dlg.exec() != QDialog::Accepted)
        return {};
    if (pChoice && pnChoice)
        *pnChoice = pChoice->currentIndex();
    return dlg.selectedFiles();
}

QString BrowseForFolder(QWidget *pParent, const QString &strTitle, const QString &strStart)
{
    CFileDialogRequest request;
    request.bFolder = true;
    request.strTitle = strTitle;
    request.strDirectory = strStart;
    while (request.strDirectory.size() > 1 && request.strDirectory.endsWith(QLatin1Char('/')))
        request.strDirectory.chop(1);
    const QStringList chosen = RunFileDialog(pParent, request);
    return chosen.isEmpty() ? QString() : chosen.first();
}

bool ChooseColor(QWidget *pParent, const QColor &initial, QColor &chosen)
{
    const CFocusReturn focus(pParent);
    if (ColorHook())
        return ColorHook()(initial, chosen);
    const QColor color = QColorDialog::getColor(initial, pParent);
    if (!color.isValid())
        return false;
    chosen = color;
    return true;
}
