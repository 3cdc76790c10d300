// The lookup every constexpr table of the program is read through: pieces
// by id, fields and buttons by control.
#pragma once

namespace fennick {

// The row of table whose member key equals value. Each table is checked at
// compile time to hold every key it is asked for, so the fallback is never
// reached.
template <typename Table, typename Row = typename Table::value_type, typename Key>
[[nodiscard]] constexpr const Row &rowWith(const Table &table, Key Row::*key, const Key &value)
{
    for (const Row &row : table)
        if (row.*key == value)
            return row;
    return table.front();
}

} // namespace fennick
