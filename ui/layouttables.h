// Where every control of the main window stands. Positions and sizes are in
// twips (15 to a pixel at 96 dpi), relative to the control's container: the
// window, a frame, or the tab control (whose pages start at the top of its
// tab strip).
#pragma once

#include "wizard/controls.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace fennick::layout {

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int windowWidth = 12150;
inline constexpr int windowHeight = 10005;

inline constexpr int labelHeight = 255;
inline constexpr int textBoxHeight = 285;
inline constexpr int comboBoxHeight = 315;
inline constexpr int stepButtonHeight = 255;
inline constexpr int separatorLength = 5520;

// The tab control's pages, tab 0 to tab 4.
inline constexpr std::array<std::string_view, 5> pageCaptions{
    "1. General", "2. Ammunations", "3. Others", "4. Classes / Pickups", "5. Vehicles"};
inline constexpr int pageInFrontAtStart = 4;
inline constexpr int tabsPerRow = 3;
inline constexpr int tabRowHeight = 295;

inline constexpr int onWindow = -1; // a frame that stands on the window, not on a page

struct FramePlacement {
    std::string_view name;
    std::string_view caption;
    int page; // index into pageCaptions, or onWindow
    TwipRect rect;
};

inline constexpr std::array<FramePlacement, 11> frames{{
    {"Frame1", "Step 1", 0, {120, 660, 5535, 1695}},
    {"Frame2", "Step 2", 0, {120, 2340, 5535, 2055}},
    {"Frame3", "Step 3", 0, {120, 4380, 5535, 1695}},
    {"Frame4", "Step4", 0, {120, 6060, 5535, 1815}},
    {"Frame6", "General", 1, {120, 660, 5535, 5415}},
    {"Frame7", "Weapons", 1, {120, 6060, 5535, 3495}},
    {"Frame8", "Others", 2, {120, 600, 5535, 6975}},
    {"Frame9", "Class", 3, {120, 720, 5535, 3735}},
    {"Frame10", "Pickups", 3, {120, 4440, 5535, 1695}},
    {"Frame11", "Vehicles", 4, {120, 720, 5415, 2895}},
    {"Frame5", "Your config", onWindow, {6000, 0, 6135, 7335}},
}};

// One row per field: its label at labelLeft, the field at fieldLeft, both at
// the row's top. The field's height follows from its kind; its label and
// caption are in the field catalogue.
struct FieldPlacement {
    Control field;
    std::string_view frame;
    int top;
    int labelLeft;
    int labelWidth;
    int labelHeight;
    int fieldLeft;
    int fieldWidth;
    int tabIndex;

    [[nodiscard]] constexpr TwipRect labelRect() const
    {
        return {labelLeft, top, labelWidth, labelHeight};
    }
    [[nodiscard]] constexpr int fieldHeight() const
    {
        return isComboBox(field) ? comboBoxHeight : textBoxHeight;
    }
    [[nodiscard]] constexpr TwipRect fieldRect() const
    {
        return {fieldLeft, top, fieldWidth, fieldHeight()};
    }
};

struct ButtonPlacement {
    Control button;
    std::string_view frame;
    TwipRect rect;
    int tabIndex;
};

