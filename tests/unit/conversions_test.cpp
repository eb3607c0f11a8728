#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

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

// The errors are Visual Basic's: 6 for an overflow, 13 for a type mismatch.
TEST(Variant, TextFormOfEachKindAndConversionsForWritesCheckRangeAndForm) {
  const std::pair<Variant, std::string> texts[] = {
      {Variant(), ""},     {"C:\\x.exe", "C:\\x.exe"},           {true, "True"},
      {false, "False"}, {std::int16_t{-1024}, "-1024"}, {std::int32_t{-2147483647 - 1}, "-2147483648"}};
  for (const auto& [variant, text] : texts) EXPECT_EQ(variant.Text(), text);
  EXPECT_EQ(Variant(std::int32_t{-32768}).ToInt16(), -32768);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant(" 12 ").ToInt16(), 12);
  EXPECT_EQ(FailureOf([] { Variant(std::int32_t{40000}).ToInt16(); }), 6u);
  EXPECT_EQ(FailureOf([] { Variant("twelve").ToInt16(); }), 13u);
  for (const Variant& yes : {Variant("TRUE"), Variant(std::int16_t{2})}) EXPECT_TRUE(yes.ToBoolean());
  for (const Variant& no : {Variant(), Variant("0"), Variant(std::int32_t{0})}) EXPECT_FALSE(no.ToBoolean());
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
