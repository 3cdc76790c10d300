// Save's steps on Linux and other Unix systems. Fennick may run as root
// beside a game server's account, so the path is walked one name at a time
// on folder handles, and what is written is the ordinary file that was
// found, checked on its open handle, never a device or a pipe and never a
// name swapped in meanwhile.
//
// Save is nobody's deputy. Where a name on the way to the file (a folder on
// the path, or the folder that holds a link or the file) may be changed by
// an account other than this user and root, that account could have put any
// file or link there. So Save then writes only a file that account could
// write itself, judged on the handles found as the kernel would judge it
// (owner, groups, mode, ACL; an owner may change its own file's mode), and
// follows a link there only when the link is that account's, this user's or
// root's. Otherwise it refuses, names the account and the file, and writes
// nothing.
#include "document/savesteps.h"

#include "document/diskwriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
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
    case ENOSPC: {
        // Out of inodes, the file system says so too, with space to spare.
        struct statvfs disk { };
        const bool noInodes = target.folder.isValid() && ::fstatvfs(target.folder.get(), &disk) == 0
                           && disk.f_files > 0 && disk.f_favail == 0;
        return noInodes ? FailureCause::NoInodes : FailureCause::DiskFull;
    }
    case EDQUOT:
        return FailureCause::DiskFull;
    case EROFS:
        return FailureCause::DiskReadOnly;
    case ETXTBSY:
    case EBUSY:
    case EAGAIN: // a lease another program holds on the file, or a lock
        return FailureCause::FileLocked;
    case ENOSYS: // a call the file system (often through FUSE) does not have
        return FailureCause::ModesUnsupported;
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
        return target.exists          ? FailureCause::FileReadOnly
             : target.folderImmutable ? FailureCause::FolderImmutable
                                      : FailureCause::FolderTakesNoNewFiles;
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

[[nodiscard]] FileKind kindOf(mode_t mode)
{
    return S_ISREG(mode)  ? FileKind::File
         : S_ISCHR(mode)  ? FileKind::CharacterDevice
         : S_ISBLK(mode)  ? FileKind::BlockDevice
         : S_ISFIFO(mode) ? FileKind::Pipe
         : S_ISSOCK(mode) ? FileKind::Socket
                          : FileKind::Other;
}

[[nodiscard]] SaveResult notAFile(mode_t mode, const QByteArray &path)
{
    SaveResult result = failed(
        S_ISDIR(mode) ? FailureCause::TargetIsFolder : FailureCause::NotAFile, 0, shown(path));
    result.kind = kindOf(mode);
    return result;
}

