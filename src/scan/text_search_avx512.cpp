#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

// The AVX2 filter at twice the width, where the processor has 512-bit
// registers with byte operations (AVX-512BW). Switched on per function, as
// there.
#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "scan/nibble_tables.h"

namespace foxbane::signatures {

namespace {

constexpr std::size_t kWidth = 64;

struct Tables {
  __m512i low[kFingerprint];
  __m512i high[kFingerprint];
};

// (The masked broadcast, as GCC 12's plain one warns about its own header.)
FOXBANE_TARGET("avx512bw") __m512i EveryLane(const std::array<std::uint8_t, 16>& table) {
  return _mm512_maskz_broadcast_i32x4(
      0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data())));
}

// Always inlined, so that the tables stay in registers: a 64-byte value that
// a Windows build spills to the stack may be misaligned there.
FOXBANE_TARGET("avx512bw") FOXBANE_ALWAYS_INLINE inline std::uint64_t BlockCandidates(
    const Tables& tables, const unsigned char* block) {
  const __m512i nibble = _mm512_set1_epi8(0x0F);
  __m512i buckets = _mm512_set1_epi8(-1);
  for (std::size_t i = 0; i < kFingerprint; ++i) {
    const __m512i bytes = _mm512_loadu_si512(block + i);
    const __m512i lows = _mm512_shuffle_epi8(tables.low[i], _mm512_and_si512(bytes, nibble));
    const __m512i highs = _mm512_shuffle_epi8(
        tables.high[i], _mm512_and_si512(_mm512_srli_epi16(bytes, 4), nibble));
    buckets = _mm512_ternarylogic_epi64(buckets, lows, highs, 0x80);  // all three
  }
  return _mm512_test_epi8_mask(buckets, buckets);
}

}  // namespace

FOXBANE_TARGET("avx512bw") Candidates NextCandidatesAvx512(const unsigned char* data,
                                                            std::size_t size, std::size_t from) {
  Tables tables;
  for (std::size_t i = 0; i < kFingerprint; ++i) {
    tables.low[i] = EveryLane(kNibbleTables[i].low);
    tables.high[i] = EveryLane(kNibbleTables[i].high);
  }
  const auto fits = [size](std::size_t block) { return size - block >= kWidth + kFingerprint - 1; };
  std::size_t block = from;
  // A block that starts on a 64-byte boundary loads faster (one load fewer
  // splits across cache lines), so the first block only goes as far as the
  // next boundary.
  if (const std::size_t head = (kWidth - reinterpret_cast<std::uintptr_t>(data + from) % kWidth) % kWidth;
      head != 0 && fits(block)) {
    const std::uint64_t positions =
        BlockCandidates(tables, data + block) & ((std::uint64_t{1} << head) - 1);
    if (positions != 0) return Candidates{block, positions, block + head};
    block += head;
  }
  for (; fits(block); block += kWidth) {
    if (reinterpret_cast<std::uintptr_t>(data + block) % kPage == 0) {
      TouchPageAhead(data, size, block);
    }
    const std::uint64_t positions = BlockCandidates(tables, data + block);
    if (positions != 0) return Candidates{block, positions, block + kWidth};
  }
  return Candidates{block, 0, block};
}

}  // namespace foxbane::signatures

#endif
