// Save's steps on Linux and other Unix systems. Fennick may run as root
// beside a game server's account, so the path is walked one name at a time
// on folder handles: a link is followed only when this user or root made
// it, and what is written is the ordinary file that was found, checked on
// its open handle, never a device or a pipe and never a name swapped in
// meanwhile.
#include "document/savesteps.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>

#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#endif

#ifndef O_PATH // a Linux flag: elsewhere a folder is opened for reading
#define O_PATH O_RDONLY
#endif

namespace fennick::savesteps {

Handle &Handle::operator=(Handle &&other) noexcept
{
    if (this != &other) {
        if (isValid())
            ::close(m_descriptor);
        m_descriptor = other.release();
    }
    return *this;
}

Handle::~Handle()
{
    if (isValid())
        ::close(m_descriptor);
}

int Handle::release()
{
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
}

namespace {

// As the kernel allows: more links than this in one path is a loop.
constexpr int maximumLinks = 40;
// A copy this old is not one a Save in another window is still writing.
constexpr qint64 leftoverAgeSeconds = 60;

[[nodiscard]] SaveResult failed(FailureCause cause, int error = 0, QString subject = {})
{
    SaveResult result;
    result.cause = cause;
    if (error != 0)
        result.reason = QString::fromLocal8Bit(std::strerror(error));
    result.subject = std::move(subject);
    return result;
}

[[nodiscard]] SaveResult saved()
{
    SaveResult result;
    result.saved = true;
    return result;
}

[[nodiscard]] QString shown(const QByteArray &path)
{
    return FilePath::fromSystemBytes(path).shown();
}

[[nodiscard]] QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

[[nodiscard]] bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}

// The cause of a failed call, from its error number and what Save knows of
// the file.
[[nodiscard]] FailureCause causeOf(int error, const Target &target)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return FailureCause::DiskFull;
    case EROFS:
        return FailureCause::DiskReadOnly;
    case ETXTBSY:
    case EBUSY:
        return FailureCause::FileLocked;
    case ELOOP:
        return FailureCause::LinkLoop;
    case ENXIO: // a pipe with no reader, or a device that is not there
        return FailureCause::NotAFile;
    case ENOENT:
    case ENOTDIR:
        return FailureCause::FolderMissing;
    default:
        break;
    }
    if (isPermissionError(error))
        return target.exists ? FailureCause::FileReadOnly : FailureCause::FolderTakesNoNewFiles;
    return FailureCause::Unknown;
}

[[nodiscard]] SaveResult failedCall(int error, const Target &target, bool fileMayBeIncomplete)
{
    SaveResult result = failed(causeOf(error, target), error);
    result.fileMayBeIncomplete = fileMayBeIncomplete;
    return result;
}

[[nodiscard]] QString accountName(uid_t account)
{
    const passwd *entry = ::getpwuid(account);
    return entry ? QFile::decodeName(entry->pw_name) : QStringLiteral("user %1").arg(account);
}

[[nodiscard]] SaveResult notAFile(mode_t mode, const QByteArray &path)
{
    SaveResult result = failed(
        S_ISDIR(mode) ? FailureCause::TargetIsFolder : FailureCause::NotAFile, 0, shown(path));
    result.kind = S_ISCHR(mode)  ? FileKind::CharacterDevice
                : S_ISBLK(mode)  ? FileKind::BlockDevice
                : S_ISFIFO(mode) ? FileKind::Pipe
                : S_ISSOCK(mode) ? FileKind::Socket
                                 : FileKind::Other;
    return result;
}

[[nodiscard]] std::deque<QByteArray> namesOf(const QByteArray &path)
{
    std::deque<QByteArray> names;
    for (const QByteArray &name : path.split('/'))
        if (!name.isEmpty() && name != ".")
            names.push_back(name);
    return names;
}

[[nodiscard]] QByteArray parentOf(const QByteArray &folder)
{
    const qsizetype slash = folder.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : folder.left(slash);
}

