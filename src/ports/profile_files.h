#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace foxbane {

// The Windows profile (.ini) file functions, for a file named by full path.
// Texts are UTF-8; capacities and counts are in characters.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // GetPrivateProfileString: the entry's text (or `defaultText`) cut to fit a
  // buffer of `capacity` characters with its NUL; returns the characters copied.
  virtual std::uint32_t ReadString(std::string_view file, std::string_view section,
                                   std::string_view entry, std::string_view defaultText,
                                   std::uint32_t capacity, std::string& text) = 0;
  // GetPrivateProfileInt.
  virtual std::int32_t ReadInt(std::string_view file, std::string_view section,
                               std::string_view entry, std::int32_t defaultValue) = 0;
  // GetPrivateProfileSection into `buffer` (its size is the capacity): each
  // "name=value" followed by a NUL, then one more NUL. Returns the characters
  // written, the final NUL not counted.
  virtual std::uint32_t ReadSection(std::string_view file, std::string_view section,
                                    std::string& buffer) = 0;
  // WritePrivateProfileString; a missing text deletes the entry.
  virtual bool WriteString(std::string_view file, std::string_view section,
                           std::string_view entry, std::optional<std::string_view> text) = 0;
};

}  // namespace foxbane
