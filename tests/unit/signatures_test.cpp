#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/rule_by_rule.h"
#include "scan/signature_keys.h"
#include "scan/signature_texts.h"
#include "scan/signatures.h"
#include "scan/text_search.h"
#include "support/found_in_chunks.h"

namespace foxbane {
namespace {

using signatures::FindKeyTexts;
using signatures::FindTexts;
using test_support::FoundInChunks;
using signatures::Isa;
using signatures::kKeyTexts;
using signatures::kTexts;
using signatures::TextSet;

constexpr TextSet kAllTexts = (1u << kTexts.size()) - 1;

// The texts, built as single-byte text here only; rule n's texts are Rule(n).
std::string Text(std::size_t index) {
  return std::string(kTexts[index].begin(), kTexts[index].end());
}
std::vector<std::string> Rule(int number) {
  return SignatureRuleTexts()[static_cast<std::size_t>(number - 1)];
}
std::string Joined(const std::vector<std::string>& parts, std::string_view separator = " -- ") {
  std::string joined;
  for (const std::string& part : parts) joined += std::string(separator) + part;
  return joined + std::string(separator);
}

TextSet NaiveTexts(std::string_view contents) {
  static const std::vector<std::vector<std::string>> rules = SignatureRuleTexts();
  return reference::TextsFoundOneByOne(contents, rules);
}

// What the scan is to find in a file: every text it holds when it holds a
// key text, and nothing otherwise.
TextSet NaiveTextsInFile(std::string_view contents) {
  const TextSet texts = NaiveTexts(contents);
  return (texts & kKeyTexts) != 0 ? texts : 0;
}

// Exactly `size` bytes on the heap, nothing behind them: any read past the
// end is caught by the address sanitizer (a std::string would hide a one-byte
// overrun behind its terminator). `text` is put at `offset`, cut at the end.
std::vector<char> ExactBuffer(std::size_t size, std::size_t offset, std::string_view text) {
  std::vector<char> bytes(size, '\0');
  std::copy_n(text.begin(), std::min(text.size(), size - offset), bytes.begin() + offset);
  return bytes;
}
std::string_view View(const std::vector<char>& bytes) { return {bytes.data(), bytes.size()}; }

// A text as 16-bit characters in memory, as a file holding it would have it.
std::string Wide(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), 2 * text.size()};
}

