#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ports/error_code.h"

namespace foxbane::sim {

// A Windows path reduced to what it names: a drive and the names below it.
struct SimPath {
  char drive = 'C';                // upper case
  std::vector<std::string> names;  // folders, then the last name; none for the drive root
  bool trailingSeparator = false;  // written with a final "\", so it must name a folder
};

// Resolves `text` as the Windows path functions do, without touching any
// file system: "/" also separates, empty names and "." are skipped, ".."
// goes up (never above the root), dots and spaces at the end of the last name
// are dropped, and a path without a drive is taken from C:\, the sim's
// current folder. Fails with 3 for an empty or network path and with 123 for
// a name holding a character Windows forbids (wildcards included).
ErrorCode ParseSimPath(std::string_view text, SimPath& path);

}  // namespace foxbane::sim
