// Putting the configuration file's bytes on disk.
#pragma once

#include "document/savetarget.h"

#include <QByteArray>
#include <QString>

namespace fennick {

struct SaveResult {
    bool saved = false;
    FailureCause cause = FailureCause::Unknown;
    // Save was writing over the file itself when it failed: the old text is
    // gone, the new one cut off.
    bool fileMayBeIncomplete = false;
    QString reason; // the system's words for what went wrong, when not saved
};

// Writes the bytes to the file at path, following symbolic links. As a rule
// a new copy beside the file is renamed over it once every byte is on disk,
// taking over the old file's owner, group, mode and attributes, so that a
// failure leaves the old file whole. Where such a copy would not be the same
// file to the server (it cannot take the old owner or group, or the file has
// further hard links) or the folder takes no new file, the file itself is
// emptied and written anew instead.
[[nodiscard]] SaveResult saveConfigFileBytes(const QByteArray &bytes, const QString &path);

} // namespace fennick