namespace detail {
using enum Control;

inline constexpr std::array<FieldPlacement, 78> fieldPlacements{{
    {Text1, "Frame1", 240, 120, 975, labelHeight, 1560, 1095, 27},
    {Text2, "Frame1", 600, 120, 855, labelHeight, 1560, 1095, 26},
    {Text3, "Frame1", 960, 120, 975, labelHeight, 1560, 3855, 25},
    {Combo1, "Frame1", 1320, 120, 375, labelHeight, 1560, 1215, 24},

    {Combo2, "Frame2", 240, 120, 1215, labelHeight, 1560, 1215, 35},
    {Text4, "Frame2", 600, 120, 735, labelHeight, 1560, 3855, 36},
    {Text5, "Frame2", 960, 120, 1215, 375, 1560, 3855, 37},
    {Text6, "Frame2", 1320, 120, 855, labelHeight, 1560, 1095, 38},
    {Text7, "Frame2", 1680, 120, 1335, labelHeight, 1560, 1095, 39},

    {Combo3, "Frame3", 240, 120, 855, labelHeight, 1560, 1215, 18},
    {Text8, "Frame3", 600, 120, 1095, labelHeight, 1560, 3855, 17},
    {Text9, "Frame3", 960, 120, 1095, labelHeight, 1560, 3855, 16},
    {Text10, "Frame3", 1320, 120, 375, labelHeight, 1560, 1215, 15},

    {Text11, "Frame4", 240, 120, 1215, labelHeight, 1560, 1215, 8},
    {Text12, "Frame4", 600, 120, 975, labelHeight, 1560, 495, 7},
    {Text13, "Frame4", 960, 120, 1095, labelHeight, 1560, 495, 6},
    {Text14, "Frame4", 1320, 120, 855, labelHeight, 1560, 495, 5},

    {Text15, "Frame6", 240, 120, 1215, labelHeight, 1440, 1695, 51},
    {Text16, "Frame6", 720, 120, 615, labelHeight, 1440, 1695, 52},
    {Text17, "Frame6", 1080, 120, 615, labelHeight, 1440, 1695, 53},
    {Text18, "Frame6", 1440, 120, 615, labelHeight, 1440, 1695, 54},
    {Text19, "Frame6", 1920, 120, 1335, labelHeight, 1440, 1695, 56},
    {Text20, "Frame6", 2280, 120, 1215, labelHeight, 1440, 1695, 60},
    {Text21, "Frame6", 2640, 120, 1215, labelHeight, 1440, 1695, 59},
    {Text22, "Frame6", 3120, 120, 1215, labelHeight, 1440, 1695, 64},
    {Text23, "Frame6", 3480, 120, 1215, labelHeight, 1440, 1695, 65},
    {Text24, "Frame6", 3840, 120, 1215, labelHeight, 1440, 1695, 66},
    {Text25, "Frame6", 4320, 120, 1215, labelHeight, 1440, 1695, 73},
    {Text26, "Frame6", 4680, 120, 1215, labelHeight, 1440, 1695, 74},
    {Text27, "Frame6", 5040, 120, 1215, labelHeight, 1440, 1695, 75},

    {Text28, "Frame7", 240, 120, 1215, labelHeight, 1440, 1695, 69},
    {Text29, "Frame7", 600, 120, 1335, labelHeight, 1440, 1695, 77},
    {Text30, "Frame7", 1080, 120, 975, labelHeight, 1440, 1695, 84},
    {Text31, "Frame7", 1440, 120, 1335, labelHeight, 1440, 1695, 85},
    {Text32, "Frame7", 1920, 120, 975, labelHeight, 1440, 1695, 86},
    {Text33, "Frame7", 2280, 120, 1335, labelHeight, 1440, 1695, 88},
    {Text34, "Frame7", 2760, 120, 975, labelHeight, 1440, 1695, 87},
    {Text35, "Frame7", 3120, 120, 1335, labelHeight, 1440, 1695, 89},

    {Text36, "Frame8", 240, 120, 975, labelHeight, 1680, 2655, 93},
    {Text37, "Frame8", 600, 120, 1575, labelHeight, 1680, 1215, 94},
    {Combo4, "Frame8", 960, 120, 1215, labelHeight, 1680, 495, 96},
    {Text38, "Frame8", 1440, 120, 1095, labelHeight, 1680, 1695, 101},
    {Text39, "Frame8", 1800, 120, 1095, labelHeight, 1680, 1695, 102},
    {Text40, "Frame8", 2160, 120, 1095, labelHeight, 1680, 1695, 103},
    {Text41, "Frame8", 2640, 120, 975, labelHeight, 1680, 1695, 107},
    {Text42, "Frame8", 3000, 120, 975, labelHeight, 1680, 1695, 108},
    {Text43, "Frame8", 3360, 120, 975, labelHeight, 1680, 1695, 109},
    {Text44, "Frame8", 3840, 120, 975, labelHeight, 1680, 1695, 113},
    {Text45, "Frame8", 4200, 120, 975, labelHeight, 1680, 1695, 114},
    {Text46, "Frame8", 4560, 120, 975, labelHeight, 1680, 1695, 115},
    {Text47, "Frame8", 5040, 120, 1335, labelHeight, 1680, 1695, 121},
    {Text48, "Frame8", 5400, 120, 1335, labelHeight, 1680, 1695, 122},
    {Text49, "Frame8", 5760, 120, 1335, labelHeight, 1680, 1695, 123},
    {Text50, "Frame8", 6120, 120, 1335, labelHeight, 1680, 1695, 124},
    {Text51, "Frame8", 6600, 120, 1335, labelHeight, 1680, 1695, 126},

    {Text52, "Frame9", 240, 120, 495, labelHeight, 1800, 1215, 134},
    {Text53, "Frame9", 600, 120, 735, labelHeight, 1800, 1215, 133},
    {Text54, "Frame9", 1080, 120, 735, labelHeight, 1800, 2295, 135},
    {Text55, "Frame9", 1440, 120, 735, labelHeight, 1800, 2295, 136},
    {Text56, "Frame9", 1800, 120, 735, labelHeight, 1800, 2295, 137},
    {Text57, "Frame9", 2160, 120, 615, labelHeight, 1800, 2295, 139},
    {Text58, "Frame9", 2640, 120, 1215, labelHeight, 1440, 975, 146},
    {Text59, "Frame9", 2640, 2640, 1455, labelHeight, 4080, 1335, 147},
    {Text60, "Frame9", 3000, 120, 1215, labelHeight, 1440, 975, 148},
    {Text61, "Frame9", 3000, 2640, 1575, labelHeight, 4080, 1335, 149},
    {Text62, "Frame9", 3360, 120, 1215, labelHeight, 1440, 975, 150},
    {Text63, "Frame9", 3360, 2640, 1575, labelHeight, 4080, 1335, 151},

    {Text64, "Frame10", 240, 120, 855, labelHeight, 1320, 1575, 158},
    {Text65, "Frame10", 600, 120, 735, labelHeight, 1320, 1575, 159},
    {Text66, "Frame10", 960, 120, 735, labelHeight, 1320, 1575, 160},
    {Text67, "Frame10", 1320, 120, 735, labelHeight, 1320, 1575, 161},

    {Text68, "Frame11", 240, 120, 735, labelHeight, 1200, 1215, 173},
    {Text69, "Frame11", 600, 120, 735, labelHeight, 1200, 2055, 174},
    {Text70, "Frame11", 960, 120, 735, labelHeight, 1200, 2055, 175},
    {Text71, "Frame11", 1320, 120, 735, labelHeight, 1200, 2055, 176},
    {Text72, "Frame11", 1680, 120, 615, labelHeight, 1200, 2055, 177},
    {Text73, "Frame11", 2040, 120, 615, labelHeight, 1200, 975, 178},
    {Text74, "Frame11", 2400, 120, 615, labelHeight, 1200, 975, 179},
}};

inline constexpr std::array<ButtonPlacement, 14> buttonPlacements{{
    {Command2, "Frame1", {4200, 1320, 1215, stepButtonHeight}, 28},
    {Command3, "Frame2", {4200, 1680, 1215, stepButtonHeight}, 40},
    {Command4, "Frame3", {4200, 1320, 1215, stepButtonHeight}, 14},
    {Command5, "Frame4", {4200, 1440, 1215, stepButtonHeight}, 4},
    {Command6, "Frame7", {3480, 2760, 1935, stepButtonHeight}, 181},
    {Command13, "Frame7", {3480, 3120, 1935, stepButtonHeight}, 182},
    {Command7, "Frame8", {4080, 6600, 1215, stepButtonHeight}, 116},
    {Command8, "Frame9", {4200, 240, 1215, stepButtonHeight}, 152},
    {Command10, "Frame9", {4200, 600, 1215, stepButtonHeight}, 163},
    {Command9, "Frame10", {4200, 960, 1215, stepButtonHeight}, 162},
    {Command11, "Frame10", {4200, 1320, 1215, stepButtonHeight}, 164},
    {Command12, "Frame11", {3960, 2520, 1215, stepButtonHeight}, 180},
    {Command1, "Frame5", {120, 6840, 1215, 375}, 185},
    {Command14, "Frame5", {1440, 6840, 1215, 375}, 186},
}};
} // namespace detail

