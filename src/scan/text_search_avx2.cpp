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

// Non-zero at each even byte where a pair of some key may begin: the lookups
// give each byte the keys whose pairs it may begin (bits 0-3) or end (bits
// 4-7), and the odd byte's ends are moved onto the even byte beside it.
FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline __m256i KeyPairs(const unsigned char* at,
                                                                    __m256i low, __m256i high) {
  const __m256i bytes = Load(at);
  const __m256i highHalves = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
  const __m256i halves = _mm256_and_si256(_mm256_shuffle_epi8(low, bytes),
                                          _mm256_shuffle_epi8(high, highHalves));
  return _mm256_and_si256(halves, _mm256_srli_epi16(halves, 12));
}

FOXBANE_TARGET("avx2") FOXBANE_ALWAYS_INLINE inline std::uint64_t NonZeroBytes(__m256i first,
                                                                              __m256i second) {
  const __m256i zero = _mm256_setzero_si256();
  const auto low = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(first, zero)));
  const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(second, zero)));
  return ~(std::uint64_t{high} << kWidth | low);
}

}  // namespace

// Four vectors a step, and the places worked out only for a step that has
// some: the test of a step costs little more than that of one vector.
FOXBANE_TARGET("avx2") Candidates NextKeyPairsAvx2(const unsigned char* data, std::size_t size,
                                                    std::size_t from) {
  const __m256i low = BothLanes(kKeyPairTables.low);
  const __m256i high = BothLanes(kKeyPairTables.high);
  std::size_t block = from;
  for (; size - block >= 4 * kWidth; block += 4 * kWidth) {
    const __m256i a = KeyPairs(data + block, low, high);
    const __m256i b = KeyPairs(data + block + kWidth, low, high);
    const __m256i c = KeyPairs(data + block + 2 * kWidth, low, high);
    const __m256i d = KeyPairs(data + block + 3 * kWidth, low, high);
    const __m256i any = _mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d));
    if (_mm256_testz_si256(any, any)) continue;
    if (const std::uint64_t first = NonZeroBytes(a, b)) return Candidates{block, first, block + 2 * kWidth};
    return Candidates{block + 2 * kWidth, NonZeroBytes(c, d), block + 4 * kWidth};
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
