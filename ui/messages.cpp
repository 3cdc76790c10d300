#include "ui/messages.h"

#include "document/maker.h"
#include "document/strings.h"

#include <QMessageBox>

namespace fennick {

void showMessageBox(QWidget *parent, const UserMessage &message)
{
    const auto icon
        = message.kind == UserMessage::Kind::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, toQString(applicationName), message.text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace fennick
