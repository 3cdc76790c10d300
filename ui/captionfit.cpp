#include "ui/captionfit.h"

#include "document/strings.h"
#include "ui/layouttables.h"
#include "ui/twips.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QFontMetricsF>
#include <QStyle>

#include <vector>

namespace fennick {
namespace {

constexpr qreal smallestPointSize = 6.5;
constexpr qreal pointSizeStep = 0.25;

// A caption and the room its control leaves for it, in pixels.
struct CaptionBox {
    QString text; // empty: only the line height matters
    qreal width;
    qreal height;
};

std::vector<CaptionBox> captionBoxes(const QStyle &style)
{
    std::vector<CaptionBox> boxes;
    const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth);
    const auto label = [&](std::string_view caption, const layout::TwipRect &rect) {
        const QRect r = toPixels(rect);
        boxes.push_back(
            {toQString(caption), qreal(r.width()), qreal(toPixels(layout::labelHeight))});
    };
    for (const layout::FieldPlacement &row : layout::fieldPlacements) {
        label(field(row.field).caption, row.labelRect());
        // QLineEdit keeps one pixel above and below its text.
        boxes.push_back({{}, 0, qreal(toPixels(row.fieldHeight()) - 2 * frame - 2)});
    }
    for (const layout::NoteLabel &note : layout::noteLabels)
        label(note.caption, note.placement.rect);
    label(layout::signature.caption, layout::signature.placement.rect);

    const int buttonMargin = style.pixelMetric(QStyle::PM_ButtonMargin);
    for (const layout::ButtonPlacement &placement : layout::buttonPlacements) {
        const QRect r = toPixels(placement.rect);
        boxes.push_back({toQString(button(placement.button).caption),
                         qreal(r.width() - 2 * (buttonMargin + frame)),
                         qreal(r.height() - 2 * frame)});
    }

    // The narrowest tab of a row, its edges rounded as the strip rounds them.
    const int padding = style.pixelMetric(QStyle::PM_TabBarTabHSpace);
    const qreal stripWidth = toPixels(layout::tabControl.rect).width();
    int narrowestTab = toPixels(layout::tabControl.rect).width();
    for (int column = 0; column < layout::tabsPerRow; ++column)
        narrowestTab
            = std::min(narrowestTab, qRound((column + 1) * stripWidth / layout::tabsPerRow)
                                         - qRound(column * stripWidth / layout::tabsPerRow));
    for (std::string_view caption : layout::pageCaptions)
        boxes.push_back({toQString(caption), qreal(narrowestTab - padding),
                         qreal(layout::tabRowHeight) / twipsPerPixel});
    return boxes;
}

bool allFit(const std::vector<CaptionBox> &boxes, const QFont &font)
{
    const QFontMetricsF metrics(font);
    for (const CaptionBox &box : boxes) {
        if (metrics.height() > box.height)
            return false;
        if (!box.text.isEmpty() && metrics.horizontalAdvance(box.text) > box.width)
            return false;
    }
    return true;
}

} // namespace

QFont fontFittingCaptions(const QFont &base, const QStyle &style)
{
    const std::vector<CaptionBox> boxes = captionBoxes(style);
    QFont font = base;
    qreal size = base.pointSizeF() > 0 ? base.pointSizeF() : 9.0;
    font.setPointSizeF(size);
    while (!allFit(boxes, font) && size - pointSizeStep >= smallestPointSize) {
        size -= pointSizeStep;
        font.setPointSizeF(size);
    }
    return font;
}

} // namespace fennick
