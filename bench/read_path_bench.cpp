// Times the scan pass over files in the page cache against only reading the
// same files with the same file adapter, and against reading each into a
// fresh allocation. The real file adapter is the Windows one, so this is a
// Windows console program, run under Wine:
//
//   cmake -S . -B build/bench-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOXBANE_BENCHMARKS=ON
//         --toolchain cmake/mingw-w64-posix.cmake
//   cmake --build build/bench-win --target read_path_bench
//   wine build/bench-win/bench/read_path_bench.exe > read_path.txt
//
// The pass is Form2::ScanProcesses itself, over a process list whose
// executables are the benchmark's files; only the file system is real.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/form2.h"
#include "sim/faults.h"
#include "sim/sim_event_loop.h"
#include "sim/sim_processes.h"
#include "sim/sim_user_messages.h"
#include "sim/sim_window.h"
#include "win32/clock.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/profile_files.h"
#include "win32/registry.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::bench {
namespace {

constexpr int kFiles = 48;
constexpr int kRounds = 7;

// Files of 256 KiB to about 2.6 MiB of random bytes, 64 MiB in all, in a
// folder of their own that goes with the object.
class BenchFiles {
 public:
  BenchFiles() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    folder_ = std::wstring(temp, length) + L"FoxbaneReadBench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    std::mt19937_64 random(2004);
    for (int i = 0; i < kFiles; ++i) {
      const std::size_t size = (256u << 10) + static_cast<std::size_t>(i) * (48u << 10);
      std::string bytes(size, '\0');
      for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
      const std::wstring path = folder_ + L"\\file" + std::to_wstring(i) + L".exe";
      win32::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      paths_.push_back(win32::Narrow(path));
      widePaths_.push_back(path);
      total_ += size;
    }
  }
  ~BenchFiles() {
    for (const std::wstring& path : widePaths_) ::DeleteFileW(path.c_str());
    ::RemoveDirectoryW(folder_.c_str());
  }

  const std::vector<std::string>& Paths() const { return paths_; }
  std::size_t TotalBytes() const { return total_; }

 private:
  std::wstring folder_;
  std::vector<std::wstring> widePaths_;
  std::vector<std::string> paths_;
  std::size_t total_ = 0;
};

// The best of several rounds, in seconds.
double BestTime(const std::function<void()>& round) {
  double best = 1e9;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    round();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Opens, sizes and reads the whole file into `buffer`.
void ReadWhole(FileSystem& files, const std::string& path, std::string& buffer) {
  std::unique_ptr<ReadableFile> file;
  std::uint64_t size = 0;
  if (files.OpenForRead(path, file) || file->Size(size)) return;
  buffer.resize(size);
  file->ReadFromStart(buffer);
}

}  // namespace
}  // namespace foxbane::bench

int main() {
  using namespace foxbane;
  const bench::BenchFiles bench;

  win32::Win32FileSystem files;
  win32::Win32Registry registry;
  win32::Win32ProfileFiles profiles;
  win32::Win32Environment environment;
  win32::Win32Clock clock;
  sim::Faults faults;
  sim::SimProcesses processes(faults);
  sim::SimUserMessages messages;
  sim::SimEventLoop loop;
  sim::SimWindow window;
  Platform platform{files, processes, registry, profiles, environment, clock, messages, loop, window};
  Form2 form(platform);
  std::uint32_t pid = 1000;
  for (const std::string& path : bench.Paths()) processes.AddProcess(pid += 4, path);
  form.ListProcesses();

  const double readOnly = bench::BestTime([&] {
    std::string buffer;
    for (const std::string& path : bench.Paths()) {
      bench::ReadWhole(files, path, buffer);
      buffer.clear();
    }
  });
  const double freshBuffers = bench::BestTime([&] {
    for (const std::string& path : bench.Paths()) {
      std::string buffer;
      bench::ReadWhole(files, path, buffer);
    }
  });
  const double scanPass = bench::BestTime([&] { form.ScanProcesses(); });

  const double gigabytes = static_cast<double>(bench.TotalBytes()) / 1e9;
  std::printf("%d files, %.1f MiB in the page cache, best of %d rounds\n", bench::kFiles,
              static_cast<double>(bench.TotalBytes()) / (1 << 20), bench::kRounds);
  std::printf("read only, one buffer      %7.2f GB/s\n", gigabytes / readOnly);
  std::printf("read only, fresh buffers   %7.2f GB/s  %5.2fx the time of one buffer\n",
              gigabytes / freshBuffers, freshBuffers / readOnly);
  std::printf("scan pass (ScanProcesses)  %7.2f GB/s  %5.2fx the time of only reading  %s\n",
              gigabytes / scanPass, scanPass / readOnly,
              scanPass <= 2 * readOnly ? "ok (target: within 2x)" : "TARGET MISSED (within 2x)");
  std::printf("detected: %d (expected 0)\n", form.ResultsList().Count());
  return scanPass <= 2 * readOnly ? 0 : 1;
}
