#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/nibble_tables.h"
#include "scan/signature_texts.h"

namespace foxbane::signatures {

// One text of each rule, the rarest in ordinary programs, and the text that
// the rule's own first text begins with in rule 1 ("cdn.mfx", which rule 3
// holds too): a file that holds none of them matches no rule. Most files are
// settled by a search for these four alone, which costs far less than a
// search for every text.
inline constexpr std::array<std::u16string_view, 4> kRuleKeys = {
    kDomainHead, kDomainSignature2, u"mf3_lp", kFragmentSignature2};

constexpr TextSet TextBit(std::u16string_view text) {
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    if (kTexts[i] == text) return static_cast<TextSet>(1u << i);
  }
  return 0;
}

inline constexpr TextSet kKeyTexts = [] {
  TextSet keys = 0;
  for (const std::u16string_view key : kRuleKeys) keys |= TextBit(key);
  return keys;
}();

constexpr bool BeginsWithAKey(std::u16string_view text) {
  return std::any_of(kRuleKeys.begin(), kRuleKeys.end(),
                     [text](std::u16string_view key) { return text.starts_with(key); });
}

constexpr bool EveryRuleNeedsAKey() {
  for (std::size_t rule = 0; rule < kRuleSizes.size(); ++rule) {
    bool keyed = false;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
      keyed = keyed || ((RuleTexts(rule) >> i & 1u) != 0 && BeginsWithAKey(kTexts[i]));
    }
    if (!keyed) return false;
  }
  return true;
}
static_assert(EveryRuleNeedsAKey());

// The key filter looks only at the byte pairs that begin at every fourth
// place: a key of five bytes or more has one of its first four pairs there.
inline constexpr std::size_t kKeyStride = 4;
static_assert(std::all_of(kRuleKeys.begin(), kRuleKeys.end(), [](std::u16string_view key) {
  return TextBit(key) != 0 && key.size() >= kKeyStride + 1 &&
         std::all_of(key.begin(), key.end(), [](char16_t c) { return c < 0x80; });
}));

// Those pairs in four buckets, one string of pairs each, grouped so that
// pairs in one bucket share their bytes' halves: then few other pairs pass
// (116 of the 65536, against 396 with a bucket for each key).
inline constexpr std::array<std::u16string_view, 4> kKeyPairBuckets = {
    u"3_f3pS", u"Sh_lcdhemf", u".mdnn.", u"Lpw.ww"};

constexpr bool InABucket(char16_t first, char16_t second) {
  for (const std::u16string_view bucket : kKeyPairBuckets) {
    for (std::size_t i = 0; i + 1 < bucket.size(); i += 2) {
      if (bucket[i] == first && bucket[i + 1] == second) return true;
    }
  }
  return false;
}
static_assert(std::all_of(kRuleKeys.begin(), kRuleKeys.end(), [](std::u16string_view key) {
  for (std::size_t i = 0; i < kKeyStride; ++i) {
    if (!InABucket(key[i], key[i + 1])) return false;
  }
  return true;
}));

// The same pairs as 16-bit values, first byte low, as a 16-bit load of the
// bytes gives them.
inline constexpr std::size_t kKeyPairCount = [] {
  std::size_t count = 0;
  for (const std::u16string_view bucket : kKeyPairBuckets) count += bucket.size() / 2;
  return count;
}();
inline constexpr std::array<std::uint16_t, kKeyPairCount> kKeyPairValues = [] {
  std::array<std::uint16_t, kKeyPairCount> values{};
  std::size_t next = 0;
  for (const std::u16string_view bucket : kKeyPairBuckets) {
    for (std::size_t i = 0; i + 1 < bucket.size(); i += 2) {
      values[next++] = static_cast<std::uint16_t>(bucket[i] | bucket[i + 1] << 8);
    }
  }
  return values;
}();

// The filter's tables: bucket k's first bytes are accepted in bit k, its
// second bytes in bit 4 + k, each byte by its two halves as in the nibble
// filters. A byte above 0x7F is in no key, so the low half's lookup needs no
// mask: the shuffle gives 0 for such a byte.
inline constexpr NibbleTables kKeyPairTables = [] {
  NibbleTables tables{};
  for (std::size_t k = 0; k < kKeyPairBuckets.size(); ++k) {
    for (std::size_t i = 0; i < kKeyPairBuckets[k].size(); ++i) {
      const auto byte = static_cast<unsigned char>(kKeyPairBuckets[k][i]);
      const auto bit = static_cast<std::uint8_t>(1u << (k + 4 * (i % 2)));
      tables.low[byte & 0x0F] |= bit;
      tables.high[byte >> 4] |= bit;
    }
  }
  return tables;
}();

}  // namespace foxbane::signatures