using detail::buttonPlacements;
using detail::fieldPlacements;

// The controls that are not the wizard's. A tab index of 0 means the control
// takes no keyboard focus.
struct ControlPlacement {
    std::string_view name;
    std::string_view container; // a frame, or "Form1" for the window itself
    TwipRect rect;
    int tabIndex;
};

inline constexpr ControlPlacement tabControl{"SSTab1", "Form1", {0, 0, 5925, 9975}, 2};
inline constexpr ControlPlacement preview{"RichTextBox1", "Frame5", {120, 240, 5895, 6495}, 1};
inline constexpr ControlPlacement picture{"Picture1", "Form1", {6360, 7560, 5475, 1740}, 183};

// Labels that explain a combo box's codes, and the signature line.
struct NoteLabel {
    ControlPlacement placement;
    std::string_view caption;
};

inline constexpr std::array<NoteLabel, 2> noteLabels{{
    {{"Label18", "Frame1", {2880, 1320, 1095, labelHeight}, 0}, "1 = VC; 2 = LC"},
    {{"Label43", "Frame8", {2280, 960, 2175, labelHeight}, 0}, "0 = False; 1 = True; 2 = Team"},
}};

// Bottom right corner, under the picture; always greyed.
inline constexpr NoteLabel signature{{"Label81", "Form1", {6360, 9600, 5670, labelHeight}, 0},
                                     "Made with Fennick, free for every server"};