// What stands where a folder should: HOME naming a file or a pipe.
[[nodiscard]] SaveResult notAFolder(mode_t mode, const QByteArray &path)
{
    SaveResult result = failed(FailureCause::NotAFolder, 0, shown(path));
    result.kind = kindOf(mode);
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
        if (size <= 0)
            return size < 0 ? std::nullopt : std::optional(QByteArray());
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

// An entry of an access ACL as the kernel keeps it in
// "system.posix_acl_access": a version, then tag, permissions and id of
// each, little-endian.
struct AclEntry {
    quint16 tag = 0;
    quint16 permissions = 0;
    quint32 id = 0;
};
enum AclTag : quint16 { aclUser = 0x02, aclOwningGroup = 0x04, aclGroup = 0x08, aclMask = 0x10 };
constexpr int writeBit = 2;
constexpr int searchBit = 1;

// None where the file has none (its mode then says it all) or it cannot be
// read. Through /proc, as the handle may be one opened only to find it.
[[nodiscard]] std::vector<AclEntry> aclOf(int handle)
{
    std::vector<AclEntry> entries;
#ifdef Q_OS_LINUX
    const QByteArray name = "/proc/self/fd/" + QByteArray::number(handle);
    const auto bytes = readSized([&](char *value, size_t size) {
        return ::getxattr(name.constData(), "system.posix_acl_access", value, size);
    });
    constexpr qsizetype header = 4;
    constexpr qsizetype entrySize = 8;
    if (!bytes || bytes->size() < header || (bytes->size() - header) % entrySize != 0
        || qFromLittleEndian<quint32>(bytes->constData()) != 2)
        return entries;
    for (qsizetype at = header; at < bytes->size(); at += entrySize) {
        const char *entry = bytes->constData() + at;
        entries.push_back({qFromLittleEndian<quint16>(entry), qFromLittleEndian<quint16>(entry + 2),
                           qFromLittleEndian<quint32>(entry + 4)});
    }
#else
    Q_UNUSED(handle);
#endif
    return entries;
}

// Whether the account is the system's: root, or an account outside this
// user namespace. In a container or a sandbox that maps only some accounts
// (rootless Podman, Flatpak, unshare --map-root-user), every file of an
// account it does not map shows as owned by the overflow account (65534),
// the system's folders from / down among them; counting that as another
// account that controls them would refuse every Save. Where the overflow
// account is itself mapped, as outside any such namespace, it is an
// account of its own (nobody) and judged as one.
[[nodiscard]] bool isSystemAccount(uid_t account)
{
    static const std::optional<uid_t> unmapped = []() -> std::optional<uid_t> {
        QFile overflow(QStringLiteral("/proc/sys/kernel/overflowuid"));
        QFile map(QStringLiteral("/proc/self/uid_map"));
        if (!overflow.open(QIODevice::ReadOnly) || !map.open(QIODevice::ReadOnly))
            return std::nullopt;
        bool ok = false;
        const uid_t id = overflow.readAll().trimmed().toUInt(&ok);
        if (!ok)
            return std::nullopt;
        for (const QByteArray &line : map.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3 && fields[0].toULongLong() <= id
                && id - fields[0].toULongLong() < fields[2].toULongLong())
                return std::nullopt; // mapped: an account of its own
        }
        return id;
    }();
    return account == 0 || account == unmapped;
}

// An account as the kernel sees it when it opens a file: its id and its
// groups. Without an id it stands for any account at all, which has only
// what every account has.
struct Account {
    std::optional<uid_t> id;
    std::vector<gid_t> groups;
};

[[nodiscard]] Account accountOf(uid_t id)
{
    Account account{id, {}};
    const passwd *entry = ::getpwuid(id);
    if (!entry)
        return account;
    const QByteArray name(entry->pw_name);
    const gid_t primary = entry->pw_gid;
    int count = 32;
    for (int attempt = 0; attempt < 4; ++attempt) {
        account.groups.resize(count);
        if (::getgrouplist(name.constData(), primary, account.groups.data(), &count) >= 0) {
            account.groups.resize(count);
            return account;
        }
    }
    account.groups = {primary};
    return account;
}

// Whether the account is granted the permission bits, as the kernel's
// check of mode and ACL grants them (root's rights aside).
[[nodiscard]] bool grants(const Account &account, const struct stat &file,
                          const std::vector<AclEntry> &acl, int wanted)
{
    const auto has = [wanted](unsigned permissions) {
        return (permissions & unsigned(wanted)) == unsigned(wanted);
    };
    if (account.id == file.st_uid)
        return has(file.st_mode >> 6);
    const auto inGroup = [&account](gid_t group) {
        return std::find(account.groups.begin(), account.groups.end(), group)
            != account.groups.end();
    };
    if (acl.empty())
        return has(inGroup(file.st_gid) ? file.st_mode >> 3 : file.st_mode);
    unsigned mask = 7;
    for (const AclEntry &entry : acl)
        if (entry.tag == aclMask)
            mask = entry.permissions;
    for (const AclEntry &entry : acl)
        if (entry.tag == aclUser && account.id == entry.id)
            return has(entry.permissions & mask);
    bool inAnyGroup = false;
    for (const AclEntry &entry : acl) {
        if ((entry.tag == aclOwningGroup && inGroup(file.st_gid))
            || (entry.tag == aclGroup && inGroup(entry.id))) {
            inAnyGroup = true;
            if (has(entry.permissions & mask))
                return true;
        }
    }
    return !inAnyGroup && has(file.st_mode); // the ACL's entry for others is the mode's
}

