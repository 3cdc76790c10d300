// Save on real file systems, clicked through the real window. Failures: a
// folder where the file should be, a missing home folder, a read-only file
// system and a disk that fills up, also while Save writes over a file that
// cannot be replaced. Successes that must keep the server's file as it is:
// its owner, group, mode, ACL and links, also where its folder takes no new
// file.
// Some cases need a file system of the test's own, so the test runs itself
// again in a private mount namespace (as root, or as a user through a user
// namespace), where it can mount a small tmpfs without touching the
// machine's mounts. Where a case needs a user without some of root's rights,
// the test lowers those capabilities of its own thread, the one Save runs
// on, around that Save. Where a case is not possible it is skipped with the
// reason, never passed.
#include "document/configfile.h"
#include "document/fileopen.h"
#include "windowdriver.h"
#include "windowstate.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

using namespace fennick;

namespace {

constexpr char insideNamespace[] = "FENNICK_TEST_IN_PRIVATE_MOUNT_NAMESPACE";

// Qt's file write buffer: in a buffered file, a document smaller than this
// reaches the disk only at the final flush, the one Qt 6.4's QSaveFile::commit()
// can fail without saying so.
constexpr qsizetype qtWriteBuffer = 16 * 1024;
constexpr qsizetype page = 4096;

enum class Failure {
    TargetIsFolder,
    HomeMissing,
    ReadOnly,
    ReadOnlyWithoutOldFile,
    FullWhileWriting,
    FullNoRoom,
    FullRoomForOnePage,
    FullWhileWritingOver, // a hard-linked file, which Save writes over
    LinkToDevice,         // /dev/null
    Pipe,
    Socket,
    LinkByOtherAccount, // to a file of root's, made by "nobody"
    LinkLoop,
    LinkToMissingFolder,
    Immutable,
    AppendOnly,
    HomeIsAFile,
    HomeIsAPipe,
    NoInodes,           // on a tmpfs of few inodes, with space to spare
    ImmutableFolder,    // and no old file
    LeasedByAnother,    // a hard-linked file, which Save writes where it lies
    LockedByAnother,    // an fcntl lock
    CapabilityInPlace,  // a hard-linked file with a file capability
    RootLinkMovedIn,    // by the account that owns the home folder
    HardLinkToRootFile, // made by that account, with fs.protected_hardlinks=0
    LinkInAclFolder,    // nobody's, where an ACL names nobody but its mask keeps it out
};

[[nodiscard]] bool needsOwnFileSystem(Failure failure)
{
    return (failure >= Failure::ReadOnly && failure <= Failure::FullWhileWritingOver)
        || failure == Failure::NoInodes;
}

// A server's Config.ini, set up as its operator might have it.
enum class ServersFile {
    LinkToOtherAccountsFile,             // mode 0640, owned by "nobody"
    LinkToOtherAccountsFileWithoutChown, // and the saving user may not give files away
    InFolderWithoutWritePermission,
    HardLinked,
    WithAclAndAttribute,
    BindMounted,          // as a container's volume: no rename can replace it
    InServersOwnFolder,   // which "nobody" owns, with copies killed Saves left there
    WithCapability,       // security.capability, which a write drops
    OverlayLowerHardLink, // a hard link of overlayfs's lower layer: copied up when written
};

// A tmpfs mounted on a folder for one test; unmounted when destroyed. Each
// call gives an empty string on success, otherwise the system's reason.
class ScratchFileSystem {
public:
    // Takes over a mount already made there, when mounted is true.
    explicit ScratchFileSystem(const QString &folder, bool mounted = false)
        : m_folder(QFile::encodeName(folder))
        , m_mounted(mounted)
    {
    }
    ScratchFileSystem(const ScratchFileSystem &) = delete;
    ScratchFileSystem &operator=(const ScratchFileSystem &) = delete;
    ~ScratchFileSystem()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
#endif
    }

    [[nodiscard]] QString mount(const QByteArray &size)
    {
        const QString failure = call(0, "mode=0755,size=" + size);
        m_mounted = failure.isEmpty();
        return failure;
    }
    [[nodiscard]] QString setReadOnly(bool readOnly)
    {
#ifdef Q_OS_LINUX
        return call(MS_REMOUNT | (readOnly ? MS_RDONLY : 0), {});
#else
        Q_UNUSED(readOnly);
        return call(0, {});
#endif
    }
    [[nodiscard]] QString resize(const QByteArray &size)
    {
#ifdef Q_OS_LINUX
        return call(MS_REMOUNT, "size=" + size);
#else
        return call(0, size);
#endif
    }

private:
    [[nodiscard]] QString call(unsigned long flags, const QByteArray &options) const
    {
#ifdef Q_OS_LINUX
        if (::mount("fennick-test", m_folder.constData(), "tmpfs", flags, options.constData()) == 0)
            return {};
        return QString::fromLocal8Bit(std::strerror(errno));
#else
        Q_UNUSED(flags);
        Q_UNUSED(options);
        return QStringLiteral("no tmpfs on this system");
#endif
    }

    QByteArray m_folder;
    bool m_mounted = false;
};