// Horizontal separators, each from x 0 to separatorLength at y.
struct SeparatorLine {
    std::string_view name;
    std::string_view container;
    int y;
};

// Rows laid out by hand:
// clang-format off
inline constexpr std::array<SeparatorLine, 16> separatorLines{{
    {"Line3", "Frame6", 600},   {"Line2", "Frame6", 1800},  {"Line4", "Frame6", 3000},
    {"Line1", "Frame6", 4200},  {"Line6", "Frame7", 960},   {"Line8", "Frame7", 1800},
    {"Line9", "Frame7", 2640},  {"Line10", "Frame8", 1320}, {"Line11", "Frame8", 2520},
    {"Line12", "Frame8", 3720}, {"Line13", "Frame8", 4920}, {"Line14", "Frame8", 6480},
    {"Line15", "Frame9", 960},  {"Line16", "Frame9", 2520},
    // Under the tab control, which covers them.
    {"Line5", "Form1", 0},      {"Line7", "Form1", 0},
}};
// clang-format on

// Every field and every button stands in exactly one place, in a frame of
// the table above.
static_assert(oneRowPerControl(fieldPlacements, &FieldPlacement::field, isField)
              && oneRowPerControl(buttonPlacements, &ButtonPlacement::button, isButton));
static_assert([] {
    const auto isFrame = [](std::string_view name) {
        return std::ranges::any_of(
            frames, [name](const FramePlacement &frame) { return frame.name == name; });
    };
    return std::ranges::all_of(fieldPlacements, [&](const auto &row) { return isFrame(row.frame); })
        && std::ranges::all_of(buttonPlacements,
                               [&](const auto &row) { return isFrame(row.frame); });
}());

} // namespace fennick::layout
