#pragma once

#include <string>
#include <string_view>

namespace foxbane {

// Two upper-case hexadecimal digits a byte.
inline void AppendHexByte(std::string& out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

inline std::string HexText(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) AppendHexByte(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace foxbane
