#pragma once

#include <string_view>

#include "win32/unique_handle.h"

namespace foxbane::win32 {

// Held by Foxbane and by its restore program: one of them at a time.
inline constexpr std::wstring_view kFoxbaneInstanceName = L"Foxbane-6E1B7C2A-Scan-And-Cleanup";

// One Foxbane at a time on the machine: two cleanups at once would each
// find what the other is removing. Held for the object's lifetime by a named
// mutex, which the system releases even if the program dies.
class SingleInstance {
 public:
  explicit SingleInstance(std::wstring_view name);

  // False when another holder was there first. When the mutex cannot be
  // made at all, the program runs rather than refusing the user.
  bool First() const { return first_; }

 private:
  UniqueKernelHandle mutex_;
  bool first_ = true;
};

}  // namespace foxbane::win32
