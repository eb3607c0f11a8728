#include "contract/win32/temp_sandbox.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {

namespace {

using win32::Wide;

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  win32::UniqueFindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(search.Get(), &found));
  }
  search.Reset();
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempSandbox::TempSandbox(const std::string& prefix) {
  static std::atomic<int> next{0};
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  path_ = win32::Narrow(std::wstring_view(temp, length)) + prefix + "-" +
          std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++next);
  if (!::CreateDirectoryW(Wide(path_).c_str(), nullptr)) {
    throw std::runtime_error("cannot make the sandbox " + path_);
  }
}

TempSandbox::~TempSandbox() { RemoveTree(Wide(path_)); }

std::optional<std::string> ReadWholeFile(const std::string& path) {
  win32::UniqueFileHandle file(::CreateFileW(
      Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

}  // namespace foxbane::contract
