#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/error_code.h"

namespace foxbane {

// A registry key handle as the system gives it; the predefined roots are the
// fixed values below. Every handle a caller opens must go back to CloseKey.
using RegKey = std::uintptr_t;

namespace reg_root {
inline constexpr RegKey kClassesRoot = 0x80000000u;
inline constexpr RegKey kCurrentUser = 0x80000001u;
inline constexpr RegKey kLocalMachine = 0x80000002u;
inline constexpr RegKey kUsers = 0x80000003u;
inline constexpr RegKey kCurrentConfig = 0x80000005u;
inline constexpr RegKey kDynData = 0x80000006u;
}  // namespace reg_root

namespace reg_access {
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
}  // namespace reg_access

// Which view of the registry a call reaches, given with its access rights.
// On 64-bit Windows a 32-bit program's HKLM\SOFTWARE and most of
// HKEY_CLASSES_ROOT live apart from a 64-bit program's (under Wow6432Node);
// some keys (TypeLib, AppID) are shared. kDefault is the caller's own view.
using RegView = std::uint32_t;
namespace reg_view {
inline constexpr RegView kDefault = 0;
inline constexpr RegView k64Bit = 0x0100;  // KEY_WOW64_64KEY
inline constexpr RegView k32Bit = 0x0200;  // KEY_WOW64_32KEY
}  // namespace reg_view

// The registry's own failures beyond those of every port.
namespace win_error {
inline constexpr ErrorCode kKeyDeleted = 1018;  // a handle whose key was deleted since
}  // namespace win_error

namespace reg_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;
inline constexpr std::uint32_t kExpandString = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiString = 7;
inline constexpr std::uint32_t kQword = 11;
}  // namespace reg_type

// The Windows registry, one call per Reg* function. Key and value names are
// UTF-8 and compare without regard to case; value data are the raw bytes the
// system stores, so string data are UTF-16LE (with their terminating NUL when
// the writer stored one). Sizes are in bytes, name lengths in characters.
class Registry {
 public:
  virtual ~Registry() = default;

  // True where the system keeps a 64-bit and a 32-bit view (64-bit
  // Windows); elsewhere the view flags change nothing.
  virtual bool HasTwoViews() = 0;

  // `access` may carry a view (reg_view); it applies where the path starts
  // at a predefined root.
  virtual ErrorCode OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                            RegKey& key) = 0;
  // Opens the key or creates it with every missing key on its path.
  virtual ErrorCode CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                              RegKey& key) = 0;
  virtual ErrorCode CloseKey(RegKey key) = 0;

  // RegQueryValueEx. `data` may be null to ask only for the size; `size` is
  // the buffer's size on entry and the data's size on return. A buffer that
  // is too small gives 234 with the needed size.
  virtual ErrorCode QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                               char* data, std::uint32_t* size) = 0;
  // The same as RegQueryValueExA answers it: string data (REG_SZ,
  // REG_EXPAND_SZ, REG_MULTI_SZ) converted to the system's ANSI code page, a
  // "?" for each UTF-16 unit it lacks, and sized in those bytes (a stored
  // terminator among them); other data as QueryValue gives them.
  virtual ErrorCode QueryValueAnsi(RegKey key, std::string_view name, std::uint32_t* type,
                                   char* data, std::uint32_t* size) = 0;
  virtual ErrorCode SetValue(RegKey key, std::string_view name, std::uint32_t type,
                             std::string_view data) = 0;
  virtual ErrorCode DeleteValue(RegKey key, std::string_view name) = 0;

  // RegEnumValue: the name at `index` if it fits in `nameCapacity` characters
  // (terminator included), its type, and its data as QueryValue gives them.
  // 259 past the last value.
  virtual ErrorCode EnumValue(RegKey key, std::uint32_t index, std::string& name,
                              std::uint32_t nameCapacity, std::uint32_t* type, char* data,
                              std::uint32_t* size) = 0;
  // RegEnumKey with room for the longest key name (255 characters): subkeys
  // in sorted order, 234 for a longer name.
  virtual ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) = 0;
  // RegQueryInfoKey: the length of the longest value name, in characters.
  virtual ErrorCode QueryLongestValueName(RegKey key, std::uint32_t& length) = 0;
  // RegQueryInfoKey: how many values the key holds.
  virtual ErrorCode CountValues(RegKey key, std::uint32_t& count) = 0;

  // RegDeleteKeyEx: deletes `subKey` of `key`, found in `view`, which must
  // have no subkeys; an empty `subKey` deletes `key` itself.
  virtual ErrorCode DeleteKey(RegKey key, std::string_view subKey, RegView view) = 0;
};

}  // namespace foxbane
