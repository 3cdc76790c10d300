#include "ui/messages.h"

#include "document/maker.h"
#include "document/strings.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace fennick {

QString saveAsCaption()
{
    return QCoreApplication::translate("fennick::SaveAs", "Save As\u2026");
}

MessageChoice showMessageBox(QWidget *parent, const UserMessage &message)
{
    const auto icon
        = message.kind == UserMessage::Kind::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, toQString(applicationName), message.text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    const QAbstractButton *saveAs
        = message.offersSaveAs ? box.addButton(saveAsCaption(), QMessageBox::AcceptRole) : nullptr;
    box.setDefaultButton(QMessageBox::Ok);
    // Qt finds no Escape button among OK and Save As on its own.
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return saveAs && box.clickedButton() == saveAs ? MessageChoice::SaveAs : MessageChoice::Ok;
}

} // namespace fennick
