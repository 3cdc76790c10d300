#include "ui/filedialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <QGuiApplication>
#include <QWidget>

#include <optional>

#include <shobjidl.h>
#include <windows.h>
#endif

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

#ifdef Q_OS_WIN
// A COM interface, released with the object.
template <typename Interface>
class Com {
public:
    Com() = default;
    Com(const Com &) = delete;
    Com &operator=(const Com &) = delete;
    ~Com()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    [[nodiscard]] Interface *get() const { return m_pointer; }
    [[nodiscard]] Interface *operator->() const { return m_pointer; }
    [[nodiscard]] Interface **out() { return &m_pointer; }
    [[nodiscard]] void **outVoid() { return reinterpret_cast<void **>(&m_pointer); }

private:
    Interface *m_pointer = nullptr;
};

[[nodiscard]] const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// Windows' own dialog through its API: Qt's dialog would write the folder
// last visited to HKCU\Software\QtProject, a key every Qt program of the
// user shares and that outlives Fennick. Nothing on the offscreen platform
// (the tests), where Qt's own dialog is used.
[[nodiscard]] std::optional<QString> askWindows(QWidget *parent, FileDialogPurpose purpose,
                                                const QString &title, const QString &folder,
                                                const QString &name)
{
    if (QGuiApplication::platformName() != u"windows")
        return std::nullopt;
    // Qt has set this thread up for COM already; this only counts a use.
    const HRESULT initialised
        = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::optional<QString> chosen;
    {
        const bool open = purpose == FileDialogPurpose::Open;
        Com<IFileDialog> dialog;
        if (SUCCEEDED(CoCreateInstance(
                open ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                open ? IID_IFileOpenDialog : IID_IFileSaveDialog, dialog.outVoid()))) {
            const QString configurationFiles = tr("Configuration files (*.ini)");
            const QString allFiles = tr("All files (*)");
            const COMDLG_FILTERSPEC filters[]{{wide(configurationFiles), L"*.ini"},
                                              {wide(allFiles), L"*.*"}};
            dialog->SetFileTypes(2, filters);
            dialog->SetFileTypeIndex(1);
            dialog->SetDefaultExtension(L"ini");
            dialog->SetTitle(wide(title));
            FILEOPENDIALOGOPTIONS options = 0;
            dialog->GetOptions(&options);
            options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR | FOS_DONTADDTORECENT
                     | (open ? FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST : FOS_OVERWRITEPROMPT);
            dialog->SetOptions(options);
            const QString nativeFolder = QDir::toNativeSeparators(folder);
            Com<IShellItem> start;
            if (SUCCEEDED(SHCreateItemFromParsingName(wide(nativeFolder), nullptr, IID_IShellItem,
                                                      start.outVoid())))
                dialog->SetFolder(start.get());
            if (!name.isEmpty())
                dialog->SetFileName(wide(name));
            const HWND owner = parent ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
            Com<IShellItem> result;
            PWSTR path = nullptr;
            chosen = QString(); // cancelled, unless a file comes back
            if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(result.out()))
                && SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
                chosen = QDir::fromNativeSeparators(QString::fromWCharArray(path));
                CoTaskMemFree(path);
            }
        }
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return chosen; // none: Qt's dialog then, rather than no dialog
}
#endif

} // namespace

QString askFilePath(QWidget *parent, FileDialogPurpose purpose, const QString &startAt)
{
    const QString filters
        = tr("Configuration files (*.ini)") + QStringLiteral(";;") + tr("All files (*)");
    const QString title = purpose == FileDialogPurpose::SaveAs ? tr("Save As") : tr("Open");
    const QFileInfo start(startAt);
    // For Open, a name that is not there would only be refused: then only
    // its folder.
    const bool named = purpose == FileDialogPurpose::SaveAs || start.isFile();
    const QString folder = start.dir().exists() ? start.dir().path() : QDir::homePath();
#ifdef Q_OS_WIN
    if (const std::optional<QString> chosen
        = askWindows(parent, purpose, title, folder, named ? start.fileName() : QString()))
        return *chosen;
#endif
    const DialogSettingsDiscarded discarded;
    if (purpose == FileDialogPurpose::SaveAs)
        return QFileDialog::getSaveFileName(parent, title, startAt, filters);
    return QFileDialog::getOpenFileName(parent, title, named ? startAt : folder, filters);
}

QString askOpenLocation(QWidget *parent, const QString &startAt)
{
    return askFilePath(parent, FileDialogPurpose::Open, startAt);
}

} // namespace fennick
