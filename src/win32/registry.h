#pragma once

#include "ports/registry.h"

namespace foxbane::win32 {

// The registry port over the Unicode Reg* functions, call for call.
class Win32Registry : public Registry {
 public:
  bool HasTwoViews() override;
  ErrorCode OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                    RegKey& key) override;
  ErrorCode CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                      RegKey& key) override;
  ErrorCode CloseKey(RegKey key) override;
  ErrorCode QueryValue(RegKey key, std::string_view name, std::uint32_t* type, char* data,
                       std::uint32_t* size) override;
  ErrorCode QueryValueAnsi(RegKey key, std::string_view name, std::uint32_t* type, char* data,
                           std::uint32_t* size) override;
  ErrorCode SetValue(RegKey key, std::string_view name, std::uint32_t type,
                     std::string_view data) override;
  ErrorCode DeleteValue(RegKey key, std::string_view name) override;
  ErrorCode EnumValue(RegKey key, std::uint32_t index, std::string& name,
                      std::uint32_t nameCapacity, std::uint32_t* type, char* data,
                      std::uint32_t* size) override;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  ErrorCode QueryLongestValueName(RegKey key, std::uint32_t& length) override;
  ErrorCode CountValues(RegKey key, std::uint32_t& count) override;
  ErrorCode DeleteKey(RegKey key, std::string_view subKey, RegView view) override;
};

}  // namespace foxbane::win32
