#include "win32/file_item.h"

#include "win32/admin_only.h"
#include "win32/growing_text.h"
#include "win32/open_files.h"
#include "win32/text.h"

namespace foxbane::win32 {

ErrorCode Win32FileItem::Describe(ItemFacts& facts) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(item_.Get(), &information)) return ::GetLastError();
  facts.attributes = information.dwFileAttributes;
  facts.identity.volume = information.dwVolumeSerialNumber;
  facts.identity.index =
      std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow;
  facts.names = information.nNumberOfLinks;
  return win_error::kSuccess;
}

// "\\?\C:\..." made "C:\...", and "\\?\UNC\server\..." "\\server\...".
ErrorCode Win32FileItem::FinalPath(std::string& path) {
  const auto final = GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
    const DWORD length = ::GetFinalPathNameByHandleW(item_.Get(), buffer, capacity,
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    return length;
  });
  if (!final) return ::GetLastError() ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  std::wstring_view text = *final;
  if (text.starts_with(L"\\\\?\\UNC\\")) {
    path = "\\\\" + Narrow(text.substr(8));
  } else {
    if (text.starts_with(L"\\\\?\\")) text.remove_prefix(4);
    path = Narrow(text);
  }
  return win_error::kSuccess;
}

ErrorCode Win32FileItem::AdminOnly(bool& adminOnly) { return IsAdminOnly(item_.Get(), adminOnly); }

ErrorCode Win32FileItem::Read(std::span<char> into, std::size_t& bytesRead) {
  return ReadInto(item_.Get(), into, bytesRead);
}

ErrorCode Win32FileItem::Delete() {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!::SetFileInformationByHandle(item_.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
    return ::GetLastError();
  }
  return win_error::kSuccess;
}

}  // namespace foxbane::win32
