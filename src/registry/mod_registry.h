#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "ports/file_system.h"
#include "ports/profile_files.h"
#include "ports/registry.h"
#include "registry/variant.h"

namespace foxbane {

// The registry routines: a hive named by short name ("HKCU", "HKLM", ...) or
// by the path of an existing profile file, a key path below it, and a result
// code instead of an exception (0, a Windows error code, or 99 for a hive
// name that is neither). Every key opened is closed on every path. Each
// routine reaches the registry view it is given (the caller's own unless
// told otherwise); the view means nothing in profile-file mode.
// The default every presence test reads with: a value that cannot be read,
// or is empty, compares as this and never as a path.
inline constexpr const char* kNoValue = "<none>";

class modRegistry {
 public:
  static constexpr RegKey ProfileFileRoot = 1;
  static constexpr std::int32_t kUnknownHive = 99;

  modRegistry(Registry& registry, ProfileFiles& profiles, FileSystem& files)
      : registry_(registry), profiles_(profiles), files_(files) {}

  RegKey HiveFromName(std::string_view hiveName);
  std::int32_t ReadRegValue(std::string_view hiveName, std::string_view keyPath,
                            std::string_view valueName, std::string_view typeCode,
                            const Variant& defaultValue, Variant& value,
                            RegView view = reg_view::kDefault);
  std::int32_t WriteRegValue(std::string_view hiveName, std::string_view keyPath,
                             std::string_view valueName, std::string_view typeCode,
                             const Variant& value, RegView view = reg_view::kDefault);
  std::int32_t DeleteRegValue(std::string_view hiveName, std::string_view keyPath,
                              std::string_view valueName, RegView view = reg_view::kDefault);
  std::int32_t DeleteRegKey(std::string_view hiveName, std::string_view keyPath,
                            std::string_view subKeyName, RegView view = reg_view::kDefault);
  std::int32_t ListRegValues(std::string_view hiveName, std::string_view keyPath,
                             std::string& listing, RegView view = reg_view::kDefault);

  // The views in which a hive's keys may be: the 64-bit and the 32-bit one
  // for HKLM and HKCR on 64-bit Windows, where a 32-bit program's
  // registrations are kept apart; the one view everywhere else.
  std::span<const RegView> ViewsOf(std::string_view hiveName);

 private:
  Registry& registry_;
  ProfileFiles& profiles_;
  FileSystem& files_;
};

// What became of a remnant looked for in every view of its hive.
enum class Removal { kNotFound, kRemoved, kLeft };

// Runs `remove(view)` in every view of the hive where `present(view)`, in
// order: kRemoved when one held it and `remove` reported each such copy
// gone, kLeft when a copy stays.
template <typename Present, typename Remove>
Removal RemoveFromEveryView(modRegistry& registry, std::string_view hiveName, Present present,
                            Remove remove) {
  bool found = false;
  bool removed = true;
  for (const RegView view : registry.ViewsOf(hiveName)) {
    if (!present(view)) continue;
    found = true;
    removed = remove(view) && removed;
  }
  if (!found) return Removal::kNotFound;
  return removed ? Removal::kRemoved : Removal::kLeft;
}

}  // namespace foxbane
