#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The vector forms of the search exist where the compiler can build x86
// vector code; elsewhere the portable byte loop does all the work. (ARM64EC
// defines _M_X64 too, but runs on an ARM processor.)
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define FOXBANE_X86_SIMD 1
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86)) && !defined(_M_ARM64EC)
#define FOXBANE_X86_SIMD 1
#else
#define FOXBANE_X86_SIMD 0
#endif

// GCC and clang (clang-cl too) build an instruction set's intrinsics only in
// functions marked for it, which lets the rest of the program run on any
// processor; MSVC builds them anywhere and needs no mark.
#if defined(__GNUC__) || defined(__clang__)
#define FOXBANE_TARGET(isa) [[gnu::target(isa)]]
#define FOXBANE_ALWAYS_INLINE [[gnu::always_inline]]
#else
#define FOXBANE_TARGET(isa)
#define FOXBANE_ALWAYS_INLINE
#endif

namespace foxbane::signatures {

// What a vector filter found: the positions from `block` on where an anchor
// may begin (bit n for block + n, up to 64), and where to go on from. No candidates
// means the filter has gone as far as it can without reading past the end;
// the positions from `next` on are left to the byte loop.
struct Candidates {
  std::size_t block = 0;
  std::uint64_t positions = 0;
  std::size_t next = 0;
};

// The filters run faster than the memory can feed them unless they ask for
// the bytes some way ahead of where they are.
inline constexpr std::size_t kPrefetchDistance = 4096;

// The 64-byte filters take bytes that are not in the cache at full speed
// only from a page already known to the processor's address translation: a
// wide load that runs into a page still unknown is slow, and a prefetch does
// not make the page known. So, once a page, they read one byte two pages
// ahead of `from` (or the last byte), for its translation alone: a volatile
// read, which every compiler keeps, MSVC included.
inline constexpr std::size_t kPage = 4096;
FOXBANE_ALWAYS_INLINE inline void TouchPageAhead(const unsigned char* data, std::size_t size,
                                                 std::size_t from) {
  const volatile unsigned char* const ahead = data + std::min(from + 2 * kPage, size - 1);
  static_cast<void>(*ahead);
}

#if FOXBANE_X86_SIMD
// The filters: the next block at or after `from` holding candidates.
Candidates NextCandidatesSse2(const unsigned char* data, std::size_t size, std::size_t from);
Candidates NextCandidatesAvx2(const unsigned char* data, std::size_t size, std::size_t from);
Candidates NextCandidatesAvx512(const unsigned char* data, std::size_t size, std::size_t from);
Candidates NextCandidatesAvx512Vbmi(const unsigned char* data, std::size_t size, std::size_t from);
// The key filter: the next block at or after `from` (a multiple of
// kKeyStride) holding places where one of the first pairs of some key may
// be, each of them a multiple of kKeyStride. Every processor with AVX-512
// has AVX2, and the filter keeps up with the reads there too.
Candidates NextKeyPairsAvx2(const unsigned char* data, std::size_t size, std::size_t from);
#endif

}  // namespace foxbane::signatures
