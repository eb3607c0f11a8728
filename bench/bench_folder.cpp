#include "bench_folder.h"

#include <windows.h>
#include <winioctl.h>

#include <stdexcept>

#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::bench {

namespace {

using win32::UniqueFileHandle;

void WriteAt(HANDLE file, std::uint64_t offset, std::string_view bytes) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD written = 0;
  if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
      !::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw std::runtime_error("cannot write a benchmark file");
  }
}

}  // namespace

BenchFolder::BenchFolder(std::wstring_view name) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  folder_ = std::wstring(temp, length) + std::wstring(name) + L"-" +
            std::to_wstring(::GetCurrentProcessId());
  if (!::CreateDirectoryW(folder_.c_str(), nullptr)) {
    throw std::runtime_error("cannot make the benchmark folder");
  }
}

BenchFolder::~BenchFolder() {
  for (const std::wstring& file : files_) ::DeleteFileW(file.c_str());
  ::RemoveDirectoryW(folder_.c_str());
}

std::string BenchFolder::AddFile(std::wstring_view name, std::string_view bytes) {
  return AddSparseFile(name, bytes.size(), {{0, std::string(bytes)}});
}

// Marked sparse where the file system knows the idea (NTFS); elsewhere a
// file extended past what was written has a hole there anyway (Wine on ext4).
std::string BenchFolder::AddSparseFile(
    std::wstring_view name, std::uint64_t size,
    const std::vector<std::pair<std::uint64_t, std::string>>& placed) {
  const std::wstring path = folder_ + L"\\" + std::wstring(name);
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot make a benchmark file");
  files_.push_back(path);
  DWORD returned = 0;
  ::DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.Get())) {
    throw std::runtime_error("cannot size a benchmark file");
  }
  for (const auto& [offset, bytes] : placed) WriteAt(file.Get(), offset, bytes);
  return win32::Narrow(path);
}

std::uint64_t BenchFolder::FreeBytes() const {
  ULARGE_INTEGER free{};
  if (!::GetDiskFreeSpaceExW(folder_.c_str(), &free, nullptr, nullptr)) return 0;
  return free.QuadPart;
}

}  // namespace foxbane::bench
