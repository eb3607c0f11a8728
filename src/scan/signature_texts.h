#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The detection texts and the rules over them. They are kept as 16-bit
// characters only: as single-byte text they would sit in Foxbane's own
// executable, and a scan would find Foxbane itself.
namespace foxbane::signatures {

inline constexpr std::u16string_view kDomainSignature1 = u"cdn.mfxnet.com";
inline constexpr std::u16string_view kDomainSignature2 = u"www.marblefox.ws";
inline constexpr std::u16string_view kDomainHead = kDomainSignature1.substr(0, 7);
inline constexpr std::u16string_view kDomainTail = kDomainSignature1.substr(7);
inline constexpr std::u16string_view kFragmentSignature1 = u"AinstCore";
inline constexpr std::u16string_view kFragmentSignature2 = u"LpShell";

// Every text of every rule, rule after rule, each rule's texts in the order
// they are tested.
inline constexpr std::array<std::u16string_view, 12> kTexts = {
    kDomainSignature1, u"M.KAR",                          // rule 1
    kDomainSignature2, u"LaunchPad",                      // rule 2
    kDomainHead,       kDomainTail,         u"M.KA",      // rule 3
    u"mf3_lp",         u"aelyB",                          // rule 4
    kFragmentSignature1, kFragmentSignature2, u"b32",     // rule 5
};
inline constexpr std::array<std::size_t, 5> kRuleSizes = {2, 2, 3, 2, 3};

// A set of texts: bit i stands for kTexts[i].
using TextSet = std::uint16_t;

// The texts that must all occur for rule `index` (0-based) to hold.
constexpr TextSet RuleTexts(std::size_t index) {
  std::size_t first = 0;
  for (std::size_t r = 0; r < index; ++r) first += kRuleSizes[r];
  return static_cast<TextSet>(((1u << kRuleSizes[index]) - 1u) << first);
}

}  // namespace foxbane::signatures
