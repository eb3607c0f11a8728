#include "win32/single_instance.h"

#include <sddl.h>

#include <string>

namespace foxbane::win32 {

namespace {

// Administrators and SYSTEM only, nothing inherited.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;;GA;;;BA)(A;;GA;;;SY)";

}  // namespace

// A named mutex in the session's or the global namespace can be made first
// by any program of the user's, which would keep Foxbane from ever starting.
// A private namespace bounded by the Administrators group can be made and
// opened only by a process in which that group is enabled: an elevated one.
SingleInstance::SingleInstance(std::wstring_view name) {
  if (EnterAdministratorsNamespace(name)) return;
  // Only where the system has no private namespaces (Wine implements none):
  // the global namespace, so that a second user's session is refused too,
  // else the session's own.
  for (const wchar_t* scope : {L"Global\\", L"Local\\"}) {
    TakeMutex(scope + std::wstring(name), nullptr);
    if (mutex_) return;
  }
}

bool SingleInstance::EnterAdministratorsNamespace(std::wstring_view name) {
  const std::wstring alias(name);
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) {
    return false;
  }
  HANDLE boundary = ::CreateBoundaryDescriptorW(alias.c_str(), 0);
  if (!boundary) return false;
  const bool bounded = ::AddSIDToBoundaryDescriptor(&boundary, administrators);
  boundary_.Reset(boundary);  // owned either way; the call may have moved it
  if (!bounded) return false;

  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    return false;
  }
  const UniqueLocalMemory descriptorMemory(descriptor);
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  namespace_.Reset(::CreatePrivateNamespaceW(&security, boundary, alias.c_str()));
  if (!namespace_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    namespace_.Reset(::OpenPrivateNamespaceW(boundary, alias.c_str()));
  }
  if (!namespace_) return false;
  TakeMutex(alias + L"\\Instance", &security);
  return true;
}

void SingleInstance::TakeMutex(const std::wstring& name, SECURITY_ATTRIBUTES* security) {
  mutex_.Reset(::CreateMutexW(security, FALSE, name.c_str()));
  if (mutex_) first_ = ::GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace foxbane::win32
