#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace foxbane::bench {

// A folder of its own in the temp folder, holding the files a benchmark
// reads; it goes, with them, when the object goes.
class BenchFolder {
 public:
  explicit BenchFolder(std::wstring_view name);
  ~BenchFolder();
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  // A file holding `bytes`; its full path.
  std::string AddFile(std::wstring_view name, std::string_view bytes);
  // A file of `size` bytes that takes no disk space beyond the `placed`
  // texts (offset, bytes): the rest reads as zeros. Its full path.
  std::string AddSparseFile(std::wstring_view name, std::uint64_t size,
                            const std::vector<std::pair<std::uint64_t, std::string>>& placed);
  // Bytes free on the folder's drive for this user.
  std::uint64_t FreeBytes() const;

 private:
  std::wstring folder_;
  std::vector<std::wstring> files_;
};

}  // namespace foxbane::bench
