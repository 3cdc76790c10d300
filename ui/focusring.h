// A clear focus mark: a two-pixel ring around the control that has the
// keyboard focus (around the tab it is on when the tabs have it), in a
// colour that stands out from the window's face by at least 3 to 1 (WCAG
// 2.4.7 and 1.4.11). The styles' own marks are a pale fill or a faint line.
#pragma once

#include <QPointer>
#include <QWidget>

namespace fennick {

class FocusRing : public QWidget {
    Q_OBJECT
public:
    // Marks the focus on any control inside area.
    explicit FocusRing(QWidget *area);

    [[nodiscard]] QColor colour() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focused);
    void place();

    QPointer<QWidget> m_focused;
    QMetaObject::Connection m_tabChanges;
};

} // namespace fennick