[[nodiscard]] Handle openFolder(int at, const char *name)
{
    return Handle(::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

[[nodiscard]] std::optional<QByteArray> readLink(int folder, const QByteArray &name)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t size = ::readlinkat(folder, name.constData(), target.data(), target.size());
    if (size < 0 || size == target.size())
        return std::nullopt;
    target.truncate(size);
    return target;
}

// Gives the same as readSized() of the system's list and get calls:
// the size first, then the bytes, again if they grew in between.
#ifdef Q_OS_LINUX
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

// The ACL lives in "system.posix_acl_access", so it comes along. A handle
// opened only to find the file (the user may not read it) is read through
// its name in /proc.
[[nodiscard]] bool copyExtendedAttributes(int from, int to)
{
    const bool findOnly = (::fcntl(from, F_GETFL) & O_PATH) == O_PATH;
    const QByteArray fromName = "/proc/self/fd/" + QByteArray::number(from);
    const auto wanted = attributeNames(readSized([&](char *list, size_t size) {
        return findOnly ? ::listxattr(fromName.constData(), list, size)
                        : ::flistxattr(from, list, size);
    }));
    const auto present = attributeNames(
        readSized([to](char *list, size_t size) { return ::flistxattr(to, list, size); }));
    if (!wanted || !present)
        return false;
    // Such as an ACL the new file inherited from its folder.
    for (const QByteArray &name : *present)
        if (!wanted->contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    for (const QByteArray &name : *wanted) {
        const auto value = readSized([&](char *bytes, size_t size) {
            return findOnly ? ::getxattr(fromName.constData(), name.constData(), bytes, size)
                            : ::fgetxattr(from, name.constData(), bytes, size);
        });
        if (!value || ::fsetxattr(to, name.constData(), value->constData(), value->size(), 0) != 0)
            return false;
    }
    return true;
}
#endif

// Gives the new copy the old file's owner, group, mode and, on Linux, its
// extended attributes. Gives 0, or the error number of the call that failed.
[[nodiscard]] int takeOverIdentity(const Target &old, int copy)
{
    const struct stat &was = old.status;
    struct stat now { };
    if (::fstat(copy, &now) != 0)
        return errno;
    // Only root may give a file away, or a user who belongs to its group
    // may hand it to that group.
    if ((was.st_uid != now.st_uid || was.st_gid != now.st_gid)
        && ::fchown(copy, was.st_uid, was.st_gid) != 0)
        return errno;
#ifdef Q_OS_LINUX
    // After the owner: a change of owner drops some attributes.
    if (!copyExtendedAttributes(old.file.get(), copy))
        return errno;
#endif
    // Last: a change of owner clears the set-user and set-group bits.
    return ::fchmod(copy, was.st_mode & 07777) == 0 ? 0 : errno;
}

// The copy cannot be the same file to the server: write the old one where
// it lies instead. ENOTSUP: an attribute only the old file's creator could
// set.
[[nodiscard]] bool isIdentityRefused(int error)
{
    return isPermissionError(error) || error == ENOTSUP;
}

#ifdef Q_OS_LINUX
constexpr off_t diskStartBytes = 1 << 20;
#endif

// The bytes as they are made, each chunk to its end: a short write is not
// yet a failure, the next write says why it stopped.
[[nodiscard]] int writeAll(int file, FileBytes &bytes)
{
    int error = 0;
    [[maybe_unused]] off_t total = 0;
    [[maybe_unused]] off_t handedToDisk = 0;
    (void)bytes.writeTo([&](QByteArrayView chunk) {
        for (qsizetype written = 0; written < chunk.size();) {
            const ssize_t count = ::write(file, chunk.data() + written, chunk.size() - written);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0) {
                error = count < 0 ? errno : ENOSPC;
                return false;
            }
            written += count;
        }
        total += chunk.size();
#ifdef Q_OS_LINUX
        // The disk starts on each megabyte while the next is made, so that
        // the sync below waits only for the last of them.
        if (total - handedToDisk >= diskStartBytes) {
            (void)::sync_file_range(file, handedToDisk, total - handedToDisk,
                                    SYNC_FILE_RANGE_WRITE);
            handedToDisk = total;
        }
#endif
        return true;
    });
    if (error != 0)
        return error;
        // Some file systems (network ones, quotas) report a full disk only here.
        // The bytes and the size are what a reader needs; the folder's entry is
        // synced after the rename.
#ifdef Q_OS_LINUX
    return ::fdatasync(file) == 0 ? 0 : errno;
#else
    return ::fsync(file) == 0 ? 0 : errno;
#endif
}

// Copies are named ".Config.ini.fennick-" and six letters, in the file's
// folder.
constexpr int copyLetters = 6;

[[nodiscard]] bool isLeftoverName(const QByteArray &entry, const QByteArray &prefix)
{
    return entry.size() == prefix.size() + copyLetters && entry.startsWith(prefix);
}

[[nodiscard]] QByteArray copyPrefix(const Target &target)
{
    return '.' + target.name + ".fennick-";
}

[[nodiscard]] QByteArray randomLetters(int count)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray result;
    for (int i = 0; i < count; ++i)
        result += letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
    return result;
}

} // namespace

