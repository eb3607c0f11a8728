#include "bench_buffers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace foxbane::bench {

std::string ExecutableBytes(std::size_t size) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/bin")) {
    if (entry.is_regular_file() && !entry.is_symlink()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::string bytes;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (contents.rfind("\x7f" "ELF", 0) != 0) continue;  // executables only, no scripts
    bytes += contents;
    if (bytes.size() >= size) break;
  }
  if (bytes.empty()) throw std::runtime_error("no executables in /usr/bin");
  while (bytes.size() < size) bytes += bytes;  // a small /usr/bin repeats itself
  bytes.resize(size);
  return bytes;
}

std::string RandomBytes(std::size_t size) {
  std::mt19937_64 random(20040327);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string Zeros(std::size_t size) { return std::string(size, '\0'); }

std::string NearMissText(std::size_t size, const std::vector<std::vector<std::string>>& rules) {
  std::vector<std::string> misses;
  for (const auto& rule : rules) {
    for (const std::string& text : rule) {
      misses.push_back(text.substr(0, text.size() - 1));                   // cut short
      misses.push_back(text.substr(1));                                    // first letter lost
      std::string changed = text;
      changed[changed.size() / 2] = '_';                                   // one letter changed
      misses.push_back(changed);
      std::string upper = text;
      std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      });
      if (upper != text) misses.push_back(upper);                         // other case
      std::string wide;
      for (char c : text) wide += std::string{c, '\0'};
      misses.push_back(wide);                                              // 16-bit
    }
  }
  // A spoiled text must not hold a whole one ("M.KAR" cut short is "M.KA").
  std::erase_if(misses, [&rules](const std::string& miss) {
    for (const auto& rule : rules) {
      for (const std::string& text : rule) {
        if (miss.find(text) != std::string::npos) return true;
      }
    }
    return false;
  });
  std::mt19937 random(1999);
  std::string bytes;
  bytes.reserve(size + 64);
  while (bytes.size() < size) {
    bytes += misses[std::uniform_int_distribution<std::size_t>(0, misses.size() - 1)(random)];
    bytes += ' ';
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace foxbane::bench
