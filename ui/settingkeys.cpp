#include "ui/settingkeys.h"

#include "document/pieces.h"
#include "wizard/stepmachine.h"

#include <QList>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace fennick {

SettingKeys::SettingKeys()
{
    for (const auto &[piece, text] : pieceTemplates) {
        const bool repeats = std::ranges::any_of(buttonTable, [piece](const ButtonDefinition &b) {
            return b.role == ButtonRole::RepeatsStep && b.piece == piece;
        });
        forEachTemplateKey(text, [&](std::string_view key) {
            m_repeats.insert(QString::fromLatin1(key.data(), qsizetype(key.size())), repeats);
        });
    }
}

QString SettingKeys::nearest(QStringView key) const
{
    constexpr int farthest = 2;
    QString best;
    int bestDistance = farthest + 1;
    for (auto it = m_repeats.cbegin(); it != m_repeats.cend(); ++it) {
        // Keys that differ in length by more than the limit cannot be near.
        if (std::abs(it.key().size() - key.size()) > farthest)
            continue;
        const int distance = editDistance(key, it.key());
        if (distance < bestDistance || (distance == bestDistance && it.key() < best)) {
            best = it.key();
            bestDistance = distance;
        }
    }
    return best;
}

int editDistance(QStringView a, QStringView b)
{
    // One row of the classic table at a time.
    QList<int> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j]
                = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace fennick
