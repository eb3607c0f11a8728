#pragma once

#include <string_view>
#include <utility>

#include "ports/registry.h"

namespace foxbane {

// Owns one key opened through the registry port and closes it when it goes
// out of scope, so that a routine leaves no key open on any path. Close()
// closes it earlier, for a routine whose result is the result of closing.
// Each owner opens or creates one key, once.
class ScopedRegKey {
 public:
  explicit ScopedRegKey(Registry& registry) : registry_(registry) {}
  ~ScopedRegKey() {
    if (key_ != 0) registry_.CloseKey(key_);
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  ErrorCode Open(RegKey parent, std::string_view subKey, std::uint32_t access) {
    return Acquire([&](RegKey& key) { return registry_.OpenKey(parent, subKey, access, key); });
  }
  ErrorCode Create(RegKey parent, std::string_view subKey, std::uint32_t access) {
    return Acquire([&](RegKey& key) { return registry_.CreateKey(parent, subKey, access, key); });
  }
  ErrorCode Close() { return registry_.CloseKey(std::exchange(key_, 0)); }

  RegKey get() const { return key_; }

 private:
  // Only a key that the call reports as opened is owned.
  template <typename Call>
  ErrorCode Acquire(Call call) {
    RegKey opened = 0;
    const ErrorCode result = call(opened);
    if (result == win_error::kSuccess) key_ = opened;
    return result;
  }

  Registry& registry_;
  RegKey key_ = 0;
};

}  // namespace foxbane
