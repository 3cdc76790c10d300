// What only Windows does when saving: the file lands in C:\Config.ini, its
// bytes are in the system's ANSI code page (this test runs once per code
// page: 1252, 1250, 1251, 1253, 1254, 936 and 932), the new copy keeps the
// file's attributes and rights, a file held open by another program is
// waited for a moment, and a failure to create the file at the top of the
// drive says what to do.
#include "document/configfile.h"
#include "document/filesave.h"
#include "ui/savemessages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <array>

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

// The file's owner, group and access rules, in the system's own notation.
[[nodiscard]] QString rightsOf(const QString &path)
{
    constexpr SECURITY_INFORMATION parts
        = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t *text = nullptr;
    QString rights = "<unreadable>";
    if (GetNamedSecurityInfoW(path.toStdWString().c_str(), SE_FILE_OBJECT, parts, nullptr, nullptr,
                              nullptr, nullptr, &descriptor)
            == ERROR_SUCCESS
        && ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, parts,
                                                                &text, nullptr))
        rights = QString::fromWCharArray(text);
    LocalFree(text);
    LocalFree(descriptor);
    return rights;
}

[[nodiscard]] quint64 fileIndex(const QString &path)
{
    const HANDLE file = CreateFileW(path.toStdWString().c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION about{};
    GetFileInformationByHandle(file, &about);
    CloseHandle(file);
    return quint64(about.nFileIndexHigh) << 32 | about.nFileIndexLow;
}

} // namespace

class WindowsSaveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileIsOnDriveC();
    void codePageBytes_data();
    void codePageBytes();
    void keepsAttributesAndRights_data();
    void keepsAttributesAndRights();
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

// The code pages the byte table knows, in the order of its columns.
constexpr std::array<UINT, 7> knownCodePages{1252, 1250, 1251, 1253, 1254, 936, 932};

void WindowsSaveTest::codePageBytes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QByteArrayList>("bytes"); // in each code page, before the last CR LF
    // As each code page's chart has them; "?" where it lacks the character,
    // never a look-alike (a fullwidth "＝" must not become "=").
    struct Row {
        const char *name;
        const char16_t *document;
        std::array<const char *, knownCodePages.size()> bytes;
    };
    // clang-format off
    static constexpr Row rows[] = {
        {"empty: no byte-order mark", u"", {"", "", "", "", "", "", ""}},
        {"CR LF kept, one more at the end", u"a\r\n\r\nb\r\n", {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n",
            "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"}},
        // In 1252, 1250, 1251, 1253, 1254, 936 and 932:
        {"euro sign", u"5 \u20ac", {"5 \x80", "5 \x80", "5 \x88", "5 \x80", "5 \x80", "5 \x80", "5 ?"}},
        {"French", u"caf\u00e9 \u00dc", {"caf\xe9 \xdc", "caf\xe9 \xdc", "caf? ?", "caf? ?", "caf\xe9 \xdc",
            "caf\xa8\xa6 ?", "caf? ?"}},
        {"Polish", u"\u0142\u0105\u015b\u017c", {"????", "\xb3\xb9\x9c\xbf", "????", "????", "????", "????", "????"}},
        {"Russian", u"\u041f\u0440\u0438\u0432\u0435\u0442", {"??????", "??????", "\xcf\xf0\xe8\xe2\xe5\xf2", "??????",
            "??????", "\xa7\xb1\xa7\xe2\xa7\xda\xa7\xd3\xa7\xd6\xa7\xe4", "\x84P\x84\x82\x84y\x84r\x84u\x84\x84"}},
        {"Greek", u"\u0391\u03b8\u03ae\u03bd\u03b1", {"?????", "?????", "?????", "\xc1\xe8\xde\xed\xe1", "?????",
            "\xa6\xa1\xa6\xc8?\xa6\xcd\xa6\xc1", "\x83\x9f\x83\xc6?\x83\xcb\x83\xbf"}},
        {"Turkish", u"\u011f\u0130\u015f\u0131", {"????", "??\xba?", "????", "????", "\xf0\xdd\xfe\xfd", "????",
            "????"}},
        {"Chinese", u"\u670d\u52a1\u5668", {"???", "???", "???", "???", "???", "\xb7\xfe\xce\xf1\xc6\xf7",
            "\x95\x9e?\x8a\xed"}},
        {"Japanese: katakana, full and half width", u"\u30b5\u30fc\u30d0\u30fc \uff7b\uff70\uff8a\uff9e\uff70",
            {"???? ?????", "???? ?????", "???? ?????", "???? ?????", "???? ?????",
             "\xa5\xb5\xa9`\xa5\xd0\xa9` ?????", "\x83T\x81[\x83o\x81[ \xbb\xb0\xca\xde\xb0"}},
        {"fullwidth equals and semicolon", u"a \uff1d b\uff1b", {"a ? b?", "a ? b?", "a ? b?", "a ? b?", "a ? b?",
            "a \xa3\xbd b\xa3\xbb", "a \x81\x81 b\x81G"}},
        {"emoji: one per UTF-16 unit", u"\U0001F600", {"??", "??", "??", "??", "??", "??", "??"}},
    };
    // clang-format on
    for (const Row &row : rows) {
        QByteArrayList bytes;
        for (const char *inCodePage : row.bytes)
            bytes.append(QByteArray(inCodePage) + "\r\n");
        QTest::newRow(row.name) << QString::fromUtf16(row.document) << bytes;
    }
    QTest::newRow("lone surrogate")
        << "x" + QString(QChar(0xd800)) << QByteArrayList(knownCodePages.size(), "x?\r\n");
}

