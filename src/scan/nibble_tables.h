#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "scan/signature_anchors.h"

namespace foxbane::signatures {

// The tables of the nibble filters (AVX2, AVX-512): each anchor is put in
// one of eight buckets, and for each of its first three bytes two 16-entry
// tables give the buckets that accept the byte's low and its high half. One
// shuffle per table looks up a whole vector of positions at once; a position
// whose three bytes agree on some bucket is a candidate. Anchors sharing a
// bucket only add rare false candidates.
inline constexpr std::size_t kFingerprint = 3;
inline constexpr std::size_t kBuckets = 8;
static_assert(kShortestAnchor >= kFingerprint);

struct NibbleTables {
  std::array<std::uint8_t, 16> low{};
  std::array<std::uint8_t, 16> high{};
};

inline constexpr std::array<NibbleTables, kFingerprint> kNibbleTables = [] {
  std::array<NibbleTables, kFingerprint> tables{};
  for (std::size_t anchor = 0; anchor < kAnchorCount; ++anchor) {
    const auto bucket = static_cast<std::uint8_t>(1u << (anchor % kBuckets));
    for (std::size_t i = 0; i < kFingerprint; ++i) {
      const auto byte = static_cast<unsigned char>(kAnchors[anchor][i]);
      tables[i].low[byte & 0x0F] |= bucket;
      tables[i].high[byte >> 4] |= bucket;
    }
  }
  return tables;
}();

}  // namespace foxbane::signatures
