#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace foxbane {

// Nearest integer, an exact half going to the even neighbour, as a signed
// 16-bit value. Throws StepFailed (overflow, 6) outside the 16-bit range.
std::int16_t RoundToInt16(double value);

// Nearest integer, half to even, without a range check.
double RoundHalfEven(double value);

// The decimal text of a signed 32-bit number ("-967296").
std::string DecimalText(std::int32_t value);

// The signed 32-bit number a decimal text stands for, leading and trailing
// blanks allowed. Throws StepFailed (type mismatch, 13) when it is not one.
std::int32_t ToInt32(std::string_view text);

// ASCII case mapping; other characters are kept as they are.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

}  // namespace foxbane
