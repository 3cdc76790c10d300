#include "ui/mainwindow.h"

#include "document/banner.h"
#include "document/configfile.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "ui/captionfit.h"
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
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

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

// The picture takes the keyboard focus in its turn, so it shows where the
// focus is.
class PictureBox : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
};

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

    addControl(m_tabs, layout::tabControl.name, layout::tabControl.tabIndex);
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

void MainWindow::addControl(QWidget *widget, std::string_view name, int tabIndex)
{
    const QString objectName = toQString(name);
    widget->setObjectName(objectName);
    m_controls.insert(objectName, widget);
    if (tabIndex > 0)
        m_tabIndexes.append({tabIndex, widget});
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
        auto *box = new QGroupBox(toQString(frame.caption), parent);
        addControl(box, frame.name);
        box->setGeometry(toPixels(frame.rect));
    }
    m_preview = new PreviewEdit(control(layout::preview.container));
    addControl(m_preview, layout::preview.name, layout::preview.tabIndex);
    m_preview->setGeometry(toPixels(layout::preview.rect));
    m_preview->setFont(previewFont());
    m_preview->setTabChangesFocus(true);
    m_preview->setPlainText(QString(bannerText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void MainWindow::buildFields()
{
    for (const layout::FieldPlacement &row : layout::fieldPlacements) {
        const FieldSpec &spec = *findField(row.field);
        QWidget *frame = control(row.frame);

        auto *label = new QLabel(toQString(spec.caption), frame);
        addControl(label, spec.labelName);
        label->setGeometry(toPixels({row.labelLeft, row.top, row.labelWidth, row.labelHeight}));
        // A taller label keeps its caption on the field's line.
        const int extraHeight = label->height() - toPixels({0, 0, 0, layout::labelHeight}).height();
        label->setContentsMargins(0, 0, 0, extraHeight);

        QWidget *field = nullptr;
        if (spec.kind == FieldKind::ComboBox) {
            auto *combo = new QComboBox(frame);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert); // the lists are fixed
            combo->setValidator(new SingleLineValidator(combo));
            for (std::string_view item : spec.items)
                if (!item.empty())
                    combo->addItem(toQString(item), 0);
            combo->setEditText(toQString(spec.defaultText));
            field = combo;
        } else {
            auto *edit = new QLineEdit(toQString(spec.defaultText), frame);
            edit->setValidator(new SingleLineValidator(edit));
            edit->setCursorPosition(0);
            field = edit;
        }
        const int height = spec.kind == FieldKind::ComboBox ? layout::comboBoxHeight
                                                            : layout::textBoxHeight;
        addControl(field, spec.name, row.tabIndex);
        field->setGeometry(toPixels({row.fieldLeft, row.top, row.fieldWidth, height}));
        field->setEnabled(enabledAtStart(spec));
        field->setAccessibleName(label->text());
        label->setBuddy(field);
    }
}

void MainWindow::buildButtons()
{
    for (const layout::ControlPlacement &placement : layout::buttonPlacements) {
        const ButtonSpec &spec = *findButton(placement.name);
        auto *button = new QPushButton(toQString(spec.caption), control(placement.container));
        addControl(button, spec.name, placement.tabIndex);
        button->setGeometry(toPixels(placement.rect));
        button->setEnabled(spec.enabledAtStart);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, &spec] { press(spec); });
    }
}

void MainWindow::buildDecorations()
{
    for (const layout::NoteLabel &note : layout::noteLabels) {
        auto *label = new QLabel(toQString(note.caption), control(note.placement.container));
        addControl(label, note.placement.name);
        label->setGeometry(toPixels(note.placement.rect));
    }
    auto *signature = new QLabel(toQString(layout::signature.caption), this);
    addControl(signature, layout::signature.placement.name);
    signature->setGeometry(toPixels(layout::signature.placement.rect));
    signature->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    signature->setEnabled(false);

    auto *picture = new PictureBox(this);
    addControl(picture, layout::picture.name, layout::picture.tabIndex);
    picture->setGeometry(toPixels(layout::picture.rect));
    picture->setPixmap(QPixmap(QStringLiteral(":/images/fennick-banner.png")));
    picture->setFocusPolicy(Qt::TabFocus);
    picture->setAccessibleName(toQString(applicationName));

    for (const layout::SeparatorLine &line : layout::separatorLines) {
        auto *separator = new QFrame(control(line.container));
        separator->setFrameShape(QFrame::HLine);
        separator->setFrameShadow(QFrame::Sunken);
        addControl(separator, line.name);
        const QRect r = toPixels({0, line.y, layout::separatorLength, 0});
        separator->setGeometry(r.left(), r.top(), r.width(), 2);
    }
    m_tabs->raise(); // covers the two lines on the window's top edge
}

void MainWindow::setTabOrderFromIndexes()
{
    std::stable_sort(m_tabIndexes.begin(), m_tabIndexes.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    const auto focusTarget = [this](QWidget *widget) -> QWidget * {
        return widget == m_tabs ? static_cast<QWidget *>(m_tabs->tabStrip()) : widget;
    };
    for (qsizetype i = 1; i < m_tabIndexes.size(); ++i)
        setTabOrder(focusTarget(m_tabIndexes[i - 1].second), focusTarget(m_tabIndexes[i].second));
}

QString MainWindow::fieldText(std::string_view field) const
{
    QWidget *widget = control(field);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    return static_cast<QLineEdit *>(widget)->text();
}

void MainWindow::press(const ButtonSpec &button)
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
    applyButtonFlags(button, [this](const QString &name, bool enabled) {
        m_controls.value(name)->setEnabled(enabled);
    });
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
