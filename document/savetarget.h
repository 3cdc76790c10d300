// What the file system says about the file Save writes, and how a new copy
// of that file takes over the old one's owner, group, mode and attributes.
// The platform's own calls stay in here.
#pragma once

#include <QString>

namespace fennick {

// Why a Save failed, as far as the program can tell: each cause has its own
// advice for the user.
enum class FailureCause {
    Unknown,
    TargetIsFolder, // a folder stands where the file should be
    FolderMissing,
    FolderTakesNoNewFiles, // and there is no file to write over
    FileReadOnly,
    DiskReadOnly,
    DiskFull,
    FileLocked, // by another program
};

// The file Save writes, symbolic links followed, as it is before the Save.
struct SaveTarget {
    QString path; // of the file itself, past any symbolic links
    bool exists = false;
    bool isFolder = false;
    bool writable = false;      // by this user
    bool hasOtherNames = false; // hard links: a replacement would split them
};

[[nodiscard]] SaveTarget inspectSaveTarget(const QString &path);

// Gives a replacement that is still open (handle) the owner, group and mode
// of the file it is to replace, and on Linux its extended attributes, ACL
// included. Gives 0, or the error number of the call that failed: a new file
// would then change who may read the configuration. On Windows the
// replacement keeps what Qt gives it (the old file's read-only flag, the
// folder's access rules).
[[nodiscard]] int takeOverIdentity(const SaveTarget &old, int handle);

// The failure of takeOverIdentity() says that the user may not give a new
// file the old one's identity (rather than that the disk failed), so the old
// file had better be written where it lies.
[[nodiscard]] bool isIdentityRefused(int systemError);

// The error number of the system call that just failed (errno, or
// GetLastError() on Windows): read it before anything else can change it.
[[nodiscard]] int lastSystemError();

// The user lacks the right to do what failed.
[[nodiscard]] bool isPermissionError(int systemError);

[[nodiscard]] FailureCause causeOf(int systemError, const SaveTarget &target);

} // namespace fennick
