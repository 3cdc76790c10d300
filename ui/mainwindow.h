// Fennick's one window: the wizard's tabs on the left, the preview with
// Clear and Save on the right. Built from the field, button and layout tables.
#pragma once

#include "ui/messages.h"

#include <QHash>
#include <QWidget>

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
    [[nodiscard]] QString fieldText(std::string_view field) const;
    [[nodiscard]] QWidget *control(std::string_view name) const;
    void addControl(QWidget *widget, std::string_view name);

    MessagePresenter m_presenter;
    TabControl *m_tabs;
    PreviewEdit *m_preview = nullptr;
    // Every named control by objectName: an index into the widget tree, not
    // wizard state (that lives in the controls' enabled flags).
    QHash<QString, QWidget *> m_controls;
};

} // namespace fennick
