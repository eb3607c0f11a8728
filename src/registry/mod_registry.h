#pragma once

#include <cstdint>
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
// name that is neither). Every key opened is closed on every path.
class modRegistry {
 public:
  static constexpr RegKey ProfileFileRoot = 1;
  static constexpr std::int32_t kUnknownHive = 99;

  modRegistry(Registry& registry, ProfileFiles& profiles, FileSystem& files)
      : registry_(registry), profiles_(profiles), files_(files) {}

  RegKey HiveFromName(std::string_view hiveName);
  std::int32_t ReadRegValue(std::string_view hiveName, std::string_view keyPath,
                            std::string_view valueName, std::string_view typeCode,
                            const Variant& defaultValue, Variant& value);
  std::int32_t WriteRegValue(std::string_view hiveName, std::string_view keyPath,
                             std::string_view valueName, std::string_view typeCode,
                             const Variant& value);
  std::int32_t DeleteRegValue(std::string_view hiveName, std::string_view keyPath,
                              std::string_view valueName);
  std::int32_t DeleteRegKey(std::string_view hiveName, std::string_view keyPath,
                            std::string_view subKeyName);
  std::int32_t ListRegValues(std::string_view hiveName, std::string_view keyPath,
                             std::string& listing);

 private:
  Registry& registry_;
  ProfileFiles& profiles_;
  FileSystem& files_;
};

}  // namespace foxbane
