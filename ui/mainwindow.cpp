#include "ui/mainwindow.h"

#include "document/banner.h"
#include "document/configfile.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "ui/layouttables.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>

namespace fennick {
namespace {

constexpr int twipsPerPixel = 15;

// Rounds each edge, so that neighbours that touch in twips touch in pixels.
[[nodiscard]] QRect toPixels(const layout::TwipRect &r)
{
    const auto px = [](int twips) { return qRound(double(twips) / twipsPerPixel); };
    const int left = px(r.left);
    const int top = px(r.top);
    return {left, top, px(r.left + r.width) - left, px(r.top + r.height) - top};
}

[[nodiscard]] QFont previewFont()
{
    QFont font(QStringLiteral("Lucida Console"));
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::Monospace);
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fallback.setPointSizeF(8.25);
    return fallback;
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
    setFixedSize(toPixels({0, 0, layout::windowWidth, layout::windowHeight}).size());

    addControl(m_tabs, layout::tabControl.name, layout::tabControl.tabIndex);
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

        QWidget *field = nullptr;
        if (spec.kind == FieldKind::ComboBox) {
            auto *combo = new QComboBox(frame);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert); // the lists are fixed
            for (std::string_view item : spec.items)
                if (!item.empty())
                    combo->addItem(toQString(item), 0);
            combo->setEditText(toQString(spec.defaultText));
            field = combo;
        } else {
            auto *edit = new QLineEdit(toQString(spec.defaultText), frame);
            edit->setCursorPosition(0);
            field = edit;
        }
        const int height = spec.kind == FieldKind::ComboBox ? layout::comboBoxHeight
                                                            : layout::textBoxHeight;
        addControl(field, spec.name, row.tabIndex);
        field->setGeometry(toPixels({row.fieldLeft, row.top, row.fieldWidth, height}));
        field->setEnabled(enabledAtStart(spec));
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

    auto *picture = new QLabel(this);
    addControl(picture, layout::picture.name);
    picture->setGeometry(toPixels(layout::picture.rect));

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
        return widget == m_tabs ? m_tabs->tabBar() : widget;
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
    const SaveResult result = saveConfigFile(m_preview->documentText(), path);
    if (result.saved)
        m_presenter(this, {UserMessage::Kind::Information, savedMessage(path)});
    else
        m_presenter(this, {UserMessage::Kind::Warning, notSavedMessage(path, result.reason)});
}

} // namespace fennick
