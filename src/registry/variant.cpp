#include "registry/variant.h"

#include "common/resume_next.h"
#include "common/vb_conversions.h"

namespace foxbane {

namespace {
template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
// Spelled out for compilers without deduction guides for aggregates (clang
// before 17).
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;
}  // namespace

std::string Variant::Text() const {
  return std::visit(Overloaded{
                        [](std::monostate) { return std::string(); },
                        [](const std::string& text) { return text; },
                        [](bool flag) { return std::string(flag ? "True" : "False"); },
                        [](std::int16_t number) { return DecimalText(number); },
                        [](std::int32_t number) { return DecimalText(number); },
                    },
                    value_);
}

// A text converts when it is "True" or "False" in any case, or a number.
bool Variant::ToBoolean() const {
  return std::visit(Overloaded{
                        [](std::monostate) { return false; },
                        [](const std::string& text) {
                          const std::string word = ToUpperAscii(text);
                          if (word == "TRUE") return true;
                          if (word == "FALSE") return false;
                          return ToInt32(text) != 0;
                        },
                        [](bool flag) { return flag; },
                        [](std::int16_t number) { return number != 0; },
                        [](std::int32_t number) { return number != 0; },
                    },
                    value_);
}

// True is -1, as a 16-bit integer holds it.
std::int16_t Variant::ToInt16() const {
  const auto checked = [](std::int32_t number) {
    return RoundToInt16(static_cast<double>(number));
  };
  return std::visit(Overloaded{
                        [](std::monostate) { return std::int16_t{0}; },
                        [&](const std::string& text) { return checked(ToInt32(text)); },
                        [](bool flag) { return static_cast<std::int16_t>(flag ? -1 : 0); },
                        [](std::int16_t number) { return number; },
                        [&](std::int32_t number) { return checked(number); },
                    },
                    value_);
}

}  // namespace foxbane
