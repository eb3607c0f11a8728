#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace foxbane::fuzz {

// A broken invariant: libFuzzer keeps the input as a crash artifact, and the
// line says which invariant it broke.
inline void Check(bool holds, std::string_view invariant) {
  if (holds) return;
  std::fprintf(stderr, "fuzz invariant broken: %.*s\n", static_cast<int>(invariant.size()),
               invariant.data());
  std::abort();
}

}  // namespace foxbane::fuzz
