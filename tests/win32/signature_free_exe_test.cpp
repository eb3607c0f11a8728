// Foxbane's own executable holds the detection texts only as 16-bit
// characters, so a scan can never detect Foxbane itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/running_program.h"
#include "scan/signature_texts.h"
#include "scan/signatures.h"
#include "support/waiting_process.h"

namespace foxbane::win32::testing {
namespace {

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

void ExpectNoSingleByteSignature(const std::filesystem::path& file) {
  SCOPED_TRACE(file.string());
  const std::string contents = Bytes(file);
  ASSERT_FALSE(contents.empty());
  // The matcher is in there, its texts in their 16-bit form...
  EXPECT_NE(contents.find(Utf16LeBytes(signatures::kDomainSignature1)), std::string::npos);
  // ...and none of them as single-byte text.
  int texts = 0;
  for (const std::vector<std::string>& rule : SignatureRuleTexts()) {
    for (const std::string& text : rule) {
      ++texts;
      EXPECT_EQ(contents.find(text), std::string::npos) << text;
    }
  }
  EXPECT_EQ(texts, 12);
  EXPECT_EQ(FirstMatchingRule(contents), 0);
}

TEST(SignatureFreeExecutables, FoxbaneHoldsNoSignatureAsSingleByteText) {
  ExpectNoSingleByteSignature(ProgramPath());
}

TEST(SignatureFreeExecutables, TheTestsThatLinkTheMatcherHoldNoneEither) {
  ExpectNoSingleByteSignature(test_support::OwnPath());
}

}  // namespace
}  // namespace foxbane::win32::testing
