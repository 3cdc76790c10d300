// Fennick's one window: the wizard's tabs on the left, the preview with
// Clear and Save on the right. Built from the field, button and layout tables.
#pragma once

#include "document/filepath.h"
#include "ui/messages.h"
#include "wizard/controls.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <string_view>

class QAction;

namespace fennick {

struct ButtonDefinition;
class PreviewEdit;
class TabControl;
class WindowScrollArea;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MessagePresenter presenter = showMessageBox, QWidget *parent = nullptr);

    [[nodiscard]] PreviewEdit *preview() const { return m_preview; }
    [[nodiscard]] TabControl *tabControl() const { return m_tabs; }

    // Takes the client area's size, or where the available room (frame
    // included) is smaller, that room, and scrolls; keeps the window in it.
    void fitInto(const QRect &available);

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void fitToScreen();
    void buildFrames();
    void buildFields();
    void buildButtons();
    void buildDecorations();
    void setTabOrderFromIndexes();
    void addPreviewUndoShortcuts();

    void press(const ButtonDefinition &button);
    void handOverFocus(const ButtonDefinition &button);
    void buildSaveAs(bool enabled);
    void save();
    void saveAs();
    // Whether the file was saved.
    bool saveTo(const FilePath &path);
    void buildOpen();
    void open();
    void openFile(const FilePath &path);
    [[nodiscard]] QString fieldText(Control field) const;
    [[nodiscard]] QWidget *control(Control id) const
    {
        return m_controls[std::size_t(indexOf(id))];
    }
    [[nodiscard]] QWidget *container(std::string_view name) const;
    void addControl(QWidget *widget, Control id);
    void addNamed(QWidget *widget, std::string_view name);

    MessagePresenter m_presenter;
    QWidget *m_client; // every control stands on it, as tabled
    WindowScrollArea *m_scrollArea;
    TabControl *m_tabs;
    PreviewEdit *m_preview = nullptr;
    QAction *m_saveAs = nullptr;
    QAction *m_open = nullptr;
    // Where Save As starts: the file last opened or saved as in this run.
    FilePath m_lastFile;
    // The wizard's fields and buttons by id, and the frames by name: indexes
    // into the widget tree, not wizard state (that lives in the controls'
    // enabled flags). Every field and button is placed once, so the
    // constructor fills every slot.
    std::array<QWidget *, controlCount> m_controls{};
    QHash<QString, QWidget *> m_frames;
    QSize m_frameWhenFitted;
};

} // namespace fennick
