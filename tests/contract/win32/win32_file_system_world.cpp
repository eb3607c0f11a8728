#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "contract/file_system_world.h"
#include "win32/file_system.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

using win32::Narrow;
using win32::UniqueFileHandle;
using win32::Wide;

std::wstring NewSandboxPath() {
  static std::atomic<int> next{0};
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp, length) + L"FoxbaneTest-" + std::to_wstring(::GetCurrentProcessId()) +
         L"-" + std::to_wstring(++next);
}

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

class Win32FileHold : public FileHold {
 public:
  explicit Win32FileHold(UniqueFileHandle file) : file_(std::move(file)) {}

 private:
  UniqueFileHandle file_;
};

class Win32FileSystemWorld : public FileSystemWorld {
 public:
  Win32FileSystemWorld() : sandboxWide_(NewSandboxPath()), sandbox_(Narrow(sandboxWide_)) {
    if (!::CreateDirectoryW(sandboxWide_.c_str(), nullptr)) {
      throw std::runtime_error("cannot make the sandbox " + sandbox_);
    }
  }
  ~Win32FileSystemWorld() override { RemoveTree(sandboxWide_); }

  FileSystem& Files() override { return files_; }
  const std::string& Sandbox() const override { return sandbox_; }

  void MakeFolder(const std::string& path) override {
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
      throw std::runtime_error("cannot make the folder " + path);
    }
  }

  // Makes parent folders as needed, then writes the bytes and sets the
  // attributes last, so that read-only files can be made too.
  void WriteFile(const std::string& path, std::string_view bytes,
                 std::uint32_t attributes) override {
    const std::size_t separator = path.find_last_of('\\');
    if (!Exists(path.substr(0, separator))) MakeFolder(path.substr(0, separator));
    const std::wstring wide = Wide(path);
    UniqueFileHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr)) {
      throw std::runtime_error("cannot write " + path);
    }
    file.Reset();
    if (!::SetFileAttributesW(wide.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes)) {
      throw std::runtime_error("cannot set the attributes of " + path);
    }
  }

  std::optional<std::string> Contents(const std::string& path) override {
    UniqueFileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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

  bool Exists(const std::string& path) override {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::unique_ptr<FileHold> HoldOpen(const std::string& path) override {
    UniqueFileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (!file) throw std::runtime_error("cannot hold " + path + " open");
    return std::make_unique<Win32FileHold>(std::move(file));
  }

  bool ReadOnlyRefusesWriting() override {
    const std::string probe = sandbox_ + "\\read-only probe";
    WriteFile(probe, "", FILE_ATTRIBUTE_READONLY);
    const UniqueFileHandle file(::CreateFileW(Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    return !file;
  }

 private:
  std::wstring sandboxWide_;
  std::string sandbox_;
  win32::Win32FileSystem files_;
};

std::unique_ptr<FileSystemWorld> MakeWin32FileSystemWorld() {
  return std::make_unique<Win32FileSystemWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract, ::testing::Values(&MakeWin32FileSystemWorld));

}  // namespace foxbane::contract
