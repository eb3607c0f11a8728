#include "win32/dll_search.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/running_program.h"

namespace foxbane::win32 {
namespace {

// Built beside this program by the tests' build.
constexpr wchar_t kPlanted[] = L"foxbane_planted.dll";

TEST(DllSearch, ADllBesideTheProgramIsNoLongerFoundOnceTheSearchIsRestricted) {
  const std::wstring program = testing::OwnPath();
  const std::wstring planted = program.substr(0, program.rfind(L'\\') + 1) + kPlanted;
  // A real DLL, loadable where it lies, and found by name before.
  HMODULE module = ::LoadLibraryW(kPlanted);
  ASSERT_NE(module, nullptr) << "the planted DLL is missing or broken";
  ::FreeLibrary(module);

  RestrictDllSearchToSystem32();
  EXPECT_EQ(::LoadLibraryW(kPlanted), nullptr);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  module = ::LoadLibraryW(L"version.dll");
  EXPECT_NE(module, nullptr) << "a system DLL must still load by name";
  if (module) ::FreeLibrary(module);
  module = ::LoadLibraryW(planted.c_str());
  EXPECT_NE(module, nullptr) << "a full path is still taken as given";
  if (module) ::FreeLibrary(module);
}

}  // namespace
}  // namespace foxbane::win32
