#include "ui/saveaslocation.h"

#include "ui/filedialog.h"

#include <QDir>
#include <QStandardPaths>

namespace fennick {

QString askSaveAsLocation(QWidget *parent, const QString &startAt)
{
    if (!startAt.isEmpty())
        return askFilePath(parent, FileDialogPurpose::SaveAs, startAt);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return askFilePath(parent, FileDialogPurpose::SaveAs,
                       QDir(folder).filePath(QStringLiteral("Config.ini")));
}

} // namespace fennick
