#include "win32/admin_only.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "win32/token_user.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

namespace {

// What lets a holder change the object or what it holds.
constexpr ACCESS_MASK kChanging = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                  FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                  WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// Wine runs every program of a prefix as its one user, which it reports as
// the owner of every file and never as the Administrators group: there is
// no lesser account there to keep out, so that user counts as one.
std::vector<BYTE> WineUser() {
  if (!::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return {};
  return ProcessUserSid(::GetCurrentProcess());
}

bool IsAdministrator(PSID sid) {
  static const std::vector<BYTE> wineUser = WineUser();
  static const UniqueLocalMemory installer = [] {
    PSID parsed = nullptr;
    ::ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                             &parsed);
    return UniqueLocalMemory(parsed);
  }();
  return ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
         ::IsWellKnownSid(sid, WinLocalSystemSid) ||
         (installer && ::EqualSid(sid, installer.Get())) ||
         (!wineUser.empty() && ::EqualSid(sid, const_cast<BYTE*>(wineUser.data())));
}

}  // namespace

// An ACE of a kind other than the plain allow and deny ones (object and
// callback ACEs) is taken to let its holder change the object.
ErrorCode IsAdminOnly(HANDLE handle, bool& adminOnly) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (const DWORD e = ::GetSecurityInfo(handle, SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &dacl, nullptr, &descriptor)) {
    return e;
  }
  const UniqueLocalMemory held(descriptor);
  adminOnly = owner != nullptr && dacl != nullptr && IsAdministrator(owner);  // no DACL: anyone
  for (DWORD i = 0; adminOnly && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) return ::GetLastError();
    const auto* header = static_cast<ACE_HEADER*>(ace);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
      adminOnly = false;
      break;
    }
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & kChanging) != 0 &&
        !IsAdministrator(const_cast<DWORD*>(&allowed->SidStart))) {
      adminOnly = false;
    }
  }
  return win_error::kSuccess;
}

}  // namespace foxbane::win32
