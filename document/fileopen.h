// Reading a configuration file back into the preview: only a file that Save
// would write back byte for byte, found as Save finds its file.
#pragma once

#include "document/filepath.h"
#include "document/filesave.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace fennick {

// Why a file was not opened: each cause has its own advice for the user.
enum class OpenFailure {
    None,
    Unknown,
    NotFound, // no file of that name, or a folder on its way is missing
    TargetIsFolder,
    NotAFile,      // a device, a pipe or a socket: nothing waits on it
    NoRightToRead, // the file, or a folder on its way, is closed to this user
    UntrustedLink, // a link another account made
    LinkLoop,
    LinkElsewhere, // a Windows link or junction
    TooLarge,
    NotText, // Save would not write the same bytes back
    FileSwapped,
};

// What keeps a file from coming back the same through the preview and Save.
enum class NotTextBecause {
    NotInEncoding, // bytes that are no text in the system's encoding
    Nul,
    LoneCr,        // the preview makes it a line break, Save a CR LF
    LineSeparator, // U+2028 or U+2029: a line break to the preview
    FrameMark,     // U+FDD0 or U+FDD1, which the preview cannot hold
};

// Larger than any configuration, small enough to be shown at once.
inline constexpr qint64 openSizeLimit = 8 * 1024 * 1024;

struct OpenResult {
    OpenFailure failure = OpenFailure::Unknown;
    // The text for the preview: the file without its closing line break,
    // its own line breaks (CR LF, or LF alone) as they stand.
    QString text;
    bool lineFeedsAlone = false; // some lines end in LF alone: Save writes CR LF
    bool noClosingBreak = false; // Save adds the CR LF that ends every file it writes
    QString reason;              // the system's words, when a call failed
    QString subject;             // the link, the device, the missing folder
    QString linkOwner;           // of an untrusted link
    FileKind kind = FileKind::Other;
    qint64 size = 0; // of a file too large
    NotTextBecause because = NotTextBecause::NotInEncoding;
    qsizetype line = 0;   // the first line that would not come back, from 1
    QString encodingName; // the encoding the bytes are not text in

    [[nodiscard]] bool opened() const { return failure == OpenFailure::None; }
};

// The text of file bytes that Save would write back as they are, or why not
// and where; lines of LF alone and a missing closing line break are allowed
// and reported, as Save makes them CR LF.
[[nodiscard]] OpenResult textFromFileBytes(const QByteArray &bytes);

// Reads the file at path: an ordinary file found as Save finds its file
// (links of other accounts refused, never waiting on a pipe or device), up
// to openSizeLimit bytes, then textFromFileBytes().
[[nodiscard]] OpenResult openConfigFile(const FilePath &path);

namespace fileopen {
// The file's bytes, read on the system's own calls; a result that is not
// opened when that failed. Used only by openConfigFile().
[[nodiscard]] OpenResult readBytes(const FilePath &path, QByteArray &bytes);
// The name of the system's encoding as the user knows it.
[[nodiscard]] QString encodingName();
// The bytes in the system's encoding, each byte that is no text there made
// a replacement character; a byte-order mark is kept as U+FEFF.
[[nodiscard]] QString decode(const QByteArray &bytes);
// For readBytes(): the reasons Save gives for not writing, as Open's.
[[nodiscard]] OpenResult fromSaveRefusal(const SaveResult &refused);
// One read call of the system: at most room bytes at offset into into; the
// count read, 0 at the file's end, below 0 when the call failed.
using ReadCall = std::function<qint64(char *into, qint64 room, qint64 offset)>;
// For readBytes(): the whole file, of size bytes when it was looked at, by
// read. Too large over openSizeLimit, also when the file grew past it
// meanwhile; Unknown when a call failed, the system's reason left to the
// caller.
[[nodiscard]] OpenResult readWhole(qint64 size, QByteArray &bytes, const ReadCall &read);
} // namespace fileopen

} // namespace fennick
