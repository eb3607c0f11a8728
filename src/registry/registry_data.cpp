#include "registry/registry_data.h"

#include "common/utf.h"
#include "ports/registry.h"

namespace foxbane {

bool IsStringType(std::uint32_t type) {
  return type == reg_type::kString || type == reg_type::kExpandString ||
         type == reg_type::kMultiString;
}

namespace {

std::string Latin1Text(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size());
  for (char byte : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(byte));
  return Utf8FromUtf16(units);
}

}  // namespace

std::string RegistryDataText(std::uint32_t type, std::string_view data) {
  return IsStringType(type) ? Utf8FromUtf16LeBytes(data) : Latin1Text(data);
}

// For string data the final character is the last whole UTF-16 unit, or a
// stray odd byte when the data have one.
std::string RegistryDataTextWithoutLast(std::uint32_t type, std::string_view data) {
  if (data.empty()) return {};
  const std::size_t kept = IsStringType(type) ? (data.size() - 1) / 2 * 2 : data.size() - 1;
  return RegistryDataText(type, data.substr(0, kept));
}

std::string LittleEndianBytes(std::uint32_t value, std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count && i < 4; ++i) {
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return bytes;
}

std::uint32_t FromLittleEndian(std::string_view bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return value;
}

}  // namespace foxbane
