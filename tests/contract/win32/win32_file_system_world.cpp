#include <windows.h>

#include <stdexcept>

#include "contract/file_system_world.h"
#include "contract/win32/temp_sandbox.h"
#include "win32/file_system.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

using win32::UniqueFileHandle;
using win32::Wide;

class Win32FileHold : public FileHold {
 public:
  explicit Win32FileHold(UniqueFileHandle file) : file_(std::move(file)) {}

 private:
  UniqueFileHandle file_;
};

class Win32FileSystemWorld : public FileSystemWorld {
 public:
  Win32FileSystemWorld() : sandbox_("FoxbaneTest") {}

  FileSystem& Files() override { return files_; }
  const std::string& Sandbox() const override { return sandbox_.Path(); }

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
    return ReadWholeFile(path);
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

  void MakeHardLink(const std::string& existing, const std::string& link) override {
    if (!::CreateHardLinkW(Wide(link).c_str(), Wide(existing).c_str(), nullptr)) {
      throw std::runtime_error("cannot link " + link + " to " + existing);
    }
  }

 private:
  TempSandbox sandbox_;
  win32::Win32FileSystem files_;
};

std::unique_ptr<FileSystemWorld> MakeWin32FileSystemWorld() {
  return std::make_unique<Win32FileSystemWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract, ::testing::Values(&MakeWin32FileSystemWorld));

}  // namespace foxbane::contract
