#include <windows.h>

#include <vector>

#include "contract/environment_world.h"
#include "win32/environment.h"
#include "win32/text.h"

namespace foxbane::contract {
namespace {

class Win32EnvironmentWorld : public EnvironmentWorld {
 public:
  ~Win32EnvironmentWorld() override {
    for (const std::wstring& name : variables_) ::SetEnvironmentVariableW(name.c_str(), nullptr);
  }

  Environment& Subject() override { return environment_; }

  // Asked of the process object rather than of the module, so the answer
  // does not come the adapter's way.
  std::string ProgramPath() override {
    wchar_t path[32768];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(::GetCurrentProcess(), 0, path, &size)) return {};
    return win32::Narrow(std::wstring_view(path, size));
  }

  bool SixtyFourBitSystem() override {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64);
  }

  void SetVariable(const std::string& name, const std::string& value) override {
    variables_.push_back(win32::Wide(name));
    ::SetEnvironmentVariableW(variables_.back().c_str(), win32::Wide(value).c_str());
  }

 private:
  win32::Win32Environment environment_;
  std::vector<std::wstring> variables_;
};

std::unique_ptr<EnvironmentWorld> MakeWin32EnvironmentWorld() {
  return std::make_unique<Win32EnvironmentWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, EnvironmentContract,
                         ::testing::Values(&MakeWin32EnvironmentWorld));

}  // namespace foxbane::contract
