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
// dialog, its layout) to the user's "QtProject" settings when it closes.
// Fennick keeps no settings between runs, so while the dialog is open they
// go to a folder that is removed afterwards. On Windows they go to the
// registry, which cannot be moved so.
class DialogSettingsDiscarded {
public:
    DialogSettingsDiscarded()
    {
#ifndef Q_OS_WIN
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
#endif
    }
    DialogSettingsDiscarded(const DialogSettingsDiscarded &) = delete;
    DialogSettingsDiscarded &operator=(const DialogSettingsDiscarded &) = delete;
    ~DialogSettingsDiscarded()
    {
#ifndef Q_OS_WIN
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
#endif
    }

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
