#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

// AVX2 is switched on per function, for this file's functions alone: an
// inline function from a header, built here with AVX2, could be the copy the
// linker keeps for every processor. (A target attribute, not GCC's target
// pragma, which clang ignores.)
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "scan/nibble_tables.h"
#include "scan/signature_keys.h"

namespace foxbane::signatures {

namespace {

constexpr std::size_t kWidth = 32;

FOXBANE_TARGET("avx2") __m256i BothLanes(const std::array<std::uint8_t, 16>& table) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

FOXBANE_TARGET("avx2") __m256i Load(const unsigned char* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// The pairs that begin every fourth place of 64 bytes, packed into one
// vector: those of the first 32 bytes in the low halves of its 32-bit lanes,
// those of the next in the high halves.
FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline __m256i FourthPairs(const unsigned char* at) {
  return _mm256_blend_epi16(Load(at), _mm256_slli_epi32(Load(at + kWidth), 16), 0xAA);
}

// Non-zero at the first byte of each packed pair that may be a pair of some
// key: the lookups give each byte the buckets whose pairs it may begin (bits
// 0-3) or end (bits 4-7), and the second byte's are moved onto the first.
FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline __m256i KeyPairs(__m256i pairs, __m256i low,
                                                                    __m256i high) {
  const __m256i highHalves = _mm256_and_si256(_mm256_srli_epi16(pairs, 4), _mm256_set1_epi8(0x0F));
  const __m256i halves = _mm256_and_si256(_mm256_shuffle_epi8(low, pairs),
                                          _mm256_shuffle_epi8(high, highHalves));
  return _mm256_and_si256(halves, _mm256_srli_epi16(halves, 12));
}

// Non-zero at both bytes of each packed pair that is a pair of some key.
FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline __m256i KeyPairsExactly(__m256i pairs) {
  __m256i matches = _mm256_setzero_si256();
  for (const std::uint16_t pair : kKeyPairValues) {
    matches = _mm256_or_si256(
        matches, _mm256_cmpeq_epi16(pairs, _mm256_set1_epi16(static_cast<short>(pair))));
  }
  return matches;
}

// The places of the 64 bytes FourthPairs packed (bit n for byte n) whose
// pairs are marked: non-zero at the pair's first byte in `marks`.
FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline std::uint64_t MarkedPlaces(__m256i marks) {
  const auto bytes = ~static_cast<std::uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(marks, _mm256_setzero_si256())));
  return (bytes & 0x11111111u) | std::uint64_t{(bytes & 0x44444444u) >> 2} << kWidth;
}

}  // namespace

// 256 bytes a step. The nibble lookups pass some other pairs too, on random
// bytes in about one step of ten: the pairs of such a step are compared with
// the keys' own in the registers, which costs far less than a return to the
// caller for each.
FOXBANE_TARGET("avx2") Candidates NextKeyPairsAvx2(const unsigned char* data, std::size_t size,
                                                    std::size_t from) {
  const __m256i low = BothLanes(kKeyPairTables.low);
  const __m256i high = BothLanes(kKeyPairTables.high);
  constexpr std::size_t kPacked = 4;
  constexpr std::size_t kStep = kPacked * 2 * kWidth;
  std::size_t block = from;
  for (; size - block >= kStep; block += kStep) {
    __m256i pairs[kPacked];
    __m256i passed[kPacked];
    for (std::size_t i = 0; i < kPacked; ++i) {
      pairs[i] = FourthPairs(data + block + 2 * kWidth * i);
      passed[i] = KeyPairs(pairs[i], low, high);
    }
    const __m256i any = _mm256_or_si256(_mm256_or_si256(passed[0], passed[1]),
                                        _mm256_or_si256(passed[2], passed[3]));
    if (_mm256_testz_si256(any, any)) continue;
    for (std::size_t i = 0; i < kPacked; ++i) {
      if (_mm256_testz_si256(passed[i], passed[i])) continue;
      const std::size_t at = block + 2 * kWidth * i;
      if (const std::uint64_t places = MarkedPlaces(KeyPairsExactly(pairs[i]))) {
        return Candidates{at, places, at + 2 * kWidth};
      }
    }
  }
  return Candidates{block, 0, block};
}

FOXBANE_TARGET("avx2") Candidates NextCandidatesAvx2(const unsigned char* data,
                                                      std::size_t size, std::size_t from) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  __m256i low[kFingerprint];
  __m256i high[kFingerprint];
  for (std::size_t i = 0; i < kFingerprint; ++i) {
    low[i] = BothLanes(kNibbleTables[i].low);
    high[i] = BothLanes(kNibbleTables[i].high);
  }
  std::size_t block = from;
  for (; size - block >= kWidth + kFingerprint - 1; block += kWidth) {
    _mm_prefetch(reinterpret_cast<const char*>(data + std::min(block + kPrefetchDistance, size - 1)),
                 _MM_HINT_T0);
    __m256i buckets = _mm256_set1_epi8(-1);
    for (std::size_t i = 0; i < kFingerprint; ++i) {
      const __m256i bytes = Load(data + block + i);
      const __m256i lows = _mm256_shuffle_epi8(low[i], _mm256_and_si256(bytes, nibble));
      const __m256i highs =
          _mm256_shuffle_epi8(high[i], _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
      buckets = _mm256_and_si256(buckets, _mm256_and_si256(lows, highs));
    }
    const auto positions = ~static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(buckets, _mm256_setzero_si256())));
    if (positions != 0) return Candidates{block, positions, block + kWidth};
  }
  return Candidates{block, 0, block};
}

}  // namespace foxbane::signatures

#endif
