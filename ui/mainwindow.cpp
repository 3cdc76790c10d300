#include "ui/mainwindow.h"

#include "document/banner.h"
#include "document/configfile.h"
#include "document/linebreaks.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "ui/captionfit.h"
#include "ui/classicframe.h"
#include "ui/layouttables.h"
#include "ui/previewedit.h"
#include "ui/singlelinefield.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "ui/twips.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace fennick {
namespace {

// Every row of the layout names a field or button the wizard knows.
static_assert(std::ranges::all_of(layout::fieldPlacements,
                                  [](const auto &row) { return findField(row.field) != nullptr; }));
static_assert(std::ranges::all_of(layout::buttonPlacements, [](const auto &row) {
    return findButton(row.name) != nullptr;
}));

// Same advance for a narrow and a wide letter. (QFontInfo::fixedPitch() says
// no for some monospaced fonts, such as Noto Sans Mono.)
[[nodiscard]] bool isMonospaced(const QFont &font)
{
    const QFontMetricsF metrics(font);
    return qFuzzyCompare(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'M'));
}

// Lucida Console 8.25 pt where it is installed, else the system's fixed font
// at that size; never a proportional font.
[[nodiscard]] QFont previewFont()
{
    QFont lucida(QStringLiteral("Lucida Console"));
    lucida.setPointSizeF(8.25);
    if (QFontInfo(lucida).family() == lucida.family())
        return lucida;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(8.25);
    if (isMonospaced(fixed))
        return fixed;
    QFont typewriter(QStringLiteral("Courier New"));
    typewriter.setStyleHint(QFont::TypeWriter);
    typewriter.setPointSizeF(8.25);
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
// legible: greyed, but at a contrast of about 4.5 to 1 rather than the
// style's faint default. Mixed from the palette, so dark themes work too.
[[nodiscard]] QPalette withReadableDisabledText(QPalette palette)
{
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor background = palette.color(QPalette::Active, QPalette::Window);
    const auto mix = [&](int a, int b) { return (a * 11 + b * 9) / 20; };
    const QColor greyed(mix(text.red(), background.red()), mix(text.green(), background.green()),
                        mix(text.blue(), background.blue()));
    for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, greyed);
    return palette;
}

} // namespace

MainWindow::MainWindow(MessagePresenter presenter, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_presenter(std::move(presenter))
    , m_tabs(new TabControl(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(applicationName) + QStringLiteral(" - ") + toQString(makerAddress));
    setWindowIcon(QIcon(QStringLiteral(":/images/fennick-icon-80.png")));
    setFixedSize(toPixels({0, 0, layout::windowWidth, layout::windowHeight}).size());
    // Before any control exists, so that each is laid out once, in its font.
    setFont(fontFittingCaptions(font(), *style()));
    setPalette(withReadableDisabledText(palette()));

    addControl(m_tabs, layout::tabControl.name);
    m_tabs->tabStrip()->setTabsPerRow(layout::tabsPerRow);
    m_tabs->tabStrip()->setRowHeight(double(layout::tabRowHeight) / twipsPerPixel);
    m_tabs->setGeometry(toPixels(layout::tabControl.rect));
    for (std::string_view caption : layout::pageCaptions)
        m_tabs->addPage(toQString(caption));

    buildFrames();
    buildFields();
    buildButtons();
    buildDecorations();
    setTabOrderFromIndexes();

    m_tabs->setCurrentIndex(layout::pageInFrontAtStart);
    m_preview->setFocus();
}

void MainWindow::addControl(QWidget *widget, std::string_view name)
{
    const QString objectName = toQString(name);
    widget->setObjectName(objectName);
    m_controls.insert(objectName, widget);
}

QWidget *MainWindow::control(std::string_view name) const
{
    if (name == "Form1")
        return const_cast<MainWindow *>(this);
    return m_controls.value(toQString(name));
}

void MainWindow::buildFrames()
{
    for (const layout::FramePlacement &frame : layout::frames) {
        QWidget *parent = frame.page == layout::onWindow ? this : m_tabs->page(frame.page);
        auto *box = new ClassicFrame(toQString(frame.caption), parent);
        addControl(box, frame.name);
        box->setGeometry(toPixels(frame.rect));
    }
    m_preview = new PreviewEdit(control(layout::preview.container));
    addControl(m_preview, layout::preview.name);
    m_preview->setGeometry(toPixels(layout::preview.rect));
    m_preview->setFont(previewFont());
    m_preview->setTabChangesFocus(true);
    // The banner as Clear writes it, without a line break after it; as the
    // first text, it is not a step the user can undo.
    m_preview->setPlainText(editorTextFromDocument(bannerText()));
}

void MainWindow::buildFields()
{
    for (const layout::FieldPlacement &row : layout::fieldPlacements) {
        const FieldDefinition &definition = *findField(row.field);
        QWidget *frame = control(row.frame);

        auto *label = new QLabel(toQString(definition.caption), frame);
        addControl(label, definition.labelName);
        label->setGeometry(toPixels({row.labelLeft, row.top, row.labelWidth, row.labelHeight}));

        QWidget *field = nullptr;
        if (definition.kind == FieldKind::ComboBox) {
            auto *combo = new QComboBox(frame);
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
            field = combo;
        } else {
            auto *edit = new QLineEdit(toQString(definition.defaultText), frame);
            edit->setValidator(new SingleLineValidator(edit));
            edit->setMaxLength(std::numeric_limits<int>::max()); // no limit but memory
            edit->setCursorPosition(0);
            field = edit;
        }
        const int height = definition.kind == FieldKind::ComboBox ? layout::comboBoxHeight
                                                                  : layout::textBoxHeight;
        alignCaptionWithField(label, height);
        addControl(field, definition.name);
        field->setGeometry(toPixels({row.fieldLeft, row.top, row.fieldWidth, height}));
        field->setEnabled(enabledAtStart(definition));
        field->setAccessibleName(label->text());
        label->setBuddy(field);
    }
}

void MainWindow::buildButtons()
{
    for (const layout::ControlPlacement &placement : layout::buttonPlacements) {
        const ButtonDefinition &definition = *findButton(placement.name);
        auto *button = new QPushButton(toQString(definition.caption), control(placement.container));
        addControl(button, definition.name);
        button->setGeometry(toPixels(placement.rect));
        button->setEnabled(definition.enabledAtStart);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, &definition] { press(definition); });
    }
}

