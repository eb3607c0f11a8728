#include "win32/single_instance.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace foxbane::win32 {
namespace {

// A name of the tests' own, so that a Foxbane running beside them is not disturbed.
constexpr std::wstring_view kName = L"Foxbane-Test-Single-Instance";

TEST(SingleInstance, OneHolderAtATimeAndFreeAgainOnceItIsGone) {
  std::optional<SingleInstance> first(std::in_place, kName);
  EXPECT_TRUE(first->First());
  EXPECT_FALSE(SingleInstance(kName).First());
  first.reset();
  EXPECT_TRUE(SingleInstance(kName).First());
}

// Any program of the user's may make a named object; only an elevated one
// may enter a namespace bounded by the Administrators group.
TEST(SingleInstance, AMutexOfTheSameNameMadeByAnotherProgramFirstDoesNotKeepFoxbaneOut) {
  const std::wstring name(kName);
  const UniqueKernelHandle global(::CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str()));
  const UniqueKernelHandle local(::CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()));
  ASSERT_TRUE(global || local);
  const SingleInstance foxbane(kName);
  if (!foxbane.AdministratorsOnly()) {
    GTEST_SKIP() << "this system has no private namespaces (Wine implements none)";
  }
  EXPECT_TRUE(foxbane.First());
}

}  // namespace
}  // namespace foxbane::win32
