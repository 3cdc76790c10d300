#include "ui/openmessages.h"

#include "ui/messagewords.h"

#include <QLocale>

namespace fennick {
namespace {

[[nodiscard]] QString whatIsNotText(const OpenResult &failure)
{
    switch (failure.because) {
    case NotTextBecause::NotInEncoding:
        return OpenMessages::tr("bytes that are not text in %1, the encoding Save writes")
            .arg(failure.encodingName);
    case NotTextBecause::Nul:
        return OpenMessages::tr("a NUL character (a zero byte)");
    case NotTextBecause::LoneCr:
        return OpenMessages::tr("a CR without an LF after it, which the preview would make a line "
                                "break and Save a CR LF");
    case NotTextBecause::LineSeparator:
        return OpenMessages::tr("a Unicode line or paragraph separator, which the preview would "
                                "make a line break and Save a CR LF");
    case NotTextBecause::FrameMark:
        return OpenMessages::tr("the character U+FDD0 or U+FDD1, which the preview cannot hold");
    }
    return {};
}

} // namespace

QString OpenMessages::notOpened(const FilePath &path, const OpenResult &failure)
{
    const QString subject = failure.subject.isEmpty() ? path.shown() : failure.subject;
    QString advice;
    switch (failure.failure) {
    case OpenFailure::NotFound:
        advice = subject == path.shown()
                   ? tr("There is no file of that name: choose the file where it is, then open "
                        "it again.")
                   : tr("The folder %1 does not exist: choose the file where it is, then open it "
                        "again.")
                         .arg(subject);
        break;
    case OpenFailure::TargetIsFolder:
        advice = tr("%1 is a folder, not a file, and Open reads only files: choose the "
                    "configuration file in it, then open it.")
                     .arg(subject);
        break;
    case OpenFailure::NotAFile:
        advice = tr("%1 is %2, not a file, and Open reads only files, so it did not wait on it: "
                    "choose the configuration file itself, then open it.")
                     .arg(subject, fileKindName(failure.kind));
        break;
    case OpenFailure::NoRightToRead:
        advice = tr("You have no right to read it: have its owner or the administrator let you "
                    "read the file and open its folders, then open it again.");
        break;
    case OpenFailure::UntrustedLink:
        advice = tr("The link %1 belongs to %2, another account, so Open does not follow it: a "
                    "link that someone else made could lead to any file. Open the file by its "
                    "own name, or have the link made by you or by the administrator, then open "
                    "it again.")
                     .arg(subject, failure.linkOwner);
        break;
    case OpenFailure::LinkLoop:
        advice = tr("Its links lead round in a circle and never reach a file: mend or remove the "
                    "link, then open it again.");
        break;
    case OpenFailure::LinkElsewhere:
        advice = tr("It is a link to another place, which Open does not follow: open the file it "
                    "leads to by its own name.");
        break;
    case OpenFailure::TooLarge: {
        const QLocale locale;
        advice = tr("It holds %1 bytes, more than the %2 bytes (%3) that Open reads, and no "
                    "configuration is so large: choose the configuration file itself, then open "
                    "it.")
                     .arg(locale.toString(failure.size), locale.toString(openSizeLimit),
                          locale.formattedDataSize(openSizeLimit, 0));
        break;
    }
    case OpenFailure::NotText:
        advice = tr("Save would not write it back the same: line %1 holds %2. Mend line %1 in a "
                    "text editor, then open it again.")
                     .arg(failure.line)
                     .arg(whatIsNotText(failure));
        break;
    case OpenFailure::FileSwapped:
        advice = tr("Another program replaced the file, or a folder on its way, while Open was at "
                    "work: open it again.");
        break;
    case OpenFailure::None:
    case OpenFailure::Unknown:
        break;
    }
    QStringList why{asSentence(failure.reason), advice};
    why.removeAll(QString());
    if (why.isEmpty())
        why << tr("The system gave no reason.");
    return tr("The file was not opened: %1\n\n%2\n\nThe preview is as it was.")
        .arg(path.shown(), why.join(u' '));
}

QString OpenMessages::openedWithNote(const FilePath &path, const OpenResult &opened)
{
    QStringList notes;
    if (opened.lineFeedsAlone)
        notes << tr("Its lines end in LF alone, as files made on Linux do: Save will write CR LF, "
                    "the line break of every file Fennick writes.");
    if (opened.noClosingBreak)
        notes << tr("It does not end with a line break: Save will end it with CR LF, as it ends "
                    "every file it writes.");
    if (notes.isEmpty())
        return {};
    return tr("Opened %1\n\n%2").arg(path.shown(), notes.join(u' '));
}

} // namespace fennick
