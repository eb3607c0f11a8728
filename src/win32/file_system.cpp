#include "win32/file_system.h"

#include <windows.h>

#include <sddl.h>

#include "win32/admin_only.h"
#include "win32/file_item.h"
#include "win32/growing_text.h"
#include "win32/open_files.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

namespace {

ErrorCode LastError() { return ::GetLastError(); }

ErrorCode Result(BOOL succeeded) { return succeeded ? win_error::kSuccess : LastError(); }

constexpr DWORD kUnlisted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

// Dir-style existence test. Wildcards are refused: the test is for the one
// file the path names, never for whatever a pattern happens to match (paths
// come from the registry too).
std::string Win32FileSystem::FindFile(std::string_view path, std::uint32_t mask) {
  if (path.find_first_of("*?") != std::string_view::npos) return {};
  WIN32_FIND_DATAW found{};
  const UniqueFindHandle search(::FindFirstFileW(Wide(path).c_str(), &found));
  if (!search) return {};
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
  if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) & ~mask) return {};
  return Narrow(found.cFileName);
}

ErrorCode Win32FileSystem::ResetAttributes(std::string_view path) {
  return Result(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL));
}

// Shares delete too, so that reading never stands in the way of a removal.
// The file is read once from start to end, which the sequential-scan hint
// tells the cache: it reads ahead and lets go of what lies behind. A network
// drive is not reached at all (no logon to a server on the user's behalf); a
// device that a drive path can still name (C:\x\CON) is closed again unread.
ErrorCode Win32FileSystem::OpenForRead(std::string_view path, std::unique_ptr<ReadableFile>& file) {
  const std::wstring widePath = Wide(path);
  if (widePath.size() >= 3 && widePath[1] == L':') {
    const wchar_t root[] = {widePath[0], L':', L'\\', L'\0'};
    if (::GetDriveTypeW(root) == DRIVE_REMOTE) return win_error::kBadFileType;
  }
  UniqueFileHandle opened(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!opened) return LastError();
  if (::GetFileType(opened.Get()) != FILE_TYPE_DISK) return win_error::kBadFileType;
  file = std::make_unique<Win32ReadableFile>(std::move(opened));
  return win_error::kSuccess;
}

// Opened in two steps, both on the file itself and never on a link's
// target: first to look at it and make it normal (a read-only file cannot be
// opened for writing), then again from that handle to append. A second
// writer may append too (its lines go in whole, after these); nobody may
// delete it meanwhile.
ErrorCode Win32FileSystem::OpenForAppend(std::string_view path,
                                         std::unique_ptr<AppendableFile>& file) {
  constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const UniqueFileHandle attributes(::CreateFileW(
      Wide(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShared, nullptr,
      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!attributes) return LastError();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(attributes.Get(), &information)) return LastError();
  if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return win_error::kCantAccessFile;
  }
  if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return win_error::kAccessDenied;
  if (information.nNumberOfLinks > 1) return win_error::kTooManyLinks;
  FILE_BASIC_INFO basic{};  // zero times: left as they are
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileInformationByHandle(attributes.Get(), FileBasicInfo, &basic, sizeof basic)) {
    return LastError();
  }
  UniqueFileHandle opened(
      ::ReOpenFile(attributes.Get(), FILE_APPEND_DATA, kShared, FILE_FLAG_OPEN_REPARSE_POINT));
  if (!opened) return LastError();
  file = std::make_unique<Win32AppendableFile>(std::move(opened));
  return win_error::kSuccess;
}

// Nobody else may open the file while it is being written.
ErrorCode Win32FileSystem::CreateForWrite(std::string_view path,
                                          std::unique_ptr<WritableFile>& file) {
  UniqueFileHandle opened(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!opened) return LastError();
  file = std::make_unique<Win32WritableFile>(std::move(opened));
  return win_error::kSuccess;
}

