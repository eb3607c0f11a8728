#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace foxbane::bench {

// The most memory this process has held in RAM at once so far, in bytes.
std::uint64_t PeakWorkingSetBytes();

// The arguments this program was started with, after its own name.
std::vector<std::string> Arguments();

// Runs this program again with `arguments`, writing to the same output, and
// waits for it: a peak working set measured there is the work's alone. Its
// exit code.
std::uint32_t RunSelf(const std::vector<std::string>& arguments);

}  // namespace foxbane::bench
