#include <windows.h>

#include <stdexcept>

#include "contract/profile_files_world.h"
#include "contract/win32/temp_sandbox.h"
#include "win32/profile_files.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

using win32::UniqueFileHandle;
using win32::Wide;

class Win32ProfileFilesWorld : public ProfileFilesWorld {
 public:
  Win32ProfileFilesWorld() : sandbox_("FoxbaneProfiles") {}

  ProfileFiles& Subject() override { return profiles_; }
  const std::string& Sandbox() const override { return sandbox_.Path(); }

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
    return ReadWholeFile(path);
  }

 private:
  TempSandbox sandbox_;
  win32::Win32ProfileFiles profiles_;
};

std::unique_ptr<ProfileFilesWorld> MakeWin32ProfileFilesWorld() {
  return std::make_unique<Win32ProfileFilesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ProfileFilesContract,
                         ::testing::Values(&MakeWin32ProfileFilesWorld));

}  // namespace foxbane::contract
