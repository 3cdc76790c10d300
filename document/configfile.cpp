#include "document/configfile.h"

#include <QDir>
#include <QSaveFile>
#include <QStringEncoder>
#include <QThread>

namespace fennick {
namespace {

SaveResult writeOnce(const QByteArray &bytes, const QString &path, bool *renameFailed)
{
    *renameFailed = false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    // Flush and check before commit(): Qt 6.4's commit() can miss a write
    // error from its own final flush and rename a cut-off file into place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
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

SaveResult saveConfigFile(const QString &document, const QString &path)
{
    const QByteArray bytes = configFileBytes(document);
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