// The entries of a folder, hidden ones included, to show that nothing was
// left behind (QSaveFile's temporary file would be "Config.ini.XXXXXX").
[[nodiscard]] QStringList entries(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return {"<no folder>"};
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

// Comment lines the user might have typed, to make the document this long.
[[nodiscard]] QString userNotes(qsizetype bytes)
{
    const QString line
        = QStringLiteral(";  a note from the server's operator, 64 bytes long...........\r\n");
    Q_ASSERT(line.size() == 64);
    return line.repeated(bytes / line.size());
}

// Fills the file system: writes until the disk is full, then frees the
// given number of bytes.
[[nodiscard]] bool fill(const QString &fillerPath, qsizetype leaveFree)
{
    QFile filler(fillerPath);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(page, 'x');
    while (filler.write(block) == block.size()) {
    }
    const qint64 whole = filler.size() / page * page;
    return filler.resize(whole - leaveFree);
}

#ifdef Q_OS_LINUX
// Debian's unprivileged account and group.
constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

// Lowers capabilities in the effective set of this thread, the one Save
// runs on, as a user without them would be; raises them again when destroyed.
class WithoutCapabilities {
public:
    explicit WithoutCapabilities(std::initializer_list<int> capabilities)
    {
        __user_cap_data_struct lowered[2]{};
        if (::syscall(SYS_capget, &m_header, m_saved) != 0
            || ::syscall(SYS_capget, &m_header, lowered) != 0)
            return;
        for (const int capability : capabilities)
            lowered[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        m_lowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
    }
    WithoutCapabilities(const WithoutCapabilities &) = delete;
    WithoutCapabilities &operator=(const WithoutCapabilities &) = delete;
    ~WithoutCapabilities()
    {
        if (m_lowered)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    [[nodiscard]] bool lowered() const { return m_lowered; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};

// Gives the file or folder an access ACL that gives "nobody" the owner's
// rights (by default read and write), within the mask, written as the
// kernel keeps it: a version, then each entry's tag, permissions and id,
// little-endian.
[[nodiscard]] bool letNobodyIn(const QByteArray &name, quint32 rights = 6, quint32 mask = 6,
                               quint32 others = 4)
{
    constexpr quint32 none = ~0u;
    const quint32 entries[][3] = {{0x01, rights, none},
                                  {0x02, rights, nobody},
                                  {0x04, 4, none},
                                  {0x10, mask, none},
                                  {0x20, others, none}}; // owner, nobody, group, mask, others
    QByteArray acl;
    const auto put = [&acl](auto value) {
        value = qToLittleEndian(value);
        acl.append(reinterpret_cast<const char *>(&value), sizeof value);
    };
    put(quint32(2));
    for (const auto &[tag, permissions, id] : entries) {
        put(quint16(tag));
        put(quint16(permissions));
        put(id);
    }
    return ::setxattr(name.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0)
           == 0;
}

// What the server sees of its file: whose it is, who may read it, its
// extended attributes (the ACL among them), and which file it is.
struct FileIdentity {
    struct stat status { };
    QStringList attributes; // "name=value in hex", sorted
};

[[nodiscard]] FileIdentity identityOf(const QString &path)
{
    FileIdentity identity;
    const QByteArray name = QFile::encodeName(path);
    ::stat(name.constData(), &identity.status);
    QByteArray names(64 * 1024, Qt::Uninitialized);
    names.truncate(std::max<ssize_t>(0, ::listxattr(name.constData(), names.data(), names.size())));
    for (const QByteArray &attribute : names.split('\0')) {
        QByteArray value(64 * 1024, Qt::Uninitialized);
        value.truncate(std::max<ssize_t>(
            0, ::getxattr(name.constData(), attribute.constData(), value.data(), value.size())));
        if (!attribute.isEmpty())
            identity.attributes << QString::fromLatin1(attribute + '=' + value.toHex());
    }
    identity.attributes.sort();
    return identity;
}

[[nodiscard]] bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

[[nodiscard]] QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Runs the call as the server's account would: in a child that drops to
// "nobody" for good. Gives 0, or the error number of the call.
[[nodiscard]] int asNobody(const std::function<int()> &call)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nogroup, nogroup, nogroup) != 0
            || ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(EPERM);
        ::_exit(call() == 0 ? 0 : errno);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return ECHILD;
    return WEXITSTATUS(status);
}

// A file capability as setcap writes it (cap_net_bind_service=ep), version 2.
[[nodiscard]] QByteArray capabilityBindService()
{
    QByteArray capability;
    for (const quint32 word : {0x02000001u, 1u << 10, 0u, 0u, 0u}) {
        const quint32 little = qToLittleEndian(word);
        capability.append(reinterpret_cast<const char *>(&little), sizeof little);
    }
    return capability;
}

// Sets or clears the immutable or append-only mark, as chattr does.
[[nodiscard]] bool setFileFlag(const QString &path, int flag, bool on)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    const bool done
        = file >= 0 && ::ioctl(file, FS_IOC_GETFLAGS, &flags) == 0
       && (flags = on ? flags | flag : flags & ~flag, ::ioctl(file, FS_IOC_SETFLAGS, &flags) == 0);
    if (file >= 0)
        ::close(file);
    return done;
}
#endif

// What a name leads to, without opening a pipe or a device: the bytes of a
// file, or what else stands there.
[[nodiscard]] QByteArray whatIsThere(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return S_ISFIFO(status.st_mode) ? "<pipe>"
             : S_ISCHR(status.st_mode)  ? "<device>"
             : S_ISSOCK(status.st_mode) ? "<socket>"
                                        : "<not a file>";
#endif
    return WindowDriver::savedBytes(path);
}

// Answers the file dialog that the next Save As opens, once it is shown:
// types the path and presses Enter, or cancels where the path is empty.
// Counts the dialogs it saw.
class FileDialogAnswer : public QObject {
public:
    explicit FileDialogAnswer(QString path)
        : m_path(std::move(path))
    {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || dialog == m_answered)
                return;
            m_answered = dialog;
            ++dialogsSeen;
            if (m_path.isEmpty()) {
                dialog->reject();
                return;
            }
            // The path put in the dialog's name field, then its Save
            // button pressed. (Typed key by key, it would open the
            // completer's list, which takes the keyboard from the dialog.)
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(m_path);
            static_cast<QDialog *>(dialog)->accept();
        });
        m_poll.start();
    }
    int dialogsSeen = 0;

private:
    QString m_path;
    QTimer m_poll;
    QPointer<QFileDialog> m_answered;
};

// Presses the preview's context menu entry "Save As…" where it is enabled,
// and tells whether it was.
[[nodiscard]] bool pressSaveAsInContextMenu(PreviewEdit *preview)
{
    bool enabled = false;
    QString lastEntry;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, preview, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return; // not shown yet
        poll.stop();
        QAction *saveAs = menu->actions().last();
        lastEntry = saveAs->text();
        enabled = saveAs->isEnabled();
        menu->close();
        if (enabled)
            saveAs->trigger();
    });
    poll.start();
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, preview->viewport()->mapToGlobal(at));
    QApplication::sendEvent(preview->viewport(), &event);
    if (lastEntry != saveAsCaption())
        qWarning() << "the context menu ends with" << lastEntry;
    return enabled && lastEntry == saveAsCaption();
}

// What stands at the fixed file's place when the user opens it.
enum class OpenedFile {
    Pipe,
    ByteOrderMarkOfUtf16, // 0xFF 0xFE: no UTF-8
    Device,               // a link to /dev/null
    Folder,
    Unreadable,
    TooLarge,
    Nul,
    LoneCr,
    LineFeedsAlone,
};

// Drops the file on the preview, as from a file manager.
[[maybe_unused]] void dropOnPreview(PreviewEdit *preview, const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // Qt hands the drop to the widget that took the drag as it entered.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(preview->viewport(), &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(preview->viewport(), &drop);
}

} // namespace

class SaveFailuresTest : public QObject {
    Q_OBJECT
public:
    // Empty when this process may mount file systems; otherwise why not.
    explicit SaveFailuresTest(QString whyNoOwnFileSystem)
        : m_whyNoOwnFileSystem(std::move(whyNoOwnFileSystem))
    {
    }

private slots:
    void init();
    void cleanup();

    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void messagesWithoutAFile_data();
    void messagesWithoutAFile();
    void saveKeepsTheServersFile_data();
    void saveKeepsTheServersFile();
    void saveAsWhereTheHomeFolderRefuses_data();
    void saveAsWhereTheHomeFolderRefuses();
    void saveAsUsableExactlyWhileSaveIs_data();
    void saveAsUsableExactlyWhileSaveIs();
    void openTakesOnlyWhatSaveWritesBack_data();
    void openTakesOnlyWhatSaveWritesBack();
    void openReadsWhatSaveWillNotWriteForAnother();

private:
    [[nodiscard]] QString path() const
    {
        return QDir(m_home).filePath(QStringLiteral("Config.ini"));
    }
    [[nodiscard]] QString serverFolder() const
    {
        return m_root->filePath(QStringLiteral("server"));
    }
    void saveOnce();
    [[nodiscard]] QString makeHome(Failure failure);
    // Sets the failure up, or says in whyNot why it cannot be here.
    void arrange(Failure failure, QString *whyNot);
    void repair(Failure failure);
    [[nodiscard]] QString arrange(ServersFile file);

    QString m_whyNoOwnFileSystem;
    std::optional<QTemporaryDir> m_root;
    QString m_home;
    std::unique_ptr<ScratchFileSystem> m_scratch;
    std::unique_ptr<WindowDriver> m_driver;
    int m_socket = -1;
    pid_t m_leaseHolder = -1;
    int m_lockHolder = -1;
    QStringList m_leftovers; // copies a killed Save left, which Save removes
};

