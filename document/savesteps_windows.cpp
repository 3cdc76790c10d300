// Save's steps on Windows, in Win32 calls, so that the cause of a failure is
// read from the call that failed: a Qt call may make further system calls
// on its way back that change GetLastError().
#include "document/savesteps.h"

#include <QDir>
#include <QRandomGenerator>
#include <QThread>

#include <windows.h>

#include <aclapi.h>

#include <memory>

namespace fennick::savesteps {

Handle::Handle(void *handle)
    : m_handle(handle)
{
}

Handle::Handle(Handle &&other) noexcept
    : m_handle(other.m_handle)
{
    other.m_handle = INVALID_HANDLE_VALUE;
}

Handle &Handle::operator=(Handle &&other) noexcept
{
    if (this != &other) {
        if (isValid())
            CloseHandle(m_handle);
        m_handle = other.m_handle;
        other.m_handle = INVALID_HANDLE_VALUE;
    }
    return *this;
}

Handle::~Handle()
{
    if (isValid())
        CloseHandle(m_handle);
}

bool Handle::isValid() const
{
    return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr;
}

namespace {

// A virus scanner or an editor may hold the file for a moment and refuse
// the rename or the open; try a few more times before giving up.
constexpr int renameAttempts = 5;
constexpr DWORD renamePauseMs = 200;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A copy this old is not one a Save in another window is still writing.
constexpr qint64 leftoverAge100ns = 60LL * 10'000'000;

[[nodiscard]] const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

[[nodiscard]] QString systemWords(DWORD error)
{
    return qt_error_string(int(error));
}

[[nodiscard]] SaveResult saved()
{
    SaveResult result;
    result.saved = true;
    return result;
}

[[nodiscard]] FailureCause causeOf(DWORD error, const Target &target)
{
    switch (error) {
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
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
        return FailureCause::FolderMissing;
    case ERROR_CANT_RESOLVE_FILENAME:
        return FailureCause::LinkLoop;
    case ERROR_ACCESS_DENIED:
        // A file the user may write, held open by a program that does not
        // share it.
        if (target.exists && target.writable)
            return FailureCause::FileLocked;
        return target.exists ? FailureCause::FileReadOnly : FailureCause::FolderTakesNoNewFiles;
    default:
        return FailureCause::Unknown;
    }
}

[[nodiscard]] SaveResult failedCall(DWORD error, const Target &target, bool fileMayBeIncomplete)
{
    SaveResult result;
    result.cause = causeOf(error, target);
    result.reason = systemWords(error);
    result.fileMayBeIncomplete = fileMayBeIncomplete;
    if (result.cause == FailureCause::FolderMissing)
        result.subject = QDir::toNativeSeparators(target.folder);
    return result;
}

[[nodiscard]] SaveResult refused(FailureCause cause, const Target &target)
{
    SaveResult result;
    result.cause = cause;
    result.subject = target.path.shown();
    return result;
}

// The bytes as they are made, each chunk to its end. Gives 0, or the error
// of the call that failed.
[[nodiscard]] DWORD writeAll(HANDLE file, FileBytes &bytes)
{
    DWORD error = 0;
    (void)bytes.writeTo([file, &error](QByteArrayView chunk) {
        for (qsizetype written = 0; written < chunk.size();) {
            const DWORD part = DWORD(std::min<qsizetype>(chunk.size() - written, 1 << 30));
            DWORD count = 0;
            if (!WriteFile(file, chunk.data() + written, part, &count, nullptr)) {
                error = GetLastError();
                return false;
            }
            if (count == 0) {
                error = ERROR_DISK_FULL;
                return false;
            }
            written += count;
        }
        return true;
    });
    if (error != 0)
        return error;
    // Some file systems (network ones, quotas) report a full disk only here.
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

// Copies are named ".Config.ini.fennick-" and six letters, in the file's
// folder.
constexpr int copyLetters = 6;

[[nodiscard]] QString copyPrefix(const Target &target)
{
    return u'.' + QDir(target.path.path()).dirName() + QStringLiteral(".fennick-");
}

// Attributes the copy takes over from the file, as the server's folder and
// Explorer show them. Read-only is not among them: such a file is written
// where it lies.
constexpr DWORD keptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                               | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Attributes no call sets on a file alone: a copy that differs in them
// would leave the text stored otherwise, say unencrypted.
constexpr DWORD storageAttributes = FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED;

struct LocalFreer {
    void operator()(void *memory) const { LocalFree(memory); }
};
// A security descriptor the system allocated.
using Descriptor = std::unique_ptr<void, LocalFreer>;

[[nodiscard]] bool sameSid(PSID one, PSID other)
{
    return one == other || (one && other && EqualSid(one, other));
}

// Gives the copy the old file's owner and group, integrity label and access
// rules. A rule the file inherits from its folder stays inherited: the copy
// lies in the same folder. Gives 0, or the error of the call that failed.
[[nodiscard]] DWORD takeOverRights(HANDLE old, HANDLE copy, const QString &copyName)
{
    constexpr SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION
                                         | DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION;
    PSID owner = nullptr;
    PSID group = nullptr;
    PACL rules = nullptr;
    PACL label = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    DWORD error = GetSecurityInfo(old, SE_FILE_OBJECT, parts, &owner, &group, &rules, &label, &raw);
    const Descriptor was(raw);
    // A volume that keeps no rights (FAT) has none to take over.
    if (error == ERROR_NOT_SUPPORTED)
        return 0;
    if (error != ERROR_SUCCESS)
        return error;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(raw, &control, &revision))
        return GetLastError();

    PSID copyOwner = nullptr;
    PSID copyGroup = nullptr;
    raw = nullptr;
    error = GetSecurityInfo(copy, SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, &copyOwner,
                            &copyGroup, nullptr, nullptr, &raw);
    const Descriptor is(raw);
    if (error != ERROR_SUCCESS)
        return error;
    SECURITY_INFORMATION owning = 0;
    if (owner && !sameSid(owner, copyOwner))
        owning |= OWNER_SECURITY_INFORMATION;
    if (group && !sameSid(group, copyGroup))
        owning |= GROUP_SECURITY_INFORMATION;
    if (label && label->AceCount > 0)
        owning |= LABEL_SECURITY_INFORMATION;
    if (owning) {
        // Only the right to take ownership allows these, and another owner
        // only to an administrator who restores files: the user may lack
        // both.
        const Handle taking(CreateFileW(wide(copyName), WRITE_OWNER, shareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!taking.isValid())
            return GetLastError();
        error = SetSecurityInfo(taking.get(), SE_FILE_OBJECT, owning, owner, group, nullptr, label);
        if (error != ERROR_SUCCESS)
            return error;
    }
    if (control & SE_DACL_PRESENT) {
        const SECURITY_INFORMATION inheritance = control & SE_DACL_PROTECTED
                                                   ? PROTECTED_DACL_SECURITY_INFORMATION
                                                   : UNPROTECTED_DACL_SECURITY_INFORMATION;
        error = SetSecurityInfo(copy, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance,
                                nullptr, nullptr, rules, nullptr);
    }
    return error;
}

// Gives the flushed copy what makes it the same file to the server and to
// whoever set the file up: its rights and its attributes. Gives 0, or the
// error of the call that failed.
[[nodiscard]] DWORD takeOverIdentity(const Target &target, const QString &copyName)
{
    const Handle old(CreateFileW(wide(target.nativePath), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                 shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr));
    if (!old.isValid())
        return GetLastError();
    // The owner may always change the rules of what it made.
    const Handle copy(CreateFileW(
        wide(copyName), READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
        shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!copy.isValid())
        return GetLastError();
    BY_HANDLE_FILE_INFORMATION was{};
    BY_HANDLE_FILE_INFORMATION is{};
    if (!GetFileInformationByHandle(old.get(), &was)
        || !GetFileInformationByHandle(copy.get(), &is))
        return GetLastError();
    if ((was.dwFileAttributes ^ is.dwFileAttributes) & storageAttributes)
        return ERROR_NOT_SUPPORTED;
    if (const DWORD error = takeOverRights(old.get(), copy.get(), copyName))
        return error;
    FILE_BASIC_INFO basic{}; // times left as they are
    basic.FileAttributes
        = (is.dwFileAttributes & ~keptAttributes) | (was.dwFileAttributes & keptAttributes);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(copy.get(), FileBasicInfo, &basic, sizeof basic)
             ? 0
             : GetLastError();
}

// The copy cannot be the same file to the server (a right the user lacks,
// an owner or label only an administrator may give, a volume without such
// things): write the old one where it lies instead. A full or failing disk
// is no reason to risk the old file.
[[nodiscard]] bool isIdentityRefused(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_WRITE_PROTECT:
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
        return false;
    default:
        return true;
    }
}

} // namespace

std::optional<SaveResult> findTarget(const FilePath &path, Target &target)
{
    target.path = path;
    target.nativePath = QDir::toNativeSeparators(QDir::cleanPath(path.path()));
    target.folder = target.nativePath.left(target.nativePath.lastIndexOf(u'\\') + 1);
    // The name itself, not where a link or junction there leads.
    const Handle found(
        CreateFileW(wide(target.nativePath), FILE_READ_ATTRIBUTES, shareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!found.isValid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            target.folderWritable = true; // the creation of the copy tells
            return std::nullopt;
        }
        return failedCall(error, target, false);
    }
    BY_HANDLE_FILE_INFORMATION about{};
    if (!GetFileInformationByHandle(found.get(), &about))
        return failedCall(GetLastError(), target, false);
    if (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return refused(FailureCause::LinkElsewhere, target);
    if (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return refused(FailureCause::TargetIsFolder, target);
    if (GetFileType(found.get()) != FILE_TYPE_DISK)
        return refused(FailureCause::NotAFile, target);
    target.exists = true;
    target.hasOtherNames = about.nNumberOfLinks > 1;
    target.folderWritable = true;
    // Qt looks only at the read-only flag; the file's access rules decide.
    // An open for writing that changes nothing asks them; a program holding
    // the file unshared makes it fail otherwise.
    const Handle probe(CreateFileW(wide(target.nativePath), GENERIC_WRITE, shareAll, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    target.writable = probe.isValid() || GetLastError() != ERROR_ACCESS_DENIED;
    return std::nullopt;
}

void removeLeftoverCopies(const Target &target)
{
    WIN32_FIND_DATAW entry{};
    const QString prefix = copyPrefix(target);
    const HANDLE search = FindFirstFileW(wide(target.folder + prefix + u'*'), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME &time) {
        return qint64(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    };
    do {
        const QString name = QString::fromWCharArray(entry.cFileName);
        if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            && name.size() == prefix.size() + copyLetters
            && ticks(now) - ticks(entry.ftLastWriteTime) > leftoverAge100ns)
            DeleteFileW(wide(target.folder + name));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::optional<SaveResult> replace(const Target &target, FileBytes &bytes)
{
    QString copyName;
    Handle copy;
    DWORD error = 0;
    for (int attempt = 0; attempt < 100 && !copy.isValid(); ++attempt) {
        copyName = target.folder + copyPrefix(target)
                 + QString::number(QRandomGenerator::system()->bounded(1 << 30), 36)
                       .rightJustified(copyLetters, u'0')
                       .right(copyLetters);
        copy = Handle(CreateFileW(wide(copyName), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        error = copy.isValid() ? 0 : GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    if (!copy.isValid()) {
        // The folder takes no new file (the top of a drive, for a user who
        // is not an administrator): write over the old one where it lies.
        if (target.exists && error == ERROR_ACCESS_DENIED)
            return std::nullopt;
        return failedCall(error, target, false);
    }
    error = writeAll(copy.get(), bytes);
    copy = Handle();
    if (error != 0) {
        DeleteFileW(wide(copyName));
        return failedCall(error, target, false);
    }
    if (const DWORD refusal = target.exists ? takeOverIdentity(target, copyName) : 0) {
        DeleteFileW(wide(copyName));
        if (isIdentityRefused(refusal))
            return std::nullopt;
        return failedCall(refusal, target, false);
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(wide(copyName), wide(target.nativePath),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return saved();
        error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                       || (error == ERROR_ACCESS_DENIED && target.exists && target.writable);
        if (!held || attempt == renameAttempts)
            break;
        QThread::msleep(renamePauseMs);
    }
    DeleteFileW(wide(copyName));
    return failedCall(error, target, false);
}

SaveResult writeInPlace(const Target &target, FileBytes &bytes)
{
    Handle file;
    for (int attempt = 1;; ++attempt) {
        file = Handle(CreateFileW(wide(target.nativePath), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.isValid())
            break;
        // Held by another program for a moment, as the rename may be.
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION || attempt == renameAttempts)
            return failedCall(error, target, false);
        QThread::msleep(renamePauseMs);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return refused(FailureCause::NotAFile, target);
    // Emptied only once it is open: from here a failure leaves it cut off.
    if (!SetEndOfFile(file.get()))
        return failedCall(GetLastError(), target, false);
    if (const DWORD error = writeAll(file.get(), bytes))
        return failedCall(error, target, true);
    return saved();
}

void syncFolder(const Target &target)
{
    // The rename was made with MOVEFILE_WRITE_THROUGH; NTFS keeps its own
    // journal of names, and a folder's handle may be flushed only by an
    // administrator.
    Q_UNUSED(target);
}

void letGoOfOldFile(Target &)
{
    // Save holds no handle on the old file once it is replaced.
}

} // namespace fennick::savesteps
