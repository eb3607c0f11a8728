#include <gtest/gtest.h>

#include <string>

#include "common/utf.h"

namespace foxbane {
namespace {

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
}

}  // namespace
}  // namespace foxbane
