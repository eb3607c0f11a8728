#pragma once

#include <string>
#include <string_view>

namespace foxbane::sim {

// UTF-8 text in the Windows-1252 code page, as WideCharToMultiByte gives it
// without best-fit mapping: one "?" for each UTF-16 unit the code page lacks
// (so two for a character outside the Basic Multilingual Plane).
std::string Windows1252FromUtf8(std::string_view utf8);
std::string Windows1252FromUtf16(std::u16string_view units);

}  // namespace foxbane::sim
