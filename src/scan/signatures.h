#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/signature_texts.h"

namespace foxbane {

// The number (1 to 5) of the first detection rule whose texts are all in
// `found`, or 0 when no rule holds.
int FirstMatchingRule(signatures::TextSet found);

// The same for the texts that occur in `contents`. A text occurs when its
// bytes appear contiguously anywhere, compared exactly; NUL is an ordinary
// byte. The contents are read once, whatever the number of rules.
int FirstMatchingRule(std::string_view contents);

// Each rule's texts as single-byte text, in rule order and test order. Built
// when called; the program itself keeps them only as 16-bit characters.
std::vector<std::vector<std::string>> SignatureRuleTexts();

}  // namespace foxbane
