// A tabbed dialog control: a multi-row tab strip above one page area. Each
// page covers the whole control, tab strip included, so that controls on a
// page are placed from the top of the strip.
#pragma once

#include <QWidget>

#include <vector>

namespace fennick {

class TabStrip;

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
    [[nodiscard]] TabStrip *tabStrip() const { return m_strip; }

    // Marks the page that holds enabled controls, the wizard's open step.
    void markOpenStep();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange();
    void showPage(int index);
    void turnPage(int step);

    TabStrip *m_strip;
    std::vector<QWidget *> m_pages;
};

} // namespace fennick
