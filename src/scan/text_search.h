#pragma once

#include <span>
#include <string_view>

#include "scan/signature_texts.h"

namespace foxbane::signatures {

// The instruction sets the one-pass search can run on. Every x86-64
// processor has SSE2; AVX2, AVX-512 (with its byte operations) and AVX-512
// with its byte lookups (VBMI) are used where the processor and system offer
// them.
enum class Isa { kScalar, kSse2, kAvx2, kAvx512, kAvx512Vbmi };

// The instruction sets this processor can run, the widest last.
std::span<const Isa> SupportedIsas();

// Which of kTexts occur in `contents` as contiguous bytes (case-sensitive,
// NUL an ordinary byte), found in a single pass over the bytes. The pass
// ends early once every text of `enough` has been seen. Never reads outside
// `contents`. The first form runs on the widest instruction set supported;
// the second on `isa`, which must be one of SupportedIsas().
TextSet FindTexts(std::string_view contents, TextSet enough);
TextSet FindTexts(std::string_view contents, TextSet enough, Isa isa);

// Some of the key texts (kKeyTexts) that occur in `contents`, and at least
// one when any does: the search ends at the first it meets. The first form
// runs on the widest instruction set supported.
TextSet FindKeyTexts(std::string_view contents);
TextSet FindKeyTexts(std::string_view contents, Isa isa);

}  // namespace foxbane::signatures
