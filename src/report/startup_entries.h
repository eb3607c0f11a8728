#pragma once

#include <string_view>

namespace foxbane {

// The startup values examined under each root.
inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// A SID as the system writes it ("S-1-5-21-..."): nothing in it could lead
// a key path below HKEY_USERS anywhere but to that user's hive.
constexpr bool IsStringSid(std::string_view sid) {
  return sid.size() > 4 && sid.starts_with("S-1-") &&
         sid.find_first_not_of("0123456789-", 4) == std::string_view::npos;
}

}  // namespace foxbane
