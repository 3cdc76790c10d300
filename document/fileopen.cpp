#include "document/fileopen.h"

#include "document/configfile.h"

#include <QByteArrayView>

#include <algorithm>

namespace fennick {
namespace {

// The first character that the preview or Save would change, and its line.
struct Problem {
    qsizetype line = 0; // 0: none
    NotTextBecause because = NotTextBecause::NotInEncoding;
};

// Also tells whether some line ends in LF alone, which Save makes CR LF.
[[nodiscard]] Problem firstChangedCharacter(QStringView text, bool &lineFeedsAlone)
{
    qsizetype line = 1;
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        // Most characters are none of those looked for: one test.
        if (c > u'\r' && c < u'\u2028' && c != u'\ufdd0' && c != u'\ufdd1')
            continue;
        if (c == u'\0')
            return {line, NotTextBecause::Nul};
        if (c == u'\r' && (i + 1 == text.size() || chars[i + 1] != u'\n'))
            return {line, NotTextBecause::LoneCr};
        if (c == u'\u2028' || c == u'\u2029')
            return {line, NotTextBecause::LineSeparator};
        if (c == u'\ufdd0' || c == u'\ufdd1')
            return {line, NotTextBecause::FrameMark};
        if (c == u'\n') {
            lineFeedsAlone = lineFeedsAlone || i == 0 || chars[i - 1] != u'\r';
            ++line;
        }
    }
    return {};
}

// The bytes as Save writes them for a file of LF alone or without its
// closing line break: each LF a CR LF, one CR LF at the end.
[[nodiscard]] QByteArray withSaveLineBreaks(const QByteArray &bytes)
{
    QByteArray expected;
    expected.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            expected.append('\r');
        expected.append(bytes[i]);
    }
    if (!expected.endsWith("\r\n"))
        expected.append("\r\n", 2);
    return expected;
}

} // namespace

OpenResult textFromFileBytes(const QByteArray &bytes)
{
    OpenResult result;
    result.text = fileopen::decode(bytes);
    const Problem changed = firstChangedCharacter(result.text, result.lineFeedsAlone);
    if (result.text.endsWith(u"\r\n"))
        result.text.chop(2);
    else if (result.text.endsWith(u'\n'))
        result.text.chop(1);
    else
        result.noClosingBreak = true;

    // The proof: Save's own bytes of the text that would stand in the
    // preview. Where they differ and no character above says why, the
    // encoding does.
    const QByteArray expected
        = result.lineFeedsAlone || result.noClosingBreak ? withSaveLineBreaks(bytes) : bytes;
    const QByteArray written = configFileBytesFromEditorText(result.text);
    Problem problem = changed;
    if (written != expected) {
        const auto [at, unused] = std::ranges::mismatch(expected, written);
        const qsizetype offset = at - expected.cbegin();
        const qsizetype line = QByteArrayView(expected).first(offset).count('\n') + 1;
        if (problem.line == 0 || line < problem.line)
            problem = {line, NotTextBecause::NotInEncoding};
    }
    if (problem.line == 0) {
        result.failure = OpenFailure::None;
        return result;
    }
    OpenResult refused;
    refused.failure = OpenFailure::NotText;
    refused.because = problem.because;
    refused.line = problem.line;
    refused.encodingName = fileopen::encodingName();
    return refused;
}

OpenResult openConfigFile(const FilePath &path)
{
    if (path.isEmpty()) {
        OpenResult none;
        none.failure = OpenFailure::NotFound;
        return none;
    }
    QByteArray bytes;
    OpenResult read = fileopen::readBytes(path, bytes);
    if (read.failure != OpenFailure::None)
        return read;
    return textFromFileBytes(bytes);
}

namespace fileopen {

OpenResult fromSaveRefusal(const SaveResult &refused)
{
    OpenResult result;
    result.reason = refused.reason;
    result.subject = refused.subject;
    result.linkOwner = refused.account;
    result.kind = refused.kind;
    switch (refused.cause) {
    case FailureCause::TargetIsFolder:
        result.failure = OpenFailure::TargetIsFolder;
        break;
    case FailureCause::NotAFile:
        result.failure = OpenFailure::NotAFile;
        break;
    case FailureCause::UntrustedLink:
        result.failure = OpenFailure::UntrustedLink;
        break;
    case FailureCause::LinkLoop:
        result.failure = OpenFailure::LinkLoop;
        break;
    case FailureCause::LinkElsewhere:
        result.failure = OpenFailure::LinkElsewhere;
        break;
    case FailureCause::FolderMissing:
        result.failure = OpenFailure::NotFound;
        break;
    // A folder on the way that this user may not search.
    case FailureCause::FolderTakesNoNewFiles:
    case FailureCause::FileReadOnly:
        result.failure = OpenFailure::NoRightToRead;
        break;
    case FailureCause::FileSwapped:
        result.failure = OpenFailure::FileSwapped;
        break;
    default:
        result.failure = OpenFailure::Unknown;
        break;
    }
    return result;
}

OpenResult readWhole(qint64 size, QByteArray &bytes, const ReadCall &read)
{
    OpenResult result;
    result.failure = OpenFailure::TooLarge;
    if (size > openSizeLimit) {
        result.size = size;
        return result;
    }
    // One byte more than the limit tells a file that grew past it meanwhile.
    bytes.resize(qsizetype(size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(std::min<qsizetype>(2 * bytes.size(), openSizeLimit + 1));
        if (got == openSizeLimit + 1) {
            result.size = got;
            return result;
        }
        const qint64 count = read(bytes.data() + got, bytes.size() - got, got);
        if (count < 0) {
            result.failure = OpenFailure::Unknown;
            return result;
        }
        if (count == 0)
            break;
        got += qsizetype(count);
    }
    bytes.truncate(got);
    result.failure = OpenFailure::None;
    return result;
}

} // namespace fileopen
} // namespace fennick
