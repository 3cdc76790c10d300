// The order in which the Tab key walks the wizard's controls. The tabled
// indexes say where each step stands among the other controls (the tabs, the
// preview, the picture, Clear and Save), but inside a step they are a
// leftover of how the form was drawn: bottom-up in some steps, the button
// before the fields in others. A keyboard user would reach Continue before
// the fields it closes for good, so inside each step the order is the order
// of reading: fields top to bottom and left to right, then the buttons.
#pragma once

#include "ui/layouttables.h"
#include "wizard/stepmachine.h"

#include <algorithm>
#include <array>
#include <vector>

namespace fennick::layout {

namespace detail {

// A wizard control with where it stands on its page and its tabled index.
struct Stop {
    Control control;
    Step step;
    bool isButton;
    int top; // on the page: the frame's top and the control's own
    int left;
    int tabledIndex;
};

[[nodiscard]] constexpr int frameTop(std::string_view name)
{
    for (const FramePlacement &frame : frames)
        if (frame.name == name)
            return frame.rect.top;
    return 0;
}

[[nodiscard]] constexpr std::vector<Stop> stepStops()
{
    std::vector<Stop> stops;
    for (const FieldPlacement &row : fieldPlacements)
        stops.push_back({row.field, *stepOf(row.field), false, frameTop(row.frame) + row.top,
                         row.fieldLeft, row.tabIndex});
    for (const ButtonPlacement &row : buttonPlacements)
        if (const auto step = stepOf(row.button))
            stops.push_back({row.button, *step, true, frameTop(row.frame) + row.rect.top,
                             row.rect.left, row.tabIndex});
    return stops;
}

// Each step keeps the set of tab indexes the table gives its controls, and
// hands them out in reading order: so steps, and everything between them,
// stay where the table puts them.
[[nodiscard]] constexpr std::array<int, controlCount> readingOrderIndexes()
{
    std::array<int, controlCount> result{};
    std::vector<Stop> stops = stepStops();
    for (int step = 0; step <= int(Step::Vehicle); ++step) {
        std::vector<Stop> ofStep;
        std::vector<int> indexes;
        for (const Stop &stop : stops) {
            if (int(stop.step) == step) {
                ofStep.push_back(stop);
                indexes.push_back(stop.tabledIndex);
            }
        }
        std::ranges::sort(indexes);
        std::ranges::sort(ofStep, [](const Stop &a, const Stop &b) {
            if (a.isButton != b.isButton)
                return !a.isButton;
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
        for (std::size_t i = 0; i < ofStep.size(); ++i)
            result[std::size_t(indexOf(ofStep[i].control))] = indexes[i];
    }
    for (const ButtonPlacement &row : buttonPlacements) // Clear and Save, as tabled
        if (!stepOf(row.button))
            result[std::size_t(indexOf(row.button))] = row.tabIndex;
    return result;
}

} // namespace detail

// The tab index by which each wizard control takes its turn.
inline constexpr std::array<int, controlCount> focusIndexes = detail::readingOrderIndexes();

[[nodiscard]] constexpr int focusIndex(Control control)
{
    return focusIndexes[std::size_t(indexOf(control))];
}

// Inside each step, every field comes before every button, and a field
// below or to the right of another comes after it.
static_assert([] {
    const std::vector<detail::Stop> stops = detail::stepStops();
    for (const detail::Stop &a : stops)
        for (const detail::Stop &b : stops) {
            if (a.step != b.step)
                continue;
            const bool before = (!a.isButton && b.isButton)
                             || (a.isButton == b.isButton
                                 && (a.top < b.top || (a.top == b.top && a.left < b.left)));
            if (before && focusIndex(a.control) >= focusIndex(b.control))
                return false;
        }
    return true;
}());

} // namespace fennick::layout
