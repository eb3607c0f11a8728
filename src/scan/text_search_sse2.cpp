#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

#include <emmintrin.h>

#include "scan/text_search_kernel.h"

namespace foxbane::signatures {

namespace {
struct Sse2 {
  using Vec = __m128i;
  static constexpr std::size_t kWidth = 16;
  static Vec Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const Vec*>(p)); }
  static Vec Splat(unsigned char c) { return _mm_set1_epi8(static_cast<char>(c)); }
  static Vec Zero() { return _mm_setzero_si128(); }
  static Vec Eq(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
  static Vec And(Vec a, Vec b) { return _mm_and_si128(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
  static std::uint32_t Bits(Vec v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
};
}  // namespace

std::size_t ScanBlocksSse2(const unsigned char* data, std::size_t size, TextSet enough,
                           TextSet& found) {
  return kernel::ScanBlocks<Sse2>(data, size, enough, found);
}

}  // namespace foxbane::signatures

#endif
