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

TEST(VariantTest, KindsNeverCompareEqualAcrossTypes) {
  EXPECT_NE(Variant("<none>"), Variant(std::int32_t{0}));
  EXPECT_NE(Variant(std::int16_t{5}), Variant(std::int32_t{5}));
  EXPECT_EQ(Variant("<none>"), Variant(std::string("<none>")));
}

TEST(VariantTest, SixteenBitConversionChecksTheRange) {
  EXPECT_EQ(Variant(std::int32_t{1024}).ToInt16(), 1024);
  EXPECT_EQ(Variant(std::int32_t{-32768}).ToInt16(), -32768);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant(" 12 ").ToInt16(), 12);
  EXPECT_EQ(Variant().ToInt16(), 0);
  EXPECT_EQ(FailureOf([] { Variant(std::int32_t{40000}).ToInt16(); }), 6u);
  EXPECT_EQ(FailureOf([] { Variant("40000").ToInt16(); }), 6u);
  EXPECT_EQ(FailureOf([] { Variant("twelve").ToInt16(); }), 13u);
}

TEST(VariantTest, BooleanConversionTakesWordsAndNumbers) {
  EXPECT_TRUE(Variant("TRUE").ToBoolean());
  EXPECT_FALSE(Variant("false").ToBoolean());
  EXPECT_TRUE(Variant("-1").ToBoolean());
  EXPECT_FALSE(Variant(std::int16_t{0}).ToBoolean());
  EXPECT_TRUE(Variant(std::int32_t{2}).ToBoolean());
  EXPECT_FALSE(Variant().ToBoolean());
  EXPECT_EQ(FailureOf([] { Variant("yes").ToBoolean(); }), 13u);
}

}  // namespace
}  // namespace foxbane
