#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

// The filter where the processor can also look a byte up in a table of 128
// (AVX-512 VBMI): one lookup per fingerprint byte in place of the nibble
// filter's two shuffles, two masks and a shift, and exact for 7-bit bytes.
// Several times the nibble filter's speed on a piece in the cache, which
// is what lets the search keep up with the reading. Switched on per
// function, as the other filters are.
#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "scan/nibble_tables.h"

namespace foxbane::signatures {

namespace {

constexpr std::size_t kWidth = 64;
constexpr std::size_t kStep = 4;  // blocks

// For each of an anchor's first bytes, the buckets (as the nibble filter
// has them) of the anchors that have that byte there, by the byte's low
// seven bits. Every anchor is 7-bit text, so a first byte with its high bit
// set begins none; a high byte further on only reads as its 7-bit twin,
// which adds false candidates and misses none.
struct alignas(kWidth) ByteTable {
  std::array<std::uint8_t, 2 * kWidth> buckets{};
};

inline constexpr std::array<ByteTable, kFingerprint> kByteTables = [] {
  std::array<ByteTable, kFingerprint> tables{};
  for (std::size_t anchor = 0; anchor < kAnchorCount; ++anchor) {
    const auto bucket = static_cast<std::uint8_t>(1u << (anchor % kBuckets));
    for (std::size_t i = 0; i < kFingerprint; ++i) {
      tables[i].buckets[static_cast<unsigned char>(kAnchors[anchor][i]) & 0x7F] |= bucket;
    }
  }
  return tables;
}();

struct Tables {
  __m512i low[kFingerprint];   // entries 0 to 63
  __m512i high[kFingerprint];  // entries 64 to 127
};

// The buckets that all three bytes from each position of the block accept.
// Always inlined, so that the tables stay in registers: a 64-byte value that
// a Windows build spills to the stack may be misaligned there.
FOXBANE_TARGET("avx512bw,avx512vbmi") FOXBANE_ALWAYS_INLINE inline __m512i BlockBuckets(
    const Tables& tables, const unsigned char* block) {
  const __m512i at0 =
      _mm512_permutex2var_epi8(tables.low[0], _mm512_loadu_si512(block), tables.high[0]);
  const __m512i at1 =
      _mm512_permutex2var_epi8(tables.low[1], _mm512_loadu_si512(block + 1), tables.high[1]);
  const __m512i at2 =
      _mm512_permutex2var_epi8(tables.low[2], _mm512_loadu_si512(block + 2), tables.high[2]);
  return _mm512_ternarylogic_epi64(at0, at1, at2, 0x80);  // all three
}

FOXBANE_TARGET("avx512bw,avx512vbmi") FOXBANE_ALWAYS_INLINE inline std::uint64_t BlockCandidates(
    const Tables& tables, const unsigned char* block) {
  const __m512i buckets = BlockBuckets(tables, block);
  return _mm512_test_epi8_mask(buckets, buckets) & ~_mm512_movepi8_mask(_mm512_loadu_si512(block));
}

}  // namespace

FOXBANE_TARGET("avx512bw,avx512vbmi") Candidates NextCandidatesAvx512Vbmi(
    const unsigned char* data, std::size_t size, std::size_t from) {
  static_assert(kFingerprint == 3, "BlockCandidates looks up three bytes");
  Tables tables;
  for (std::size_t i = 0; i < kFingerprint; ++i) {
    tables.low[i] = _mm512_load_si512(kByteTables[i].buckets.data());
    tables.high[i] = _mm512_load_si512(kByteTables[i].buckets.data() + kWidth);
  }
  const auto fits = [size](std::size_t block, std::size_t blocks) {
    return size - block >= blocks * kWidth + kFingerprint - 1;
  };
  std::size_t block = from;
  // The first block only goes as far as the next 64-byte boundary: the
  // blocks after it load faster there (fewer loads split across lines).
  if (const std::size_t head = (kWidth - reinterpret_cast<std::uintptr_t>(data + from) % kWidth) % kWidth;
      head != 0 && fits(block, 1)) {
    const std::uint64_t positions =
        BlockCandidates(tables, data + block) & ((std::uint64_t{1} << head) - 1);
    if (positions != 0) return Candidates{block, positions, block + head};
    block += head;
  }
  // Four blocks a step, tested together: candidates are rare, and one
  // branch for four blocks keeps the lookups flowing. A step that holds any
  // is gone through again block by block.
  for (; fits(block, kStep); block += kStep * kWidth) {
    if (reinterpret_cast<std::uintptr_t>(data + block) % kPage < kStep * kWidth) {
      TouchPageAhead(data, size, block);
    }
    __m512i any = BlockBuckets(tables, data + block);
    for (std::size_t i = 1; i < kStep; ++i) {
      any = _mm512_or_si512(any, BlockBuckets(tables, data + block + i * kWidth));
    }
    if (_mm512_test_epi8_mask(any, any) == 0) continue;
    for (std::size_t i = 0; i < kStep; ++i) {
      const std::size_t at = block + i * kWidth;
      if (const std::uint64_t positions = BlockCandidates(tables, data + at); positions != 0) {
        return Candidates{at, positions, at + kWidth};
      }
    }
  }
  for (; fits(block, 1); block += kWidth) {
    if (const std::uint64_t positions = BlockCandidates(tables, data + block); positions != 0) {
      return Candidates{block, positions, block + kWidth};
    }
  }
  return Candidates{block, 0, block};
}

}  // namespace foxbane::signatures

#endif