// The accounts in a group: those it lists and those whose own group it is.
void addMembers(gid_t groupId, std::vector<uid_t> &accounts)
{
    QByteArrayList names;
    if (const group *entry = ::getgrgid(groupId))
        for (char **member = entry->gr_mem; member && *member; ++member)
            names << QByteArray(*member);
    for (const QByteArray &name : names)
        if (const passwd *account = ::getpwnam(name.constData()))
            accounts.push_back(account->pw_uid);
    ::setpwent();
    while (const passwd *account = ::getpwent())
        if (account->pw_gid == groupId)
            accounts.push_back(account->pw_uid);
    ::endpwent();
}

// Adds the accounts besides this user and root that may change the name
// of the entry (none: a new file's) in the folder: the folder's owner, and
// whoever may write and search it; in a folder with the sticky bit, only
// the entry's owner among them.
void addControllers(Target &target, int folder, const struct stat *entry)
{
    struct stat status { };
    if (::fstat(folder, &status) != 0)
        return;
    const uid_t user = ::geteuid();
    const auto add = [&](uid_t account) {
        if (account != user && !isSystemAccount(account)
            && std::find(target.controllers.begin(), target.controllers.end(), account)
                   == target.controllers.end())
            target.controllers.push_back(account);
    };
    add(status.st_uid); // it may give itself the right at any time
    // Past the owner and the others, an ACL grants no more than its mask,
    // which the group bits of the mode show. Where neither they nor the
    // bits for others hold the right, only the owner has it, ACL or not,
    // and the ACL is not read. Judged by the mode alone where the others
    // have it, an account the ACL names would count as one that may change
    // names, and its links as trusted. Read when first asked: a folder
    // with the sticky bit, such as /tmp, asks only of another account's
    // entry.
    const auto holds = [](unsigned bits) {
        return (bits & (writeBit | searchBit)) == (writeBit | searchBit);
    };
    const bool aclMayGrant = holds(status.st_mode >> 3) || holds(status.st_mode);
    std::optional<std::vector<AclEntry>> read;
    const auto acl = [&]() -> const std::vector<AclEntry> & {
        if (!read)
            read = aclMayGrant ? aclOf(folder) : std::vector<AclEntry>{};
        return *read;
    };
    const auto mayChange = [&](const Account &account) {
        return grants(account, status, acl(), writeBit | searchBit);
    };
    if (status.st_mode & S_ISVTX) {
        // Asked of another account only: looking up an account's groups
        // reads the system's account lists, which /tmp would ask of root
        // on every Save.
        if (entry && entry->st_uid != user && !isSystemAccount(entry->st_uid)
            && mayChange(accountOf(entry->st_uid)))
            add(entry->st_uid);
        return;
    }
    if (mayChange(Account{})) {
        target.everyAccountControls = true;
        return;
    }
    std::vector<uid_t> candidates;
    std::vector<gid_t> groups{status.st_gid};
    for (const AclEntry &aclEntry : acl()) {
        if (aclEntry.tag == aclUser)
            candidates.push_back(aclEntry.id);
        else if (aclEntry.tag == aclGroup)
            groups.push_back(aclEntry.id);
    }
    for (const gid_t groupId : groups)
        if (mayChange(Account{std::nullopt, {groupId}}))
            addMembers(groupId, candidates);
    for (const uid_t candidate : candidates)
        if (candidate != user && !isSystemAccount(candidate) && mayChange(accountOf(candidate)))
            add(candidate);
}

// Nothing when every account that may change a name on the way may also
// write the file found; otherwise Save would write it on their behalf.
[[nodiscard]] std::optional<SaveResult> refusalForOthers(const Target &target)
{
    if (target.controllers.empty() && !target.everyAccountControls)
        return std::nullopt;
    const std::vector<AclEntry> acl = aclOf(target.file.get());
    const auto refused = [&target](QString account) {
        SaveResult result = failed(FailureCause::WrittenForAnother, 0, target.path.shown());
        result.account = std::move(account);
        return result;
    };
    if (target.everyAccountControls && !grants(Account{}, target.status, acl, writeBit))
        return refused({});
    for (const uid_t account : target.controllers)
        if (account != target.status.st_uid // its own file, whose mode it may change
            && !grants(accountOf(account), target.status, acl, writeBit))
            return refused(accountName(account));
    return std::nullopt;
}

