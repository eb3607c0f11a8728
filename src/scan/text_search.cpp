#include "scan/text_search.h"

#include <algorithm>
#include <array>
#include <bit>

#include "scan/signature_keys.h"
#include "scan/text_search_isa.h"

namespace foxbane::signatures {

namespace {

// For each byte value, the texts that begin with it.
constexpr std::array<TextSet, 256> kTextsByFirstByte = [] {
  std::array<TextSet, 256> table{};
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    table[static_cast<unsigned char>(kTexts[i].front())] |= static_cast<TextSet>(1u << i);
  }
  return table;
}();

// Compared byte against 16-bit character, so that no single-byte copy of a
// text is ever made.
bool OccursAt(const unsigned char* data, std::size_t size, std::size_t position,
              std::u16string_view text) {
  return size - position >= text.size() &&
         std::equal(text.begin(), text.end(), data + position,
                    [](char16_t expected, unsigned char actual) { return expected == actual; });
}

Candidates NextCandidates(Isa isa, const unsigned char* data, std::size_t size,
                          std::size_t from) {
  switch (isa) {
#if FOXBANE_X86_SIMD
    case Isa::kSse2:
      return NextCandidatesSse2(data, size, from);
    case Isa::kAvx2:
      return NextCandidatesAvx2(data, size, from);
    case Isa::kAvx512:
      return NextCandidatesAvx512(data, size, from);
    case Isa::kAvx512Vbmi:
      return NextCandidatesAvx512Vbmi(data, size, from);
#endif
    default:
      return Candidates{from, 0, from};
  }
}

Candidates NextKeyPairs(Isa isa, const unsigned char* data, std::size_t size, std::size_t from) {
#if FOXBANE_X86_SIMD
  if (isa >= Isa::kAvx2) return NextKeyPairsAvx2(data, size, from);
#endif
  return Candidates{from, 0, from};
}

// The texts that begin at `position`, among `wanted`; texts reaching past
// `size` are not there.
TextSet TextsAt(const unsigned char* data, std::size_t size, std::size_t position,
                TextSet wanted) {
  TextSet found = 0;
  for (TextSet candidates = kTextsByFirstByte[data[position]] & wanted; candidates != 0;
       candidates &= static_cast<TextSet>(candidates - 1)) {
    const auto index = static_cast<std::size_t>(std::countr_zero(candidates));
    if (OccursAt(data, size, position, kTexts[index])) found |= static_cast<TextSet>(1u << index);
  }
  return found;
}

}  // namespace

TextSet FindTexts(std::string_view contents, TextSet enough) {
  return FindTexts(contents, enough, SupportedIsas().back());
}

TextSet FindTexts(std::string_view contents, TextSet enough, Isa isa) {
  const auto* data = reinterpret_cast<const unsigned char*>(contents.data());
  const std::size_t size = contents.size();
  TextSet found = 0;
  // The vector filter names the candidate positions until it nears the end,
  // where its loads would run past it...
  Candidates next = NextCandidates(isa, data, size, 0);
  for (; next.positions != 0; next = NextCandidates(isa, data, size, next.next)) {
    for (std::uint64_t bits = next.positions; bits != 0; bits &= bits - 1) {
      const std::size_t position = next.block + static_cast<std::size_t>(std::countr_zero(bits));
      found |= TextsAt(data, size, position, static_cast<TextSet>(~found));
      if ((found & enough) == enough) return found;
    }
  }
  // ...and from there every position is tried.
  for (std::size_t position = next.next; position < size && (found & enough) != enough;
       ++position) {
    found |= TextsAt(data, size, position, static_cast<TextSet>(~found));
  }
  return found;
}

TextSet FindKeyTexts(std::string_view contents) {
  return FindKeyTexts(contents, SupportedIsas().back());
}

TextSet FindKeyTexts(std::string_view contents, Isa isa) {
  // Below AVX2 there is no key filter, and the filter of every text finds
  // the keys' places.
  if (isa < Isa::kAvx2) return FindTexts(contents, kKeyTexts, isa) & kKeyTexts;
  const auto* data = reinterpret_cast<const unsigned char*>(contents.data());
  const std::size_t size = contents.size();
  // A pair the filter passes may be any of a key's first kKeyStride pairs...
  const auto keysAround = [&](std::size_t pair) {
    TextSet found = 0;
    for (std::size_t back = 0; back < kKeyStride && back <= pair; ++back) {
      found |= TextsAt(data, size, pair - back, kKeyTexts);
    }
    return found;
  };
  Candidates next = NextKeyPairs(isa, data, size, 0);
  for (; next.positions != 0; next = NextKeyPairs(isa, data, size, next.next)) {
    for (std::uint64_t bits = next.positions; bits != 0; bits &= bits - 1) {
      const std::size_t pair = next.block + static_cast<std::size_t>(std::countr_zero(bits));
      if (const TextSet found = keysAround(pair)) return found;
    }
  }
  // ...and where the filter stops, every place is tried, from the first
  // whose later pairs the filter has not seen.
  for (std::size_t position = next.next - std::min(next.next, kKeyStride - 1); position < size;
       ++position) {
    if (const TextSet found = TextsAt(data, size, position, kKeyTexts)) return found;
  }
  return 0;
}

}  // namespace foxbane::signatures
