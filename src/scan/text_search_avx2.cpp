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

namespace foxbane::signatures {

namespace {

constexpr std::size_t kWidth = 32;

FOXBANE_TARGET("avx2") __m256i BothLanes(const std::array<std::uint8_t, 16>& table) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

FOXBANE_TARGET("avx2") __m256i Load(const unsigned char* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

}  // namespace

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