// Opened for writing, a file of overlayfs's lower layer is copied up: the
// same file to its user, with the same owner, mode, size and times, under
// another inode number where the layers keep no common numbers. Anything
// else under another number is another file.
[[nodiscard]] bool isTheFileFound(const Target &target, int file, const struct stat &opened)
{
    const struct stat &found = target.status;
    if (opened.st_dev == found.st_dev && opened.st_ino == found.st_ino)
        return true;
#ifdef Q_OS_LINUX
    struct statfs disk { };
    struct stat named { };
    return ::fstatfs(file, &disk) == 0 && disk.f_type == OVERLAYFS_SUPER_MAGIC
        && ::fstatat(target.folder.get(), target.name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
        && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino
        && opened.st_uid == found.st_uid && opened.st_gid == found.st_gid
        && opened.st_mode == found.st_mode && opened.st_size == found.st_size
        && opened.st_mtim.tv_sec == found.st_mtim.tv_sec
        && opened.st_mtim.tv_nsec == found.st_mtim.tv_nsec;
#else
    Q_UNUSED(target);
    Q_UNUSED(file);
    return false;
#endif
}

[[nodiscard]] bool isTrustedLink(const Target &target, uid_t owner)
{
    return owner == ::geteuid() || isSystemAccount(owner)
        || std::find(target.controllers.begin(), target.controllers.end(), owner)
               != target.controllers.end();
}

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
    const bool ownerChanges = was.st_uid != now.st_uid || was.st_gid != now.st_gid;
    if (ownerChanges && ::fchown(copy, was.st_uid, was.st_gid) != 0)
        return errno;
#ifdef Q_OS_LINUX
    // After the owner: a change of owner drops some attributes, a file
    // capability among them.
    if (!copyExtendedAttributes(old.file.get(), copy))
        return errno;
#endif
    // Last: a change of owner clears the set-user and set-group bits. A file
    // system that keeps no modes (FAT) gives every file the same one, which
    // is then already right and cannot be set.
    if (!ownerChanges && (now.st_mode & 07777) == (was.st_mode & 07777))
        return 0;
    return ::fchmod(copy, was.st_mode & 07777) == 0 ? 0 : errno;
}

// The copy cannot be the same file to the server: write the old one where
// it lies instead. ENOTSUP: an attribute only the old file's creator could
// set.
[[nodiscard]] bool isIdentityRefused(int error)
{
    return isPermissionError(error) || error == ENOTSUP;
}

// The bytes and the size on disk, which is what a reader needs; the folder's
// entry is synced after the rename. Some file systems (network ones, quotas)
// report a full disk only here.
[[nodiscard]] int syncBytes(int file)
{
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

// Walks the path one name at a time on folder handles, following only the
// links it trusts, and notes who besides this user and root may change a
// name on the way. Leaves the folder, the name in it and, when the file
// exists, its status as the folder lists it.
[[nodiscard]] std::optional<SaveResult> walk(const FilePath &path, Target &target)
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
                addControllers(target, folder.get(), nullptr);
                target.name = name;
                break; // a new file in this folder
            }
            return failed(causeOf(error, target), error, error == ENOENT ? shown(here) : QString());
        }
        addControllers(target, folder.get(), &status);
        if (S_ISLNK(status.st_mode)) {
            if (++links > maximumLinks)
                return failed(FailureCause::LinkLoop, ELOOP, path.shown());
            if (!isTrustedLink(target, status.st_uid)) {
                SaveResult untrusted = failed(FailureCause::UntrustedLink, 0, shown(here));
                untrusted.account = accountName(status.st_uid);
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
            return notAFolder(status.st_mode, here);
        folder = openFolder(folder.get(), name.constData());
        if (!folder.isValid() && (errno == ELOOP || errno == ENOTDIR))
            return failed(FailureCause::FileSwapped, 0, shown(here)); // a link or a file meanwhile
        if (!folder.isValid())
            return refuse(shown(here));
        folderPath = here;
    }
    target.path = FilePath::fromSystemBytes(joined(folderPath, target.name));
    target.folder = std::move(folder);
    return std::nullopt;
}

