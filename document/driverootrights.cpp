#include "document/driverootrights.h"

#include <QDir>

namespace fennick {

QString driveRootRightsAdvice(const QString &path)
{
    const QString file = QDir::fromNativeSeparators(path);
    const bool atTopOfDrive = file.size() > 3 && file.at(0).isLetter() && file.mid(1, 2) == u":/"
                           && file.indexOf(u'/', 3) < 0;
    if (!atTopOfDrive)
        return {};
    return QStringLiteral("Windows lets only administrators create files at the top of drive %1. "
                          "Start Fennick with \"Run as administrator\", or have %2 created once "
                          "with the right for you to change it.")
        .arg(file.left(2).toUpper(), QDir::toNativeSeparators(file));
}

} // namespace fennick
