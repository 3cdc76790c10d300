#include "ui/singlelinefield.h"

#include "document/linebreaks.h"

#include <algorithm>

namespace fennick {

SingleLineValidator::SingleLineValidator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State SingleLineValidator::validate(QString &input, int &pos) const
{
    const qsizetype firstBreak = firstLine(input).size();
    if (firstBreak == input.size())
        return Acceptable;
    // Before this change the text held no line break, so the line breaks came
    // with the inserted text, which ends at the cursor: keep what stands
    // before the first of them and what stands after the cursor. (A line
    // break after the cursor, as in a whole text set at once, ends the text.)
    const qsizetype insertedEnd = std::max<qsizetype>(pos, firstBreak);
    QString kept = input.first(firstBreak);
    kept.append(firstLine(QStringView(input).sliced(insertedEnd)));
    input = kept;
    pos = int(firstBreak);
    return Acceptable;
}

} // namespace fennick
