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
    // A warning after a Save that the fixed place refused offers to save
    // elsewhere.
    bool offersSaveAs = false;
};

enum class MessageChoice { Ok, SaveAs };

using MessagePresenter = std::function<MessageChoice(QWidget *parent, const UserMessage &message)>;

// The caption of the button and the menu entry that save elsewhere.
[[nodiscard]] QString saveAsCaption();

// A modal box captioned with the application name and an OK button, and a
// "Save As…" button where the message offers it; an information message
// shows no icon, a warning shows the warning icon. Return and Escape both
// press OK.
MessageChoice showMessageBox(QWidget *parent, const UserMessage &message);

} // namespace fennick
