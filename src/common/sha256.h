#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace foxbane {

using Sha256Digest = std::array<std::uint8_t, 32>;

// SHA-256 (FIPS 180-4) of the bytes.
Sha256Digest Sha256(std::string_view bytes);

// HMAC-SHA-256 (RFC 2104) of `message` under `key`.
Sha256Digest HmacSha256(std::string_view key, std::string_view message);

// The digest's bytes as they are.
inline std::string_view DigestBytes(const Sha256Digest& digest) {
  return {reinterpret_cast<const char*>(digest.data()), digest.size()};
}

}  // namespace foxbane
