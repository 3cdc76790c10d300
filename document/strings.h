#pragma once

#include <QString>

#include <string_view>

namespace fennick {

// The tables hold UTF-8 string_views so that they can be constexpr.
[[nodiscard]] inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace fennick
