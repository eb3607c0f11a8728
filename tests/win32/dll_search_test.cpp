#include "win32/dll_search.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/running_program.h"
#include "support/window_probe.h"
#include "support/wine.h"

namespace foxbane::win32::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Built beside this program by the tests' build.
constexpr wchar_t kPlanted[] = L"foxbane_planted.dll";

fs::path PlantedDll() { return fs::path(OwnPath()).parent_path() / kPlanted; }

TEST(DllSearch, ADllBesideTheProgramIsNoLongerFoundOnceTheSearchIsRestricted) {
  // A real DLL, loadable where it lies, and found by name before.
  HMODULE module = ::LoadLibraryW(kPlanted);
  ASSERT_NE(module, nullptr) << "the planted DLL is missing or broken";
  ::FreeLibrary(module);

  RestrictDllSearchToSystem32();
  EXPECT_EQ(::LoadLibraryW(kPlanted), nullptr);
  module = ::LoadLibraryW(L"version.dll");
  EXPECT_NE(module, nullptr) << "a system DLL must still load by name";
  if (module) ::FreeLibrary(module);
}

// DLLs that system DLLs load by name and that are no KnownDLLs: Windows
// looks for them in the program's folder first. Wine takes its own built-in
// DLL first unless WINEDLLOVERRIDES says "n,b" for the name, as ctest sets it
// for these tests (it must be in the environment Wine starts with).
const std::vector<std::wstring> kPlantedNames = {L"version", L"imm32",     L"uxtheme", L"dwmapi",
                                                 L"winmm",   L"cryptbase", L"propsys", L"profapi"};

bool WineSearchesAsWindowsDoes() {
  if (!test_support::RunningUnderWine()) return true;
  const char* overrides = std::getenv("WINEDLLOVERRIDES");
  return overrides && std::string_view(overrides).find("version") != std::string_view::npos &&
         std::string_view(overrides).ends_with("=n,b");
}

TEST(DllSearch, FoxbaneLoadsNoDllLeftInItsFolderFromStartToEnd) {
  ASSERT_TRUE(WineSearchesAsWindowsDoes())
      << "under Wine, run through ctest: WINEDLLOVERRIDES must put the planted names native first";
  const fs::path folder = fs::temp_directory_path() / L"foxbane-dll-search";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path program = folder / L"foxbane.exe";
  fs::copy_file(ProgramPath(), program);
  for (const std::wstring& name : kPlantedNames) {
    fs::copy_file(PlantedDll(), folder / (name + L".dll"));
  }
  {
    ChildProcess foxbane(program.wstring());
    const HWND window = WaitForShownWindow(kMainWindowClass, 10s);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(foxbane.ExitCode(10s), DWORD{0});
  }
  for (const std::wstring& name : kPlantedNames) {
    EXPECT_FALSE(fs::exists(folder / (name + L".dll.loaded"))) << "loaded: " << fs::path(name).string();
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace foxbane::win32::testing
