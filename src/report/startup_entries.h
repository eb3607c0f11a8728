#pragma once

#include <string_view>

namespace foxbane {

// The startup values examined under each root.
inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace foxbane
