#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "contract/profile_files_world.h"
#include "win32/profile_files.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

using win32::UniqueFileHandle;
using win32::Wide;

std::string NewSandboxPath() {
  static std::atomic<int> next{0};
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  return win32::Narrow(std::wstring_view(temp, length)) + "FoxbaneProfiles-" +
         std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++next);
}

class Win32ProfileFilesWorld : public ProfileFilesWorld {
 public:
  Win32ProfileFilesWorld() : sandbox_(NewSandboxPath()) {
    if (!::CreateDirectoryW(Wide(sandbox_).c_str(), nullptr)) {
      throw std::runtime_error("cannot make the sandbox " + sandbox_);
    }
  }
  // The tests make files only at the top of the sandbox.
  ~Win32ProfileFilesWorld() override {
    WIN32_FIND_DATAW found{};
    win32::UniqueFindHandle search(::FindFirstFileW(Wide(At("*")).c_str(), &found));
    if (search) {
      do {
        ::DeleteFileW((Wide(sandbox_) + L"\\" + found.cFileName).c_str());
      } while (::FindNextFileW(search.Get(), &found));
    }
    search.Reset();
    ::RemoveDirectoryW(Wide(sandbox_).c_str());
  }

  ProfileFiles& Subject() override { return profiles_; }
  const std::string& Sandbox() const override { return sandbox_; }

  void WriteFile(const std::string& path, std::string_view bytes) override {
    UniqueFileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr)) {
      throw std::runtime_error("cannot write " + path);
    }
  }

  std::optional<std::string> Contents(const std::string& path) override {
    UniqueFileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
      bytes.append(buffer, got);
    }
    return bytes;
  }

 private:
  std::string At(std::string_view name) const { return sandbox_ + "\\" + std::string(name); }

  std::string sandbox_;
  win32::Win32ProfileFiles profiles_;
};

std::unique_ptr<ProfileFilesWorld> MakeWin32ProfileFilesWorld() {
  return std::make_unique<Win32ProfileFilesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ProfileFilesContract,
                         ::testing::Values(&MakeWin32ProfileFilesWorld));

}  // namespace foxbane::contract
