#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace foxbane::bench {

// The contents the matcher is timed on, each `size` bytes.
struct NamedBuffer {
  std::string name;
  std::string bytes;
};

// Real executable files from /usr/bin, one after the other.
std::string ExecutableBytes(std::size_t size);
// Uniformly random bytes from a fixed seed.
std::string RandomBytes(std::size_t size);
std::string Zeros(std::size_t size);
// Text made of the signature texts each spoiled in one place (cut short,
// one letter changed, 16-bit, case changed), so the filter passes often and
// every candidate has to be checked.
std::string NearMissText(std::size_t size, const std::vector<std::vector<std::string>>& rules);

}  // namespace foxbane::bench
