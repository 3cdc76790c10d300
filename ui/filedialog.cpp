#include "ui/filedialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

[[nodiscard]] QString tr(const char *text)
{
    return QCoreApplication::translate("fennick::FileDialog", text);
}

} // namespace

QString askFilePath(QWidget *parent, FileDialogPurpose purpose, const QString &startAt)
{
    const QString filters
        = tr("Configuration files (*.ini)") + QStringLiteral(";;") + tr("All files (*)");
    const DialogSettingsDiscarded discarded;
    if (purpose == FileDialogPurpose::SaveAs)
        return QFileDialog::getSaveFileName(parent, tr("Save As"), startAt, filters);
    // A name that is not there would only be refused: start in its folder.
    const QFileInfo start(startAt);
    const QString shown = start.isFile()       ? startAt
                        : start.dir().exists() ? start.dir().path()
                                               : QDir::homePath();
    return QFileDialog::getOpenFileName(parent, tr("Open"), shown, filters);
}

QString askOpenLocation(QWidget *parent, const QString &startAt)
{
    return askFilePath(parent, FileDialogPurpose::Open, startAt);
}

} // namespace fennick
