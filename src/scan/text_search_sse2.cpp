#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD

#include <emmintrin.h>

#include <algorithm>
#include <utility>

#include "scan/signature_anchors.h"

// SSE2 is switched on per function, as AVX2 is: a 32-bit x86 build does not
// assume it, and text_search.cpp uses this filter only where it is there.

namespace foxbane::signatures {

namespace {

// The baseline filter: a position is a candidate when some anchor's first
// byte is there and its last byte at the right distance behind it.
constexpr std::size_t kWidth = 16;
constexpr std::size_t kReach = kLongestAnchor - 1;

FOXBANE_TARGET("sse2") __m128i Load(const unsigned char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
FOXBANE_TARGET("sse2") __m128i Splat(char16_t c) { return _mm_set1_epi8(static_cast<char>(c)); }

template <std::size_t... I>
FOXBANE_TARGET("sse2") std::uint32_t CandidateBits(const unsigned char* block,
                                                    std::index_sequence<I...>) {
  const __m128i firsts = Load(block);
  __m128i hits = _mm_setzero_si128();
  ((hits = _mm_or_si128(
        hits, _mm_and_si128(_mm_cmpeq_epi8(firsts, Splat(kAnchors[I].front())),
                            _mm_cmpeq_epi8(Load(block + kAnchors[I].size() - 1),
                                           Splat(kAnchors[I].back()))))),
   ...);
  return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
}

}  // namespace

FOXBANE_TARGET("sse2") Candidates NextCandidatesSse2(const unsigned char* data, std::size_t size,
                                                      std::size_t from) {
  std::size_t block = from;
  for (; size - block >= kWidth + kReach; block += kWidth) {
    _mm_prefetch(reinterpret_cast<const char*>(data + std::min(block + kPrefetchDistance, size - 1)),
                 _MM_HINT_T0);
    const std::uint32_t positions =
        CandidateBits(data + block, std::make_index_sequence<kAnchorCount>());
    if (positions != 0) return Candidates{block, positions, block + kWidth};
  }
  return Candidates{block, 0, block};
}

}  // namespace foxbane::signatures

#endif
