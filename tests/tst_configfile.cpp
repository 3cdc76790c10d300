// The bytes Save writes, where it writes them and how it replaces the file
// on disk.
#include "document/configfile.h"
#include "document/filesave.h"
#include "document/savesteps.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace fennick;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

SaveResult saveConfigFile(const QString &document, const QString &path)
{
    return saveConfigFileBytes(configFileBytes(document), path);
}

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
    void pathIsInTheHomeFolder_data();
    void pathIsInTheHomeFolder();
    void saveWritesAndReplacesTheFile();
    void symbolicLinkKeepsPointingWhereItDid();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void fileSwappedForALinkAfterItWasFound_data();
    void fileSwappedForALinkAfterItWasFound();
};

// On this system the 8-bit encoding is UTF-8.
void ConfigFileTest::bytes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QString() << QByteArray("\r\n");
    QTest::newRow("lines stay CR LF") << "a\r\nb\r\n" << QByteArray("a\r\nb\r\n\r\n");
    // One of each kind of character; the window's Save is checked with the
    // same kinds, and the surrogate cases each, in the round-trip test.
    QTest::newRow("accents, euro, CJK, emoji, tab, nbsp, lone surrogate")
        << QString::fromUtf8("é€中😀\t\u00a0") + QChar(0xd800) + "y"
        << QByteArray(
               "\xc3\xa9\xe2\x82\xac\xe4\xb8\xad\xf0\x9f\x98\x80\t\xc2\xa0\xef\xbf\xbdy\r\n");
}

void ConfigFileTest::bytes()
{
#ifdef Q_OS_WIN
    QSKIP("these are UTF-8 bytes; tst_windowssave checks the bytes of Windows' ANSI code pages");
#endif
    QFETCH(QString, document);
    QFETCH(QByteArray, expected);
    QCOMPARE(configFileBytes(document), expected);
}

// HOME as the user's session may leave it; the account's own home folder
// where HOME names none by its full path.
void ConfigFileTest::pathIsInTheHomeFolder_data()
{
    QTest::addColumn<QByteArray>("home");     // "<unset>": no HOME at all
    QTest::addColumn<QByteArray>("expected"); // "<account>": the account's home folder
    QTest::newRow("full path") << QByteArray("/srv/ombrix") << QByteArray("/srv/ombrix/Config.ini");
    QTest::newRow("closing slash")
        << QByteArray("/srv/ombrix/") << QByteArray("/srv/ombrix/Config.ini");
    QTest::newRow("root folder") << QByteArray("/") << QByteArray("/Config.ini");
    QTest::newRow("bytes that are not UTF-8")
        << QByteArray("/home/j\xf6rg") << QByteArray("/home/j\xf6rg/Config.ini");
    QTest::newRow("unset") << QByteArray("<unset>") << QByteArray("<account>");
    QTest::newRow("empty") << QByteArray() << QByteArray("<account>");
    QTest::newRow("relative") << QByteArray("server") << QByteArray("<account>");
}

void ConfigFileTest::pathIsInTheHomeFolder()
{
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, expected);
#ifdef Q_OS_WIN
    QCOMPARE(configFilePath().path(), "C:/Config.ini");
#else
    const QByteArray before = qgetenv("HOME");
    if (home == "<unset>")
        qunsetenv("HOME");
    else
        qputenv("HOME", home);
    const FilePath path = configFilePath();
    qputenv("HOME", before);
    if (expected == "<account>") {
        QVERIFY(path.systemBytes().startsWith('/'));
        QVERIFY(path.systemBytes().endsWith("/Config.ini"));
        QVERIFY(!path.systemBytes().startsWith("//"));
    } else {
        QCOMPARE(path.systemBytes(), expected);
    }
#endif
}

// Also removes what a Save killed midway left behind: its own copies, but
// not one another window's Save is still writing (on Linux it holds a lock
// on it, on Windows it is recent).
void ConfigFileTest::saveWritesAndReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Config.ini");
    QVERIFY(saveConfigFile("a much longer first document", path).saved);
    const QStringList copies{".Config.ini.fennick-k1ll3d", ".Config.ini.fennick-recent"};
    for (const QString &copy : copies) {
        QFile file(dir.filePath(copy));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("half a file") > 0);
    }
    QFile killed(dir.filePath(copies.first()));
    QVERIFY(killed.open(QIODevice::ReadWrite));
    QVERIFY(killed.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
    killed.close();
#ifdef Q_OS_UNIX
    QFile atWork(dir.filePath(copies.last()));
    QVERIFY(atWork.open(QIODevice::ReadOnly) && ::flock(atWork.handle(), LOCK_EX) == 0);
#endif
    const SaveResult second = saveConfigFile("short", path);
    QVERIFY(second.saved);
    QVERIFY(second.reason.isEmpty());
    QCOMPARE(readAll(path), QByteArray("short\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{copies.last(), "Config.ini"}));
}

// A server admin may keep Config.ini as a link into the server's folder.
void ConfigFileTest::symbolicLinkKeepsPointingWhereItDid()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("server"));
    const QString target = dir.filePath("server/server.cfg");
    QVERIFY(saveConfigFile("old", target).saved);
    const QString link = dir.filePath("Config.ini");
    QVERIFY(QFile::link(target, link));
    QVERIFY(saveConfigFile("new", link).saved);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(readAll(target), QByteArray("new\r\n"));
#else
    QSKIP("symbolic links need privileges on Windows");
#endif
}

void ConfigFileTest::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("target"); // relative to a fresh temporary folder
    QTest::addColumn<FailureCause>("cause");
    QTest::newRow("target is a folder") << "Config.ini" << FailureCause::TargetIsFolder;
    QTest::newRow("folder does not exist") << "missing/Config.ini" << FailureCause::FolderMissing;
}

void ConfigFileTest::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(FailureCause, cause);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Config.ini"));
    const QStringList before
        = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const SaveResult result = saveConfigFile("text", dir.filePath(target));
    QVERIFY(!result.saved);
    QCOMPARE(result.cause, cause);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             before);
}

// Save finds the file once and from then on works on what it found: a file
// swapped for a link to another file in between is never written through.
void ConfigFileTest::fileSwappedForALinkAfterItWasFound_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("new copy renamed over it") << false;
    QTest::newRow("written where it lies") << true;
}

void ConfigFileTest::fileSwappedForALinkAfterItWasFound()
{
    QFETCH(bool, inPlace);
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("Config.ini");
    const QString secret = dir.filePath("secret");
    QVERIFY(saveConfigFile("old", path).saved);
    QVERIFY(saveConfigFile("root's own", secret).saved);

    savesteps::Target target;
    QVERIFY(!savesteps::findTarget(FilePath(path), target));
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::link(secret, path));
    const QByteArray newBytes = configFileBytes("new");
    ReadyBytes bytes(newBytes);
    const std::optional<SaveResult> result
        = inPlace ? savesteps::writeInPlace(target, bytes) : savesteps::replace(target, bytes);
    QVERIFY(result);
    QCOMPARE(readAll(secret), QByteArray("root's own\r\n"));
    // A copy replaces the link itself; the file found is gone, so nothing
    // is written where it lay.
    QCOMPARE(result->saved, !inPlace);
    QCOMPARE(QFileInfo(path).isSymLink(), inPlace);
#else
    Q_UNUSED(inPlace);
    QSKIP("links need privileges on Windows");
#endif
}

QTEST_GUILESS_MAIN(ConfigFileTest)
#include "tst_configfile.moc"