void SaveFailuresTest::init()
{
    m_root.emplace();
    QVERIFY(m_root->isValid());
#ifdef Q_OS_WIN
    m_home = QStringLiteral("C:/"); // where Save writes on Windows, whatever the home folder
    QFile::remove(path());          // an earlier test's file
#else
    m_home = m_root->filePath(QStringLiteral("home"));
#endif
    qputenv("HOME", QFile::encodeName(m_home));
    m_driver = std::make_unique<WindowDriver>();
    m_driver->walkTo(WizardState::Pickup);
}

void SaveFailuresTest::cleanup()
{
    if (QFileInfo(m_home).isDir()) // so that it can be removed
        QFile::setPermissions(m_home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#ifdef Q_OS_LINUX
    if (m_leaseHolder > 0) {
        ::kill(m_leaseHolder, SIGKILL);
        ::waitpid(std::exchange(m_leaseHolder, -1), nullptr, 0);
    }
    if (m_lockHolder >= 0)
        ::close(std::exchange(m_lockHolder, -1));
    if (QFileInfo(m_home).isDir())
        (void)setFileFlag(m_home, FS_IMMUTABLE_FL, false);
#endif
    m_leftovers.clear();
    m_driver.reset();
    m_scratch.reset();
    m_root.reset();
#ifdef Q_OS_LINUX
    if (m_socket >= 0)
        ::close(std::exchange(m_socket, -1));
#endif
}

// A Save that works, so that there is an old file to keep.
void SaveFailuresTest::saveOnce()
{
    m_driver->click(Control::Command14);
    QCOMPARE(m_driver->messages.last().kind, UserMessage::Kind::Information);
    QVERIFY(QFile::exists(path()));
}

// Gives why the home folder could not be made as the failure needs it.
QString SaveFailuresTest::makeHome(Failure failure)
{
    if (failure == Failure::HomeMissing) {
#ifdef Q_OS_WIN
        return QStringLiteral("Save writes C:\\Config.ini on Windows, never into the home folder");
#else
        return {};
#endif
    }
#ifdef Q_OS_LINUX
    if (failure == Failure::HomeIsAFile)
        return writeFile(m_home, "not a folder\n") ? QString() : QStringLiteral("cannot make it");
    if (failure == Failure::HomeIsAPipe)
        return ::mkfifo(QFile::encodeName(m_home).constData(), 0600) == 0 ? QString()
                                                                          : systemReason();
#endif
    if (!QDir().mkpath(m_home))
        return QStringLiteral("cannot make the home folder");
#ifndef Q_OS_LINUX
    if (failure >= Failure::LinkToDevice)
        return QStringLiteral("devices, pipes, sockets, links and file marks are set up on Linux");
#endif
    if (!needsOwnFileSystem(failure))
        return {};
    if (!m_whyNoOwnFileSystem.isEmpty())
        return m_whyNoOwnFileSystem;
    m_scratch = std::make_unique<ScratchFileSystem>(m_home);
    const bool roomy = failure == Failure::ReadOnly || failure == Failure::ReadOnlyWithoutOldFile;
    // Full while writing: past the first chunk, which Save writes itself
    // before a thread of its own writes the rest.
    const QByteArray size = failure == Failure::NoInodes         ? "1m,nr_inodes=8"
                          : roomy                                ? "1m"
                          : failure == Failure::FullWhileWriting ? "512k"
                                                                 : "64k";
    if (const QString failed = m_scratch->mount(size); !failed.isEmpty())
        return "cannot mount a tmpfs: " + failed;
    return {};
}

void SaveFailuresTest::arrange(Failure failure, [[maybe_unused]] QString *whyNot)
{
    PreviewEdit *preview = m_driver->window->preview();
    switch (failure) {
    case Failure::TargetIsFolder:
        QVERIFY(QDir(m_home).mkdir("Config.ini"));
        break;
    case Failure::HomeMissing:
        break;
    case Failure::ReadOnly:
        saveOnce();
        QCOMPARE(m_scratch->setReadOnly(true), QString());
        m_driver->click(Control::Command9); // Add Pickup: a changed document to save
        break;
    case Failure::ReadOnlyWithoutOldFile:
        QCOMPARE(m_scratch->setReadOnly(true), QString());
        break;
    case Failure::FullWhileWriting: {
        saveOnce();
        // Far more than the disk holds: the first bytes fit, the write
        // fails partway.
        preview->replaceDocument(m_driver->document() + userNotes(1024 * 1024));
        const qint64 available = QStorageInfo(m_home).bytesAvailable();
        QVERIFY2(available > 0 && available < 1024 * 1024, qPrintable(QString::number(available)));
        break;
    }
    case Failure::FullNoRoom:
    case Failure::FullRoomForOnePage: {
        saveOnce();
        // Small enough to sit in Qt's buffer until the final flush, were the
        // file buffered; the disk has no room for it, or room for one page.
        const qsizetype leaveFree = failure == Failure::FullNoRoom ? 0 : page;
        QVERIFY(fill(m_home + "/filler", leaveFree));
        preview->replaceDocument(m_driver->document() + userNotes(3 * page));
        const qsizetype bytes = configFileBytes(m_driver->document()).size();
        QVERIFY(bytes > leaveFree && bytes < qtWriteBuffer);
        QCOMPARE(QStorageInfo(m_home).bytesAvailable(), leaveFree);
        break;
    }
    case Failure::FullWhileWritingOver:
        saveOnce();
        QVERIFY(QFile::exists(path()));
#ifdef Q_OS_LINUX
        QVERIFY(::link(QFile::encodeName(path()).constData(),
                       QFile::encodeName(m_home + "/server.ini").constData())
                == 0);
#endif
        preview->replaceDocument(m_driver->document() + userNotes(1024 * 1024));
        break;
#ifdef Q_OS_LINUX
    case Failure::LinkToDevice:
        QVERIFY(QFile::link("/dev/null", path()));
        break;
    case Failure::Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0666), 0);
        break;
    case Failure::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path());
        QVERIFY(name.size() < qsizetype(sizeof address.sun_path));
        std::memcpy(address.sun_path, name.constData(), name.size());
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        break;
    }
    case Failure::LinkByOtherAccount:
    case Failure::LinkInAclFolder: {
        QVERIFY(writeFile(m_root->filePath("roots-own"), "root's own\r\n"));
        QVERIFY(QFile::link(m_root->filePath("roots-own"), path()));
        if (::lchown(QFile::encodeName(path()).constData(), nobody, nogroup) != 0)
            *whyNot = "cannot give a link to nobody here: " + systemReason();
        if (failure == Failure::LinkInAclFolder) {
            // Every account but nobody may change names there.
            const QByteArray home = QFile::encodeName(m_home);
            if (::chmod(home.constData(), 01757) != 0 || !letNobodyIn(home, 7, 5, 7))
                *whyNot = "no ACL here: " + systemReason();
        }
        break;
    }
    case Failure::LinkLoop:
        QVERIFY(QFile::link(path(), path()));
        break;
    case Failure::LinkToMissingFolder:
        QVERIFY(QFile::link(m_root->filePath("server/Config.ini"), path()));
        break;
    case Failure::Immutable:
    case Failure::AppendOnly:
        saveOnce();
        if (!setFileFlag(path(), failure == Failure::Immutable ? FS_IMMUTABLE_FL : FS_APPEND_FL,
                         true))
            *whyNot = "no immutable or append-only mark here: " + systemReason();
        break;
    case Failure::HomeIsAFile:
    case Failure::HomeIsAPipe:
        break;
    case Failure::NoInodes:
        saveOnce();
        for (int filler = 0; writeFile(m_home + "/filler" + QString::number(filler), {});)
            ++filler;
        QVERIFY(QStorageInfo(m_home).bytesAvailable() > 512 * 1024);
        break;
    case Failure::ImmutableFolder:
        if (!setFileFlag(m_home, FS_IMMUTABLE_FL, true))
            *whyNot = "no immutable mark here: " + systemReason();
        break;
    case Failure::LeasedByAnother:
    case Failure::LockedByAnother:
    case Failure::CapabilityInPlace: {
        saveOnce();
        const QByteArray name = QFile::encodeName(path());
        QCOMPARE(::link(name.constData(), QFile::encodeName(m_home + "/server.ini").constData()),
                 0);
        if (failure == Failure::CapabilityInPlace) {
            const QByteArray capability = capabilityBindService();
            if (::setxattr(name.constData(), "security.capability", capability.constData(),
                           capability.size(), 0)
                != 0)
                *whyNot = "no file capability here: " + systemReason();
        } else if (failure == Failure::LockedByAnother) {
            m_lockHolder = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
            struct flock lock { };
            lock.l_type = F_RDLCK;
            lock.l_whence = SEEK_SET;
            QCOMPARE(::fcntl(m_lockHolder, F_OFD_SETLK, &lock), 0);
        } else {
            // Another process takes a read lease and holds it until killed.
            int ready[2];
            QCOMPARE(::pipe(ready), 0);
            m_leaseHolder = ::fork();
            if (m_leaseHolder == 0) {
                ::signal(SIGIO, SIG_IGN); // told of the break, it keeps the lease
                const int file = ::open(name.constData(), O_RDONLY);
                const char done = ::fcntl(file, F_SETLEASE, F_RDLCK) == 0 ? 'y' : 'n';
                (void)::write(ready[1], &done, 1);
                ::pause();
                ::_exit(0);
            }
            ::close(ready[1]);
            char done = 'n';
            QCOMPARE(::read(ready[0], &done, 1), 1);
            ::close(ready[0]);
            if (done != 'y')
                *whyNot = QStringLiteral("no file lease here");
        }
        break;
    }
    case Failure::RootLinkMovedIn:
    case Failure::HardLinkToRootFile: {
        // The home folder is the server's account's, and root has a file of
        // its own beside it.
        const QByteArray home = QFile::encodeName(m_home);
        const QByteArray rootsOwn = QFile::encodeName(m_root->filePath("roots-own"));
        QVERIFY(writeFile(m_root->filePath("roots-own"), "root's own\r\n"));
        QCOMPARE(::chmod(rootsOwn.constData(), 0600), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_root->path()).constData(), 0711), 0);
        if (::chown(home.constData(), nobody, nogroup) != 0) {
            *whyNot = "cannot give a folder to nobody here: " + systemReason();
            break;
        }
        const QByteArray target = QFile::encodeName(path());
        if (failure == Failure::RootLinkMovedIn) {
            // A link root made there for another purpose, renamed into place.
            const QByteArray other = home + "/roots-link";
            QCOMPARE(::symlink(rootsOwn.constData(), other.constData()), 0);
            QCOMPARE(asNobody([&] { return ::rename(other.constData(), target.constData()); }), 0);
            break;
        }
        QFile protection("/proc/sys/fs/protected_hardlinks");
        const QByteArray wasProtected
            = protection.open(QIODevice::ReadOnly) ? protection.readAll().trimmed() : "1";
        protection.close();
        const auto setProtection = [&](const QByteArray &value) {
            QFile file("/proc/sys/fs/protected_hardlinks");
            return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
        };
        if (wasProtected != "0" && !setProtection("0")) {
            *whyNot = QStringLiteral("cannot set fs.protected_hardlinks to 0 here");
            break;
        }
        const int linked
            = asNobody([&] { return ::link(rootsOwn.constData(), target.constData()); });
        if (wasProtected != "0")
            QVERIFY(setProtection(wasProtected));
        QCOMPARE(linked, 0);
        break;
    }
