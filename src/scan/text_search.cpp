#include "scan/text_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

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

std::vector<Isa> DetectIsas() {
  std::vector<Isa> isas{Isa::kScalar};
#if FOXBANE_X86_SIMD
  isas.push_back(Isa::kSse2);
  __builtin_cpu_init();
  // Also false where the system does not save the wide registers.
  if (__builtin_cpu_supports("avx2")) isas.push_back(Isa::kAvx2);
#endif
  return isas;
}

std::size_t ScanBlocks(Isa isa, const unsigned char* data, std::size_t size, TextSet enough,
                       TextSet& found) {
  switch (isa) {
#if FOXBANE_X86_SIMD
    case Isa::kSse2:
      return ScanBlocksSse2(data, size, enough, found);
    case Isa::kAvx2:
      return ScanBlocksAvx2(data, size, enough, found);
#endif
    default:
      return 0;
  }
}

}  // namespace

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

std::span<const Isa> SupportedIsas() {
  static const std::vector<Isa> isas = DetectIsas();
  return isas;
}

TextSet FindTexts(std::string_view contents, TextSet enough) {
  return FindTexts(contents, enough, SupportedIsas().back());
}

TextSet FindTexts(std::string_view contents, TextSet enough, Isa isa) {
  const auto* data = reinterpret_cast<const unsigned char*>(contents.data());
  const std::size_t size = contents.size();
  TextSet found = 0;
  // The vector loop stops short of the end, where its loads would overrun;
  // the remaining positions are tried one by one.
  for (std::size_t position = ScanBlocks(isa, data, size, enough, found);
       position < size && (found & enough) != enough; ++position) {
    found |= TextsAt(data, size, position, static_cast<TextSet>(~found));
  }
  return found;
}

}  // namespace foxbane::signatures
