#pragma once

#include <string>
#include <string_view>

namespace foxbane {

// Conversions between the core's UTF-8 strings and the UTF-16LE bytes that
// the registry stores string data in. Invalid input becomes U+FFFD; a trailing
// odd byte is dropped.
std::string Utf16LeBytesFromUtf8(std::string_view utf8);
std::string Utf8FromUtf16LeBytes(std::string_view bytes);
// The UTF-16 units of such bytes, unchecked.
std::u16string Utf16FromLeBytes(std::string_view bytes);

std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

}  // namespace foxbane
