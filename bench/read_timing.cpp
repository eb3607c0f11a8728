#include "read_timing.h"

#include <chrono>
#include <memory>

namespace foxbane::bench {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ReadOnly(FileSystem& files, const std::vector<std::string>& paths, std::span<char> buffer) {
  for (const std::string& path : paths) {
    std::unique_ptr<ReadableFile> file;
    if (files.OpenForRead(path, file)) continue;
    std::size_t read = 0;
    while (file->Read(buffer, read) == 0 && read == buffer.size()) {
    }
  }
}

std::string PieceName(std::size_t bytes) {
  return bytes % (1024 * kKiB) == 0 ? std::to_string(bytes / (1024 * kKiB)) + " MiB"
                                    : std::to_string(bytes / kKiB) + " KiB";
}

}  // namespace foxbane::bench
