#include "ui/mainwindow.h"

#include "document/banner.h"
#include "document/configfile.h"
#include "document/encodingcheck.h"
#include "document/fileopen.h"
#include "document/filesave.h"
#include "document/linebreaks.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "ui/accessiblecontrols.h"
#include "ui/captionfit.h"
#include "ui/classicframe.h"
#include "ui/contrast.h"
#include "ui/documenttext.h"
#include "ui/fieldmarks.h"
#include "ui/filedialog.h"
#include "ui/filedrop.h"
#include "ui/focusorder.h"
#include "ui/focusring.h"
#include "ui/layouttables.h"
#include "ui/openmessages.h"
#include "ui/previewedit.h"
#include "ui/saveaslocation.h"
#include "ui/savemessages.h"
#include "ui/singlelinefield.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "ui/twips.h"
#include "ui/windowicon.h"
#include "ui/windowscrollarea.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace fennick {
namespace {

// Same advance for a narrow and a wide letter. (QFontInfo::fixedPitch() says
// no for some monospaced fonts, such as Noto Sans Mono.)
[[nodiscard]] bool isMonospaced(const QFont &font)
{
    const QFontMetricsF metrics(font);
    return qFuzzyCompare(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'M'));
}

// Lucida Console 8.25 pt where it is installed, else the system's fixed font
// at that size, else Courier New, else any monospaced font the system has;
// never a proportional font while a monospaced one exists. (Where a family
// is missing, Windows substitutes a proportional one, whatever the style
// hint says.)
[[nodiscard]] QFont previewFont()
{
    // Asked of the list of fonts: matching the family would load a font
    // the window never uses where Lucida Console is missing.
    if (const QString lucida = QStringLiteral("Lucida Console"); QFontDatabase::hasFamily(lucida)) {
        QFont font(lucida);
        font.setPointSizeF(8.25);
        return font;
    }
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(8.25);
    if (isMonospaced(fixed))
        return fixed;
    QFont typewriter(QStringLiteral("Courier New"));
    typewriter.setStyleHint(QFont::TypeWriter);
    typewriter.setPointSizeF(8.25);
    if (isMonospaced(typewriter))
        return typewriter;
    const QStringList families = QFontDatabase::families(QFontDatabase::Latin);
    for (const QString &family : families) {
        if (!QFontDatabase::isFixedPitch(family) || !QFontDatabase::isSmoothlyScalable(family))
            continue;
        QFont monospaced(family);
        monospaced.setPointSizeF(8.25);
        if (isMonospaced(monospaced))
            return monospaced;
    }
    return typewriter;
}

// Centres a label's caption on the text line of a field of the given
// height (twips) that stands beside it at the same top, whatever the
// label's own height.
void alignCaptionWithField(QLabel *label, int fieldHeight)
{
    const int field = toPixels(fieldHeight);
    const int line = toPixels(layout::labelHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setContentsMargins(0, field - line, 0, label->height() - line);
}

// Most fields are disabled most of the time, yet their values must stay
// legible: greyed halfway towards their background, but never fainter than
// text may be. Mixed from the palette, so dark themes work too.
[[nodiscard]] QPalette withReadableDisabledText(QPalette palette)
{
    constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> textOnBackground[]{
        {QPalette::Text, QPalette::Base},
        {QPalette::WindowText, QPalette::Window},
        {QPalette::ButtonText, QPalette::Button},
    };
    for (const auto &[text, background] : textOnBackground) {
        const QColor behind = palette.color(QPalette::Disabled, background);
        const QColor greyed = mixed(palette.color(QPalette::Active, text), behind, 0.5);
        palette.setColor(QPalette::Disabled, text, atContrast(greyed, behind, textContrast));
    }
    return palette;
}

// The combo box a note explains: the field in the note's row, which screen
// readers read the note with.
[[nodiscard]] constexpr Control explainedField(const layout::NoteLabel &note)
{
    const auto *row = std::ranges::find_if(layout::fieldPlacements, [&](const auto &field) {
        return field.frame == note.placement.container && field.top == note.placement.rect.top;
    });
    return row == layout::fieldPlacements.end() ? Control::Text1 : row->field;
}

static_assert(std::ranges::all_of(layout::noteLabels, [](const layout::NoteLabel &note) {
    return isComboBox(explainedField(note));
}));

} // namespace

