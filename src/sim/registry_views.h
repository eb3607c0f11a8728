#pragma once

#include <string_view>
#include <vector>

#include "ports/registry.h"

namespace foxbane::sim {

// Rewrites the names of a path from the predefined root `root` to where
// 64-bit Windows keeps it in the 32-bit view: HKLM\SOFTWARE\X goes to
// SOFTWARE\Wow6432Node\X, HKEY_CLASSES_ROOT\X and HKLM\SOFTWARE\Classes\X
// to ...\Wow6432Node\X, except for the keys both views share (TypeLib and
// AppID, as on Windows 7 and later and under Wine). A path already inside
// Wow6432Node stays where it is.
void RedirectTo32BitView(RegKey root, std::vector<std::string_view>& names);

}  // namespace foxbane::sim
