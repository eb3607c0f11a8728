// The one-pass signature search against the rules applied one by one with
// std::string_view::find, on every instruction set this processor runs, the
// search for the key texts alone, and the scan's reading of a file in chunks
// (the keys first, every text once a key is there): any difference aborts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "support/rule_by_rule.h"
#include "scan/signature_keys.h"
#include "scan/signature_texts.h"
#include "scan/signatures.h"
#include "scan/text_search.h"
#include "support/found_in_chunks.h"

namespace {

using foxbane::fuzz::Check;
using foxbane::test_support::FoundInChunks;
using foxbane::signatures::TextSet;

const std::vector<std::vector<std::string>>& Rules() {
  static const std::vector<std::vector<std::string>> rules = foxbane::SignatureRuleTexts();
  return rules;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace foxbane::signatures;
  // libFuzzer hands over exactly `size` bytes on the heap, so any read past
  // the end is an address-sanitizer report.
  const std::string_view contents(reinterpret_cast<const char*>(data), size);

  const int rule = foxbane::reference::FirstMatchingRuleByRule(contents, Rules());
  Check(foxbane::FirstMatchingRule(contents) == rule,
        "FirstMatchingRule agrees with the rule-by-rule reference");

  constexpr TextSet kAllTexts = static_cast<TextSet>((1u << kTexts.size()) - 1);
  const TextSet present = foxbane::reference::TextsFoundOneByOne(contents, Rules());
  const TextSet rule1 = RuleTexts(0);
  for (const Isa isa : SupportedIsas()) {
    Check(FindTexts(contents, kAllTexts, isa) == present,
          "FindTexts finds exactly the texts present, on every instruction set");
    // Stopping once rule 1 holds may leave texts unfound, but never invents one.
    const TextSet early = FindTexts(contents, rule1, isa);
    Check((early & ~present) == 0, "an early stop reports only texts present");
    Check((present & rule1) == rule1 ? (early & rule1) == rule1 : early == present,
          "the pass stops early only once rule 1 holds");
    const TextSet keys = FindKeyTexts(contents, isa);
    Check((keys & ~(present & kKeyTexts)) == 0, "the key search reports only keys present");
    Check((keys != 0) == ((present & kKeyTexts) != 0), "the key search finds a key where there is one");
  }

  // Borders after every byte, and wherever the first byte puts them.
  for (const std::size_t chunk : {std::size_t{1}, size == 0 ? 1 : std::size_t{data[0]} + 1}) {
    const TextSet inChunks = FoundInChunks(contents, chunk);
    Check(foxbane::FirstMatchingRule(inChunks) == rule,
          "the search in chunks agrees with the rule-by-rule reference");
    Check((inChunks & ~present) == 0, "the search in chunks reports only texts present");
    const TextSet expected = (present & kKeyTexts) != 0 ? present : 0;
    Check(rule == 1 || inChunks == expected,
          "the search in chunks finds every text present where a key is, unless rule 1 holds");
  }
  return 0;
}