#else
    default:
        break;
#endif
    }
}

void SaveFailuresTest::repair(Failure failure)
{
    switch (failure) {
    case Failure::TargetIsFolder:
        QVERIFY(QDir(m_home).rmdir("Config.ini"));
        break;
    case Failure::HomeMissing:
        QVERIFY(QDir().mkpath(m_home));
        break;
    case Failure::ReadOnly:
    case Failure::ReadOnlyWithoutOldFile:
        QCOMPARE(m_scratch->setReadOnly(false), QString());
        break;
    case Failure::FullWhileWriting:
    case Failure::FullWhileWritingOver:
        QCOMPARE(m_scratch->resize("4m"), QString());
        break;
    case Failure::FullNoRoom:
    case Failure::FullRoomForOnePage:
        QVERIFY(QFile::remove(m_home + "/filler"));
        break;
    case Failure::LinkToDevice:
    case Failure::Pipe:
    case Failure::Socket:
    case Failure::LinkByOtherAccount:
    case Failure::LinkInAclFolder: // sticky: a new file's name there is its owner's alone
    case Failure::LinkLoop:
    case Failure::RootLinkMovedIn:
    case Failure::HardLinkToRootFile:
        QVERIFY(QFile::remove(path()));
        break;
    case Failure::HomeIsAFile:
    case Failure::HomeIsAPipe:
        QVERIFY(QFile::remove(m_home) && QDir().mkpath(m_home));
        break;
    case Failure::NoInodes:
        QVERIFY(QFile::remove(m_home + "/filler0"));
        break;
#ifdef Q_OS_LINUX
    case Failure::ImmutableFolder:
        QVERIFY(setFileFlag(m_home, FS_IMMUTABLE_FL, false));
        break;
    case Failure::LeasedByAnother:
        ::kill(m_leaseHolder, SIGKILL);
        ::waitpid(std::exchange(m_leaseHolder, -1), nullptr, 0);
        break;
    case Failure::LockedByAnother:
        ::close(std::exchange(m_lockHolder, -1));
        break;
    case Failure::CapabilityInPlace:
        QCOMPARE(::removexattr(QFile::encodeName(path()).constData(), "security.capability"), 0);
        break;
#else
    default:
        break;
#endif
    case Failure::LinkToMissingFolder:
        QVERIFY(QDir().mkpath(serverFolder()));
        break;
    case Failure::Immutable:
    case Failure::AppendOnly:
#ifdef Q_OS_LINUX
        QVERIFY(setFileFlag(path(), failure == Failure::Immutable ? FS_IMMUTABLE_FL : FS_APPEND_FL,
                            false));
#endif
        break;
    }
}

