#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

namespace foxbane::win32 {

// The longest path Windows has: 32,767 characters and the terminating NUL.
inline constexpr std::size_t kLongestPath = 32768;

// Text from a Windows call that writes into a buffer of a given size and
// cuts, or asks for more, when it does not fit. `fill(buffer, capacity)`
// returns the characters it wrote (or needs), none on failure; buffers of
// MAX_PATH and twice as many each time, up to the longest path, until the
// text fits with room to spare (a return of the whole capacity may be a cut
// text). None on failure or when not even the longest path holds it.
template <typename Fill>
std::optional<std::wstring> GrowingText(Fill fill) {
  for (std::size_t capacity = MAX_PATH;; capacity = std::min(capacity * 2, kLongestPath)) {
    std::wstring buffer(capacity, L'\0');
    const std::optional<DWORD> written = fill(buffer.data(), static_cast<DWORD>(capacity));
    if (!written) return std::nullopt;
    if (*written + 1 < capacity) {
      buffer.resize(*written);
      return buffer;
    }
    if (capacity == kLongestPath) return std::nullopt;
  }
}

}  // namespace foxbane::win32