ErrorCode Win32FileSystem::ReadAttributes(std::string_view path, std::uint32_t& attributes) {
  const DWORD read = ::GetFileAttributesW(Wide(path).c_str());
  if (read == INVALID_FILE_ATTRIBUTES) return LastError();
  attributes = read;
  return win_error::kSuccess;
}

ErrorCode Win32FileSystem::FullPathName(std::string_view path, std::string& fullPath) {
  const std::wstring wide = Wide(path);
  const auto full = GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
    const DWORD length = ::GetFullPathNameW(wide.c_str(), capacity, buffer, nullptr);
    if (length == 0) return std::nullopt;
    return length;
  });
  if (!full) return LastError() ? LastError() : ERROR_FILENAME_EXCED_RANGE;
  fullPath = Narrow(*full);
  return win_error::kSuccess;
}

ErrorCode Win32FileSystem::CreateFolder(std::string_view path) {
  return Result(::CreateDirectoryW(Wide(path).c_str(), nullptr));
}

ErrorCode Win32FileSystem::CreateAdminOnlyFolder(std::string_view path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminOnlyFolderSddl, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
    return LastError();
  }
  const UniqueLocalMemory held(descriptor);
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  return Result(::CreateDirectoryW(Wide(path).c_str(), &security));
}

// The item itself, a link included, folders too (backup semantics).
// Whoever holds it meanwhile may not rename or delete it.
ErrorCode Win32FileSystem::OpenItem(std::string_view path, ItemAccess access,
                                    std::unique_ptr<FileItem>& item) {
  DWORD rights = FILE_READ_ATTRIBUTES | READ_CONTROL;
  DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (access != ItemAccess::kInspect) rights |= GENERIC_READ;
  if (access == ItemAccess::kRemove) {
    rights |= DELETE;
    sharing = FILE_SHARE_READ;
  }
  UniqueFileHandle opened(::CreateFileW(Wide(path).c_str(), rights, sharing, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
  if (!opened) return LastError();
  if (::GetFileType(opened.Get()) != FILE_TYPE_DISK) return win_error::kBadFileType;
  item = std::make_unique<Win32FileItem>(std::move(opened));
  return win_error::kSuccess;
}

ErrorCode Win32FileSystem::RemoveFile(std::string_view path) {
  return Result(::DeleteFileW(Wide(path).c_str()));
}

ErrorCode Win32FileSystem::RemoveFolder(std::string_view path) {
  return Result(::RemoveDirectoryW(Wide(path).c_str()));
}

ErrorCode Win32FileSystem::RemoveAtRestart(std::string_view path) {
  return Result(::MoveFileExW(Wide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

// Counted by listing, not with a list box: LB_DIR lists nothing under Wine.
ErrorCode Win32FileSystem::CountListedFiles(std::string_view folder, std::uint32_t& count) {
  // An empty path would list the root of the current drive.
  if (folder.empty()) return win_error::kPathNotFound;
  std::wstring pattern = Wide(folder);
  // A file is no folder to list. Windows says so with 267 and Wine with 123,
  // so the answer is given here, the same on both.
  const DWORD attributes = ::GetFileAttributesW(pattern.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return win_error::kDirectory;
  }
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';

  WIN32_FIND_DATAW found{};
  const UniqueFindHandle search(::FindFirstFileW(pattern.c_str(), &found));
  std::uint32_t listed = 0;
  if (search) {
    do {
      if ((found.dwFileAttributes & kUnlisted) == 0) ++listed;
    } while (::FindNextFileW(search.Get(), &found));
    if (const ErrorCode e = LastError(); e != win_error::kNoMoreFiles) return e;
  } else if (const ErrorCode e = LastError(); e != win_error::kFileNotFound) {
    // 2 is not a failure: an empty drive root has no entry at all, not even
    // "." and "..", and holds 0 files.
    return e;
  }
  count = listed;
  return win_error::kSuccess;
}

}  // namespace foxbane::win32
