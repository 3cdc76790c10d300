#include "document/banner.h"

#include "document/maker.h"

namespace fennick {

QString bannerText()
{
    const QString address = QString::fromUtf8(makerAddress);
    return QStringLiteral(";------Fennick: server configuration------\r\n")
         + QStringLiteral(";------Visit ") + address + QStringLiteral(" to see updates------\r\n")
         + QStringLiteral(";------Lines that begin with ; are comments------");
}

} // namespace fennick