std::optional<SaveResult> findTarget(const FilePath &path, Target &target)
{
    const QByteArray &bytes = path.systemBytes();
    QByteArray folderPath = bytes.startsWith('/') ? QByteArray("/") : QByteArray(".");
    // The system's error number of the call that just failed, read first.
    const auto refuse = [&target](QString subject = {}) {
        const int error = errno;
        return failed(causeOf(error, target), error, std::move(subject));
    };
    Handle folder = openFolder(AT_FDCWD, folderPath.constData());
    if (!folder.isValid())
        return refuse(shown(folderPath));
    std::deque<QByteArray> names = namesOf(bytes);
    if (names.empty())
        return failed(FailureCause::TargetIsFolder, 0, path.shown());
    int links = 0;
    const uid_t user = ::geteuid();
    while (!names.empty()) {
        const QByteArray name = names.front();
        names.pop_front();
        const bool last = names.empty();
        if (name == "..") {
            folder = openFolder(folder.get(), "..");
            if (!folder.isValid())
                return refuse();
            folderPath = parentOf(folderPath);
            if (last)
                return failed(FailureCause::TargetIsFolder, 0, shown(folderPath));
            continue;
        }
        const QByteArray here = joined(folderPath, name);
        struct stat status { };
        if (::fstatat(folder.get(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            if (error == ENOENT && last) {
                target.name = name;
                break; // a new file in this folder
            }
            return failed(causeOf(error, target), error, error == ENOENT ? shown(here) : QString());
        }
        if (S_ISLNK(status.st_mode)) {
            if (++links > maximumLinks)
                return failed(FailureCause::LinkLoop, ELOOP, path.shown());
            if (status.st_uid != user && status.st_uid != 0) {
                SaveResult untrusted = failed(FailureCause::UntrustedLink, 0, shown(here));
                untrusted.linkOwner = accountName(status.st_uid);
                return untrusted;
            }
            const std::optional<QByteArray> leadsTo = readLink(folder.get(), name);
            if (!leadsTo)
                return refuse();
            if (leadsTo->startsWith('/')) {
                folderPath = "/";
                folder = openFolder(AT_FDCWD, "/");
            }
            std::deque<QByteArray> more = namesOf(*leadsTo);
            names.insert(names.begin(), more.begin(), more.end());
            if (names.empty()) // a link to "/" or "."
                return failed(FailureCause::TargetIsFolder, 0, shown(folderPath));
            continue;
        }
        if (last) {
            if (!S_ISREG(status.st_mode))
                return notAFile(status.st_mode, here);
            target.name = name;
            target.status = status;
            target.exists = true;
            break;
        }
        if (!S_ISDIR(status.st_mode))
            return failed(FailureCause::FolderMissing, ENOTDIR, shown(here));
        folder = openFolder(folder.get(), name.constData());
        if (!folder.isValid() && (errno == ELOOP || errno == ENOTDIR))
            return failed(FailureCause::FileSwapped, 0, shown(here)); // a link or a file meanwhile
        if (!folder.isValid())
            return refuse(shown(here));
        folderPath = here;
    }
    target.path = FilePath::fromSystemBytes(joined(folderPath, target.name));
    target.folder = std::move(folder);
    target.folderWritable = ::faccessat(target.folder.get(), ".", W_OK, AT_EACCESS) == 0;
    if (!target.exists)
        return std::nullopt;

    // The file itself, held from now on. Never opened for writing here, and
    // never waited on: a pipe swapped in opens at once and is refused.
    const char *name = target.name.constData();
    target.file = Handle(::openat(target.folder.get(), name,
                                  O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!target.file.isValid() && isPermissionError(errno))
        target.file = Handle(::openat(target.folder.get(), name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened { };
    if (!target.file.isValid() || ::fstat(target.file.get(), &opened) != 0)
        return refuse();
    if (!S_ISREG(opened.st_mode))
        return notAFile(opened.st_mode, target.path.systemBytes());
    target.status = opened;
#ifdef Q_OS_LINUX
    int flags = 0;
    if (::ioctl(target.file.get(), FS_IOC_GETFLAGS, &flags) == 0
        && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)))
        return failed(FailureCause::FileImmutable, 0, target.path.shown());
#endif
    struct stat folderStatus { };
    target.mountedOnItsOwn
        = ::fstat(target.folder.get(), &folderStatus) == 0 && folderStatus.st_dev != opened.st_dev;
    target.writable = ::faccessat(target.folder.get(), name, W_OK, AT_EACCESS) == 0;
    target.hasOtherNames = opened.st_nlink > 1;
    return std::nullopt;
}

void removeLeftoverCopies(const Target &target)
{
    const int folder = ::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    DIR *entries = ::fdopendir(folder);
    if (!entries) {
        ::close(folder);
        return;
    }
    const QByteArray prefix = copyPrefix(target);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    while (const dirent *entry = ::readdir(entries)) {
        struct stat status { };
        if (isLeftoverName(entry->d_name, prefix)
            && ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && status.st_nlink == 1
            && now - status.st_mtime > leftoverAgeSeconds)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

std::optional<SaveResult> replace(const Target &target, FileBytes &bytes)
{
    const int folder = target.folder.get();
    // A name no other program uses, so that a copy a killed Save leaves
    // behind can be told apart and removed by the next one. Readable by
    // this user alone until it has the old file's identity.
    QByteArray copyName;
    Handle copy;
    for (int attempt = 0; attempt < 100 && !copy.isValid(); ++attempt) {
        copyName = copyPrefix(target) + randomLetters(copyLetters);
        copy = Handle(::openat(folder, copyName.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                               target.exists ? 0600 : 0666));
        if (!copy.isValid() && errno != EEXIST)
            break;
    }
    if (!copy.isValid()) {
        const int error = errno;
        if (target.exists && isPermissionError(error))
            return std::nullopt; // the folder takes no new file: write over the old one
        return failedCall(error, target, false);
    }
    const auto dropCopy = [&] { ::unlinkat(folder, copyName.constData(), 0); };

    if (const int error = target.exists ? takeOverIdentity(target, copy.get()) : 0) {
        dropCopy();
        // A full or failing disk is no reason to risk the old file.
        if (isIdentityRefused(error))
            return std::nullopt;
        return failedCall(error, target, false);
    }
    if (const int error = writeAll(copy.get(), bytes)) {
        dropCopy();
        return failedCall(error, target, false);
    }
    if (::renameat(folder, copyName.constData(), folder, target.name.constData()) != 0) {
        const int error = errno;
        dropCopy();
        // A file mounted on its own (a container's volume) stays in place.
        if (error == EBUSY && target.exists)
            return std::nullopt;
        return failedCall(error, target, false);
    }
    return saved();
}

SaveResult writeInPlace(const Target &target, FileBytes &bytes)
{
    Handle file(::openat(target.folder.get(), target.name.constData(),
                         O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!file.isValid())
        return errno == ELOOP ? failed(FailureCause::FileSwapped)
                              : failedCall(errno, target, false);
    // The file found, and no other: not a pipe or a device swapped in.
    struct stat opened { };
    if (::fstat(file.get(), &opened) != 0)
        return failedCall(errno, target, false);
    if (!S_ISREG(opened.st_mode))
        return notAFile(opened.st_mode, target.path.systemBytes());
    if (opened.st_dev != target.status.st_dev || opened.st_ino != target.status.st_ino)
        return failed(FailureCause::FileSwapped);
    // Emptied only once it is open: from here a failure leaves it cut off.
    if (::ftruncate(file.get(), 0) != 0)
        return failedCall(errno, target, false);
    if (const int error = writeAll(file.get(), bytes))
        return failedCall(error, target, true);
    return saved();
}

void syncFolder(const Target &target)
{
    // Some file systems (network ones) cannot sync a folder; the file's
    // bytes are on disk all the same.
    const Handle folder(::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isValid())
        ::fsync(folder.get());
}

} // namespace fennick::savesteps
