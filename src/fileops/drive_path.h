#pragma once

#include <string>
#include <string_view>

namespace foxbane {

// True for a full path on a drive letter ("C:\..."). UNC paths, device and
// "\\?\" paths, and relative ones are not: opening them may log on to a
// server, connect to a pipe, or reach whatever folder happens to be current.
constexpr bool IsDriveLetterPath(std::string_view path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// A local "\\?\C:\..." path in its plain form "C:\...", when both name the
// same file; any other path as it is. The prefix turns off the system's
// tidying of a path, so a step that is empty, "." or "..", holds a "/", ends
// in a dot or a space, or is a device name (CON, NUL.txt...) would name
// something else without it: such a path keeps its prefix, and with it
// stays refused like UNC and device paths.
std::string PlainLocalPath(std::string_view path);

}  // namespace foxbane