MainWindow::MainWindow(MessagePresenter presenter, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_presenter(std::move(presenter))
    , m_client(new QWidget)
    , m_scrollArea(new WindowScrollArea(m_client, this))
    , m_tabs(new TabControl(m_client))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(applicationName) + QStringLiteral(" - ") + toQString(makerAddress));
    setWindowIcon(programIcon());
    const QSize clientSize = toPixels({0, 0, layout::windowWidth, layout::windowHeight}).size();
    m_client->setFixedSize(clientSize);
    setFixedSize(clientSize);
    m_scrollArea->setGeometry(rect());
    // Before any control exists, so that each is laid out once, in its font.
    setFont(fontFittingCaptions(font(), *style()));
    setPalette(withReadableDisabledText(palette()));

    addNamed(m_tabs, layout::tabControl.name);
    m_tabs->tabStrip()->setTabsPerRow(layout::tabsPerRow);
    m_tabs->tabStrip()->setRowHeight(double(layout::tabRowHeight) / twipsPerPixel);
    m_tabs->setGeometry(toPixels(layout::tabControl.rect));
    for (std::string_view caption : layout::pageCaptions)
        m_tabs->addPage(toQString(caption));
    m_tabs->tabStrip()->setAccessibleName(tr("Wizard pages"));

    buildFrames();
    buildFields();
    buildButtons();
    buildDecorations();
    setTabOrderFromIndexes();

    new FocusRing(m_client);
    addPreviewUndoShortcuts();

    m_tabs->setCurrentIndex(layout::pageInFrontAtStart);
    m_tabs->markOpenStep();
    m_preview->setFocus();
}

void MainWindow::fitInto(const QRect &available)
{
    const QSize frame = frameGeometry().size() - size();
    m_frameWhenFitted = frame;
    const QSize fitted = m_scrollArea->sizeWithin(available.size() - frame);
    if (fitted != size()) {
        setFixedSize(fitted);
        m_scrollArea->resize(fitted);
    }
    // The frame's top left corner, moved just so far that the whole window
    // lies in the available room.
    const QRect outer = frameGeometry();
    const QPoint inside(
        std::clamp(outer.left(), available.left(), available.right() - outer.width() + 1),
        std::clamp(outer.top(), available.top(), available.bottom() - outer.height() + 1));
    if (inside != outer.topLeft())
        move(inside);
}

void MainWindow::fitToScreen()
{
    if (QScreen *screen = this->screen())
        fitInto(screen->availableGeometry());
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitToScreen();
    connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitToScreen,
            Qt::UniqueConnection);
}

// The window manager reports the frame around the window only once it has
// placed the window; the frame's size counts.
void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (isVisible() && frameGeometry().size() - size() != m_frameWhenFitted)
        fitToScreen();
}

void MainWindow::addControl(QWidget *widget, Control id)
{
    widget->setObjectName(controlName(id));
    m_controls[std::size_t(indexOf(id))] = widget;
}

void MainWindow::addNamed(QWidget *widget, std::string_view name)
{
    widget->setObjectName(toQString(name));
}

QWidget *MainWindow::container(std::string_view name) const
{
    if (name == "Form1")
        return m_client; // controls on the window stand on its client area
    return m_frames.value(toQString(name));
}

void MainWindow::buildFrames()
{
    for (const layout::FramePlacement &frame : layout::frames) {
        QWidget *parent = frame.page == layout::onWindow ? m_client : m_tabs->page(frame.page);
        auto *box = new ClassicFrame(toQString(frame.caption), parent);
        addNamed(box, frame.name);
        m_frames.insert(box->objectName(), box);
        box->setGeometry(toPixels(frame.rect));
    }
    m_preview = new PreviewEdit(container(layout::preview.container));
    addNamed(m_preview, layout::preview.name);
    m_preview->setGeometry(toPixels(layout::preview.rect));
    m_preview->setFont(previewFont());
    m_preview->setTabChangesFocus(true);
    // Shift+F10 opens the context menu at the caret, as the Menu key does;
    // only some platforms turn it into a menu request themselves.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_preview, nullptr,
                                  nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, m_preview, [this] {
        const QPoint caret = m_preview->cursorRect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, caret,
                                  m_preview->viewport()->mapToGlobal(caret));
        QCoreApplication::sendEvent(m_preview->viewport(), &request);
    });
    // The banner as Clear writes it, without a line break after it; as the
    // first text, it is not a step the user can undo.
    m_preview->setPlainText(editorTextFromDocument(bannerText()));
}

