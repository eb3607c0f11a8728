#include "win32/token_user.h"

#include "win32/unique_handle.h"

namespace foxbane::win32 {

std::vector<BYTE> ProcessUserSid(HANDLE process) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &opened)) return {};
  const UniqueKernelHandle token(opened);
  DWORD size = 0;
  ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size < sizeof(TOKEN_USER)) return {};
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
  const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
  const auto* bytes = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
}

}  // namespace foxbane::win32
