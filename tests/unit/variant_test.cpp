#include <gtest/gtest.h>

#include <functional>

#include "common/resume_next.h"
#include "registry/variant.h"

namespace foxbane {
namespace {

ErrorCode FailureOf(const std::function<void()>& conversion) {
  try {
    conversion();
  } catch (const StepFailed& failure) {
    return failure.code();
  }
  return 0;
}

TEST(VariantTest, TextFormOfEachKind) {
  EXPECT_EQ(Variant().Text(), "");
  EXPECT_EQ(Variant("C:\\x.exe").Text(), "C:\\x.exe");
  EXPECT_EQ(Variant(true).Text(), "True");
  EXPECT_EQ(Variant(false).Text(), "False");
  EXPECT_EQ(Variant(std::int16_t{-1024}).Text(), "-1024");
  EXPECT_EQ(Variant(std::int32_t{-2147483647 - 1}).Text(), "-2147483648");
}

TEST(VariantTest, ConversionsForWritesCheckRangeAndForm) {
  EXPECT_EQ(Variant(std::int32_t{-32768}).ToInt16(), -32768);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant(" 12 ").ToInt16(), 12);
  EXPECT_EQ(FailureOf([] { Variant(std::int32_t{40000}).ToInt16(); }), 6u);
  EXPECT_EQ(FailureOf([] { Variant("twelve").ToInt16(); }), 13u);
  EXPECT_TRUE(Variant("TRUE").ToBoolean());
  EXPECT_FALSE(Variant("0").ToBoolean());
  EXPECT_EQ(FailureOf([] { Variant("yes").ToBoolean(); }), 13u);
}

}  // namespace
}  // namespace foxbane