// Whether the folder takes new names from this user: it may write it, and
// it is not marked immutable or append-only (a copy could be made there,
// but never renamed over the file or removed again).
void judgeFolder(Target &target)
{
    target.folderWritable = ::faccessat(target.folder.get(), ".", W_OK, AT_EACCESS) == 0;
#ifdef Q_OS_LINUX
    const Handle readable(::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int flags = 0;
    target.folderImmutable = readable.isValid()
                          && ::ioctl(readable.get(), FS_IOC_GETFLAGS, &flags) == 0
                          && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL));
    target.folderWritable = target.folderWritable && !target.folderImmutable;
#endif
}

// Holds the file the walk found and judges it on that handle: the same
// ordinary file, not marked, one that every account that may change a name
// on the way may write; and what a new copy of it would have to take over.
[[nodiscard]] std::optional<SaveResult> judgeFile(Target &target)
{
    // Never opened for writing here, and never waited on: a pipe swapped in
    // opens at once and is refused.
    const char *name = target.name.constData();
    target.file = Handle(::openat(target.folder.get(), name,
                                  O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!target.file.isValid() && isPermissionError(errno))
        target.file = Handle(::openat(target.folder.get(), name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    // Gone, or a link now, since the walk saw a file there.
    if (!target.file.isValid() && (errno == ELOOP || errno == ENOENT))
        return failed(FailureCause::FileSwapped, 0, target.path.shown());
    struct stat opened { };
    if (!target.file.isValid() || ::fstat(target.file.get(), &opened) != 0) {
        const int error = errno;
        return failed(causeOf(error, target), error);
    }
    if (!S_ISREG(opened.st_mode))
        return notAFile(opened.st_mode, target.path.systemBytes());
    if (opened.st_dev != target.status.st_dev || opened.st_ino != target.status.st_ino)
        return failed(FailureCause::FileSwapped, 0, target.path.shown());
    target.status = opened;
#ifdef Q_OS_LINUX
    int flags = 0;
    if (::ioctl(target.file.get(), FS_IOC_GETFLAGS, &flags) == 0
        && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)))
        return failed(FailureCause::FileImmutable, 0, target.path.shown());
    // A lock another program holds on it, for as long as it writes or reads
    // it (a handle opened only to find the file cannot ask).
    struct flock lock { };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(target.file.get(), F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK)
        return failed(FailureCause::FileLocked, 0, target.path.shown());
#endif
    if (std::optional<SaveResult> refused = refusalForOthers(target))
        return refused;
    struct stat folderStatus { };
    target.mountedOnItsOwn
        = ::fstat(target.folder.get(), &folderStatus) == 0 && folderStatus.st_dev != opened.st_dev;
    target.writable = ::faccessat(target.folder.get(), name, W_OK, AT_EACCESS) == 0;
    target.hasOtherNames = opened.st_nlink > 1;
    return std::nullopt;
}

} // namespace

std::optional<SaveResult> findTarget(const FilePath &path, Target &target)
{
    if (std::optional<SaveResult> refused = walk(path, target))
        return refused;
    judgeFolder(target);
    return target.exists ? judgeFile(target) : std::nullopt;
}

