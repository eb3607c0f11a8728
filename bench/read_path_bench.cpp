// The read path of a scan pass, with the real Windows file adapter: a
// Windows console program, run under Wine (a plain timing harness, as Google
// Benchmark is not built for MinGW):
//
//   cmake -S . -B build/bench-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOXBANE_BENCHMARKS=ON
//         --toolchain cmake/mingw-w64-posix.cmake
//   cmake --build build/bench-win --target read_path_bench
//   wine build/bench-win/bench/read_path_bench.exe > build/read_path_bench.txt
//
// 1. The pass (Form2::ScanProcesses itself) over files in the page cache,
//    timed against only reading the same files into one reused buffer. The
//    two alternate round by round, and the target holds the median of the
//    rounds' ratios: on a busy machine the best read and the best pass may
//    come from rounds run under different loads, while a read and the pass
//    just after it share theirs.
// 2. The peak working set of a pass over the same files, and of a pass over
//    a 2 GiB executable, each measured in a child process that does nothing
//    else.
// Exits non-zero when a target is missed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "bench_process.h"
#include "scan/chunked_text_search.h"
#include "scan/signatures.h"
#include "scan_rig.h"

namespace foxbane::bench {
namespace {

constexpr int kRounds = 21;
constexpr double kTargetRatio = 1.25;
constexpr std::uint64_t kMiB = 1 << 20;
constexpr std::uint64_t kHugeExecutable = std::uint64_t{2} << 30;
constexpr std::uint64_t kWorkingSetLimitMiB = 64;

// 48 files of 256 KiB to about 2.6 MiB, the sizes of most executables, and
// two of 32 MiB; random bytes, no detection texts.
std::vector<std::string> WriteTimedFiles(BenchFolder& folder, std::uint64_t& total) {
  std::mt19937_64 random(2004);
  std::vector<std::uint64_t> sizes;
  for (std::uint64_t i = 0; i < 48; ++i) sizes.push_back((256 << 10) + i * (48 << 10));
  sizes.insert(sizes.end(), {32 * kMiB, 32 * kMiB});
  std::vector<std::string> paths;
  for (const std::uint64_t size : sizes) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    paths.push_back(folder.AddFile(L"file" + std::to_wstring(paths.size()) + L".exe", bytes));
    total += size;
  }
  return paths;
}

// Reads every file to its end, a chunk of the scan's size at a time, into
// one buffer that nothing fills with zeros.
void ReadOnly(FileSystem& files, const std::vector<std::string>& paths, std::span<char> buffer) {
  for (const std::string& path : paths) {
    std::unique_ptr<ReadableFile> file;
    if (files.OpenForRead(path, file)) continue;
    std::size_t read = 0;
    while (file->Read(buffer, read) == 0 && read == buffer.size()) {
    }
  }
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool TimePass(const std::vector<std::string>& paths, std::uint64_t total) {
  ScanRig rig(paths);
  const std::size_t chunk = signatures::ChunkedTextSearch::kDefaultChunkBytes;
  const auto buffer = std::make_unique_for_overwrite<char[]>(chunk);
  std::vector<double> reads;
  std::vector<double> passes;
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    reads.push_back(Seconds([&] { ReadOnly(rig.Files(), paths, {buffer.get(), chunk}); }));
    passes.push_back(Seconds([&] { rig.ScanPass(); }));
    ratios.push_back(passes.back() / reads.back());
  }
  const double read = *std::min_element(reads.begin(), reads.end());
  const double pass = *std::min_element(passes.begin(), passes.end());
  const double gigabytes = static_cast<double>(total) / 1e9;
  const double ratio = Median(ratios);
  const bool met = ratio <= kTargetRatio;
  std::printf("%zu files, %.1f MiB in the page cache, %d rounds, reading and scanning in turn\n",
              paths.size(), static_cast<double>(total) / kMiB, kRounds);
  std::printf("read only, one reused buffer  %6.2f GB/s (best round)\n", gigabytes / read);
  std::printf("scan pass (ScanProcesses)     %6.2f GB/s (best round)\n", gigabytes / pass);
  std::printf("pass / read: %.2fx, the median of the rounds: %s (target %.2fx); best against best %.2fx\n",
              ratio, met ? "ok" : "MISSED", kTargetRatio, pass / read);
  std::printf("detected: %d (expected 0)\n", rig.Form().ResultsList().Count());
  return met && rig.Form().ResultsList().Count() == 0;
}

// In the child: one pass over `paths`, its peak working set against `limit`
// and what it detected against `expected`.
int MeasurePass(const std::vector<std::string>& arguments) {
  const std::uint64_t limit = std::stoull(arguments.at(1)) * kMiB;
  const int expected = std::stoi(arguments.at(2));
  ScanRig rig({arguments.begin() + 3, arguments.end()});
  const std::uint64_t before = PeakWorkingSetBytes();
  rig.ScanPass();
  const std::uint64_t peak = PeakWorkingSetBytes();
  const int detected = rig.Form().ResultsList().Count();
  const bool met = peak < limit && detected == expected;
  std::printf("  peak working set %.1f MiB (%.1f MiB before the pass), detected %d (expected %d): "
              "%s (target under %llu MiB)\n",
              static_cast<double>(peak) / kMiB, static_cast<double>(before) / kMiB, detected,
              expected, met ? "ok" : "MISSED", static_cast<unsigned long long>(limit / kMiB));
  return met ? 0 : 1;
}

bool PeakOfPass(const std::string& what, std::uint64_t limitMiB, int expected,
                const std::vector<std::string>& paths) {
  std::printf("%s:\n", what.c_str());
  std::vector<std::string> arguments = {"--pass", std::to_string(limitMiB), std::to_string(expected)};
  arguments.insert(arguments.end(), paths.begin(), paths.end());
  return RunSelf(arguments) == 0;
}

// A rule's first text straddles the 1 GiB mark, a border for any chunk size
// of a power of two, and its second ends the file: found only when the
// whole file is read and the border is carried over.
bool PeakOfHugeExecutable() {
  BenchFolder folder(L"FoxbaneHugeBench");
  const std::uint64_t free = folder.FreeBytes();
  if (free < 2 * kHugeExecutable) {
    std::printf("2 GiB executable: SKIPPED, only %.1f GiB free\n",
                static_cast<double>(free) / (kMiB << 10));
    return false;
  }
  const std::vector<std::string> rule = SignatureRuleTexts()[3];
  const std::string path = folder.AddSparseFile(
      L"huge.exe", kHugeExecutable,
      {{(std::uint64_t{1} << 30) - rule[0].size() / 2, rule[0]},
       {kHugeExecutable - rule[1].size(), rule[1]}});
  return PeakOfPass("a pass over one 2 GiB executable", kWorkingSetLimitMiB, 1, {path});
}

}  // namespace
}  // namespace foxbane::bench

int main() {
  using namespace foxbane::bench;
  const std::vector<std::string> arguments = Arguments();
  if (!arguments.empty() && arguments[0] == "--pass") return MeasurePass(arguments);

  BenchFolder folder(L"FoxbaneReadBench");
  std::uint64_t total = 0;
  const std::vector<std::string> paths = WriteTimedFiles(folder, total);
  const bool timed = TimePass(paths, total);
  const bool peak = PeakOfPass("a pass over the same files", kWorkingSetLimitMiB, 0, paths);
  const bool huge = PeakOfHugeExecutable();
  return timed && peak && huge ? 0 : 1;
}
