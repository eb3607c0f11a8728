#include "win32/single_instance.h"

#include <string>

namespace foxbane::win32 {

// In the global namespace, so that a second user's session is refused too;
// where that is not allowed, the session's own namespace still guards this
// user's desktop.
SingleInstance::SingleInstance(std::wstring_view name) {
  for (const wchar_t* scope : {L"Global\\", L"Local\\"}) {
    const std::wstring scoped = scope + std::wstring(name);
    mutex_.Reset(::CreateMutexW(nullptr, FALSE, scoped.c_str()));
    if (mutex_) {
      first_ = ::GetLastError() != ERROR_ALREADY_EXISTS;
      return;
    }
  }
}

}  // namespace foxbane::win32
