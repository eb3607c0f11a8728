#pragma once

#include <cstddef>

#include "scan/signature_texts.h"

// The vector forms of the search exist where the compiler can build x86
// vector code; elsewhere the portable byte loop does all the work.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define FOXBANE_X86_SIMD 1
#else
#define FOXBANE_X86_SIMD 0
#endif

namespace foxbane::signatures {

#if FOXBANE_X86_SIMD
// The block loops: each adds the texts found to `found` and returns the first
// position it did not examine (`size` once `enough` is complete).
std::size_t ScanBlocksSse2(const unsigned char* data, std::size_t size, TextSet enough,
                           TextSet& found);
std::size_t ScanBlocksAvx2(const unsigned char* data, std::size_t size, TextSet enough,
                           TextSet& found);
#endif

}  // namespace foxbane::signatures
