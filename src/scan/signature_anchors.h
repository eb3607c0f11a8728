#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "scan/signature_texts.h"

namespace foxbane::signatures {

// The texts that have no other text as their beginning. Every occurrence of
// a text begins with an occurrence of one of these, so a filter that looks
// for the anchors alone misses no text ("cdn.mfx" stands in for
// "cdn.mfxnet.com", "M.KA" for "M.KAR").
constexpr bool IsAnchor(std::size_t index) {
  for (const std::u16string_view other : kTexts) {
    if (other.size() < kTexts[index].size() && kTexts[index].starts_with(other)) return false;
  }
  return true;
}

inline constexpr std::size_t kAnchorCount = [] {
  std::size_t count = 0;
  for (std::size_t i = 0; i < kTexts.size(); ++i) count += IsAnchor(i) ? 1 : 0;
  return count;
}();

inline constexpr std::array<std::u16string_view, kAnchorCount> kAnchors = [] {
  std::array<std::u16string_view, kAnchorCount> anchors{};
  std::size_t next = 0;
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    if (IsAnchor(i)) anchors[next++] = kTexts[i];
  }
  return anchors;
}();

inline constexpr std::size_t kShortestAnchor = [] {
  std::size_t shortest = kAnchors[0].size();
  for (const std::u16string_view anchor : kAnchors) shortest = std::min(shortest, anchor.size());
  return shortest;
}();

inline constexpr std::size_t kLongestAnchor = [] {
  std::size_t longest = 0;
  for (const std::u16string_view anchor : kAnchors) longest = std::max(longest, anchor.size());
  return longest;
}();

}  // namespace foxbane::signatures
