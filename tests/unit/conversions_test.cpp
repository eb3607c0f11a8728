#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/resume_next.h"
#include "common/utf.h"
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

TEST(Variant, TextFormOfEachKindAndConversionsForWritesCheckRangeAndForm) {
  EXPECT_EQ(Variant().Text(), "");
  EXPECT_EQ(Variant("C:\\x.exe").Text(), "C:\\x.exe");
  EXPECT_EQ(Variant(true).Text(), "True");
  EXPECT_EQ(Variant(false).Text(), "False");
  EXPECT_EQ(Variant(std::int16_t{-1024}).Text(), "-1024");
  EXPECT_EQ(Variant(std::int32_t{-2147483647 - 1}).Text(), "-2147483648");

  EXPECT_EQ(Variant(std::int32_t{-32768}).ToInt16(), -32768);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant(" 12 ").ToInt16(), 12);
  EXPECT_EQ(FailureOf([] { Variant(std::int32_t{40000}).ToInt16(); }), 6u);
  EXPECT_EQ(FailureOf([] { Variant("twelve").ToInt16(); }), 13u);
  EXPECT_TRUE(Variant("TRUE").ToBoolean());
  EXPECT_FALSE(Variant("0").ToBoolean());
  EXPECT_TRUE(Variant(std::int16_t{2}).ToBoolean());
  EXPECT_FALSE(Variant(std::int32_t{0}).ToBoolean());
  EXPECT_EQ(FailureOf([] { Variant("yes").ToBoolean(); }), 13u);
}

// The edges of what UTF-8 and UTF-16 can carry: the last code point, the
// first one that needs a surrogate pair, and a surrogate encoded on its own,
// which is no character and becomes U+FFFD.
TEST(Utf, ConversionsKeepTheEdgeCodePointsAndReplaceLoneSurrogates) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},  // U+10FFFF
      {"\xF0\x90\x80\x80", u"\xD800\xDC00"},  // U+10000
      {"\xEF\xBF\xBF", u"\xFFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16);
    EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8);
  }
  EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), u"\xFFFD");    // U+D800 alone
  EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\xFFFD");  // past U+10FFFF
  EXPECT_EQ(Utf8FromUtf16(u"\xD800" u"A"), "\xEF\xBF\xBD" "A");  // a high surrogate unpaired
}

}  // namespace
}  // namespace foxbane