void SaveFailuresTest::failedSaveKeepsEverything_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("reason"); // the system's (or Qt's) words in the message
    QTest::addColumn<QString>("advice"); // part of the step that mends it
    QTest::addColumn<bool>("oldFileKept");
    const QString full = "The disk is full: free some space on it";
    const QString readOnly = "mounted read-only: have it mounted for writing";
    QTest::newRow("target is a folder") << Failure::TargetIsFolder << ""
                                        << "A folder has the file's name: rename or remove" << true;
    QTest::newRow("home folder missing")
        << Failure::HomeMissing << "No such file or directory."
        << "home does not exist or is not a folder: create the folder, then save again. Where "
           "your account may not create it, choose Save As…"
        << true;
    QTest::newRow("read-only file system")
        << Failure::ReadOnly << "Read-only file system." << readOnly << true;
    QTest::newRow("read-only file system, no old file")
        << Failure::ReadOnlyWithoutOldFile << "Read-only file system." << readOnly << true;
    QTest::newRow("disk full while writing 1 MiB")
        << Failure::FullWhileWriting << "No space left on device." << full << true;
    QTest::newRow("disk full, no room for 13 KiB")
        << Failure::FullNoRoom << "No space left on device." << full << true;
    QTest::newRow("disk full, room for 4 of 13 KiB")
        << Failure::FullRoomForOnePage << "No space left on device." << full << true;
    QTest::newRow("disk full while writing over a hard-linked file")
        << Failure::FullWhileWritingOver << "No space left on device." << full << false;
    const QString notAFile = ", not a file, and Save writes only files: put the file";
    QTest::newRow("link to the null device") << Failure::LinkToDevice << ""
                                             << "/dev/null is a device" + notAFile << true;
    QTest::newRow("pipe: never waited on") << Failure::Pipe << ""
                                           << "Config.ini is a pipe (FIFO)" + notAFile << true;
    QTest::newRow("socket") << Failure::Socket << ""
                            << "Config.ini is a socket" + notAFile << true;
    QTest::newRow("link made by another account: not followed")
        << Failure::LinkByOtherAccount << ""
        << "Config.ini belongs to nobody, another account, so Save does not follow it" << true;
    QTest::newRow("link loop") << Failure::LinkLoop << "Too many levels of symbolic links."
                               << "Its links lead round in a circle" << true;
    QTest::newRow("link into a missing folder")
        << Failure::LinkToMissingFolder << "No such file or directory."
        << "/server does not exist: create the folder" << true;
    const QString marked = "marked immutable or append-only, which keeps even its owner";
    QTest::newRow("immutable file") << Failure::Immutable << "" << marked << true;
    QTest::newRow("append-only file") << Failure::AppendOnly << "" << marked << true;
    QTest::newRow("HOME is a file") << Failure::HomeIsAFile << ""
                                    << "/home, which is a file, not a folder: set HOME" << true;
    QTest::newRow("HOME is a pipe")
        << Failure::HomeIsAPipe << ""
        << "/home, which is a pipe (FIFO), not a folder: set HOME" << true;
    QTest::newRow("no inodes left, space to spare")
        << Failure::NoInodes << "No space left on device."
        << "no room for another file (no inodes are left)" << true;
    QTest::newRow("immutable folder, no old file")
        << Failure::ImmutableFolder << "Operation not permitted."
        << "Its folder is marked immutable or append-only" << true;
    const QString inUse = "Another program is using the file: close that program";
    QTest::newRow("lease held by another process")
        << Failure::LeasedByAnother << "" << inUse << true;
    QTest::newRow("lock held by another program")
        << Failure::LockedByAnother << "" << inUse << true;
    QTest::newRow("file capability, written in place")
        << Failure::CapabilityInPlace << ""
        << "carries a capability (security.capability), which the system drops" << true;
    QTest::newRow("root's link moved into place by the server's account")
        << Failure::RootLinkMovedIn << ""
        << "/roots-own, which the account nobody may not write, through a folder that nobody "
           "controls: Save does not write there for it."
        << true;
    QTest::newRow("hard link to a root file, made by the server's account")
        << Failure::HardLinkToRootFile << ""
        << "Config.ini, which the account nobody may not write, lies in a folder that nobody "
           "controls: Save does not write there for it."
        << true;
    QTest::newRow("link by an account a folder's ACL keeps out")
        << Failure::LinkInAclFolder << ""
        << "Config.ini belongs to nobody, another account, so Save does not follow it" << true;
}

void SaveFailuresTest::failedSaveKeepsEverything()
{
    QFETCH(Failure, failure);
    QFETCH(QString, reason);
    QFETCH(QString, advice);
    QFETCH(bool, oldFileKept);
    if (const QString whyNot = makeHome(failure); !whyNot.isEmpty())
        QSKIP(qPrintable(whyNot));
    QString whyNotArranged;
    arrange(failure, &whyNotArranged);
    if (QTest::currentTestFailed())
        return;
    if (!whyNotArranged.isEmpty())
        QSKIP(qPrintable(whyNotArranged));

    const WindowState before = WindowState::of(*m_driver->window);
    const QByteArray oldFile = whatIsThere(path());
    const QByteArray newFile = (before.document + "\r\n").toUtf8();
    const QStringList folderBefore = entries(m_home);
    const qsizetype messagesBefore = m_driver->messages.size();

#ifdef Q_OS_UNIX
    ::alarm(20); // a Save that waits on a pipe ends the test here
#endif
    m_driver->click(Control::Command14);
#ifdef Q_OS_UNIX
    ::alarm(0);
#endif

    QCOMPARE(m_driver->messages.size(), messagesBefore + 1);
    const UserMessage shown = m_driver->messages.last();
    qInfo().noquote() << "shown:" << shown.text;
    QCOMPARE(shown.kind, UserMessage::Kind::Warning);
    QVERIFY(shown.text.startsWith("The file was not saved: " + QDir::toNativeSeparators(path())
                                  + "\n"));
    QVERIFY2(reason.isEmpty() || shown.text.contains(reason + ' '), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(advice), qPrintable(shown.text));
    if (advice.contains(saveAsCaption())) // then the warning has the button too
        QVERIFY(shown.offersSaveAs);
    QCOMPARE(shown.text.contains("may now be incomplete"), !oldFileKept);

    QVERIFY(m_driver->window->isVisible());
    const WindowState after = WindowState::of(*m_driver->window);
    QCOMPARE(after.document, before.document);
    COMPARE_CONTROLS(after, before);
    if (oldFileKept) {
        QCOMPARE(whatIsThere(path()), oldFile);
    } else {
        const QByteArray cutOff = WindowDriver::savedBytes(path());
        QVERIFY2(cutOff.size() < newFile.size() && newFile.startsWith(cutOff),
                 qPrintable(QString::number(cutOff.size())));
    }
    QCOMPARE(entries(m_home), folderBefore);

    repair(failure);
    m_driver->click(Control::Command14);
    QCOMPARE(m_driver->messages.size(), messagesBefore + 2);
    QCOMPARE(m_driver->messages.last().kind, UserMessage::Kind::Information);
    QCOMPARE(m_driver->messages.last().text, SaveMessages::saved(path()));
    QCOMPARE(WindowDriver::savedBytes(path()), newFile);
    QVERIFY(entries(m_home).filter(QStringLiteral("Config.ini.")).isEmpty());
}

