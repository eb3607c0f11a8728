#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "contract/registry_world.h"
#include "win32/registry.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

std::string NewSandboxPath() {
  static std::atomic<int> next{0};
  return "Software\\FoxbaneTest-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(++next);
}

class Win32RegistryWorld : public RegistryWorld {
 public:
  Win32RegistryWorld() : sandbox_(NewSandboxPath()) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, win32::Wide(sandbox_).c_str());
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, win32::Wide(sandbox_).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot make the sandbox key " + sandbox_);
    }
    win32::UniqueRegKey created(key);
  }
  ~Win32RegistryWorld() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, win32::Wide(sandbox_).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, win32::Wide(sandbox_).c_str());
  }

  Registry& Subject() override { return registry_; }
  const std::string& Sandbox() const override { return sandbox_; }

 private:
  std::string sandbox_;
  win32::Win32Registry registry_;
};

std::unique_ptr<RegistryWorld> MakeWin32RegistryWorld() {
  return std::make_unique<Win32RegistryWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract, ::testing::Values(&MakeWin32RegistryWorld));

}  // namespace foxbane::contract
