#include "ui/saveaslocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace fennick {
namespace {

// Qt's file dialog writes the folder last visited (and, for its own widget
// dialog, its layout) to the user's "QtProject" settings when it closes:
// the registry on Windows, QtProject.conf elsewhere. Fennick keeps no
// settings, so while the dialog is open they go to a folder that is removed
// afterwards. Fennick has no settings of its own that these calls could
// move.
class DialogSettingsDiscarded {
public:
    DialogSettingsDiscarded()
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }
    DialogSettingsDiscarded(const DialogSettingsDiscarded &) = delete;
    DialogSettingsDiscarded &operator=(const DialogSettingsDiscarded &) = delete;
    ~DialogSettingsDiscarded() { QSettings::setDefaultFormat(QSettings::NativeFormat); }

private:
    QTemporaryDir m_folder;
};

} // namespace

QString askSaveAsLocation(QWidget *parent)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const DialogSettingsDiscarded discarded;
    return QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("fennick::SaveAs", "Save As"),
        QDir(folder).filePath(QStringLiteral("Config.ini")),
        QCoreApplication::translate("fennick::SaveAs", "Configuration files (*.ini)"));
}

} // namespace fennick
