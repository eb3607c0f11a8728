#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

// Everything the kernel header includes comes first, built for the baseline:
// only the kernel itself may use AVX2, or a shared inline function built here
// could be the copy the linker keeps for processors without it.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>
#include <utility>

#include "scan/signature_texts.h"

#pragma GCC push_options
#pragma GCC target("avx2")

#include "scan/text_search_kernel.h"

namespace foxbane::signatures {

namespace {
struct Avx2 {
  using Vec = __m256i;
  static constexpr std::size_t kWidth = 32;
  static Vec Load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p));
  }
  static Vec Splat(unsigned char c) { return _mm256_set1_epi8(static_cast<char>(c)); }
  static Vec Zero() { return _mm256_setzero_si256(); }
  static Vec Eq(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
  static Vec And(Vec a, Vec b) { return _mm256_and_si256(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
  static std::uint32_t Bits(Vec v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
};
}  // namespace

std::size_t ScanBlocksAvx2(const unsigned char* data, std::size_t size, TextSet enough,
                           TextSet& found) {
  return kernel::ScanBlocks<Avx2>(data, size, enough, found);
}

}  // namespace foxbane::signatures

#pragma GCC pop_options

#endif
