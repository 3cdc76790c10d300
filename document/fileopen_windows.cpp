// Reading the file on Windows, in Win32 calls, after Save's own search has
// refused links, junctions, folders and devices.
#include "document/fileopen.h"

#include "document/savesteps.h"

#include <windows.h>

#include <algorithm>

namespace fennick::fileopen {
namespace {

[[nodiscard]] OpenResult failed(OpenFailure failure, DWORD error = 0)
{
    OpenResult result;
    result.failure = failure;
    if (error != 0)
        result.reason = qt_error_string(int(error));
    return result;
}

} // namespace

QString encodingName()
{
    const UINT codePage = GetACP();
    return codePage == CP_UTF8 ? QStringLiteral("UTF-8")
                               : QStringLiteral("Windows code page %1").arg(codePage);
}

QString decode(const QByteArray &bytes)
{
    // Within openSizeLimit, so one call takes it all. A byte the code page
    // lacks becomes its default character, which Save writes back otherwise.
    const UINT codePage = GetACP();
    const int length = int(bytes.size());
    if (length == 0)
        return {};
    const int needed = MultiByteToWideChar(codePage, 0, bytes.constData(), length, nullptr, 0);
    QString text(needed, Qt::Uninitialized);
    const int made = MultiByteToWideChar(codePage, 0, bytes.constData(), length,
                                         reinterpret_cast<LPWSTR>(text.data()), needed);
    text.truncate(std::max(made, 0));
    return text;
}

OpenResult readBytes(const FilePath &path, QByteArray &bytes)
{
    savesteps::Target target;
    if (const std::optional<SaveResult> refused = savesteps::findTarget(path, target))
        return fromSaveRefusal(*refused);
    if (!target.exists) {
        OpenResult missing = failed(OpenFailure::NotFound);
        missing.subject = path.shown();
        return missing;
    }
    constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const savesteps::Handle file(
        CreateFileW(reinterpret_cast<const wchar_t *>(target.nativePath.utf16()), GENERIC_READ,
                    shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.isValid()) {
        const DWORD error = GetLastError();
        switch (error) {
        case ERROR_ACCESS_DENIED:
            return failed(OpenFailure::NoRightToRead, error);
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return failed(OpenFailure::NotFound, error);
        default:
            return failed(OpenFailure::Unknown, error);
        }
    }
    // What was opened, not what was looked at: nothing swapped in meanwhile.
    BY_HANDLE_FILE_INFORMATION about{};
    if (!GetFileInformationByHandle(file.get(), &about))
        return failed(OpenFailure::Unknown, GetLastError());
    if (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return failed(OpenFailure::LinkElsewhere);
    if ((about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        || GetFileType(file.get()) != FILE_TYPE_DISK)
        return failed(OpenFailure::FileSwapped);
    const qint64 size = qint64(about.nFileSizeHigh) << 32 | about.nFileSizeLow;
    DWORD error = 0;
    OpenResult read = readWhole(size, bytes, [&](char *into, qint64 room, qint64) {
        // The handle reads on from where the last call ended.
        DWORD count = 0;
        if (!ReadFile(file.get(), into, DWORD(room), &count, nullptr)) {
            error = GetLastError();
            return qint64(-1);
        }
        return qint64(count);
    });
    if (read.failure == OpenFailure::Unknown)
        read.reason = qt_error_string(int(error));
    return read;
}

} // namespace fennick::fileopen
