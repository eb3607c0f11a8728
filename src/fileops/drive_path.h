#pragma once

#include <string_view>

namespace foxbane {

// True for a full path on a drive letter ("C:\..."). UNC paths, device and
// "\\?\" paths, and relative ones are not: opening them may log on to a
// server, connect to a pipe, or reach whatever folder happens to be current.
constexpr bool IsDriveLetterPath(std::string_view path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace foxbane
