#include "document/configfile.h"

#include "document/driverootrights.h"
#include "document/linebreaks.h"
#include "document/systemencoder.h"

#include <QDir>

#include <algorithm>

namespace fennick {
namespace {

// The system's words as a sentence: "No space left on device."
[[nodiscard]] QString asSentence(const QString &words)
{
    QString sentence = words.trimmed();
    if (sentence.isEmpty())
        return QStringLiteral("The system gave no reason.");
    sentence[0] = sentence[0].toUpper();
    if (!sentence.endsWith(u'.'))
        sentence += u'.';
    return sentence;
}

// The one step that mends a failure whose cause the program can tell.
[[nodiscard]] QString adviceFor(FailureCause cause, const QString &path)
{
    switch (cause) {
    case FailureCause::TargetIsFolder:
        return QStringLiteral(
            "A folder has the file's name: rename or remove that folder, then save again.");
    case FailureCause::FolderMissing:
        return QStringLiteral("Its folder does not exist: create the folder, then save again.");
    case FailureCause::FolderTakesNoNewFiles:
        // The top of a Windows drive is not read-only, only closed to users
        // without administrator rights.
        if (QString rights = driveRootRightsAdvice(path); !rights.isEmpty())
            return rights;
        return QStringLiteral(
            "Its folder is read-only for you: make the folder writable, or have an empty "
            "file of that name put there that you may write, then save again.");
    case FailureCause::FileReadOnly:
        return QStringLiteral("The file is read-only for you: make it writable, then save again.");
    case FailureCause::DiskReadOnly:
        return QStringLiteral("The disk is read-only: make it writable, then save again.");
    case FailureCause::DiskFull:
        return QStringLiteral("The disk is full: free some space on it, then save again.");
    case FailureCause::FileLocked:
        return QStringLiteral(
            "Another program is using the file: close that program, then save again.");
    case FailureCause::Unknown:
        break;
    }
    return {};
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
    QByteArray bytes = SystemEncoder().encode(document);
    bytes.append("\r\n", 2);
    return bytes;
}

QByteArray configFileBytesFromEditorText(QStringView editorText)
{
    SystemEncoder encoder;
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

QString savedMessage(const QString &path)
{
    return QStringLiteral("File saved in ") + QDir::toNativeSeparators(path);
}

QString notSavedMessage(const QString &path, const SaveResult &failure)
{
    QString advice = adviceFor(failure.cause, path);
    if (!advice.isEmpty())
        advice.prepend(u' ');
    const QString outcome
        = failure.fileMayBeIncomplete
            ? QStringLiteral(
                "Save had begun writing over the file, so it may now be incomplete. Your text is "
                "still in the preview: save again once the cause is mended.")
            : QStringLiteral("Nothing on disk was changed, and your text is still in the preview.");
    return QStringLiteral("The file was not saved: %1\n\n%2%3\n\n%4")
        .arg(QDir::toNativeSeparators(path), asSentence(failure.reason), advice, outcome);
}

} // namespace fennick
