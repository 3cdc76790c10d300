#include "document/configfile.h"

#include "document/linebreaks.h"

#include <QDir>
#include <QSaveFile>
#include <QStringEncoder>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fennick {
namespace {

// Empty when every byte is on disk, else the system's reason.
[[nodiscard]] QString syncToDisk(const QSaveFile &file)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    const bool synced = FlushFileBuffers(handle) != 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    return synced ? QString() : qt_error_string(-1); // from errno or GetLastError()
}

SaveResult writeOnce(const QByteArray &bytes, const QString &path, bool *renameFailed)
{
    *renameFailed = false;
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the file system at once and
    // reports its own failure: Qt 6.4's commit() can miss a failure of its
    // final flush (a full disk) and rename a cut-off file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    // A short write is not yet a failure: the next write says why it stopped,
    // where the short one leaves Qt with no reason to give.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return {false, reason};
        }
        written += count;
    }
    // commit() syncs to disk too, but in Qt 6.4 it ignores the result; some
    // file systems (network ones, quotas) report a full disk only here.
    if (const QString reason = syncToDisk(file); !reason.isEmpty()) {
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit()) {
        *renameFailed = file.error() == QFileDevice::RenameError;
        return {false, file.errorString()};
    }
    return {true, {}};
}

} // namespace

QString configFilePath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Config.ini");
#else
    return QDir::homePath() + QStringLiteral("/Config.ini");
#endif
}

QByteArray configFileBytes(const QString &document)
{
    // Stateless, so that a high surrogate at the very end is replaced rather
    // than held back waiting for a low one that never comes.
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(document);
    bytes.append("\r\n", 2);
    return bytes;
}

QByteArray configFileBytesFromEditorText(QStringView editorText)
{
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    // Room for the whole text, each line break's room holding its CR LF;
    // grown below only if an encoding ever asks for less.
    QByteArray bytes(encoder.requiredSpace(editorText.size()) + 2, Qt::Uninitialized);
    qsizetype used = 0;
    const auto appendLine = [&](QStringView line) {
        const qsizetype needed = encoder.requiredSpace(line.size()) + 2;
        if (bytes.size() - used < needed)
            bytes.resize(std::max(used + needed, 2 * bytes.size()));
        // No line break ends inside a surrogate pair, so encoding line by
        // line, stateless, gives the same bytes as encoding the whole text.
        char *end = encoder.appendToBuffer(bytes.data() + used, line);
        *end++ = '\r';
        *end++ = '\n';
        used = end - bytes.constData();
    };
    forEachLine(editorText, appendLine); // the last line gets the file's closing CR LF
    bytes.truncate(used);
    return bytes;
}

SaveResult saveConfigFileBytes(const QByteArray &bytes, const QString &path)
{
#ifdef Q_OS_WIN
    // A virus scanner or an editor may hold the file for a moment and refuse
    // the rename; try a few more times before giving up.
    constexpr int attempts = 5;
#else
    constexpr int attempts = 1;
#endif
    SaveResult result;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        bool renameFailed = false;
        result = writeOnce(bytes, path, &renameFailed);
        if (result.saved || !renameFailed)
            break;
        if (attempt < attempts)
            QThread::msleep(200);
    }
    return result;
}

QString savedMessage(const QString &path)
{
    return QStringLiteral("File saved in ") + QDir::toNativeSeparators(path);
}

QString notSavedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("The file was not saved: %1\n\n%2\n\nYour text is still in the preview; "
                          "you can try again.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace fennick
