// What only Windows does when saving: the file lands in C:\Config.ini, its
// bytes are in the system's ANSI code page (this test runs once per code
// page: 1252 and 1250), a file held open by another program is waited for a
// moment, and a failure to create the file at the top of the drive says
// what to do.
#include "document/configfile.h"
#include "document/filesave.h"
#include "ui/savemessages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <windows.h>

using namespace fennick;

namespace {

// Set in the child process this test starts to hold the file open.
constexpr char holdFile[] = "FENNICK_TEST_HOLD_FILE";
constexpr char holdMilliseconds[] = "FENNICK_TEST_HOLD_MS";

// Opens the file without sharing it, as an editor or a virus scanner may,
// for the given time.
int holdFileOpen()
{
    const std::wstring path = qEnvironmentVariable(holdFile).toStdWString();
    // The test looks at the file while waiting for this: try again then.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 1000 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(5);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(qEnvironmentVariableIntValue(holdMilliseconds));
    CloseHandle(file);
    return 0;
}

[[nodiscard]] QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Wine run by an unprivileged account whose drive C: is read-only, as a
// standard user on Windows meets the top of the drive (CI runs it so); and
// whether C:\Config.ini was made beforehand for that user to write.
[[nodiscard]] bool driveCTakesNoNewFiles()
{
    return qEnvironmentVariableIsSet("FENNICK_DRIVE_C_READ_ONLY");
}
[[nodiscard]] bool configIniMadeWritable()
{
    return qEnvironmentVariableIsSet("FENNICK_CONFIG_INI_WRITABLE");
}

// The rows that save need C:\Config.ini, or the right to create it.
[[nodiscard]] bool nothingCanBeSaved()
{
    return driveCTakesNoNewFiles() && !configIniMadeWritable();
}
constexpr char nothingCanBeSavedHere[]
    = "drive C: takes no new file here: refusedAtTheTopOfDriveC checks the refusal";

// True once no one may open the file: the holder has it.
[[nodiscard]] bool waitUntilHeld(const QString &path)
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (QFile file(path); !file.open(QIODevice::ReadOnly))
            return true;
        QTest::qSleep(10);
    }
    return false;
}

} // namespace

class WindowsSaveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileIsOnDriveC();
    void codePageBytes_data();
    void codePageBytes();
    void fileHeldOpen_data();
    void fileHeldOpen();
    void rightsAdvice_data();
    void rightsAdvice();
    void refusedAtTheTopOfDriveC();
};

// Run for a given code page, the test must get it: a missing locale would
// silently give another.
void WindowsSaveTest::initTestCase()
{
    if (const QByteArray codePage = qgetenv("FENNICK_EXPECT_CODE_PAGE"); !codePage.isEmpty())
        QCOMPARE(GetACP(), codePage.toUInt());
}

void WindowsSaveTest::fileIsOnDriveC()
{
    QCOMPARE(configFilePath().path(), "C:/Config.ini");
    QCOMPARE(SaveMessages::saved(configFilePath()), "File saved in C:\\Config.ini");
}

void WindowsSaveTest::codePageBytes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QByteArray>("cp1252");
    QTest::addColumn<QByteArray>("cp1250");
    QTest::newRow("empty: no byte-order mark")
        << QString() << QByteArray("\r\n") << QByteArray("\r\n");
    QTest::newRow("CR LF kept, one more at the end")
        << "a\r\n\r\nb\r\n"
        << QByteArray("a\r\n\r\nb\r\n\r\n") << QByteArray("a\r\n\r\nb\r\n\r\n");
    QTest::newRow("euro sign") << QStringLiteral(u"5 \u20ac") << QByteArray("5 \x80\r\n")
                               << QByteArray("5 \x80\r\n");
    QTest::newRow("French") << QStringLiteral(u"caf\u00e9 \u00dc") << QByteArray("caf\xe9 \xdc\r\n")
                            << QByteArray("caf\xe9 \xdc\r\n");
    // A letter the code page lacks is replaced, never written as a look-alike.
    QTest::newRow("Polish") << QStringLiteral(u"\u0142\u0105\u015b\u017c") << QByteArray("????\r\n")
                            << QByteArray("\xb3\xb9\x9c\xbf\r\n");
    QTest::newRow("fullwidth equals and semicolon")
        << QStringLiteral(u"a \uff1d b\uff1b") << QByteArray("a ? b?\r\n")
        << QByteArray("a ? b?\r\n");
    QTest::newRow("CJK") << QStringLiteral(u"\u670d") << QByteArray("?\r\n") << QByteArray("?\r\n");
    QTest::newRow("emoji: one per UTF-16 unit")
        << QStringLiteral(u"\U0001F600") << QByteArray("??\r\n") << QByteArray("??\r\n");
    QTest::newRow("lone surrogate")
        << "x" + QString(QChar(0xd800)) << QByteArray("x?\r\n") << QByteArray("x?\r\n");
}

