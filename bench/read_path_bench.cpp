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
//    against the tightest plain read of the same files: one reused buffer,
//    the sequential-scan hint, the best of several piece sizes. Each is
//    timed again over as many near-empty files; what that costs (opening,
//    listing, progress) is the fixed part, and the target compares what
//    remains, the part that grows with the bytes. Reads and passes alternate
//    (each piece size's read just before its pass) round by round, and the
//    target holds the median of the rounds' ratios: on a busy machine the
//    best read and the best pass may come from rounds run under different
//    loads, while the reads and passes of one round share theirs. The pass is also timed at other piece sizes, and the
//    files mapped and searched in place, to show why the scan reads as it
//    does.
// 2. The peak working set of a pass over the same files, and of a pass over
//    a 2 GiB executable, each measured in a child process that does nothing
//    else.
// Exits non-zero when a target is missed.
//
//   read_path_bench.exe --read FILE...
// prints only the tightest plain read of the given files (for the
// measurement through the window, bench/window_scan.sh).

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "bench_process.h"
#include "mapped_search.h"
#include "read_timing.h"
#include "scan/chunked_text_search.h"
#include "scan/signatures.h"
#include "scan_rig.h"

namespace foxbane::bench {
namespace {

constexpr int kRounds = 11;
constexpr int kExecutables = 24;
constexpr double kTargetRatio = 1.25;
constexpr std::uint64_t kMiB = 1 << 20;
constexpr std::uint64_t kExecutableBytes = 48 * kMiB;
constexpr std::uint64_t kNearEmptyBytes = 4096;
constexpr std::uint64_t kHugeExecutable = std::uint64_t{2} << 30;
constexpr std::uint64_t kWorkingSetLimitMiB = 64;
constexpr std::size_t kScanPiece = signatures::ChunkedTextSearch::kDefaultChunkBytes;

// 24 executables of 48 MiB each, as many as a desktop runs, random bytes
// without a detection text; with `nearEmpty`, as many of 4 KiB each.
std::vector<std::string> WriteTimedFiles(BenchFolder& folder, bool nearEmpty, std::uint64_t& total) {
  std::mt19937_64 random(2004);
  std::string bytes(nearEmpty ? kNearEmptyBytes : kExecutableBytes, '\0');
  for (std::size_t at = 0; at < bytes.size(); at += sizeof(std::uint64_t)) {
    const std::uint64_t word = random();
    std::memcpy(bytes.data() + at, &word, sizeof word);
  }
  std::vector<std::string> paths;
  total = 0;
  for (int i = 0; i < kExecutables; ++i) {
    const std::wstring name = (nearEmpty ? L"empty" : L"file") + std::to_wstring(i) + L".exe";
    paths.push_back(folder.AddFile(name, bytes));
    total += bytes.size();
  }
  return paths;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

struct Timings {
  std::vector<std::vector<double>> reads{kReadPieces.size()};  // by piece size, by round
  std::vector<std::vector<double>> passes{kReadPieces.size()};
  std::vector<double> mapped;
  std::vector<double> keySearches;  // the search alone, over as many bytes: for the keys
  std::vector<double> fullSearches;  // and for every text
  std::vector<double> emptyReads;
  std::vector<double> emptyPasses;
};

// The search alone, at the scan's piece size, on a piece in the cache: how
// fast it would go if the bytes cost nothing to bring in. Each piece holds
// other bytes, put in untimed, as each piece of a file does: searched again
// and again, the same bytes would teach the processor's branch prediction
// where the filter's candidates lie, and the figure would flatter.
double SearchInCacheSeconds(std::uint64_t bytes, signatures::ChunkedTextSearch::Scope scope) {
  constexpr std::size_t kPieces = 64;
  signatures::ChunkedTextSearch search;
  search.Restart(scope);
  const std::size_t size = search.Chunk(0).size();
  std::string pool(kPieces * size, '\0');
  std::mt19937_64 random(1999);
  for (char& byte : pool) byte = static_cast<char>(random() & 0xFF);
  double seconds = 0;
  for (std::uint64_t done = 0, index = 0; done < bytes; done += size, ++index) {
    std::copy_n(pool.data() + index % kPieces * size, size, search.Chunk(index).data());
    seconds += Seconds([&] { search.Add(size); });
  }
  return seconds;
}

// Every way of going through the files once a round, in turn: each piece
// size's read just before its pass.
Timings TimeRounds(const std::vector<std::string>& paths, std::uint64_t total,
                   const std::vector<std::string>& empty,
                   std::vector<std::unique_ptr<ScanRig>>& rigs, ScanRig& emptyRig) {
  const auto buffer = std::make_unique_for_overwrite<char[]>(kReadPieces.back());
  FileSystem& files = emptyRig.Files();
  Timings timings;
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t i = 0; i < kReadPieces.size(); ++i) {
      timings.reads[i].push_back(
          Seconds([&] { ReadOnly(files, paths, {buffer.get(), kReadPieces[i]}); }));
      timings.passes[i].push_back(Seconds([&] { rigs[i]->ScanPass(); }));
    }
    timings.mapped.push_back(Seconds([&] { SearchMapped(paths); }));
    timings.keySearches.push_back(SearchInCacheSeconds(total, signatures::ChunkedTextSearch::Scope::kKeys));
    timings.fullSearches.push_back(
        SearchInCacheSeconds(total, signatures::ChunkedTextSearch::Scope::kEveryText));
    timings.emptyReads.push_back(
        Seconds([&] { ReadOnly(files, empty, {buffer.get(), kReadPieces.front()}); }));
    timings.emptyPasses.push_back(Seconds([&] { emptyRig.ScanPass(); }));
  }
  return timings;
}

bool TimePass(const std::vector<std::string>& paths, std::uint64_t total,
              const std::vector<std::string>& empty) {
  std::vector<std::unique_ptr<ScanRig>> rigs;
  for (const std::size_t piece : kReadPieces) rigs.push_back(std::make_unique<ScanRig>(paths, piece));
  ScanRig emptyRig(empty);
  const Timings t = TimeRounds(paths, total, empty, rigs, emptyRig);

  const double gigabytes = static_cast<double>(total) / 1e9;
  std::printf("%zu files, %.1f MiB, and %zu files of %llu bytes, in the page cache; %d rounds, "
              "every way in turn\n",
              paths.size(), static_cast<double>(total) / kMiB, empty.size(),
              static_cast<unsigned long long>(kNearEmptyBytes), kRounds);
  const double emptyRead = Best(t.emptyReads);
  const double emptyPass = Best(t.emptyPasses);
  std::printf("fixed part (the near-empty files): read %.2f ms, pass %.2f ms\n", emptyRead * 1e3,
              emptyPass * 1e3);

  std::printf("read only, one reused buffer, sequential-scan hint (best round, fixed part taken off):\n");
  std::size_t tightest = 0;
  for (std::size_t i = 0; i < kReadPieces.size(); ++i) {
    if (Best(t.reads[i]) < Best(t.reads[tightest])) tightest = i;
    std::printf("  %-8s pieces  %6.2f GB/s\n", PieceName(kReadPieces[i]).c_str(),
                gigabytes / (Best(t.reads[i]) - emptyRead));
  }
  const double read = Best(t.reads[tightest]) - emptyRead;
  std::printf("  the tightest: %s pieces\n", PieceName(kReadPieces[tightest]).c_str());

  std::printf("scan pass (ScanProcesses), bytes-proportional part against the tightest read "
              "(best rounds):\n");
  std::size_t scans = 0;
  for (std::size_t i = 0; i < kReadPieces.size(); ++i) {
    if (kReadPieces[i] == kScanPiece) scans = i;
    const double pass = Best(t.passes[i]) - emptyPass;
    std::printf("  %-8s pieces  %6.2f GB/s  %5.2fx%s\n", PieceName(kReadPieces[i]).c_str(),
                gigabytes / pass, pass / read, kReadPieces[i] == kScanPiece ? "  (the scan's)" : "");
  }
  const double mapped = Best(t.mapped);
  std::printf("  mapped, searched in place  %6.2f GB/s  %5.2fx  (not taken: see README)\n",
              gigabytes / mapped, mapped / read);
  std::printf("the search alone on a %s piece in the cache (best round): for the keys %.2f GB/s, "
              "for every text %.2f GB/s\n",
              PieceName(kScanPiece).c_str(), gigabytes / Best(t.keySearches),
              gigabytes / Best(t.fullSearches));

  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    ratios.push_back((t.passes[scans][round] - emptyPass) / (t.reads[tightest][round] - emptyRead));
  }
  const double ratio = Median(ratios);
  const bool met = kReadPieces[scans] == kScanPiece && ratio <= kTargetRatio;
  std::printf("pass / read, bytes-proportional: %.2fx, the median of the rounds: %s (target %.2fx)\n",
              ratio, met ? "ok" : "MISSED", kTargetRatio);
  const int detected = rigs[scans]->Form().ResultsList().Count();
  std::printf("detected: %d (expected 0)\n", detected);
  return met && detected == 0;
}