void MainWindow::buildFields()
{
    auto *marks = new FieldMarks(this);
    for (const layout::FieldPlacement &row : layout::fieldPlacements) {
        const FieldDefinition &definition = field(row.field);
        QWidget *frame = container(row.frame);

        auto *label = new QLabel(toQString(definition.caption), frame);
        addNamed(label, definition.labelName);
        label->setGeometry(toPixels(row.labelRect()));

        QWidget *widget = nullptr;
        if (isComboBox(row.field)) {
            auto *combo = new FieldComboBox(frame);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert); // the lists are fixed
            // Values are written as typed: no completion, and no swapping of
            // "true" for the item "True" when the box loses focus.
            combo->setCompleter(nullptr);
            combo->setValidator(new SingleLineValidator(combo));
            combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
            for (std::string_view item : definition.items)
                if (!item.empty())
                    combo->addItem(toQString(item), 0);
            combo->setEditText(toQString(definition.defaultText));
            widget = combo;
        } else {
            auto *edit = new QLineEdit(toQString(definition.defaultText), frame);
            edit->setValidator(new SingleLineValidator(edit));
            edit->setMaxLength(std::numeric_limits<int>::max()); // no limit but memory
            edit->setCursorPosition(0);
            widget = edit;
        }
        alignCaptionWithField(label, row.fieldHeight());
        addControl(widget, row.field);
        widget->setGeometry(toPixels(row.fieldRect()));
        widget->setEnabled(enabledAtStart(row.field));
        widget->setAccessibleName(label->text());
        label->setBuddy(widget);
        marks->watch(widget, row.field);
    }
}

void MainWindow::buildButtons()
{
    for (const layout::ButtonPlacement &placement : layout::buttonPlacements) {
        const ButtonDefinition &definition = button(placement.button);
        auto *widget = new QPushButton(toQString(definition.caption), container(placement.frame));
        addControl(widget, placement.button);
        widget->setGeometry(toPixels(placement.rect));
        widget->setEnabled(enabledAtStart(placement.button));
        // Return and Enter press the button that has the focus, as Space
        // does. Outside a dialog no button is the default, so Enter in a
        // field presses none.
        widget->setAutoDefault(true);
        widget->setAccessibleDescription(stepButtonDescription(definition));
        connect(widget, &QPushButton::clicked, this, [this, &definition] { press(definition); });
        if (definition.role == ButtonRole::SavesDocument) {
            // Ctrl+S from anywhere in the window; click() does nothing while
            // Save is disabled.
            auto *shortcut = new QShortcut(QKeySequence::Save, this);
            connect(shortcut, &QShortcut::activated, widget, &QAbstractButton::click);
            buildOpen();
            buildSaveAs(widget->isEnabled());
        }
    }
}

// Saving elsewhere, usable exactly while Save is: from Ctrl+Shift+S (bound
// here, as Qt has no key for it on every desktop) and from the end of the
// preview's context menu.
void MainWindow::buildSaveAs(bool enabled)
{
    m_saveAs = new QAction(saveAsCaption(), this);
    m_saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_saveAs->setEnabled(enabled);
    addAction(m_saveAs);
    connect(m_saveAs, &QAction::triggered, this, &MainWindow::saveAs);
    m_preview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_preview, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const std::unique_ptr<QMenu> menu(m_preview->createStandardContextMenu(at));
        menu->addSeparator();
        menu->addAction(m_open);
        menu->addAction(m_saveAs);
        menu->exec(m_preview->viewport()->mapToGlobal(at));
    });
}

// Reading a saved file back, usable throughout: from Ctrl+O, from the
// preview's context menu, and by dropping the file on the preview (opened
// once the drop is over, so that no message box stands inside it).
void MainWindow::buildOpen()
{
    m_open = new QAction(tr("Open\u2026"), this);
    m_open->setShortcut(QKeySequence::Open);
    addAction(m_open);
    connect(m_open, &QAction::triggered, this, &MainWindow::open);
    new FileDrop(m_preview->viewport(), [this](const QString &path) {
        QTimer::singleShot(0, this, [this, path] { openFile(path); });
    });
}

