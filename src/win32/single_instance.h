#pragma once

#include <string_view>

#include "win32/unique_handle.h"

namespace foxbane::win32 {

// Held by Foxbane and by its restore program: one of them at a time.
inline constexpr std::wstring_view kFoxbaneInstanceName = L"Foxbane-6E1B7C2A-Scan-And-Cleanup";

struct BoundaryDescriptorTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type boundary) noexcept { ::DeleteBoundaryDescriptor(boundary); }
};

struct PrivateNamespaceTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type space) noexcept { ::ClosePrivateNamespace(space, 0); }
};

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

  UniqueHandle<BoundaryDescriptorTraits> boundary_;
  UniqueHandle<PrivateNamespaceTraits> namespace_;
  UniqueKernelHandle mutex_;
  bool first_ = true;
};

}  // namespace foxbane::win32