void MainWindow::buildDecorations()
{
    for (const layout::NoteLabel &note : layout::noteLabels) {
        auto *label = new QLabel(toQString(note.caption), control(note.placement.container));
        addControl(label, note.placement.name);
        label->setGeometry(toPixels(note.placement.rect));
        alignCaptionWithField(label, layout::comboBoxHeight); // each explains a combo box
    }
    auto *signature = new QLabel(toQString(layout::signature.caption), this);
    addControl(signature, layout::signature.placement.name);
    signature->setGeometry(toPixels(layout::signature.placement.rect));
    signature->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    signature->setEnabled(false);

    auto *picture = new PictureBox(this);
    addControl(picture, layout::picture.name);
    picture->setGeometry(toPixels(layout::picture.rect));
    // Scaled screens get the render twice as large, so the picture stays sharp.
    const bool scaled = devicePixelRatio() > 1;
    QPixmap banner(scaled ? QStringLiteral(":/images/fennick-banner@2x.png")
                          : QStringLiteral(":/images/fennick-banner.png"));
    banner.setDevicePixelRatio(scaled ? 2 : 1);
    picture->setPixmap(banner);
    picture->setFocusPolicy(Qt::TabFocus);
    picture->setAccessibleName(toQString(applicationName));

    for (const layout::SeparatorLine &line : layout::separatorLines) {
        auto *separator = new QFrame(control(line.container));
        separator->setFrameShape(QFrame::HLine);
        // Etched, like the frames' own border.
        separator->setFrameShadow(QFrame::Sunken);
        addControl(separator, line.name);
        const QRect r = toPixels({0, line.y, layout::separatorLength, 0});
        separator->setGeometry(r.left(), r.top(), r.width(), 2);
    }
    m_tabs->raise(); // covers the two lines on the window's top edge
}

void MainWindow::setTabOrderFromIndexes()
{
    std::vector<std::pair<int, std::string_view>> order;
    for (const layout::FieldPlacement &row : layout::fieldPlacements)
        order.emplace_back(row.tabIndex, row.field);
    for (const layout::ControlPlacement &placement : layout::buttonPlacements)
        order.emplace_back(placement.tabIndex, placement.name);
    for (const layout::ControlPlacement *placement : {&layout::tabControl, &layout::preview, &layout::picture})
        order.emplace_back(placement->tabIndex, placement->name);
    std::ranges::sort(order);
    // The tab control takes the focus on its strip of tabs.
    const auto focusTarget = [this](std::string_view name) -> QWidget * {
        QWidget *widget = control(name);
        return widget == m_tabs ? m_tabs->tabStrip() : widget;
    };
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(focusTarget(order[i - 1].second), focusTarget(order[i].second));
}

QString MainWindow::fieldText(std::string_view field) const
{
    QWidget *widget = control(field);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    return static_cast<QLineEdit *>(widget)->text();
}

void MainWindow::press(const ButtonDefinition &button)
{
    switch (button.effect) {
    case DocumentEffect::Append:
        m_preview->appendToDocument(
            buildPiece(*button.piece, [this](std::string_view field) { return fieldText(field); }));
        break;
    case DocumentEffect::Clear:
        m_preview->replaceDocument(bannerText());
        break;
    case DocumentEffect::Save:
        save();
        break;
    case DocumentEffect::None:
        break;
    }
    QWidget *pressed = control(button.name);
    const bool pressedHadFocus = pressed->hasFocus();
    applyButtonFlags(button, [this](const QString &name, bool enabled) {
        m_controls.value(name)->setEnabled(enabled);
    });
    if (pressedHadFocus && !pressed->isEnabled())
        handOverFocus(button);
}

// A button that ends its step disables itself, and Qt would pass its focus
// down the chain to whatever is enabled next, often the picture or Clear.
// Instead the focus goes to the top field of the step just opened when it
// stands on the page in front (not to a button, where a second key press
// would end that step unseen), and otherwise to the tabs, from where the
// user opens the next page.
void MainWindow::handOverFocus(const ButtonDefinition &button)
{
    const QStringList opened = expandControlList(button.enables);
    for (const FieldDefinition &field : fieldCatalogue) {
        QWidget *widget = control(field.name);
        if (opened.contains(widget->objectName()) && widget->isEnabled() && widget->isVisible()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    m_tabs->tabStrip()->setFocus(Qt::TabFocusReason);
}

void MainWindow::save()
{
    const QString path = configFilePath();
    const SaveResult result = saveConfigFileBytes(m_preview->fileBytes(), path);
    if (result.saved)
        m_presenter(this, {UserMessage::Kind::Information, savedMessage(path)});
    else
        m_presenter(this, {UserMessage::Kind::Warning, notSavedMessage(path, result.reason)});
}

} // namespace fennick
