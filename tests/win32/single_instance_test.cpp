#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/single_instance.h"

namespace foxbane::win32 {
namespace {

TEST(SingleInstance, OnlyTheFirstHolderIsFirstUntilItLetsGo) {
  const std::wstring name = L"FoxbaneTest-SingleInstance-" + std::to_wstring(::GetCurrentProcessId());
  {
    const SingleInstance first(name);
    EXPECT_TRUE(first.First());
    EXPECT_FALSE(SingleInstance(name).First());
  }
  EXPECT_TRUE(SingleInstance(name).First());
}

}  // namespace
}  // namespace foxbane::win32