// Only the tightest plain read of `paths`: the best round of each piece size,
// the best size.
int TightestRead(const std::vector<std::string>& paths) {
  ScanRig rig({});
  const auto buffer = std::make_unique_for_overwrite<char[]>(kReadPieces.back());
  double best = 1e9;
  std::size_t bestPiece = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (const std::size_t piece : kReadPieces) {
      const double seconds = Seconds([&] { ReadOnly(rig.Files(), paths, {buffer.get(), piece}); });
      if (seconds < best) {
        best = seconds;
        bestPiece = piece;
      }
    }
  }
  std::printf("tightest read: %.3f ms (%s pieces)\n", best * 1e3, PieceName(bestPiece).c_str());
  return 0;
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

// A rule's first text straddles the 1 GiB mark, a border for any piece size
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
  if (!arguments.empty() && arguments[0] == "--read") {
    return TightestRead({arguments.begin() + 1, arguments.end()});
  }

  BenchFolder folder(L"FoxbaneReadBench");
  std::uint64_t total = 0;
  std::uint64_t emptyTotal = 0;
  const std::vector<std::string> paths = WriteTimedFiles(folder, false, total);
  const std::vector<std::string> empty = WriteTimedFiles(folder, true, emptyTotal);
  const bool timed = TimePass(paths, total, empty);
  const bool peak = PeakOfPass("a pass over the same files", kWorkingSetLimitMiB, 0, paths);
  const bool huge = PeakOfHugeExecutable();
  return timed && peak && huge ? 0 : 1;
}
