#include "mapped_search.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>

#include "scan/signatures.h"
#include "scan/text_search.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::bench {

namespace {

// Small enough for a 32-bit address space, and a multiple of the system's
// 64 KiB mapping granularity.
constexpr std::uint64_t kViewBytes = std::uint64_t{64} << 20;

struct ViewDeleter {
  void operator()(const void* view) const { ::UnmapViewOfFile(view); }
};

void SearchFile(const std::string& path) {
  const win32::UniqueFileHandle file(::CreateFileW(
      win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0) return;
  const win32::UniqueKernelHandle mapping(
      ::CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return;
  const auto total = static_cast<std::uint64_t>(size.QuadPart);
  for (std::uint64_t offset = 0; offset < total; offset += kViewBytes) {
    const std::uint64_t bytes = std::min(kViewBytes, total - offset);
    const std::unique_ptr<const void, ViewDeleter> view(
        ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, static_cast<DWORD>(offset >> 32),
                        static_cast<DWORD>(offset), static_cast<SIZE_T>(bytes)));
    if (!view) return;
    signatures::FindTexts({static_cast<const char*>(view.get()), static_cast<std::size_t>(bytes)},
                          signatures::RuleTexts(0));
  }
}

}  // namespace

void SearchMapped(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) SearchFile(path);
}

}  // namespace foxbane::bench
