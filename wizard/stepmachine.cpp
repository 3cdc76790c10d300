// What the compiler checks of the button table against the field catalogue:
// a slip in either stops the build rather than a press.
#include "wizard/stepmachine.h"

#include <algorithm>

namespace fennick {
namespace {

// How often each control occurs.
using Counts = std::array<int, controlCount>;

constexpr Counts countsOf(const ControlList &list)
{
    Counts counts{};
    list.forEach([&](Control control) { ++counts[std::size_t(indexOf(control))]; });
    return counts;
}

constexpr Counts controlsOf(Step step)
{
    Counts counts{};
    for (int i = 0; i < controlCount; ++i)
        counts[std::size_t(i)] = stepOf(Control(i)) == step ? 1 : 0;
    return counts;
}

constexpr Counts operator+(Counts a, const Counts &b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] += b[i];
    return a;
}

// Each range runs forward within one family: no "Text35-Text15", no "Text70-Combo2".
constexpr bool rangesRunForward(const ControlList &list)
{
    for (const ControlRange &r : list)
        if (r.first > r.last || familyOf(r.first).first != familyOf(r.last).first)
            return false;
    return true;
}

static_assert(std::ranges::all_of(buttonTable, [](const ButtonDefinition &b) {
    return rangesRunForward(b.enablesFirst) && rangesRunForward(b.disables)
        && rangesRunForward(b.enables);
}));

// A button that ends a step disables exactly that step's fields and buttons;
// it and the next step's repeat button together enable exactly the next
// step's (the Class step's Continue waits for its first "Add Class").
constexpr bool endsItsStep(const ButtonDefinition &ending)
{
    if (!ending.step || *ending.step == Step::Vehicle)
        return false;
    const Step next = Step(int(*ending.step) + 1);
    Counts opened = countsOf(ending.enables);
    for (const ButtonDefinition &b : buttonTable)
        if (b.role == ButtonRole::RepeatsStep && b.step == next)
            opened = opened + countsOf(b.enables);
    return countsOf(ending.disables) == controlsOf(*ending.step) && opened == controlsOf(next);
}

// A repeat button disables nothing and enables only controls of its own step.
constexpr bool repeatsItsStep(const ButtonDefinition &repeat)
{
    bool ownStep = true;
    repeat.enables.forEach(
        [&](Control control) { ownStep = ownStep && stepOf(control) == repeat.step; });
    return repeat.step && ownStep && countsOf(repeat.disables) == Counts{};
}

static_assert(std::ranges::all_of(buttonTable, [](const ButtonDefinition &b) {
    bool firstOnlyStepless = true; // Save, enabled before the Class step closes
    b.enablesFirst.forEach([&](Control control) {
        firstOnlyStepless = firstOnlyStepless && isButton(control) && !stepOf(control);
    });
    switch (b.role) {
    case ButtonRole::EndsStep:
        return firstOnlyStepless && endsItsStep(b);
    case ButtonRole::RepeatsStep:
        return firstOnlyStepless && repeatsItsStep(b) && b.piece.has_value();
    case ButtonRole::ClearsDocument:
    case ButtonRole::SavesDocument:
        return !b.step && !b.piece && countsOf(b.enablesFirst) == Counts{}
            && countsOf(b.disables) == Counts{} && countsOf(b.enables) == Counts{};
    }
    return false;
}));

// Every placeholder in the pieces names a field of the wizard.
static_assert(std::ranges::all_of(pieceTemplates, [](const auto &entry) {
    bool namesFields = true;
    walkTemplate(
        entry.second, [](std::string_view) {},
        [&](std::string_view name) {
            const auto control = controlNamed(name);
            namesFields = namesFields && control && isField(*control);
        });
    return namesFields;
}));

// And every field is read by some piece: one that none names would take the
// user's typing and drop it.
static_assert([] {
    Counts named{};
    for (const auto &entry : pieceTemplates)
        walkTemplate(
            entry.second, [](std::string_view) {},
            [&](std::string_view name) {
                if (const auto control = controlNamed(name))
                    ++named[std::size_t(indexOf(*control))];
            });
    return std::ranges::all_of(fieldCatalogue, [&](const FieldDefinition &field) {
        return named[std::size_t(indexOf(field.id))] > 0;
    });
}());

} // namespace

QString buildPiece(Piece piece, const FieldTextReader &fieldText)
{
    return fillPiece(piece, [&](std::string_view name) { return fieldText(*controlNamed(name)); });
}

} // namespace fennick
