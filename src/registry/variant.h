#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace foxbane {

// The tagged value the registry routines exchange with their callers: empty,
// a string, a Boolean, or a signed 16- or 32-bit integer.
class Variant {
 public:
  Variant() = default;
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(bool flag) : value_(flag) {}
  Variant(std::int16_t number) : value_(number) {}
  Variant(std::int32_t number) : value_(number) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }

  // The text form: the string itself, decimal digits, "True"/"False", or "".
  std::string Text() const;
  // Conversions used by the writes; both throw StepFailed when the value
  // cannot be converted (a 16-bit overflow, a text that is no number).
  bool ToBoolean() const;
  std::int16_t ToInt16() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, std::string, bool, std::int16_t, std::int32_t> value_;
};

}  // namespace foxbane