// A Save holds a lock on its copy while it writes it, so a copy whose lock
// can be had is one that no Save will finish: a Save was killed or the
// machine stopped. Copies are this user's until just before the rename;
// older ones may already have been given to the file's owner.
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
    const uid_t user = ::geteuid();
    while (const dirent *entry = ::readdir(entries)) {
        struct stat status { };
        if (!isLeftoverName(entry->d_name, prefix)
            || ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(status.st_mode) || status.st_nlink != 1
            || !(status.st_uid == user || (target.exists && status.st_uid == target.status.st_uid)))
            continue;
        const Handle copy(::openat(folder, entry->d_name,
                                   O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        struct stat locked { };
        if (copy.isValid() && ::flock(copy.get(), LOCK_EX | LOCK_NB) == 0
            && ::fstat(copy.get(), &locked) == 0 && locked.st_ino == status.st_ino
            && locked.st_dev == status.st_dev)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

std::optional<SaveResult> replace(const Target &target, FileBytes &bytes)
{
    const int folder = target.folder.get();
    // A name no other program uses, so that a copy a killed Save leaves
    // behind can be told apart and removed by the next one. This user's,
    // readable by it alone, and locked while it is written. Named from the
    // start: a copy made with no name (O_TMPFILE) and linked after its sync
    // is on disk with no link on ext4 without a journal, which a power cut
    // then loses together with the old file.
    QByteArray copyName;
    Handle copy;
    for (int attempt = 0; attempt < 100 && !copy.isValid(); ++attempt) {
        copyName = copyPrefix(target) + randomLetters(copyLetters);
        copy = Handle(::openat(folder, copyName.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                               target.exists ? 0600 : 0666));
        if (!copy.isValid() && errno != EEXIST)
            break;
        // Another Save removes a copy it can lock: one it removed before
        // the lock was taken here is made again.
        struct stat made { };
        struct stat named { };
        if (copy.isValid()
            && (::flock(copy.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(copy.get(), &made) != 0
                || ::fstatat(folder, copyName.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0
                || made.st_ino != named.st_ino))
            copy = Handle();
    }
    if (!copy.isValid()) {
        const int error = errno;
        if (target.exists && isPermissionError(error))
            return std::nullopt; // the folder takes no new file: write over the old one
        return failedCall(error, target, false);
    }
    const auto dropCopy = [&] { ::unlinkat(folder, copyName.constData(), 0); };

    if (const int error = writeAll(copy.get(), bytes)) {
        dropCopy();
        return failedCall(error, target, false);
    }
    // Only now, just before the rename, the copy becomes the old file's
    // owner's: a Save killed before leaves a copy of this user's, which the
    // next Save removes.
    if (const int error = target.exists ? takeOverIdentity(target, copy.get()) : 0) {
        // A full disk reported only by the sync must fail Save here too,
        // rather than send it to write over the old file.
        const int syncError = isIdentityRefused(error) ? syncBytes(copy.get()) : 0;
        dropCopy();
        // A full or failing disk is no reason to risk the old file.
        if (isIdentityRefused(error) && syncError == 0)
            return std::nullopt;
        return failedCall(syncError != 0 ? syncError : error, target, false);
    }
    // The bytes, and the identity with them, on disk before the name: one
    // sync, where one for the bytes and one for the identity made the file
    // system commit twice.
    if (const int error
        = target.exists ? (::fsync(copy.get()) == 0 ? 0 : errno) : syncBytes(copy.get())) {
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

namespace {

// A file capability, which the system drops from a file when it is
// written: only a copy that takes it over afterwards keeps it.
[[nodiscard]] bool carriesCapability(const Target &target)
{
#ifdef Q_OS_LINUX
    const QByteArray byName = "/proc/self/fd/" + QByteArray::number(target.file.get());
    return ::getxattr(byName.constData(), "security.capability", nullptr, 0) >= 0;
#else
    Q_UNUSED(target);
    return false;
#endif
}

} // namespace

SaveResult writeInPlace(const Target &target, FileBytes &bytes)
{
    if (target.exists && carriesCapability(target))
        return failed(FailureCause::AttributeLost, 0, QStringLiteral("security.capability"));
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
    if (!isTheFileFound(target, file.get(), opened))
        return failed(FailureCause::FileSwapped);
    // Emptied only once it is open: from here a failure leaves it cut off.
    if (::ftruncate(file.get(), 0) != 0)
        return failedCall(errno, target, false);
    int error = writeAll(file.get(), bytes);
    if (error == 0)
        error = syncBytes(file.get());
    if (error != 0)
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

void letGoOfOldFile(Target &target)
{
    if (target.file.isValid())
        closeReplaced(target.file.release());
}

} // namespace fennick::savesteps