// Warnings no file system here can bring about.
void SaveFailuresTest::messagesWithoutAFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("expected");
    const QString unchanged
        = "\n\nNothing on disk was changed, and your text is still in the preview.";
    QTest::newRow("no home folder")
        << QString() << int(FailureCause::HomeUnknown) << QString()
        << "The file was not saved: Config.ini in your home folder\n\nFennick cannot tell which "
           "folder is your home folder: HOME does not name a folder by its full path, and the "
           "system has none for your account. Set HOME to your home folder, then save again."
               + unchanged;
    QTest::newRow("unknown cause: the reason alone, as a sentence")
        << "/home/ann/Config.ini" << int(FailureCause::Unknown) << " input/output error\n"
        << "The file was not saved: " + QDir::toNativeSeparators("/home/ann/Config.ini")
               + "\n\nInput/output error." + unchanged;
    QTest::newRow("no reason given")
        << "/home/ann/Config.ini" << int(FailureCause::Unknown) << QString()
        << "The file was not saved: " + QDir::toNativeSeparators("/home/ann/Config.ini")
               + "\n\nThe system gave no reason." + unchanged;
}

void SaveFailuresTest::messagesWithoutAFile()
{
    QFETCH(QString, path);
    QFETCH(int, cause);
    QFETCH(QString, reason);
    QFETCH(QString, expected);
    SaveResult failure;
    failure.cause = FailureCause(cause);
    failure.reason = reason;
    QCOMPARE(SaveMessages::notSaved(path.isEmpty() ? FilePath() : FilePath(path), failure),
             expected);
}

// Gives why the file cannot be set up here, or nothing.
QString SaveFailuresTest::arrange(ServersFile file)
{
#ifdef Q_OS_LINUX
    if (!QDir().mkpath(m_home) || !QDir().mkpath(serverFolder()))
        return QStringLiteral("cannot make the folders");
    const QString serversFile = serverFolder() + "/Config.ini";
    const QByteArray oldText = "MaxPlayers = 32\r\n";
    switch (file) {
    case ServersFile::LinkToOtherAccountsFile:
    case ServersFile::LinkToOtherAccountsFileWithoutChown:
        if (!writeFile(serversFile, oldText) || !QFile::link(serversFile, path()))
            return QStringLiteral("cannot make the file and its link");
        if (::chown(QFile::encodeName(serversFile).constData(), nobody, nogroup) != 0)
            return "cannot give a file to nobody here: " + systemReason();
        if (::chmod(QFile::encodeName(serversFile).constData(), 0640) != 0)
            return "cannot set the mode: " + systemReason();
        break;
    case ServersFile::InFolderWithoutWritePermission:
        if (!writeFile(path(), oldText)
            || !QFile::setPermissions(m_home, QFile::ReadOwner | QFile::ExeOwner))
            return QStringLiteral("cannot make the file or set its folder's permissions");
        break;
    case ServersFile::HardLinked:
        if (!writeFile(serversFile, oldText)
            || ::link(QFile::encodeName(serversFile).constData(),
                      QFile::encodeName(path()).constData())
                   != 0)
            return QStringLiteral("cannot make the file and its hard link");
        break;
    case ServersFile::BindMounted:
        if (!m_whyNoOwnFileSystem.isEmpty())
            return m_whyNoOwnFileSystem;
        if (!writeFile(serversFile, oldText) || !writeFile(path(), "mount point\r\n"))
            return QStringLiteral("cannot make the files");
        if (::mount(QFile::encodeName(serversFile).constData(),
                    QFile::encodeName(path()).constData(), nullptr, MS_BIND, nullptr)
            != 0)
            return "cannot bind-mount a file here: " + systemReason();
        m_scratch = std::make_unique<ScratchFileSystem>(path(), true);
        break;
    case ServersFile::WithAclAndAttribute: {
        if (!writeFile(path(), oldText))
            return QStringLiteral("cannot make the file");
        const QByteArray name = QFile::encodeName(path());
        if (!letNobodyIn(name) || ::setxattr(name.constData(), "user.origin", "server", 6, 0) != 0)
            return "no ACL or extended attribute here: " + systemReason();
        break;
    }
    case ServersFile::InServersOwnFolder: {
        // Root saves the server's file in the server's folder, where two
        // killed Saves left copies: one still root's, one already given to
        // the server's account. A third is being written by another window.
        const QByteArray folder = QFile::encodeName(serverFolder());
        if (!writeFile(serversFile, oldText) || !QFile::link(serversFile, path()))
            return QStringLiteral("cannot make the file and its link");
        m_leftovers = {".Config.ini.fennick-k1ll3d", ".Config.ini.fennick-g1v3n0"};
        for (const QString &copy : m_leftovers + QStringList{".Config.ini.fennick-atw0rk"})
            if (!writeFile(serverFolder() + '/' + copy, "half a file"))
                return QStringLiteral("cannot make the copies");
        m_lockHolder = ::open((folder + "/.Config.ini.fennick-atw0rk").constData(), O_RDONLY);
        for (const QByteArray &name :
             {folder, folder + "/Config.ini", folder + "/.Config.ini.fennick-g1v3n0"})
            if (::chown(name.constData(), nobody, nogroup) != 0)
                return "cannot give a file to nobody here: " + systemReason();
        if (::chmod(folder.constData(), 0750) != 0
            || ::chmod((folder + "/Config.ini").constData(), 0640) != 0
            || ::flock(m_lockHolder, LOCK_EX) != 0)
            return "cannot set the modes or lock the copy: " + systemReason();
        break;
    }
    case ServersFile::WithCapability: {
        const QByteArray capability = capabilityBindService();
        if (!writeFile(path(), oldText))
            return QStringLiteral("cannot make the file");
        if (::setxattr(QFile::encodeName(path()).constData(), "security.capability",
                       capability.constData(), capability.size(), 0)
            != 0)
            return "no file capability here: " + systemReason();
        break;
    }
    case ServersFile::OverlayLowerHardLink: {
        if (!m_whyNoOwnFileSystem.isEmpty())
            return m_whyNoOwnFileSystem;
        const QString lower = m_root->filePath("lower");
        if (!QDir().mkpath(lower) || !QDir().mkpath(m_root->filePath("upper"))
            || !QDir().mkpath(m_root->filePath("work"))
            || !writeFile(lower + "/Config.ini", oldText)
            || ::link(QFile::encodeName(lower + "/Config.ini").constData(),
                      QFile::encodeName(lower + "/server.ini").constData())
                   != 0)
            return QStringLiteral("cannot make the layers");
        const QByteArray options
            = QFile::encodeName("lowerdir=" + lower + ",upperdir=" + m_root->filePath("upper")
                                + ",workdir=" + m_root->filePath("work"));
        if (::mount("overlay", QFile::encodeName(m_home).constData(), "overlay", 0,
                    options.constData())
            != 0)
            return "cannot mount an overlayfs here: " + systemReason();
        m_scratch = std::make_unique<ScratchFileSystem>(m_home, true);
        break;
    }
    }
    return {};
#else
    Q_UNUSED(file);
    return QStringLiteral("owners, modes, ACLs and links are checked on Linux");
#endif
}

void SaveFailuresTest::saveKeepsTheServersFile_data()
{
    QTest::addColumn<ServersFile>("file");
    QTest::addColumn<bool>("replaced"); // by a new copy, which leaves the old file whole until then
    QTest::newRow("link to another account's file, mode 0640")
        << ServersFile::LinkToOtherAccountsFile << true;
    QTest::newRow("the same, saved by a user who cannot give files away")
        << ServersFile::LinkToOtherAccountsFileWithoutChown << false;
    QTest::newRow("folder without write permission")
        << ServersFile::InFolderWithoutWritePermission << false;
    QTest::newRow("hard link") << ServersFile::HardLinked << false;
    QTest::newRow("ACL and extended attribute") << ServersFile::WithAclAndAttribute << true;
    QTest::newRow("bind-mounted file") << ServersFile::BindMounted << false;
    QTest::newRow("the server's file in its own folder, copies of killed Saves there")
        << ServersFile::InServersOwnFolder << true;
    QTest::newRow("file capability") << ServersFile::WithCapability << true;
    QTest::newRow("overlayfs, hard link of the lower layer: written in place, copied up")
        << ServersFile::OverlayLowerHardLink << true; // the copy-up gives it another inode
}

