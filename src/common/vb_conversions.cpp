#include "common/vb_conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/resume_next.h"

namespace foxbane {

namespace {
constexpr ErrorCode kOverflow = 6;
constexpr ErrorCode kTypeMismatch = 13;
}  // namespace

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::int16_t RoundToInt16(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max())) {
    throw StepFailed(kOverflow);
  }
  return static_cast<std::int16_t>(rounded);
}

std::string DecimalText(std::int32_t value) { return std::to_string(value); }

std::int32_t ToInt32(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::int64_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end ||
      value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw StepFailed(kTypeMismatch);
  }
  return static_cast<std::int32_t>(value);
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

}  // namespace foxbane
