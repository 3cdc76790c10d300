// The steps of a Save, each in the system's own calls: find the file once,
// choose how to write it, write it, sync its folder. saveConfigFileBytes()
// runs them in that order; only it uses them.
#pragma once

#include "document/filesave.h"

#include <QtGlobal>

#include <optional>
#include <vector>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace fennick::savesteps {

#ifdef Q_OS_WIN
// A handle closed with the object.
class Handle {
public:
    Handle() = default;
    explicit Handle(void *handle);
    Handle(Handle &&other) noexcept;
    Handle &operator=(Handle &&other) noexcept;
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle();
    [[nodiscard]] bool isValid() const;
    [[nodiscard]] void *get() const { return m_handle; }

private:
    void *m_handle = reinterpret_cast<void *>(-1); // INVALID_HANDLE_VALUE
};
#else
// A file descriptor closed with the object.
class Handle {
public:
    Handle() = default;
    explicit Handle(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    Handle(Handle &&other) noexcept
        : m_descriptor(other.release())
    {
    }
    Handle &operator=(Handle &&other) noexcept;
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle();
    [[nodiscard]] bool isValid() const { return m_descriptor >= 0; }
    [[nodiscard]] int get() const { return m_descriptor; }
    int release();

private:
    int m_descriptor = -1;
};
#endif

// The file Save writes, found once. From here on every step works on these
// handles and names relative to the folder's handle, so that a link or a
// file swapped in meanwhile changes nothing.
struct Target {
    FilePath path; // the file itself, past any links: named in messages
#ifdef Q_OS_WIN
    QString nativePath; // with backslashes, as Windows' calls take it
    QString folder;     // with its closing backslash
#else
    Handle folder;   // opened without following a link
    QByteArray name; // in that folder
    Handle file;     // when it exists: the file, never written through
    struct stat status { };
    // Accounts besides this user and root that may change a name on the way
    // to the file, and so could have put any file there: Save writes only a
    // file each of them could write itself.
    std::vector<uid_t> controllers;
    bool everyAccountControls = false; // a folder on the way is writable by all
    bool folderImmutable = false;      // or append-only: it takes no new name
#endif
    bool exists = false;
    bool writable = false;        // by this user
    bool folderWritable = false;  // takes new files from this user
    bool hasOtherNames = false;   // hard links: a replacement would split them
    bool mountedOnItsOwn = false; // a mount point, which no rename can replace
};

// Nothing when the file (or the place for a new one) was found; otherwise
// why Save must not or cannot write there.
[[nodiscard]] std::optional<SaveResult> findTarget(const FilePath &path, Target &target);

// Copies of the file that an interrupted Save left behind: this user's, or
// already given to the file's owner, and no Save at work on them.
void removeLeftoverCopies(const Target &target);

// A new copy beside the file, renamed over it once every byte is on disk.
// Nothing when it turns out that a copy cannot stand in for the file: it
// cannot take the old one's owner, group, mode or attributes, or the file
// is busy as a mount point.
[[nodiscard]] std::optional<SaveResult> replace(const Target &target, FileBytes &bytes);

// Empties the file where it lies and writes it anew: owner, group, mode,
// attributes and every hard link stay as they are; a file that carries a
// capability, which the write would drop, is refused instead. Nothing else holds the
// old text, so a failure once the file is emptied leaves it cut off.
[[nodiscard]] SaveResult writeInPlace(const Target &target, FileBytes &bytes);

// Lets go of the file that a Save replaced, without waiting while the
// system frees it.
void letGoOfOldFile(Target &target);

// The rename, or a new file's name, made durable: without this a power cut
// may bring the old file back after "File saved".
void syncFolder(const Target &target);

} // namespace fennick::savesteps
