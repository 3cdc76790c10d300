#include "document/savetarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#ifdef Q_OS_LINUX
#include <sys/xattr.h>

#include <optional>
#endif

namespace fennick {
namespace {

#ifdef Q_OS_LINUX
// Reads a list or a value of extended attributes by the system's protocol:
// ask for the size, then for the bytes, again if they grew in between.
template <typename Read>
[[nodiscard]] std::optional<QByteArray> readSized(Read read)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray bytes(size, Qt::Uninitialized);
        const ssize_t got = read(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.truncate(got);
            return bytes;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

// A list of names, each closed by a NUL; none where the file system keeps
// no extended attributes.
[[nodiscard]] std::optional<QByteArrayList> attributeNames(std::optional<QByteArray> list)
{
    if (!list)
        return errno == ENOTSUP ? std::optional(QByteArrayList()) : std::nullopt;
    QByteArrayList names = list->split('\0');
    names.removeAll(QByteArray());
    return names;
}

// The ACL lives in "system.posix_acl_access", so it comes along.
[[nodiscard]] bool copyExtendedAttributes(const char *from, int to)
{
    const auto wanted = attributeNames(
        readSized([from](char *list, size_t size) { return ::listxattr(from, list, size); }));
    const auto present = attributeNames(
        readSized([to](char *list, size_t size) { return ::flistxattr(to, list, size); }));
    if (!wanted || !present)
        return false;
    // Such as an ACL the new file inherited from its folder.
    for (const QByteArray &name : *present)
        if (!wanted->contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    for (const QByteArray &name : *wanted) {
        const auto value = readSized([from, &name](char *bytes, size_t size) {
            return ::getxattr(from, name.constData(), bytes, size);
        });
        if (!value || ::fsetxattr(to, name.constData(), value->constData(), value->size(), 0) != 0)
            return false;
    }
    return true;
}
#endif

} // namespace

SaveTarget inspectSaveTarget(const QString &path)
{
    SaveTarget target;
    const QFileInfo info(path);
    target.path = info.exists() ? info.canonicalFilePath() : path;
#ifdef Q_OS_WIN
    target.exists = info.exists();
    target.isFolder = info.isDir();
    // Qt looks only at the read-only flag; the file's access rules decide.
    // An open for writing that changes nothing asks them; a program holding
    // the file unshared makes it fail otherwise.
    if (target.exists && !target.isFolder) {
        const HANDLE probe = CreateFileW(
            reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target.path).utf16()),
            GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        target.writable = probe != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED;
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
    }
    const HANDLE file = CreateFileW(
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target.path).utf16()),
        FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION about{};
        target.hasOtherNames = !target.isFolder && GetFileInformationByHandle(file, &about)
                            && about.nNumberOfLinks > 1;
        CloseHandle(file);
    }
#else
    const QByteArray name = QFile::encodeName(target.path);
    struct stat status { };
    // Where even that fails, Save's own calls give the reason.
    if (::stat(name.constData(), &status) != 0)
        return target;
    target.exists = true;
    target.isFolder = S_ISDIR(status.st_mode);
    target.writable = ::access(name.constData(), W_OK) == 0;
    target.hasOtherNames = !target.isFolder && status.st_nlink > 1;
#endif
    return target;
}

int takeOverIdentity(const SaveTarget &old, int handle)
{
#ifdef Q_OS_WIN
    Q_UNUSED(old);
    Q_UNUSED(handle);
    return 0;
#else
    const QByteArray name = QFile::encodeName(old.path);
    struct stat was { };
    struct stat now { };
    if (::stat(name.constData(), &was) != 0 || ::fstat(handle, &now) != 0)
        return errno;
    // Only root may give a file away, or a user who belongs to its group
    // may hand it to that group.
    if ((was.st_uid != now.st_uid || was.st_gid != now.st_gid)
        && ::fchown(handle, was.st_uid, was.st_gid) != 0)
        return errno;
#ifdef Q_OS_LINUX
    // After the owner: a change of owner drops some attributes.
    if (!copyExtendedAttributes(name.constData(), handle))
        return errno;
#endif
    // Last: a change of owner clears the set-user and set-group bits.
    return ::fchmod(handle, was.st_mode & 07777) == 0 ? 0 : errno;
#endif
}

bool isIdentityRefused(int systemError)
{
#ifdef Q_OS_WIN
    return isPermissionError(systemError);
#else
    // ENOTSUP: an attribute that only the old file's creator could set.
    return isPermissionError(systemError) || systemError == ENOTSUP;
#endif
}

int lastSystemError()
{
#ifdef Q_OS_WIN
    return static_cast<int>(GetLastError());
#else
    return errno;
#endif
}

bool isPermissionError(int systemError)
{
#ifdef Q_OS_WIN
    return systemError == ERROR_ACCESS_DENIED;
#else
    return systemError == EACCES || systemError == EPERM;
#endif
}

FailureCause causeOf(int systemError, const SaveTarget &target)
{
    if (target.isFolder)
        return FailureCause::TargetIsFolder;
    switch (systemError) {
#ifdef Q_OS_WIN
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureCause::DiskFull;
    case ERROR_WRITE_PROTECT:
        return FailureCause::DiskReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FailureCause::FileLocked;
    case ERROR_PATH_NOT_FOUND:
        return FailureCause::FolderMissing;
    case ERROR_ACCESS_DENIED:
        // A file the user may write, held open by a program that does not
        // share it.
        if (target.exists && target.writable)
            return FailureCause::FileLocked;
        break;
#else
    case ENOSPC:
    case EDQUOT:
        return FailureCause::DiskFull;
    case EROFS:
        return FailureCause::DiskReadOnly;
    case ETXTBSY:
    case EBUSY:
        return FailureCause::FileLocked;
    case ENOENT:
    case ENOTDIR:
        if (!target.exists)
            return FailureCause::FolderMissing;
        break;
#endif
    default:
        break;
    }
    if (isPermissionError(systemError))
        return target.exists ? FailureCause::FileReadOnly : FailureCause::FolderTakesNoNewFiles;
    return FailureCause::Unknown;
}

} // namespace fennick
