#include "win32/dll_search.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace foxbane::win32 {
namespace {

// Built beside this program by the tests' build.
constexpr wchar_t kPlanted[] = L"foxbane_planted.dll";

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

}  // namespace
}  // namespace foxbane::win32
