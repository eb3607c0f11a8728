#pragma once

#include <cstdint>

namespace foxbane {

// A Windows system error code, as GetLastError and the Reg* functions give it.
// 0 is success. Adapters report failures in these terms so that the core and
// the in-memory adapters agree with the real system code for code.
using ErrorCode = std::uint32_t;

namespace win_error {
inline constexpr ErrorCode kSuccess = 0;
inline constexpr ErrorCode kFileNotFound = 2;
inline constexpr ErrorCode kPathNotFound = 3;
inline constexpr ErrorCode kAccessDenied = 5;
inline constexpr ErrorCode kInvalidHandle = 6;
inline constexpr ErrorCode kNotEnoughMemory = 8;
inline constexpr ErrorCode kNoMoreFiles = 18;
inline constexpr ErrorCode kSharingViolation = 32;
inline constexpr ErrorCode kInvalidParameter = 87;
inline constexpr ErrorCode kInvalidName = 123;
inline constexpr ErrorCode kDirNotEmpty = 145;
inline constexpr ErrorCode kBadPathname = 161;
inline constexpr ErrorCode kAlreadyExists = 183;
inline constexpr ErrorCode kBadFileType = 222;
inline constexpr ErrorCode kMoreData = 234;
inline constexpr ErrorCode kNoMoreItems = 259;
inline constexpr ErrorCode kDirectory = 267;
}  // namespace win_error

}  // namespace foxbane
