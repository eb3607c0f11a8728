#pragma once

// The block loop of the one-pass search, written once over a vector type and
// compiled per instruction set (text_search_sse2.cpp, text_search_avx2.cpp).
// Those files include this header's dependencies before switching the
// instruction set on, so that only the code below is built for it.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "scan/signature_texts.h"

namespace foxbane::signatures {

// The texts that begin at `position`, among `wanted`; texts reaching past
// `size` are not there.
TextSet TextsAt(const unsigned char* data, std::size_t size, std::size_t position, TextSet wanted);

namespace kernel {

// A text that has no other text as its beginning. Every occurrence of a text
// begins with an occurrence of an anchor, so filtering positions on the
// anchors alone finds every candidate ("cdn.mfx" stands for
// "cdn.mfxnet.com", "M.KA" for "M.KAR").
constexpr bool IsAnchor(std::size_t index) {
  for (std::size_t other = 0; other < kTexts.size(); ++other) {
    if (kTexts[other].size() < kTexts[index].size() && kTexts[index].starts_with(kTexts[other])) {
      return false;
    }
  }
  return true;
}

constexpr std::size_t kAnchorCount = [] {
  std::size_t count = 0;
  for (std::size_t i = 0; i < kTexts.size(); ++i) count += IsAnchor(i) ? 1 : 0;
  return count;
}();

// What the filter compares per anchor: its first byte at the position and its
// last byte `lastOffset` bytes further on.
struct Anchor {
  unsigned char first;
  unsigned char last;
  std::size_t lastOffset;
};

constexpr std::array<Anchor, kAnchorCount> kAnchors = [] {
  std::array<Anchor, kAnchorCount> anchors{};
  std::size_t next = 0;
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    if (!IsAnchor(i)) continue;
    const std::u16string_view text = kTexts[i];
    anchors[next++] = Anchor{static_cast<unsigned char>(text.front()),
                             static_cast<unsigned char>(text.back()), text.size() - 1};
  }
  return anchors;
}();

// How far past a position the filter reads.
constexpr std::size_t kReach = std::max_element(kAnchors.begin(), kAnchors.end(),
                                                [](const Anchor& a, const Anchor& b) {
                                                  return a.lastOffset < b.lastOffset;
                                                })->lastOffset;

// The positions of the block at `block` where some anchor's first and last
// bytes both match, one bit per position.
template <class V, std::size_t... I>
inline std::uint32_t CandidateBits(const unsigned char* block, std::index_sequence<I...>) {
  const typename V::Vec firsts = V::Load(block);
  typename V::Vec hits = V::Zero();
  ((hits = V::Or(hits, V::And(V::Eq(firsts, V::Splat(kAnchors[I].first)),
                              V::Eq(V::Load(block + kAnchors[I].lastOffset),
                                    V::Splat(kAnchors[I].last))))),
   ...);
  return V::Bits(hits);
}

// Scans whole blocks from the start of `data`, adding the texts found to
// `found`. Returns the first position not yet examined: the caller finishes
// the last few positions, whose filter loads would run past the end.
template <class V>
std::size_t ScanBlocks(const unsigned char* data, std::size_t size, TextSet enough,
                       TextSet& found) {
  constexpr std::size_t kWidth = V::kWidth;
  std::size_t position = 0;
  while (size - position >= kWidth + kReach) {
    std::uint32_t bits = CandidateBits<V>(data + position, std::make_index_sequence<kAnchorCount>());
    while (bits != 0) {
      found |= TextsAt(data, size, position + static_cast<std::size_t>(std::countr_zero(bits)),
                       static_cast<TextSet>(~found));
      if ((found & enough) == enough) return size;
      bits &= bits - 1;
    }
    position += kWidth;
  }
  return position;
}

}  // namespace kernel
}  // namespace foxbane::signatures
