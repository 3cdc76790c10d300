// A file dropped on a widget, such as a configuration file dragged from the
// file manager onto the preview, handed on instead of inserted as text.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace fennick {

class FileDrop : public QObject {
    Q_OBJECT
public:
    using OnDrop = std::function<void(const QString &path)>;
    // Watches the widget (a scroll area's viewport, which gets the drops).
    FileDrop(QWidget *target, OnDrop onDrop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    OnDrop m_onDrop;
};

} // namespace fennick
