#include "ui/savemessages.h"

#include "ui/messages.h"
#include "ui/messagewords.h"

#include <QDir>
#include <QFileInfo>

namespace fennick {
namespace {

// The home folder as HOME names it, to tell the user which setting to mend.
[[nodiscard]] QString homeShown()
{
    QByteArray home = qgetenv("HOME");
    while (home.size() > 1 && home.endsWith('/'))
        home.chop(1);
    return home.isEmpty() ? QString() : FilePath::fromSystemBytes(home).shown();
}

// Save refused to write, on another account's behalf, a file that account
// may not write.
[[nodiscard]] QString writtenForAnotherAdvice(const FilePath &path, const SaveResult &failure)
{
    const QString given = path.shown();
    const bool elsewhere = given != failure.subject;
    if (failure.account.isEmpty()) {
        const QString what
            = elsewhere ? SaveMessages::tr("%1 leads to %2, which not every account may write, "
                                           "through a folder that every account may change")
                              .arg(given, failure.subject)
                        : SaveMessages::tr("%1, which not every account may write, lies in a "
                                           "folder that every account may change")
                              .arg(given);
        return SaveMessages::tr("%1: Save does not write there for them. Take the right to change "
                                "that folder from the other accounts (chmod o-w), then save again.")
            .arg(what);
    }
    const QString what
        = elsewhere
            ? SaveMessages::tr("%1 leads to %2, which the account %3 may not write, through "
                               "a folder that %3 controls")
                  .arg(given, failure.subject, failure.account)
            : SaveMessages::tr("%1, which the account %2 may not write, lies in a folder "
                               "that %2 controls")
                  .arg(given, failure.account);
    return SaveMessages::tr("%1: Save does not write there for it. If the file is %2's to change, "
                            "let %2 write it; otherwise remove the name from %2's folder. Then "
                            "save again.")
        .arg(what, failure.account);
}

// Whether the missing folder is the home folder that Save writes into.
[[nodiscard]] bool isHomeFolder(const FilePath &path, const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(folder);
    return false; // Save writes C:\Config.ini there
#else
    return !folder.isEmpty() && path.path() == configFilePath().path()
        && QDir::fromNativeSeparators(folder) == QFileInfo(path.path()).path();
#endif
}

} // namespace

QString SaveMessages::saved(const FilePath &path)
{
    return tr("File saved in %1").arg(path.shown());
}

bool SaveMessages::offersSaveAs(FailureCause cause)
{
    // Every cause listed, so that a new one is decided on, not left out.
    switch (cause) {
    case FailureCause::HomeUnknown:
    case FailureCause::FolderMissing: // which the account may not be able to create
    case FailureCause::FolderTakesNoNewFiles:
    case FailureCause::FileReadOnly:
    case FailureCause::FileImmutable:
    case FailureCause::DiskReadOnly:
    case FailureCause::FolderImmutable:
    case FailureCause::ModesUnsupported:
    case FailureCause::NotAFolder: // HOME names a file or a pipe
        return true;
    case FailureCause::WrittenForAnother:
    case FailureCause::NoInodes:
    case FailureCause::AttributeLost:
    case FailureCause::Unknown:
    case FailureCause::TargetIsFolder:
    case FailureCause::NotAFile:
    case FailureCause::UntrustedLink:
    case FailureCause::LinkLoop:
    case FailureCause::LinkElsewhere:
    case FailureCause::DiskFull:
    case FailureCause::FileLocked:
    case FailureCause::FileSwapped:
        return false;
    }
    return false;
}

QString SaveMessages::driveRootRightsAdvice(const QString &path)
{
    const QString file = QDir::fromNativeSeparators(path);
    const bool atTopOfDrive = file.size() > 3 && file.at(0).isLetter() && file.mid(1, 2) == u":/"
                           && file.indexOf(u'/', 3) < 0;
    if (!atTopOfDrive)
        return {};
    return tr("Windows lets only administrators create files at the top of drive %1. Start "
              "Fennick with \"Run as administrator\", or have %2 created once with the right for "
              "you to change it.")
        .arg(file.left(2).toUpper(), QDir::toNativeSeparators(file));
}

QString SaveMessages::notSaved(const FilePath &path, const SaveResult &failure)
{
    QString advice;
    switch (failure.cause) {
    case FailureCause::HomeUnknown:
        advice = tr("Fennick cannot tell which folder is your home folder: HOME does not name a "
                    "folder by its full path, and the system has none for your account. Set HOME "
                    "to your home folder, then save again.");
        break;
    case FailureCause::TargetIsFolder:
        advice = tr("A folder has the file's name: rename or remove that folder, then save again.");
        break;
    case FailureCause::NotAFile:
        advice = tr("%1 is %2, not a file, and Save writes only files: put the file or a link to "
                    "it in its place, then save again.")
                     .arg(failure.subject, fileKindName(failure.kind));
        break;
    case FailureCause::NotAFolder:
        advice = failure.subject == homeShown()
                   ? tr("HOME names %1, which is %2, not a folder: set HOME to your home folder, "
                        "then save again.")
                         .arg(failure.subject, fileKindName(failure.kind))
                   : tr("%1 is %2, not a folder, so nothing can be saved in it: put a folder in "
                        "its place, then save again.")
                         .arg(failure.subject, fileKindName(failure.kind));
        break;
    case FailureCause::UntrustedLink:
        advice
            = tr("The link %1 belongs to %2, another account, so Save does not follow it: a link "
                 "that someone else made could lead to any file. Remove the link, or have it "
                 "made by you or by the administrator, then save again.")
                  .arg(failure.subject, failure.account);
        break;
    case FailureCause::WrittenForAnother:
        advice = writtenForAnotherAdvice(path, failure);
        break;
    case FailureCause::LinkLoop:
        advice = tr("Its links lead round in a circle and never reach a file: mend or remove the "
                    "link, then save again.");
        break;
    case FailureCause::LinkElsewhere:
        advice = tr("It is a link to another place, which Save does not follow: remove the link, "
                    "then save again.");
        break;
    case FailureCause::FolderMissing:
        // A server's account often has a home folder that does not exist
        // and that only the administrator could create.
        if (isHomeFolder(path, failure.subject))
            advice = tr("Your home folder %1 does not exist or is not a folder: create the folder, "
                        "then save again. Where your account may not create it, choose %2 to "
                        "save the file elsewhere.")
                         .arg(failure.subject, saveAsCaption());
        else
            advice = failure.subject.isEmpty()
                       ? tr("Its folder does not exist: create the folder, then save again.")
                       : tr("The folder %1 does not exist: create the folder, then save again.")
                             .arg(failure.subject);
        break;
    case FailureCause::FolderTakesNoNewFiles:
        // The top of a Windows drive is not read-only, only closed to users
        // without administrator rights.
        advice = driveRootRightsAdvice(path.path());
        if (advice.isEmpty())
            advice = tr("Its folder is read-only for you: make the folder writable, or have an "
                        "empty file of that name put there that you may write, then save again.");
        break;
    case FailureCause::FolderImmutable:
        advice = tr("Its folder is marked immutable or append-only, which keeps even its owner "
                    "from adding a file to it: have the administrator clear the mark (chattr -i "
                    "-a on the folder), then save again.");
        break;
    case FailureCause::FileReadOnly:
        advice = tr("The file is read-only for you: make it writable, then save again.");
        break;
    case FailureCause::FileImmutable:
        advice = tr("The file is marked immutable or append-only, which keeps even its owner from "
                    "changing it: have the administrator clear the mark (chattr -i -a), then save "
                    "again.");
        break;
    case FailureCause::DiskReadOnly:
#ifdef Q_OS_WIN
        advice = tr("The disk is write-protected: remove the protection, then save again.");
#else
        advice = tr("The file system it is on is mounted read-only: have it mounted for writing, "
                    "then save again.");
#endif
        break;
    case FailureCause::DiskFull:
        advice = tr("The disk is full: free some space on it, then save again.");
        break;
    case FailureCause::NoInodes:
        advice = tr("The file system has no room for another file (no inodes are left), though "
                    "it may have space: remove files you no longer need from it, then save again.");
        break;
    case FailureCause::ModesUnsupported:
        advice = tr("The file system it is on cannot change a file's mode or owner, so the new "
                    "file cannot take the old one's: save it elsewhere with Save As, or give the "
                    "file the mode this file system gives new files, then save again.");
        break;
    case FailureCause::AttributeLost:
        advice = tr("The file carries a capability (%1), which the system drops whenever a file "
                    "is written where it lies, as Save must write this one: remove the capability "
                    "(setcap -r) if the file does not need it, then save again.")
                     .arg(failure.subject);
        break;
    case FailureCause::FileLocked:
        advice = tr("Another program is using the file: close that program, then save again.");
        break;
    case FailureCause::FileSwapped:
        advice = tr("Another program replaced the file, or a folder on its way, while Save was at "
                    "work, so Save left it alone: save again.");
        break;
    case FailureCause::Unknown:
        break;
    }
    QStringList why{asSentence(failure.reason), advice};
    why.removeAll(QString());
    if (why.isEmpty())
        why << tr("The system gave no reason.");
    const QString outcome
        = failure.fileMayBeIncomplete
            ? tr("Save had begun writing over the file, so it may now be incomplete. Your text is "
                 "still in the preview: save again once the cause is mended.")
            : tr("Nothing on disk was changed, and your text is still in the preview.");
    const QString file = path.isEmpty() ? tr("Config.ini in your home folder") : path.shown();
    return tr("The file was not saved: %1\n\n%2\n\n%3").arg(file, why.join(u' '), outcome);
}

} // namespace fennick