TEST(FirstMatchingRule, AppliesTheRulesInOrderToTheContentsAsBytesEachWithAllItsTexts) {
  const std::string rule4 = Joined(Rule(4));
  const struct {
    const char* what;
    std::string contents;
    int rule;
  } cases[] = {
      {"rule 1 in the other order", Joined({Text(1), Text(0)}), 1},
      {"rule 3 from the domain halves apart", Joined({Text(4), Text(6), Text(5)}), 3},
      {"rule 3 halves in the other order", Joined({Text(5), Text(4), Text(6)}), 3},
      {"rule 4 without its second text, then rule 5", Joined({Text(7)}) + Joined(Rule(5)), 5},
      {"rules 5, 2 and 4: the first in order wins", Joined(Rule(5)) + Joined(Rule(2)) + rule4, 2},
      {"rule 3 early, rule 1 only at the very end",
       Joined(Rule(3)) + std::string(5000, 'x') + Joined(Rule(1), ""), 1},
      {"rule 4 with one capital", Joined({"Mf3_lp", Text(8)}), 0},
      {"rule 4 in 16-bit characters", Wide(kTexts[7]) + Wide(kTexts[8]), 0},
      {"rule 4 behind NUL bytes",
       std::string("MZ\0\0\0", 5) + Text(7) + std::string(300, '\0') + Text(8), 4},
      {"rule 4 cut short by the end", rule4.substr(0, rule4.size() - 5), 0},
      {"nothing", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstMatchingRule(c.contents), c.rule) << c.what;
  // Every rule holds with all its texts, and with none of them left out.
  for (int number = 1; number <= 5; ++number) {
    const std::vector<std::string> texts = Rule(number);
    EXPECT_EQ(FirstMatchingRule(Joined(texts)), number) << "rule " << number;
    for (std::size_t left = 0; left < texts.size(); ++left) {
      std::vector<std::string> partial = texts;
      partial.erase(partial.begin() + static_cast<std::ptrdiff_t>(left));
      EXPECT_EQ(FirstMatchingRule(Joined(partial)), 0)
          << "rule " << number << " without " << texts[left];
    }
  }
}

// Every text at every offset of exact-size buffers of every size up to a few
// blocks and around the widest step (four 64-byte blocks and the two bytes
// the last position looks at), and near a page edge and the end of longer
// ones, texts running off the end included, so that the vector loops and
// their hand-over to the byte loop are checked at the 16, 32, 64 and
// 256-byte steps of each instruction set. The key search likewise, whose
// filter looks at even places only.
TEST(FindTexts, AgreesWithANaiveSearchWhereverATextLiesAndTheContentsBegin) {
  std::vector<std::size_t> sizes(140);
  std::iota(sizes.begin(), sizes.end(), 1);
  for (std::size_t size = 250; size <= 270; ++size) sizes.push_back(size);
  sizes.insert(sizes.end(), {4095, 4096, 4097, 8192 + 17});
  for (const Isa isa : signatures::SupportedIsas()) {
    for (const std::size_t size : sizes) {
      for (std::size_t offset = 0; offset < size; ++offset) {
        const bool nearPageEdge = offset + 40 >= 4096 && offset < 4096 + 24;
        if (size > 270 && !nearPageEdge && offset + 64 < size) continue;
        for (std::size_t text = 0; text < kTexts.size(); ++text) {
          const std::vector<char> buffer = ExactBuffer(size, offset, Text(text));
          ASSERT_EQ(FindTexts(View(buffer), kAllTexts, isa), NaiveTexts(View(buffer)))
              << "isa " << static_cast<int>(isa) << " size " << size << " text " << text
              << " offset " << offset;
          ASSERT_EQ(FindKeyTexts(View(buffer), isa), NaiveTexts(View(buffer)) & kKeyTexts)
              << "keys, isa " << static_cast<int>(isa) << " size " << size << " text " << text
              << " offset " << offset;
        }
      }
    }
    // The same where the contents begin at each place within a 64-byte piece
    // of memory, as the vector filters treat the first block apart from the
    // rest: texts in the first blocks, and in the last ones, after a whole
    // step of the widest filter.
    constexpr std::size_t kSize = 400;
    std::vector<std::size_t> offsets(81);
    std::iota(offsets.begin(), offsets.end(), 0);
    for (std::size_t offset = 300; offset < kSize; ++offset) offsets.push_back(offset);
    for (std::size_t skew = 0; skew < 64; ++skew) {
      for (const std::size_t offset : offsets) {
        for (std::size_t text = 0; text < kTexts.size(); ++text) {
          const std::vector<char> buffer = ExactBuffer(skew + kSize, skew + offset, Text(text));
          const std::string_view view = View(buffer).substr(skew);
          ASSERT_EQ(FindTexts(view, kAllTexts, isa), NaiveTexts(view))
              << "isa " << static_cast<int>(isa) << " skew " << skew << " text " << text
              << " offset " << offset;
          ASSERT_EQ(FindKeyTexts(view, isa), NaiveTexts(view) & kKeyTexts)
              << "keys, isa " << static_cast<int>(isa) << " skew " << skew << " text " << text
              << " offset " << offset;
        }
      }
    }
  }
}

// Random contents drawn mostly from the texts' own bytes and beginnings, so
// that near misses, overlaps and candidates in one block are frequent; read
// whole, and in chunks of a random size. The key search finds some of the
// keys there, and one at least when there is one.
TEST(FindTexts, AgreesWithTheRuleByRuleReferenceOnRandomBuffers) {
  const std::vector<std::vector<std::string>> rules = SignatureRuleTexts();
  std::mt19937 random(20040327);
  const auto pick = [&](std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
  };
  for (int round = 0; round < 3000; ++round) {
    const std::size_t size = pick(0, 700);
    std::string contents;
    while (contents.size() < size) {
      const std::size_t kind = pick(0, 9);
      const std::string text = Text(pick(0, kTexts.size() - 1));
      if (kind == 0) {
        contents += text;
      } else if (kind < 4) {
        contents += text.substr(0, pick(1, text.size()));
      } else {
        contents += static_cast<char>(pick(0, 255));
      }
    }
    const std::vector<char> buffer = ExactBuffer(size, 0, contents);
    const std::string_view view = View(buffer);
    const int rule = reference::FirstMatchingRuleByRule(view, rules);
    ASSERT_EQ(FirstMatchingRule(view), rule) << "round " << round;
    for (const Isa isa : signatures::SupportedIsas()) {
      ASSERT_EQ(FindTexts(view, kAllTexts, isa), NaiveTexts(view))
          << "isa " << static_cast<int>(isa) << " round " << round;
      const TextSet keys = FindKeyTexts(view, isa);
      ASSERT_EQ(keys & ~(NaiveTexts(view) & kKeyTexts), 0) << "isa " << static_cast<int>(isa) << " round " << round;
      ASSERT_EQ(keys != 0, (NaiveTexts(view) & kKeyTexts) != 0)
          << "isa " << static_cast<int>(isa) << " round " << round;
    }
    const std::size_t chunk = pick(1, 80);
    const TextSet inChunks = FoundInChunks(view, chunk);
    ASSERT_EQ(FirstMatchingRule(inChunks), rule) << "round " << round << " chunk " << chunk;
    if (rule != 1) {
      ASSERT_EQ(inChunks, NaiveTextsInFile(view)) << "round " << round << " chunk " << chunk;
    }
  }
}

// Every text starting at every place before, on and after the first chunk
// borders, for chunk sizes on both sides of the texts' lengths and of the
// vector filters' widths and steps (the widest takes two 64-byte blocks a
// step); and across the first border of the scan's own piece size. A text
// that holds no key is followed by one, later in the file: the file is read
// again for it. A key alone is found by the search for the keys.
std::string WithTextAt(std::size_t offset, std::size_t text) {
  std::string contents = std::string(offset, '.') + Text(text) + "...";
  if ((NaiveTexts(contents) & kKeyTexts) == 0) contents += Text(10);  // a key
  return contents;
}

// Both where the chunks are searched on a thread of their own (2
// processors) and where they are searched on the reading thread (1).
TEST(ChunkedTextSearch, FindsEachTextWhereverChunkBordersCutIt) {
  for (const unsigned processors : {2u, 1u}) {
    for (const std::size_t chunk : {1, 2, 3, 5, 8, 13, 15, 16, 17, 31, 32, 33, 48, 64, 100, 127, 128,
                                    129, 131, 255, 256, 257}) {
      FileTextSearch search(chunk, processors);
      for (std::size_t text = 0; text < kTexts.size(); ++text) {
        for (std::size_t offset = 0; offset <= 2 * chunk + kTexts[text].size(); ++offset) {
          const std::string contents = WithTextAt(offset, text);
          ASSERT_EQ(FoundInChunks(search, contents), NaiveTexts(contents))
              << processors << " processors, chunk " << chunk << " text " << text << " offset "
              << offset;
        }
      }
    }
    FileTextSearch scans(signatures::ChunkedTextSearch::kDefaultChunkBytes, processors);
    const std::size_t piece = signatures::ChunkedTextSearch::kDefaultChunkBytes;
    for (std::size_t text = 0; text < kTexts.size(); ++text) {
      for (std::size_t offset = piece - kTexts[text].size() - 1; offset <= piece + 1; ++offset) {
        const std::string contents = WithTextAt(offset, text);
        ASSERT_EQ(FoundInChunks(scans, contents), NaiveTexts(contents))
            << processors << " processors, the scan's pieces, text " << text << " offset " << offset;
      }
    }
  }
}

// A search reused for another file starts from nothing: no text found
// before, and no bytes carried over to complete a key ("mf3" and "_lp").
TEST(ChunkedTextSearch, RestartForgetsTheFileBefore) {
  FileTextSearch search(8, 2);
  const std::string rule5 = Joined(Rule(5)) + "mf3";
  EXPECT_EQ(FoundInChunks(search, rule5), NaiveTexts(rule5));
  EXPECT_EQ(FoundInChunks(search, "_lp " + Text(8)), 0);
  EXPECT_EQ(FoundInChunks(search, Joined(Rule(4))), NaiveTexts(Joined(Rule(4))));
}

}  // namespace
}  // namespace foxbane