void SaveFailuresTest::saveKeepsTheServersFile()
{
    QFETCH(ServersFile, file);
    QFETCH(bool, replaced);
    if (const QString whyNot = arrange(file); !whyNot.isEmpty())
        QSKIP(qPrintable(whyNot));
#ifdef Q_OS_LINUX
    const FileIdentity before = identityOf(path());
    const QString linkTarget = QFileInfo(path()).symLinkTarget();
    const QStringList homeBefore = entries(m_home);
    const QStringList serverBefore = entries(serverFolder());
    {
        // As a user who may not give files away, or who is bound by the
        // permissions (root is not).
        const WithoutCapabilities user
            = file == ServersFile::LinkToOtherAccountsFileWithoutChown
                ? WithoutCapabilities{CAP_CHOWN}
            : file == ServersFile::InFolderWithoutWritePermission
                ? WithoutCapabilities{CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}
                : WithoutCapabilities{};
        QVERIFY(user.lowered());
        m_driver->click(Control::Command14);
    }

    QCOMPARE(m_driver->messages.last().text, SaveMessages::saved(path()));
    const QByteArray newFile = (m_driver->document() + "\r\n").toUtf8();
    QCOMPARE(WindowDriver::savedBytes(path()), newFile);
    if (file == ServersFile::HardLinked || file == ServersFile::BindMounted)
        QCOMPARE(WindowDriver::savedBytes(serverFolder() + "/Config.ini"), newFile);
    const FileIdentity after = identityOf(path());
    QCOMPARE(after.status.st_uid, before.status.st_uid);
    QCOMPARE(after.status.st_gid, before.status.st_gid);
    QCOMPARE(after.status.st_mode, before.status.st_mode);
    QCOMPARE(after.attributes, before.attributes);
    QCOMPARE(after.status.st_ino != before.status.st_ino, replaced);
    QCOMPARE(QFileInfo(path()).symLinkTarget(), linkTarget);
    QCOMPARE(entries(m_home), homeBefore);
    QStringList serverAfter = serverBefore;
    for (const QString &copy : std::as_const(m_leftovers))
        serverAfter.removeOne(copy);
    QCOMPARE(entries(serverFolder()), serverAfter);
#else
    Q_UNUSED(replaced);
#endif
}

void SaveFailuresTest::saveAsWhereTheHomeFolderRefuses_data()
{
    QTest::addColumn<QString>("chosen"); // in a folder of the test's own; empty: Cancel
    QTest::newRow("a path typed in the dialog") << "elsewhere/Config.ini";
    QTest::newRow("Cancel") << QString();
}

// Save fails for a user who may not write the home folder; the warning's
// "Save As…" opens the file dialog, and the Save there writes the same
// bytes Save would have.
void SaveFailuresTest::saveAsWhereTheHomeFolderRefuses()
{
    QFETCH(QString, chosen);
#ifdef Q_OS_LINUX
    QVERIFY(QDir().mkpath(m_home) && QDir().mkpath(m_root->filePath("elsewhere")));
    QVERIFY(QFile::setPermissions(m_home, QFile::ReadOwner | QFile::ExeOwner));
    const QString chosenPath = chosen.isEmpty() ? QString() : m_root->filePath(chosen);
    const QStringList elsewhereBefore = entries(m_root->filePath("elsewhere"));
    m_driver->choices = {MessageChoice::SaveAs};
    const FileDialogAnswer answer(chosenPath);
    {
        const WithoutCapabilities user{CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};
        QVERIFY(user.lowered());
        m_driver->click(Control::Command14);
    }
    QCOMPARE(answer.dialogsSeen, 1);
    const UserMessage refused = m_driver->messages.first();
    QCOMPARE(refused.kind, UserMessage::Kind::Warning);
    QVERIFY(refused.offersSaveAs);
    QVERIFY2(refused.text.contains("Its folder is read-only for you"), qPrintable(refused.text));
    QVERIFY(!QFile::exists(path()));
    if (chosen.isEmpty()) {
        QCOMPARE(m_driver->messages.size(), 1);
        QCOMPARE(entries(m_root->filePath("elsewhere")), elsewhereBefore);
        return;
    }
    QCOMPARE(m_driver->messages.size(), 2);
    QCOMPARE(m_driver->messages.last().text,
             "File saved in " + QDir::toNativeSeparators(chosenPath));
    QCOMPARE(WindowDriver::savedBytes(chosenPath), (m_driver->document() + "\r\n").toUtf8());
#else
    Q_UNUSED(chosen);
    QSKIP("a home folder that refuses the file is set up on Linux");
#endif
}

void SaveFailuresTest::saveAsUsableExactlyWhileSaveIs_data()
{
    QTest::addColumn<bool>("fromMenu"); // else Ctrl+Shift+S
    QTest::addColumn<bool>("saveEnabled");
    QTest::newRow("Ctrl+Shift+S before Save is enabled") << false << false;
    QTest::newRow("Ctrl+Shift+S once Save is enabled") << false << true;
    QTest::newRow("context menu before Save is enabled") << true << false;
    QTest::newRow("context menu once Save is enabled") << true << true;
}

