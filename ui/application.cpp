#include "ui/application.h"

#include "document/maker.h"
#include "document/strings.h"

#include <QApplication>

namespace fennick {

void setUpApplication()
{
    QApplication::setApplicationName(toQString(applicationName));
    QApplication::setApplicationVersion(toQString(applicationVersion));
    QApplication::setDesktopFileName(toQString(applicationId));
}

} // namespace fennick
