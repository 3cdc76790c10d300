// Fennick's one window: the wizard's tabs on the left, the preview with
// Clear and Save on the right. Built from the field, button and layout tables.
#pragma once

#include "ui/messages.h"
#include "wizard/controls.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <string_view>

namespace fennick {

struct ButtonDefinition;
class PreviewEdit;
class TabControl;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MessagePresenter presenter = showMessageBox, QWidget *parent = nullptr);

    [[nodiscard]] PreviewEdit *preview() const { return m_preview; }
    [[nodiscard]] TabControl *tabControl() const { return m_tabs; }

private:
    void buildFrames();
    void buildFields();
    void buildButtons();
    void buildDecorations();
    void setTabOrderFromIndexes();

    void press(const ButtonDefinition &button);
    void handOverFocus(const ButtonDefinition &button);
    void save();
    [[nodiscard]] QString fieldText(Control field) const;
    [[nodiscard]] QWidget *control(Control id) const { return m_controls[std::size_t(indexOf(id))]; }
    [[nodiscard]] QWidget *container(std::string_view name) const;
    void addControl(QWidget *widget, Control id);
    void addNamed(QWidget *widget, std::string_view name);

    MessagePresenter m_presenter;
    TabControl *m_tabs;
    PreviewEdit *m_preview = nullptr;
    // The wizard's fields and buttons by id, and the frames by name: indexes
    // into the widget tree, not wizard state (that lives in the controls'
    // enabled flags). Every field and button is placed once, so the
    // constructor fills every slot.
    std::array<QWidget *, controlCount> m_controls{};
    QHash<QString, QWidget *> m_frames;
};

} // namespace fennick