void WindowsSaveTest::codePageBytes()
{
    QFETCH(QString, document);
    QFETCH(QByteArrayList, bytes);
    if (nothingCanBeSaved())
        QSKIP(nothingCanBeSavedHere);
    const UINT codePage = GetACP();
    const auto known = std::find(knownCodePages.begin(), knownCodePages.end(), codePage);
    if (known == knownCodePages.end())
        QSKIP(qPrintable(QStringLiteral("the bytes are not known for code page %1").arg(codePage)));
    const QByteArray expected = bytes.at(known - knownCodePages.begin());
    QCOMPARE(configFileBytes(document), expected);
    QCOMPARE(configFileBytesFromEditorText(document), expected);
    QVERIFY(saveConfigFileBytes(configFileBytesFromEditorText(document), configFilePath()).saved);
    QCOMPARE(readAll(configFilePath().path()), expected);
}

void WindowsSaveTest::keepsAttributesAndRights_data()
{
    QTest::addColumn<uint>("attributes");
    QTest::addColumn<QString>("rules"); // access rules set on the file, empty: only the folder's
    QTest::newRow("hidden") << uint(FILE_ATTRIBUTE_HIDDEN) << QString();
    QTest::newRow("hidden system file, not indexed")
        << uint(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
        << QString();
    // icacls C:\Config.ini /grant *S-1-5-32-545:M, as the README advises
    QTest::newRow("standard users may change it") << uint(0) << "D:(A;;0x1301bf;;;BU)";
    QTest::newRow("everyone may change it") << uint(0) << "D:(A;;FA;;;WD)";
    QTest::newRow("its own rules only, none from the folder")
        << uint(FILE_ATTRIBUTE_ARCHIVE) << "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;WD)";
}

// Where a new copy takes the file's place, it is the same file to the
// server and to whoever set it up.
void WindowsSaveTest::keepsAttributesAndRights()
{
    QFETCH(uint, attributes);
    QFETCH(QString, rules);
    if (driveCTakesNoNewFiles())
        QSKIP("drive C: takes no new file here: Save writes the file where it lies");
    const QString path = configFilePath().path();
    const std::wstring name = path.toStdWString();
    QVERIFY(saveConfigFileBytes("old\r\n", path).saved);
    const auto cleanUp = qScopeGuard([&] {
        SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(name.c_str());
    });
    const QString folderRights = rightsOf(path);
    QVERIFY(SetFileAttributesW(name.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL));
    if (!rules.isEmpty()) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        QVERIFY(ConvertStringSecurityDescriptorToSecurityDescriptorW(
            rules.toStdWString().c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL acl = nullptr;
        GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted);
        const SECURITY_INFORMATION inheritance = rules.startsWith("D:P")
                                                   ? PROTECTED_DACL_SECURITY_INFORMATION
                                                   : UNPROTECTED_DACL_SECURITY_INFORMATION;
        const DWORD error = SetNamedSecurityInfoW(
            const_cast<wchar_t *>(name.c_str()), SE_FILE_OBJECT,
            DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, acl, nullptr);
        LocalFree(descriptor);
        QCOMPARE(error, DWORD(ERROR_SUCCESS));
        // Wine keeps no access rules of their own: it shows rules made from
        // the file's Unix mode, which holds only the owner's and everyone's.
        if (rightsOf(path) == folderRights)
            QSKIP(qPrintable("the system kept none of the rules set on the file: " + folderRights));
    }
    const QString rights = rightsOf(path);
    constexpr DWORD shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
                          | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributesBefore = GetFileAttributesW(name.c_str()) & shown;
    const quint64 index = fileIndex(path);

    QVERIFY(saveConfigFileBytes("new\r\n", path).saved);
    QCOMPARE(readAll(path), "new\r\n");
    QVERIFY2(fileIndex(path) != index, "Save wrote the file where it lies, not a new copy");
    QCOMPARE(GetFileAttributesW(name.c_str()) & shown, attributesBefore);
    QCOMPARE(rightsOf(path), rights);
    if ((attributesBefore & attributes) != attributes)
        QSKIP(qPrintable(
            QStringLiteral("the system kept only the attributes 0x%1 of 0x%2, and those are kept")
                .arg(attributesBefore, 0, 16)
                .arg(attributes, 0, 16)));
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
