// Who makes Fennick and where users find updates. The address appears in the
// banner, in the default server name and in the window caption.
#pragma once

#include <string_view>

namespace fennick {

inline constexpr std::string_view applicationName = "Fennick";
inline constexpr std::string_view makerAddress = "fennick.example.org";

} // namespace fennick
