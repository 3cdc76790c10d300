// Reading the file on Linux and other Unix systems, on the handle Save's
// own search opened: the file found is the file read.
#include "document/fileopen.h"

#include "document/savesteps.h"

#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Save will not write an immutable file, nor one another account steers
    // it to that the account may not write, but either may be read, as any
    // file this user may read: the search had opened it, links judged. Save
    // then says why it does not write it back.
    const bool readable = refused && target.file.isValid()
                       && (refused->cause == FailureCause::FileImmutable
                           || refused->cause == FailureCause::WrittenForAnother);
    if (refused && !readable)
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
    int error = 0;
    OpenResult read
        = readWhole(target.status.st_size, bytes, [&](char *into, qint64 room, qint64 offset) {
              for (;;) {
                  const ssize_t count = ::pread(file, into, size_t(room), off_t(offset));
                  if (count < 0 && errno == EINTR)
                      continue;
                  if (count < 0)
                      error = errno;
                  return qint64(count);
              }
          });
    if (read.failure == OpenFailure::Unknown)
        read.reason = QString::fromLocal8Bit(std::strerror(error));
    return read;
}

} // namespace fennick::fileopen
