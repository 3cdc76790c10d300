// Reading the file on Linux and other Unix systems, on the handle Save's
// own search opened: the file found is the file read.
#include "document/fileopen.h"

#include "document/savesteps.h"

#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fennick::fileopen {
namespace {

[[nodiscard]] OpenResult failed(OpenFailure failure, int error = 0)
{
    OpenResult result;
    result.failure = failure;
    if (error != 0)
        result.reason = QString::fromLocal8Bit(std::strerror(error));
    return result;
}

} // namespace

QString encodingName()
{
    return QStringLiteral("UTF-8"); // Qt's system encoding on these systems
}

QString decode(const QByteArray &bytes)
{
    // The mark stays a character, as Save writes it back.
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom
                                                         | QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

OpenResult readBytes(const FilePath &path, QByteArray &bytes)
{
    savesteps::Target target;
    const std::optional<SaveResult> refused = savesteps::findTarget(path, target);
    // Save will not write an immutable file, but it may be read: the search
    // had opened it when it found the mark.
    if (refused && !(refused->cause == FailureCause::FileImmutable && target.file.isValid()))
        return fromSaveRefusal(*refused);
    if (!target.exists) {
        OpenResult missing = failed(OpenFailure::NotFound);
        missing.subject = path.shown();
        return missing;
    }
    const int file = target.file.get();
#ifdef O_PATH
    // Opened only to be found: this user may not read it.
    if ((::fcntl(file, F_GETFL) & O_PATH) == O_PATH)
        return failed(OpenFailure::NoRightToRead, EACCES);
#endif
    if (target.status.st_size > openSizeLimit) {
        OpenResult large = failed(OpenFailure::TooLarge);
        large.size = target.status.st_size;
        return large;
    }
    // One byte more than the limit tells a file that grew past it meanwhile.
    bytes.resize(qsizetype(target.status.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(std::min<qsizetype>(2 * bytes.size(), openSizeLimit + 1));
        if (got == openSizeLimit + 1) {
            OpenResult large = failed(OpenFailure::TooLarge);
            large.size = got;
            return large;
        }
        const ssize_t count = ::pread(file, bytes.data() + got, size_t(bytes.size() - got), got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return failed(OpenFailure::Unknown, errno);
        if (count == 0)
            break;
        got += count;
    }
    bytes.truncate(got);
    return failed(OpenFailure::None);
}

} // namespace fennick::fileopen
