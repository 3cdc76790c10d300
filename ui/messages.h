// The message boxes the window shows, behind a seam so that tests can see
// what would be shown without a blocking dialog.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace fennick {

struct UserMessage {
    enum class Kind { Information, Warning };
    Kind kind = Kind::Information;
    QString text;
};

using MessagePresenter = std::function<void(QWidget *parent, const UserMessage &message)>;

// A modal box captioned with the application name and one OK button; an
// information message shows no icon, a warning shows the warning icon.
void showMessageBox(QWidget *parent, const UserMessage &message);

} // namespace fennick
