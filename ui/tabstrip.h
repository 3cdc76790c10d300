// A strip of page tabs in several rows, drawn by the platform style like a
// QTabBar. The row that holds the tab in front always stands next to the
// page, as in classic multi-row tab dialogs.
#pragma once

#include <QStringList>
#include <QWidget>

class QPainter;
class QStyleOptionTab;

namespace fennick {

class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    void setTabsPerRow(int tabsPerRow);
    // Fractional, so that row edges can be rounded one by one.
    void setRowHeight(qreal pixels);

    int addTab(const QString &caption);
    [[nodiscard]] int count() const { return int(m_captions.size()); }
    [[nodiscard]] QString tabText(int index) const { return m_captions.value(index); }
    [[nodiscard]] int currentIndex() const { return m_current; }
    // Also puts the keyboard's place on that tab.
    void setCurrentIndex(int index);

    // The tab the keyboard is on while the strip has the focus: the one in
    // front, unless moved on its own, to be brought to the front with Space
    // or Return. Back on the tab in front once the focus leaves.
    [[nodiscard]] int focusTab() const { return m_focusTab; }
    void setFocusTab(int index);

    // Marks the tab that holds the wizard's open step (-1: none), for the
    // eye and for screen readers, without bringing it to the front.
    void setOpenStepTab(int index);
    [[nodiscard]] int openStepTab() const { return m_openStep; }
    [[nodiscard]] static QString openStepDescription();

    [[nodiscard]] int rowCount() const;
    [[nodiscard]] int rowsHeight() const { return qRound(rowCount() * m_rowHeight); }
    [[nodiscard]] QRect tabRect(int index) const;
    [[nodiscard]] int tabAt(const QPoint &position) const;
    [[nodiscard]] QSize sizeHint() const override;

signals:
    void currentChanged(int index);
    void focusTabChanged(int index); // also when that tab moved to another row

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    [[nodiscard]] int visualRow(int index) const;
    void initStyleOption(QStyleOptionTab *option, int index) const;
    void setHovered(int index);
    void paintOpenStepMark(QPainter &painter) const;

    QStringList m_captions;
    int m_tabsPerRow = 3;
    qreal m_rowHeight = 20;
    int m_current = -1;
    int m_focusTab = -1;
    int m_hovered = -1;
    int m_openStep = -1;
};

} // namespace fennick