void MainWindow::buildDecorations()
{
    for (const layout::NoteLabel &note : layout::noteLabels) {
        auto *label = new QLabel(toQString(note.caption), container(note.placement.container));
        addNamed(label, note.placement.name);
        label->setGeometry(toPixels(note.placement.rect));
        alignCaptionWithField(label, layout::comboBoxHeight); // each explains a combo box
        control(explainedField(note))->setAccessibleDescription(label->text());
    }
    // The picture before the signature below it, in the order read out.
    auto *picture = new PictureBox(container(layout::picture.container));
    addNamed(picture, layout::picture.name);
    picture->setGeometry(toPixels(layout::picture.rect));
    // Scaled screens get the render twice as large, so the picture stays sharp.
    const bool scaled = devicePixelRatio() > 1;
    QPixmap banner(scaled ? QStringLiteral(":/images/fennick-banner@2x.png")
                          : QStringLiteral(":/images/fennick-banner.png"));
    banner.setDevicePixelRatio(scaled ? 2 : 1);
    picture->setPixmap(banner);
    picture->setFocusPolicy(Qt::TabFocus);
    picture->setAccessibleName(toQString(applicationName));

    auto *signature = new QLabel(toQString(layout::signature.caption),
                                 container(layout::signature.placement.container));
    addNamed(signature, layout::signature.placement.name);
    signature->setGeometry(toPixels(layout::signature.placement.rect));
    signature->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    signature->setEnabled(false);

    for (const layout::SeparatorLine &line : layout::separatorLines) {
        auto *separator = new SeparatorLine(container(line.container));
        addNamed(separator, line.name);
        const QRect r = toPixels({0, line.y, layout::separatorLength, 0});
        separator->setGeometry(r.left(), r.top(), r.width(), 2);
        // The two lines on the window's top edge lie under the tab control,
        // which covers them: never seen, so not shown to screen readers
        // either. Stacked under it, not it raised above them, so that the
        // tabs stay first in reading order.
        if (separator->parentWidget() == m_tabs->parentWidget()) {
            separator->stackUnder(m_tabs);
            separator->hide();
        }
    }
}

void MainWindow::setTabOrderFromIndexes()
{
    std::vector<std::pair<int, QWidget *>> order;
    for (const layout::FieldPlacement &row : layout::fieldPlacements)
        order.emplace_back(layout::focusIndex(row.field), control(row.field));
    for (const layout::ButtonPlacement &placement : layout::buttonPlacements)
        order.emplace_back(layout::focusIndex(placement.button), control(placement.button));
    // The tab control takes the focus on its strip of tabs.
    order.emplace_back(layout::tabControl.tabIndex, m_tabs->tabStrip());
    order.emplace_back(layout::preview.tabIndex, m_preview);
    order.emplace_back(layout::picture.tabIndex,
                       findChild<QWidget *>(toQString(layout::picture.name)));
    std::ranges::sort(order, {}, &std::pair<int, QWidget *>::first);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1].second, order[i].second);
}

