#include "sim/windows_1252.h"

#include <array>

#include "common/utf.h"

namespace foxbane::sim {

namespace {

// The characters of bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same number, as Windows maps them.
constexpr std::array<char16_t, 32> kHighControlsBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteFor(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (std::size_t i = 0; i < kHighControlsBlock.size(); ++i) {
    if (kHighControlsBlock[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Windows1252FromUtf8(std::string_view utf8) {
  return Windows1252FromUtf16(Utf16FromUtf8(utf8));
}

std::string Windows1252FromUtf16(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size());
  for (char16_t unit : units) bytes += ByteFor(unit);
  return bytes;
}

}  // namespace foxbane::sim
