#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ports/file_system.h"

namespace foxbane::bench {

inline constexpr std::size_t kKiB = 1024;

// The piece sizes a plain read and the scan pass are each tried with; the
// tightest read is the yardstick. The scan's own size is among them, and so
// is the 4 MiB the scan read in before it kept its pieces in the cache.
inline constexpr std::array<std::size_t, 6> kReadPieces = {
    64 * kKiB, 128 * kKiB, 256 * kKiB, 512 * kKiB, 1024 * kKiB, 4096 * kKiB};

// Wall-clock seconds that `work` takes.
double Seconds(const std::function<void()>& work);

// Reads every file to its end, `buffer.size()` bytes at a time, into one
// buffer that nothing fills with zeros; the files are opened as the scan
// opens them (with the sequential-scan hint).
void ReadOnly(FileSystem& files, const std::vector<std::string>& paths, std::span<char> buffer);

// "64 KiB", "4 MiB".
std::string PieceName(std::size_t bytes);

}  // namespace foxbane::bench
