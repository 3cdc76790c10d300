// Putting the configuration file's bytes on disk, and what became of them:
// the cause of a failure and its facts, for the window to put in words.
#pragma once

#include "document/filebytes.h"
#include "document/filepath.h"

#include <QByteArray>
#include <QString>

namespace fennick {

// Why a Save failed, as far as the program can tell: each cause has its own
// advice for the user.
enum class FailureCause {
    Unknown,
    HomeUnknown,    // no home folder to save in
    TargetIsFolder, // a folder stands where the file should be
    NotAFile,       // a device, a pipe or a socket: Save writes only files
    UntrustedLink,  // a link another account made: it could lead anywhere
    // The file lies past a folder that another account may change, and that
    // account may not write the file itself: Save would write it on its behalf.
    WrittenForAnother,
    NotAFolder,    // a name on the way is a file, a pipe or a device
    LinkLoop,      // links that lead round in a circle
    LinkElsewhere, // a Windows link or junction, which Save does not follow
    FolderMissing,
    FolderTakesNoNewFiles, // and there is no file to write over
    FolderImmutable,       // marked immutable or append-only
    FileReadOnly,
    FileImmutable, // marked immutable or append-only
    DiskReadOnly,  // a read-only mount or medium
    DiskFull,
    NoInodes,         // the file system has space but no room for another file
    ModesUnsupported, // the file system cannot change a file's mode or owner
    AttributeLost,    // writing the file would drop an attribute, such as a capability
    FileLocked,       // by another program: a lease or a lock
    FileSwapped,      // replaced by another file or a link while Save was at work
};

enum class FileKind { Other, File, CharacterDevice, BlockDevice, Pipe, Socket };

struct SaveResult {
    bool saved = false;
    FailureCause cause = FailureCause::Unknown;
    // Save was writing over the file itself when it failed: the old text is
    // gone, the new one cut off.
    bool fileMayBeIncomplete = false;
    QString reason; // the system's words, when a system call failed
    // What the cause is about: the device, the link, the missing folder, the
    // file written for another account or the attribute.
    QString subject;
    // Of an untrusted link, its owner; of a file written for another, the
    // account that may change a folder on the way (empty: every account).
    QString account;
    FileKind kind = FileKind::Other; // of what is not a file, or not a folder
};

// Writes the bytes to the file at path and syncs them, and its folder, to
// disk. Links are followed where they can be trusted: made by this user or
// by the administrator, or by the account that may change the folder they
// lie in. Where such an account (not this user, not root) may change a name
// on the way, only a file that account could write itself is written.
// Only an ordinary file is ever written, and nothing
// waits on a device or a pipe. As a rule a new copy beside the file is
// renamed over it once every byte is on disk, taking over the old file's
// owner, group, mode (on Windows its access rules and integrity level) and
// attributes, so that a failure leaves the old file whole. Where such a copy
// would not be the same file to the server (it cannot take the old owner,
// group or rights, the file has further hard links or is mounted on its
// own) or the folder takes no new file, the file itself is emptied and
// written anew instead.
// The bytes are made as they are written, and again should Save turn from
// a new copy to the file itself.
[[nodiscard]] SaveResult saveConfigFileBytes(FileBytes &bytes, const FilePath &path);
[[nodiscard]] SaveResult saveConfigFileBytes(const QByteArray &bytes, const FilePath &path);

} // namespace fennick
