// The one-pass signature search against the rules applied one by one with
// std::string_view::find, on every instruction set this processor runs:
// any difference aborts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "reference/rule_by_rule.h"
#include "scan/signature_texts.h"
#include "scan/signatures.h"
#include "scan/text_search.h"

namespace {

using foxbane::fuzz::Check;
using foxbane::signatures::TextSet;

const std::vector<std::vector<std::string>>& Rules() {
  static const std::vector<std::vector<std::string>> rules = foxbane::SignatureRuleTexts();
  return rules;
}

// Bit i for the i-th text of the rules taken in order, as the search numbers them.
TextSet TextsFoundByFind(std::string_view contents) {
  TextSet found = 0;
  unsigned bit = 0;
  for (const std::vector<std::string>& rule : Rules()) {
    for (const std::string& text : rule) {
      if (contents.find(text) != std::string_view::npos) found |= static_cast<TextSet>(1u << bit);
      ++bit;
    }
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace foxbane::signatures;
  // libFuzzer hands over exactly `size` bytes on the heap, so any read past
  // the end is an address-sanitizer report.
  const std::string_view contents(reinterpret_cast<const char*>(data), size);

  Check(foxbane::FirstMatchingRule(contents) ==
            foxbane::reference::FirstMatchingRuleByRule(contents, Rules()),
        "FirstMatchingRule agrees with the rule-by-rule reference");

  constexpr TextSet kAllTexts = static_cast<TextSet>((1u << kTexts.size()) - 1);
  const TextSet present = TextsFoundByFind(contents);
  const TextSet rule1 = RuleTexts(0);
  for (const Isa isa : SupportedIsas()) {
    Check(FindTexts(contents, kAllTexts, isa) == present,
          "FindTexts finds exactly the texts present, on every instruction set");
    // Stopping once rule 1 holds may leave texts unfound, but never invents one.
    const TextSet early = FindTexts(contents, rule1, isa);
    Check((early & ~present) == 0, "an early stop reports only texts present");
    Check((present & rule1) == rule1 ? (early & rule1) == rule1 : early == present,
          "the pass stops early only once rule 1 holds");
  }
  return 0;
}
