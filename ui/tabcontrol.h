// A tab control whose pages cover its whole area, tab strip included, so
// that controls on a page are placed from the top of the strip.
#pragma once

#include <QWidget>

#include <vector>

class QTabBar;

namespace fennick {

class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget *parent = nullptr);

    // Adds a page; the caller places controls on it.
    QWidget *addPage(const QString &caption);

    [[nodiscard]] int count() const { return int(m_pages.size()); }
    [[nodiscard]] QWidget *page(int index) const { return m_pages.at(std::size_t(index)); }
    [[nodiscard]] int currentIndex() const;
    void setCurrentIndex(int index);
    [[nodiscard]] QTabBar *tabBar() const { return m_tabBar; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showPage(int index);

    QTabBar *m_tabBar;
    std::vector<QWidget *> m_pages;
};

} // namespace fennick