// Ctrl+Z brings back what Clear or a step's button replaced, also while the
// focus is still on that button; the redo keys take it back out. Only where
// the focused control has no undo of its own: a field keeps its own (it
// claims these keys before any shortcut sees them), and so does the preview.
void MainWindow::addPreviewUndoShortcuts()
{
    const auto keys = [](QKeySequence::StandardKey standard, QList<QKeySequence> extra) {
        for (const QKeySequence &key : QKeySequence::keyBindings(standard))
            if (!extra.contains(key))
                extra.append(key);
        return extra;
    };
    const auto hasOwnUndo = [] {
        QWidget *focused = QApplication::focusWidget();
        return qobject_cast<QLineEdit *>(focused) || qobject_cast<QPlainTextEdit *>(focused);
    };
    auto *undo = new QShortcut(this);
    undo->setKeys(keys(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    connect(undo, &QShortcut::activated, this, [this, hasOwnUndo] {
        if (!hasOwnUndo())
            m_preview->undo();
    });
    auto *redo = new QShortcut(this);
    redo->setKeys(keys(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                            QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    connect(redo, &QShortcut::activated, this, [this, hasOwnUndo] {
        if (!hasOwnUndo())
            m_preview->redo();
    });
}

QString MainWindow::fieldText(Control field) const
{
    QWidget *widget = control(field);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    return static_cast<QLineEdit *>(widget)->text();
}

void MainWindow::press(const ButtonDefinition &button)
{
    if (button.piece)
        m_preview->appendToDocument(
            buildPiece(*button.piece, [this](Control field) { return fieldText(field); }));
    else if (button.role == ButtonRole::ClearsDocument)
        m_preview->replaceDocument(bannerText());
    else if (button.role == ButtonRole::SavesDocument)
        save();
    QWidget *pressed = control(button.id);
    const bool pressedHadFocus = pressed->hasFocus();
    // Were it disabled with the focus, Qt would pass the focus down the
    // chain first (often to the picture, scrolling the window there) before
    // the hand-over below: the focus leaves it for nowhere instead.
    if (pressedHadFocus && button.disables.contains(button.id))
        pressed->clearFocus();
    applyButtonFlags(button,
                     [this](Control id, bool enabled) { control(id)->setEnabled(enabled); });
    m_saveAs->setEnabled(control(Control::Command14)->isEnabled());
    m_tabs->markOpenStep();
    if (pressedHadFocus && !pressed->isEnabled())
        handOverFocus(button);
}

// A button that ends its step disables itself, and Qt would pass its focus
// down the chain to whatever is enabled next, often the picture or Clear.
// Instead the focus goes to the top field of the step just opened when it
// stands on the page in front (not to a button, where a second key press
// would end that step unseen), and otherwise to the tab that holds it, from
// where Space or Return opens it; the tab in front stays the user's choice.
void MainWindow::handOverFocus(const ButtonDefinition &button)
{
    for (const FieldDefinition &field : fieldCatalogue) {
        QWidget *widget = control(field.id);
        if (button.enables.contains(field.id) && widget->isEnabled() && widget->isVisible()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    TabStrip *strip = m_tabs->tabStrip();
    strip->setFocus(Qt::TabFocusReason);
    strip->setFocusTab(strip->openStepTab());
}

void MainWindow::save()
{
    saveTo(configFilePath());
}

void MainWindow::saveAs()
{
    const QString path = askSaveAsLocation(this, m_lastFile.path());
    if (!path.isEmpty() && saveTo(path))
        m_lastFile = path;
}

bool MainWindow::saveTo(const FilePath &path)
{
    // The preview's text is encoded into a small buffer, written each time
    // it fills.
    const DocumentText document(*m_preview->document());
    const EncodingCheck encoding;
    ConfigFileWriter bytes(document, &encoding);
    const SaveResult result = saveConfigFileBytes(bytes, path);
    if (result.saved) {
        // Characters written as "?" make the file differ from the preview:
        // the box says so rather than report plain success.
        const QString note = replacementsNote(bytes.replacements(), encoding);
        const QString saved = SaveMessages::saved(path);
        m_presenter(this, note.isEmpty()
                              ? UserMessage{UserMessage::Kind::Information, saved}
                              : UserMessage{UserMessage::Kind::Warning, saved + "\n\n" + note});
        return true;
    }
    const UserMessage warning{UserMessage::Kind::Warning, SaveMessages::notSaved(path, result),
                              SaveMessages::offersSaveAs(result.cause)};
    if (m_presenter(this, warning) == MessageChoice::SaveAs)
        saveAs();
    return false;
}

void MainWindow::open()
{
    if (const QString path = askOpenLocation(this, configFilePath().path()); !path.isEmpty())
        openFile(path);
}

// The file's text replaces the preview's in one undoable step; the fields
// and the steps stay as they are. Whatever fails, the preview keeps its text.
void MainWindow::openFile(const FilePath &path)
{
    const OpenResult result = openConfigFile(path);
    if (!result.opened()) {
        m_presenter(this, {UserMessage::Kind::Warning, OpenMessages::notOpened(path, result)});
        return;
    }
    m_preview->replaceDocument(result.text);
    enabledByOpen.forEach([this](Control id) { control(id)->setEnabled(true); });
    m_saveAs->setEnabled(control(Control::Command14)->isEnabled());
    m_lastFile = path;
    if (const QString note = OpenMessages::openedWithNote(path, result); !note.isEmpty())
        m_presenter(this, {UserMessage::Kind::Information, note});
}

} // namespace fennick
