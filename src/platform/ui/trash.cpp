#include "platform/ui/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The trash in the user's data folder, made where it is missing, as a file
// manager would.
bool HomeTrashIsThere()
{
    const QString strData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (strData.isEmpty() || !QDir().mkpath(strData))
        return false;
    const QString strTrash = strData + QStringLiteral("/Trash");
    if (!QFileInfo(strTrash).isDir() && QDir(strData).mkdir(QStringLiteral("Trash")))
        QFile::setPermissions(strTrash, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QFileInfo(strTrash).isDir();
}

} // namespace

bool MoveToTrash(const std::string &strPath)
{
    // The toolkit falls back to the trash in the user's data folder; where it
    // cannot make that one, it moves the item into "files" under the working
    // folder and reports success. So that trash must be there first.
    if (!HomeTrashIsThere())
        return false;
    const QString strItem = QFile::decodeName(QByteArray::fromStdString(strPath));
    // A name the toolkit cannot spell (bytes that are not UTF-8) is not its to move.
    if (QFile::encodeName(strItem).toStdString() != strPath)
        return false;
    return QFile::moveToTrash(strItem) && !QFileInfo::exists(strItem) && !QFileInfo(strItem).isSymLink();
}
