// The bytes Save writes and how it replaces the file on disk.
#include "document/configfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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
    void pathIsInTheHomeFolder();
    void saveWritesAndReplacesTheFile();
    void symbolicLinkKeepsPointingWhereItDid();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void messages_data();
    void messages();
};

// On this system the 8-bit encoding is UTF-8.
void ConfigFileTest::bytes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QString() << QByteArray("\r\n");
    QTest::newRow("lines stay CR LF") << "a\r\nb\r\n" << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("accents, euro, CJK, emoji")
        << QString::fromUtf8("é€中😀")
        << QByteArray("\xc3\xa9\xe2\x82\xac\xe4\xb8\xad\xf0\x9f\x98\x80\r\n");
    QTest::newRow("tab and nbsp") << QString::fromUtf8("a\tb\u00a0c")
                                  << QByteArray("a\tb\xc2\xa0"
                                                "c\r\n");
    QTest::newRow("lone low surrogate")
        << QString(QChar(0xdc00)) + "x" << QByteArray("\xef\xbf\xbdx\r\n");
    QTest::newRow("lone high surrogate inside")
        << "x" + QString(QChar(0xd800)) + "y" << QByteArray("x\xef\xbf\xbdy\r\n");
    QTest::newRow("high surrogate at the very end")
        << "x" + QString(QChar(0xd800)) << QByteArray("x\xef\xbf\xbd\r\n");
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

void ConfigFileTest::pathIsInTheHomeFolder()
{
#ifdef Q_OS_WIN
    QCOMPARE(configFilePath(), "C:/Config.ini");
#else
    QCOMPARE(configFilePath(), QDir::homePath() + "/Config.ini");
#endif
}

void ConfigFileTest::saveWritesAndReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Config.ini");
    QVERIFY(saveConfigFile("a much longer first document", path).saved);
    const SaveResult second = saveConfigFile("short", path);
    QVERIFY(second.saved);
    QVERIFY(second.reason.isEmpty());
    QCOMPARE(readAll(path), QByteArray("short\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Config.ini"});
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
    QTest::newRow("target is a folder") << "Config.ini";
    QTest::newRow("folder does not exist") << "missing/Config.ini";
}

void ConfigFileTest::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Config.ini"));
    const QStringList before
        = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const SaveResult result = saveConfigFile("text", dir.filePath(target));
    QVERIFY(!result.saved);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             before);
}

void ConfigFileTest::messages_data()
{
    QTest::addColumn<FailureCause>("cause");
    QTest::addColumn<bool>("fileMayBeIncomplete");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("expected"); // after the line that names the file
    const QString unchanged
        = "\n\nNothing on disk was changed, and your text is still in the preview.";
    QTest::newRow("disk full, old file kept")
        << FailureCause::DiskFull << false << "No space left on device"
        << "No space left on device. The disk is full: free some space on it, then save again."
               + unchanged;
    QTest::newRow("disk full while writing over the file")
        << FailureCause::DiskFull << true << "No space left on device"
        << "No space left on device. The disk is full: free some space on it, then save again.\n\n"
           "Save had begun writing over the file, so it may now be incomplete. Your text is still "
           "in the "
           "preview: save again once the cause is mended.";
    QTest::newRow("folder takes no new file")
        << FailureCause::FolderTakesNoNewFiles << false << "Permission denied"
        << "Permission denied. Its folder is read-only for you: make the folder writable, or have "
           "an empty "
           "file of that name put there that you may write, then save again."
               + unchanged;
    QTest::newRow("unknown cause: the reason alone, as a sentence")
        << FailureCause::Unknown << false << " input/output error\n"
        << "Input/output error." + unchanged;
    QTest::newRow("no reason given")
        << FailureCause::Unknown << false << QString() << "The system gave no reason." + unchanged;
}

void ConfigFileTest::messages()
{
    QFETCH(FailureCause, cause);
    QFETCH(bool, fileMayBeIncomplete);
    QFETCH(QString, reason);
    QFETCH(QString, expected);
    const QString path = QDir::toNativeSeparators("/home/ann/Config.ini");
    QCOMPARE(savedMessage("/home/ann/Config.ini"), "File saved in " + path);
    const SaveResult failure{false, cause, fileMayBeIncomplete, reason};
    QCOMPARE(notSavedMessage("/home/ann/Config.ini", failure),
             "The file was not saved: " + path + "\n\n" + expected);
}

QTEST_GUILESS_MAIN(ConfigFileTest)
#include "tst_configfile.moc"