void SaveFailuresTest::saveAsUsableExactlyWhileSaveIs()
{
    QFETCH(bool, fromMenu);
    QFETCH(bool, saveEnabled);
#ifdef Q_OS_WIN
    QSKIP("Windows shows its own file dialog, which these tests do not drive");
#endif
    if (!saveEnabled) {
        m_driver = std::make_unique<WindowDriver>();
        m_driver->walkTo(WizardState::ClassAfterAClass);
    }
    QCOMPARE(m_driver->get(Control::Command14)->isEnabled(), saveEnabled);
    QVERIFY(QDir().mkpath(m_home));
    const QString chosenPath = m_root->filePath("chosen.ini");
    const FileDialogAnswer answer(chosenPath);
    if (fromMenu) {
        QCOMPARE(pressSaveAsInContextMenu(m_driver->window->preview()), saveEnabled);
    } else {
        m_driver->get(Control::Command14)->setFocus(); // from anywhere in the window
        QTest::keyClick(m_driver->window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QTRY_COMPARE(answer.dialogsSeen, saveEnabled ? 1 : 0);
    QCOMPARE(QFile::exists(chosenPath), saveEnabled);
    QCOMPARE(m_driver->messages.size(), saveEnabled ? 1 : 0);
    if (saveEnabled)
        QCOMPARE(WindowDriver::savedBytes(chosenPath), (m_driver->document() + "\r\n").toUtf8());
    QVERIFY(!QFile::exists(path())); // Save As writes only where the user said
    // Nor does Qt's dialog keep the folder it was in.
    QCOMPARE(entries(m_home), QStringList());
}

// Root opens its own file in the server's folder: Open reads it, and Save
// then says why it does not write it there for the server's account.
void SaveFailuresTest::openReadsWhatSaveWillNotWriteForAnother()
{
#ifdef Q_OS_LINUX
    QVERIFY(QDir().mkpath(m_home));
    QVERIFY(writeFile(path(), "[GAME]\r\nMap = a\r\n"));
    if (::geteuid() != 0 || ::chown(QFile::encodeName(m_home).constData(), nobody, nogroup) != 0)
        QSKIP(qPrintable("cannot give a folder to nobody here: " + systemReason()));
    dropOnPreview(m_driver->window->preview(), path());
    QTRY_COMPARE(m_driver->document(), "[GAME]\r\nMap = a");
    QVERIFY2(m_driver->messages.isEmpty(), qPrintable(m_driver->messages.value(0).text));
    m_driver->click(Control::Command14);
    QCOMPARE(m_driver->messages.size(), 1);
    QVERIFY2(m_driver->messages.first().text.contains("which the account nobody may not write"),
             qPrintable(m_driver->messages.first().text));
#else
    QSKIP("accounts and folder owners are set up on Linux");
#endif
}

void SaveFailuresTest::openTakesOnlyWhatSaveWritesBack_data()
{
    QTest::addColumn<OpenedFile>("file");
    QTest::addColumn<bool>("withCtrlO"); // else dropped on the preview
    QTest::addColumn<QString>("says");
    QTest::newRow("FIFO") << OpenedFile::Pipe << true << "is a pipe (FIFO), not a file";
    QTest::newRow("0xFF 0xFE") << OpenedFile::ByteOrderMarkOfUtf16 << true
                               << "line 1 holds bytes that are not text in UTF-8";
    QTest::newRow("device") << OpenedFile::Device << false << "is a device, not a file";
    QTest::newRow("folder") << OpenedFile::Folder << false << "is a folder, not a file";
    QTest::newRow("unreadable") << OpenedFile::Unreadable << false
                                << "You have no right to read it";
    QTest::newRow("over the limit")
        << OpenedFile::TooLarge << false << "It holds 8,388,609 bytes, more than the 8,388,608";
    QTest::newRow("NUL") << OpenedFile::Nul << false << "line 2 holds a NUL character";
    QTest::newRow("lone CR") << OpenedFile::LoneCr << false << "line 1 holds a CR without an LF";
    QTest::newRow("LF alone: opens, with a note")
        << OpenedFile::LineFeedsAlone << false << "Save will write CR LF";
}

// Refused at once with the window running, the preview and every control
// as they were; a file of LF alone opens, with a note.
void SaveFailuresTest::openTakesOnlyWhatSaveWritesBack()
{
    QFETCH(OpenedFile, file);
    QFETCH(bool, withCtrlO);
    QFETCH(QString, says);
#ifdef Q_OS_LINUX
    QVERIFY(QDir().mkpath(m_home));
    const QByteArray name = QFile::encodeName(path());
    const auto write = [this](const QByteArray &bytes) {
        QFile out(path());
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    };
    switch (file) {
    case OpenedFile::Pipe:
        QVERIFY(::mkfifo(name.constData(), 0644) == 0);
        break;
    case OpenedFile::ByteOrderMarkOfUtf16:
        QVERIFY(write("\xff\xfe"));
        break;
    case OpenedFile::Device:
        QVERIFY(QFile::link("/dev/null", path()));
        break;
    case OpenedFile::Folder:
        QVERIFY(QDir().mkdir(path()));
        break;
    case OpenedFile::Unreadable:
        QVERIFY(write("[GAME]\r\n") && ::chmod(name.constData(), 0200) == 0);
        break;
    case OpenedFile::TooLarge:
        QVERIFY(write({}) && QFile::resize(path(), openSizeLimit + 1));
        break;
    case OpenedFile::Nul:
        QVERIFY(write(QByteArray("[GAME]\r\nMap = a\0b\r\n", 18)));
        break;
    case OpenedFile::LoneCr:
        QVERIFY(write("[GAME]\rMap = a\r\n"));
        break;
    case OpenedFile::LineFeedsAlone:
        QVERIFY(write("[GAME]\nMap = a\n"));
        break;
    }
    const WindowState before = WindowState::of(*m_driver->window);
    {
        // Root reads any file: as a user bound by the file's mode.
        const WithoutCapabilities user{CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};
        QVERIFY(user.lowered());
        if (withCtrlO) {
            const FileDialogAnswer answer(path());
            QTest::keyClick(m_driver->window.get(), Qt::Key_O, Qt::ControlModifier);
            QCOMPARE(answer.dialogsSeen, 1);
        } else {
            dropOnPreview(m_driver->window->preview(), path());
            QTRY_COMPARE(m_driver->messages.size(), 1);
        }
    }
    QCOMPARE(m_driver->messages.size(), 1);
    const UserMessage &message = m_driver->messages.first();
    QVERIFY2(message.text.contains(says), qPrintable(message.text));
    if (file == OpenedFile::LineFeedsAlone) {
        QCOMPARE(message.kind, UserMessage::Kind::Information);
        QCOMPARE(m_driver->document(), "[GAME]\r\nMap = a");
        m_driver->click(Control::Command14);
        QCOMPARE(WindowDriver::savedBytes(path()), "[GAME]\r\nMap = a\r\n");
        return;
    }
    QCOMPARE(message.kind, UserMessage::Kind::Warning);
    QVERIFY2(message.text.startsWith("The file was not opened: " + path()),
             qPrintable(message.text));
    QCOMPARE(m_driver->document(), before.document);
    COMPARE_CONTROLS(WindowState::of(*m_driver->window), before);
#else
    Q_UNUSED(file);
    Q_UNUSED(withCtrlO);
    Q_UNUSED(says);
    QSKIP("FIFOs, devices and file modes are set up on Linux");
#endif
}

namespace {

// Runs this test again inside a private mount namespace, first as the user
// it is (root), then as root of a new user namespace. Gives the exit code,
// or nothing with the reason when no namespace could be made.
[[nodiscard]] std::optional<int> runInPrivateMountNamespace(QString *whyNot)
{
#ifdef Q_OS_LINUX
    const QList<QStringList> ways{{"--mount", "--propagation", "private"},
                                  {"--map-root-user", "--mount", "--propagation", "private"}};
    QStringList whyNots;
    for (const QStringList &way : ways) {
        QProcess probe;
        probe.start("unshare", way + QStringList{"true"});
        if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit
            || probe.exitCode() != 0) {
            whyNots << "unshare " + way.join(' ') + ": "
                           + (probe.error() == QProcess::FailedToStart
                                  ? probe.errorString()
                                  : QString::fromLocal8Bit(probe.readAllStandardError()).trimmed());
            continue;
        }
        QProcess again;
        again.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(insideNamespace, "1");
        again.setProcessEnvironment(environment);
        again.start("unshare", way + QStringList{QCoreApplication::applicationFilePath()}
                                   + QCoreApplication::arguments().mid(1));
        again.waitForFinished(-1);
        return again.exitStatus() == QProcess::NormalExit ? again.exitCode() : 1;
    }
    *whyNot = "no private mount namespace (" + whyNots.join("; ") + ")";
#else
    *whyNot = QStringLiteral("no tmpfs and mount namespaces on this system");
#endif
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString whyNoOwnFileSystem;
    if (!qEnvironmentVariableIsSet(insideNamespace)) {
        if (const std::optional<int> exitCode = runInPrivateMountNamespace(&whyNoOwnFileSystem))
            return *exitCode;
    }
    SaveFailuresTest test(whyNoOwnFileSystem);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefailures.moc"
