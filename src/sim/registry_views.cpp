#include "sim/registry_views.h"

#include <algorithm>

#include "sim/faults.h"

namespace foxbane::sim {

namespace {

constexpr std::string_view kWow6432Node = "Wow6432Node";
constexpr std::string_view kSharedClasses[] = {kWow6432Node, "TypeLib", "AppID"};

// The classes rule, for the names from `at` on.
void RedirectClasses(std::vector<std::string_view>& names, std::size_t at) {
  if (names.size() <= at) return;
  const bool shared = std::any_of(std::begin(kSharedClasses), std::end(kSharedClasses),
                                  [&](std::string_view key) { return EqualsNoCase(names[at], key); });
  if (!shared) names.insert(names.begin() + static_cast<std::ptrdiff_t>(at), kWow6432Node);
}

}  // namespace

void RedirectTo32BitView(RegKey root, std::vector<std::string_view>& names) {
  if (root == reg_root::kClassesRoot) {
    RedirectClasses(names, 0);
    return;
  }
  if (root != reg_root::kLocalMachine || names.empty() || !EqualsNoCase(names[0], "SOFTWARE")) {
    return;
  }
  if (names.size() > 1 && EqualsNoCase(names[1], "Classes")) {
    RedirectClasses(names, 2);
  } else if (names.size() == 1 || !EqualsNoCase(names[1], kWow6432Node)) {
    names.insert(names.begin() + 1, kWow6432Node);
  }
}

}  // namespace foxbane::sim
