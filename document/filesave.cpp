#include "document/filesave.h"

#include <QFile>
#include <QSaveFile>
#include <QThread>

#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fennick {
namespace {

#ifdef Q_OS_WIN
// A virus scanner or an editor may hold the file for a moment and refuse
// the rename; try a few more times before giving up.
constexpr int renameAttempts = 5;
#else
constexpr int renameAttempts = 1;
#endif

// What the system said when a call failed.
struct Failure {
    QString reason;
    int systemError = 0;
};

[[nodiscard]] Failure failureOf(const QFileDevice &file)
{
    const int systemError = lastSystemError();
    return {file.errorString(), systemError};
}

[[nodiscard]] SaveResult saved()
{
    SaveResult result;
    result.saved = true;
    return result;
}

[[nodiscard]] SaveResult notSaved(const Failure &failure, const SaveTarget &target,
                                  bool fileMayBeIncomplete)
{
    return {false, causeOf(failure.systemError, target), fileMayBeIncomplete, failure.reason};
}

// A short write is not yet a failure: the next write says why it stopped,
// where the short one leaves Qt with no reason to give.
[[nodiscard]] std::optional<Failure> writeAll(QFileDevice &file, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return failureOf(file);
        written += count;
    }
    return std::nullopt;
}

// Some file systems (network ones, quotas) report a full disk only here.
[[nodiscard]] std::optional<Failure> syncToDisk(const QFileDevice &file)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    const bool synced = FlushFileBuffers(handle) != 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (synced)
        return std::nullopt;
    const int systemError = lastSystemError();
    return Failure{qt_error_string(systemError), systemError};
}

// Empties the file where it lies and writes it anew: owner, group, mode,
// attributes and every hard link stay as they are. Nothing else holds the
// old text, so a failure once the file is open leaves it cut off.
[[nodiscard]] SaveResult writeOver(const QByteArray &bytes, const SaveTarget &target)
{
    QFile file(target.path);
    // Emptied only by an open that succeeds.
    if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return notSaved(failureOf(file), target, false);
    std::optional<Failure> failure = writeAll(file, bytes);
    if (!failure)
        failure = syncToDisk(file);
    if (!failure) {
        file.close();
        if (file.error() != QFileDevice::NoError)
            failure = failureOf(file);
    }
    return failure ? notSaved(*failure, target, true) : saved();
}

// A new copy beside the file, renamed over it once every byte is on disk.
// Nothing when the copy could not stand in for the file: the folder takes no
// new file, or the copy cannot take the old file's owner, group, mode or
// attributes.
[[nodiscard]] std::optional<SaveResult> replace(const QByteArray &bytes, const SaveTarget &target,
                                                bool *renameFailed)
{
    *renameFailed = false;
    QSaveFile file(target.path);
    // Unbuffered, so that every write reaches the file system at once and
    // reports its own failure: Qt 6.4's commit() can miss a failure of its
    // final flush (a full disk) and rename a cut-off file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const Failure failure = failureOf(file);
        if (target.exists && isPermissionError(failure.systemError))
            return std::nullopt;
        return notSaved(failure, target, false);
    }
    if (const int error = target.exists ? takeOverIdentity(target, file.handle()) : 0) {
        file.cancelWriting();
        // A full or failing disk is no reason to risk the old file.
        if (isIdentityRefused(error))
            return std::nullopt;
        return notSaved(Failure{qt_error_string(error), error}, target, false);
    }
    std::optional<Failure> failure = writeAll(file, bytes);
    // commit() syncs to disk too, but in Qt 6.4 it ignores the result.
    if (!failure)
        failure = syncToDisk(file);
    if (failure) {
        file.cancelWriting();
        return notSaved(*failure, target, false);
    }
    if (!file.commit()) {
        *renameFailed = file.error() == QFileDevice::RenameError;
        SaveResult result = notSaved(failureOf(file), target, false);
#ifdef Q_OS_WIN
        // The file is there and writable, yet it cannot be replaced: another
        // program has it open.
        if (*renameFailed)
            result.cause = FailureCause::FileLocked;
#endif
        return result;
    }
    return saved();
}

} // namespace

SaveResult saveConfigFileBytes(const QByteArray &bytes, const QString &path)
{
    const SaveTarget target = inspectSaveTarget(path);
    // A file the user may not write goes this way too: the open fails with
    // the system's reason and leaves the file as it was.
    if (target.exists && !target.isFolder && (target.hasOtherNames || !target.writable))
        return writeOver(bytes, target);
    for (int attempt = 1;; ++attempt) {
        bool renameFailed = false;
        const std::optional<SaveResult> result = replace(bytes, target, &renameFailed);
        if (!result)
            return writeOver(bytes, target);
        if (!renameFailed || attempt == renameAttempts)
            return *result;
        QThread::msleep(200);
    }
}

} // namespace fennick
