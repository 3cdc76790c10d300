#include "document/filesave.h"

#include "document/savesteps.h"

namespace fennick {

SaveResult saveConfigFileBytes(FileBytes &bytes, const FilePath &path)
{
    using namespace savesteps;
    if (path.isEmpty()) {
        SaveResult noHome;
        noHome.cause = FailureCause::HomeUnknown;
        return noHome;
    }

    // The file, found once; every later step works on what was found.
    Target target;
    if (std::optional<SaveResult> refused = findTarget(path, target))
        return *refused;
    removeLeftoverCopies(target);

    // How to write, decided once: a new copy wherever it can stand in for
    // the old file, since a failure then leaves the old one whole.
    const bool copyCanStandIn = !target.exists
                             || (target.writable && target.folderWritable && !target.hasOtherNames
                                 && !target.mountedOnItsOwn);
    std::optional<SaveResult> result;
    if (copyCanStandIn)
        result = replace(target, bytes);
    const bool replaced = result && result->saved;
    // A file the user may not write goes this way too: the open fails with
    // the system's reason and leaves the file as it was.
    if (!result)
        result = writeInPlace(target, bytes);

    if (result->saved)
        syncFolder(target);
    if (replaced)
        letGoOfOldFile(target);
    return *result;
}

SaveResult saveConfigFileBytes(const QByteArray &bytes, const FilePath &path)
{
    ReadyBytes ready(bytes);
    return saveConfigFileBytes(ready, path);
}

} // namespace fennick
