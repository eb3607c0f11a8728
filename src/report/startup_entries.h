#pragma once

#include <string_view>

namespace foxbane {

// The startup values examined under each root.
inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The default every presence test reads with: a value that cannot be read,
// or is empty, compares as this and never as a path.
inline constexpr const char* kNoValue = "<none>";

}  // namespace foxbane
