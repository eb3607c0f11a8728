#pragma once

#include <string_view>

#include "win32/unique_handle.h"

namespace foxbane::win32 {

// Held by Foxbane and by its restore program: one of them at a time.
inline constexpr std::wstring_view kFoxbaneInstanceName = L"Foxbane-6E1B7C2A-Scan-And-Cleanup";

// One Foxbane at a time on the machine: two cleanups at once would each
// find what the other is removing. Held for the object's lifetime by a
// mutex, which the system releases even if the program dies.
class SingleInstance {
 public:
  explicit SingleInstance(std::wstring_view name);

  // False when another holder was there first. When the mutex cannot be
  // made at all, the program runs rather than refusing the user.
  bool First() const { return first_; }
  // True when the mutex lives where only an administrator can reach it.
  bool AdministratorsOnly() const { return static_cast<bool>(namespace_); }

 private:
  bool EnterAdministratorsNamespace(std::wstring_view name);
  void TakeMutex(const std::wstring& name, SECURITY_ATTRIBUTES* security);

  UniqueBoundaryDescriptor boundary_;
  UniquePrivateNamespace namespace_;
  UniqueKernelHandle mutex_;
  bool first_ = true;
};

}  // namespace foxbane::win32
