#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace foxbane {

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ: the types stored as UTF-16LE text.
bool IsStringType(std::uint32_t type);

// Registry data as text, character for character as the ANSI registry
// functions hand them over: the string types (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) are UTF-16LE text, terminators included; any other type
// gives one character per byte (the byte's Latin-1 character).
std::string RegistryDataText(std::uint32_t type, std::string_view data);

// The same text without its final character.
std::string RegistryDataTextWithoutLast(std::uint32_t type, std::string_view data);

// Unsigned integers as the registry stores them, least significant byte first.
std::string LittleEndianBytes(std::uint32_t value, std::size_t count);
std::uint32_t FromLittleEndian(std::string_view bytes);

}  // namespace foxbane