void WindowsSaveTest::codePageBytes()
{
    QFETCH(QString, document);
    QFETCH(QByteArray, cp1252);
    QFETCH(QByteArray, cp1250);
    if (nothingCanBeSaved())
        QSKIP(nothingCanBeSavedHere);
    const UINT codePage = GetACP();
    if (codePage != 1252 && codePage != 1250)
        QSKIP(qPrintable(QStringLiteral("the bytes are known for code pages 1252 and 1250, not %1")
                             .arg(codePage)));
    const QByteArray expected = codePage == 1252 ? cp1252 : cp1250;
    QCOMPARE(configFileBytes(document), expected);
    QCOMPARE(configFileBytesFromEditorText(document), expected);
    QVERIFY(saveConfigFileBytes(configFileBytesFromEditorText(document), configFilePath()).saved);
    QCOMPARE(readAll(configFilePath().path()), expected);
}

void WindowsSaveTest::fileHeldOpen_data()
{
    QTest::addColumn<int>("milliseconds");
    QTest::addColumn<bool>("saved");
    QTest::newRow("for a moment: Save waits") << 300 << true;
    QTest::newRow("for long: Save gives up") << 4000 << false;
}

void WindowsSaveTest::fileHeldOpen()
{
    QFETCH(int, milliseconds);
    QFETCH(bool, saved);
    if (nothingCanBeSaved())
        QSKIP(nothingCanBeSavedHere);
    const QString path = configFilePath().path();
    QVERIFY(saveConfigFileBytes("old\r\n", path).saved);

    QProcess holder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(holdFile, path);
    environment.insert(holdMilliseconds, QString::number(milliseconds));
    holder.setProcessEnvironment(environment);
    holder.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(waitUntilHeld(path));

    const SaveResult result = saveConfigFileBytes("new\r\n", path);
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(result.saved, saved);
    if (saved) {
        QCOMPARE(readAll(path), "new\r\n");
    } else {
        const QString warning = SaveMessages::notSaved(path, result);
        QVERIFY2(warning.contains("Another program"), qPrintable(warning));
        QCOMPARE(readAll(path), "old\r\n");
    }
}

void WindowsSaveTest::rightsAdvice_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("names"); // empty: no advice
    QTest::newRow("top of drive C:") << "C:/Config.ini"
                                     << "C:\\Config.ini";
    QTest::newRow("native separators, other drive") << "d:\\Config.ini"
                                                    << "d:\\Config.ini";
    QTest::newRow("in a folder") << "C:/Games/Config.ini" << QString();
    QTest::newRow("drive alone") << "C:/" << QString();
    QTest::newRow("network share") << "//server/share/Config.ini" << QString();
}

void WindowsSaveTest::rightsAdvice()
{
    QFETCH(QString, path);
    QFETCH(QString, names);
    const QString advice = SaveMessages::driveRootRightsAdvice(path);
    QCOMPARE(advice.isEmpty(), names.isEmpty());
    if (!names.isEmpty()) {
        QVERIFY2(advice.contains(names), qPrintable(advice));
        QVERIFY(advice.contains("only administrators"));
        QVERIFY(advice.contains("\"Run as administrator\""));
    }
}

// A user who may not create files at the top of drive C: is told why and
// what to do, and offered to save elsewhere; nothing is left on C:.
void WindowsSaveTest::refusedAtTheTopOfDriveC()
{
    if (!driveCTakesNoNewFiles() || configIniMadeWritable())
        QSKIP("needs Wine run by a user whose drive C: is read-only, with no C:\\Config.ini");
    const SaveResult result = saveConfigFileBytes("new\r\n", configFilePath());
    QVERIFY(!result.saved);
    QCOMPARE(result.cause, FailureCause::FolderTakesNoNewFiles);
    QVERIFY(SaveMessages::offersSaveAs(result.cause));
    const QString warning = SaveMessages::notSaved(configFilePath(), result);
    QVERIFY2(warning.contains("Windows lets only administrators create files at the top of drive "
                              "C:. Start Fennick with \"Run as administrator\""),
             qPrintable(warning));
    QVERIFY(!QFile::exists(QStringLiteral("C:/Config.ini")));
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(holdFile))
        return holdFileOpen();
    QCoreApplication app(argc, argv);
    WindowsSaveTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowssave.moc"
