#pragma once

#include "ports/profile_files.h"

namespace foxbane::win32 {

// The profile-file port over the Unicode private-profile functions.
class Win32ProfileFiles : public ProfileFiles {
 public:
  std::uint32_t ReadString(std::string_view file, std::string_view section,
                           std::string_view entry, std::string_view defaultText,
                           std::uint32_t capacity, std::string& text) override;
  std::int32_t ReadInt(std::string_view file, std::string_view section, std::string_view entry,
                       std::int32_t defaultValue) override;
  std::uint32_t ReadSection(std::string_view file, std::string_view section,
                            std::string& buffer) override;
  bool WriteString(std::string_view file, std::string_view section, std::string_view entry,
                   std::optional<std::string_view> text) override;
};

}  // namespace foxbane::win32
