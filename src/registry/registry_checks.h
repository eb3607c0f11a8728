#pragma once

#include <cstdint>
#include <string_view>

#include "ports/registry.h"

namespace foxbane {

// What the registry holds after a change, asked again rather than taken
// from the change's result. Only "not found" counts as gone: a key that
// cannot be opened (access refused, a failing call) may well still be there.
bool KeyGone(Registry& registry, RegKey root, std::string_view keyPath, RegView view);
bool ValueGone(Registry& registry, RegKey root, std::string_view keyPath, std::string_view name,
               RegView view);

// True when the value is a REG_DWORD holding exactly `number`.
bool HoldsDword(Registry& registry, RegKey root, std::string_view keyPath, std::string_view name,
                std::uint32_t number, RegView view);

}  // namespace foxbane
