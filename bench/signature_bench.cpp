// Times the signature matcher against the rule-by-rule search it replaces and
// against a memchr pass (the speed of merely touching every byte), on 64 MiB
// of executable bytes, random bytes, zeros and near-miss text, and prints
// the ratios within this one run.
//
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOXBANE_BENCHMARKS=ON
//   cmake --build build/bench --target signature_bench && build/bench/bench/signature_bench

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_buffers.h"
#include "support/rule_by_rule.h"
#include "scan/signatures.h"
#include "scan/text_search.h"

namespace foxbane::bench {
namespace {

constexpr std::size_t kBufferSize = 64u << 20;

const std::vector<std::vector<std::string>>& Rules() {
  static const std::vector<std::vector<std::string>> rules = SignatureRuleTexts();
  return rules;
}

const std::vector<NamedBuffer>& Buffers() {
  static const std::vector<NamedBuffer> buffers = [] {
    std::vector<NamedBuffer> made;
    made.push_back({"executable", ExecutableBytes(kBufferSize)});
    made.push_back({"random", RandomBytes(kBufferSize)});
    made.push_back({"zeros", Zeros(kBufferSize)});
    made.push_back({"near-miss", NearMissText(kBufferSize, Rules())});
    return made;
  }();
  return buffers;
}

// The byte that occurs least often: memchr then runs through long stretches,
// as it would for an absent byte, and each hit restarts it.
char RarestByte(const std::string& bytes) {
  std::array<std::size_t, 256> counts{};
  for (const char byte : bytes) ++counts[static_cast<unsigned char>(byte)];
  std::size_t rarest = 0;
  for (std::size_t value = 1; value < counts.size(); ++value) {
    if (counts[value] < counts[rarest]) rarest = value;
  }
  return static_cast<char>(rarest);
}

void Finish(benchmark::State& state, const std::string& bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}

void MatchSignatures(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) benchmark::DoNotOptimize(FirstMatchingRule(bytes));
  Finish(state, bytes);
}

void FindTextsWith(benchmark::State& state, const std::string& bytes, signatures::Isa isa) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(signatures::FindTexts(bytes, signatures::RuleTexts(0), isa));
  }
  Finish(state, bytes);
}

// The search a scan runs first on every file: for one key text of each rule.
void FindKeyTextsWith(benchmark::State& state, const std::string& bytes, signatures::Isa isa) {
  for (auto _ : state) benchmark::DoNotOptimize(signatures::FindKeyTexts(bytes, isa));
  Finish(state, bytes);
}

void RuleByRuleFind(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(reference::FirstMatchingRuleByRule(bytes, Rules()));
  }
  Finish(state, bytes);
}

void Memchr(benchmark::State& state, const std::string& bytes) {
  const char rarest = RarestByte(bytes);
  for (auto _ : state) {
    std::size_t hits = 0;
    const char* at = bytes.data();
    const char* const end = bytes.data() + bytes.size();
    while (const void* hit = std::memchr(at, rarest, static_cast<std::size_t>(end - at))) {
      ++hits;
      at = static_cast<const char*>(hit) + 1;
    }
    benchmark::DoNotOptimize(hits);
  }
  Finish(state, bytes);
}

const char* IsaName(signatures::Isa isa) {
  switch (isa) {
    case signatures::Isa::kSse2:
      return "SSE2";
    case signatures::Isa::kAvx2:
      return "AVX2";
    case signatures::Isa::kAvx512:
      return "AVX512";
    case signatures::Isa::kAvx512Vbmi:
      return "AVX512-VBMI";
    default:
      return "bytes";
  }
}

void RegisterAll() {
  for (const NamedBuffer& buffer : Buffers()) {
    if (reference::FirstMatchingRuleByRule(buffer.bytes, Rules()) != 0) {
      std::fprintf(stderr, "warning: the %s buffer meets a rule\n", buffer.name.c_str());
    }
    const std::string& bytes = buffer.bytes;
    benchmark::RegisterBenchmark(("MatchSignatures/" + buffer.name).c_str(), MatchSignatures, bytes);
    for (const signatures::Isa isa : signatures::SupportedIsas()) {
      if (isa == signatures::Isa::kScalar) continue;
      benchmark::RegisterBenchmark(
          ("FindTexts_" + std::string(IsaName(isa)) + "/" + buffer.name).c_str(), FindTextsWith,
          bytes, isa);
      benchmark::RegisterBenchmark(
          ("FindKeyTexts_" + std::string(IsaName(isa)) + "/" + buffer.name).c_str(),
          FindKeyTextsWith, bytes, isa);
    }
    benchmark::RegisterBenchmark(("RuleByRuleFind/" + buffer.name).c_str(), RuleByRuleFind, bytes);
    benchmark::RegisterBenchmark(("Memchr/" + buffer.name).c_str(), Memchr, bytes);
  }
}

// Keeps each benchmark's bytes per second so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto found = run.counters.find("bytes_per_second");
      if (found != run.counters.end()) speeds_[run.benchmark_name()] = found->second.value;
    }
  }

  // Prints the ratios; false when a target is missed. The targets hold for
  // executable and random bytes; zeros and near-miss text are shown for
  // comparison (near-miss text is nearly all candidates, by design).
  bool PrintRatios() const {
    bool met = true;
    std::printf("\n%-11s %12s %12s %12s %11s %13s\n", "buffer", "match", "find", "memchr",
                "match/find", "match/memchr");
    for (const NamedBuffer& buffer : Buffers()) {
      const double match = Speed("MatchSignatures/" + buffer.name);
      const double find = Speed("RuleByRuleFind/" + buffer.name);
      const double memchr = Speed("Memchr/" + buffer.name);
      if (match == 0 || find == 0 || memchr == 0) continue;  // filtered out of this run
      const Target target = TargetFor(buffer.name);
      const bool ok = match / find >= target.overFind && match / memchr >= target.overMemchr;
      met = met && ok;
      std::printf("%-11s %7.2f GB/s %7.2f GB/s %7.2f GB/s %10.2fx %12.2fx  %s\n",
                  buffer.name.c_str(), match / 1e9, find / 1e9, memchr / 1e9, match / find,
                  match / memchr, target.overFind == 0 ? "(no target)" : ok ? "ok" : "TARGET MISSED");
    }
    std::printf("targets: match/find >= 2x on executable and >= 3x on random bytes, "
                "match/memchr >= 0.4x on both\n");
    return met;
  }

 private:
  struct Target {
    double overFind = 0;
    double overMemchr = 0;
  };
  static Target TargetFor(const std::string& buffer) {
    if (buffer == "executable") return {2.0, 0.4};
    if (buffer == "random") return {3.0, 0.4};
    return {};
  }
  double Speed(const std::string& name) const {
    const auto found = speeds_.find(name);
    return found == speeds_.end() ? 0.0 : found->second;
  }
  std::map<std::string, double> speeds_;
};

}  // namespace
}  // namespace foxbane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  foxbane::bench::RegisterAll();
  foxbane::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return reporter.PrintRatios() ? 0 : 1;
}
