// The keys of the settings Fennick writes, taken from the steps' templates,
// against which the preview checks the lines the user typed or changed.
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

namespace fennick {

class SettingKeys {
public:
    // Every key of every piece; those of the records that a step adds again
    // and again (Class, Vehicle ...) repeat by design.
    SettingKeys();

    [[nodiscard]] bool isKnown(QStringView key) const { return m_repeats.contains(key.toString()); }
    [[nodiscard]] bool repeatsByDesign(QStringView key) const
    {
        return m_repeats.value(key.toString());
    }

    // The known key nearest to key within an edit distance of two, or none.
    [[nodiscard]] QString nearest(QStringView key) const;

private:
    QHash<QString, bool> m_repeats;
};

// How many single letters must be inserted, deleted or replaced to turn a
// into b.
[[nodiscard]] int editDistance(QStringView a, QStringView b);

} // namespace fennick
