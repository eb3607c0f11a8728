#include <vector>

#include "scan/text_search.h"
#include "scan/text_search_isa.h"

#if FOXBANE_X86_SIMD && defined(_MSC_VER)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace foxbane::signatures {

namespace {

#if FOXBANE_X86_SIMD && defined(_MSC_VER)
// MSVC (and clang-cl, without GCC's runtime) has no __builtin_cpu_supports:
// the processor is asked itself.
bool HasSse2() {
  int registers[4];
  __cpuid(registers, 1);
  return (registers[3] & (1 << 26)) != 0;
}

// AVX2 needs the system too: it must save the wide registers when it
// switches threads (OSXSAVE set, and XCR0 naming the SSE and AVX state).
bool HasAvx2() {
  int registers[4];
  __cpuid(registers, 0);
  if (registers[0] < 7) return false;
  __cpuid(registers, 1);
  constexpr int kOsxsaveAndAvx = (1 << 27) | (1 << 28);
  if ((registers[2] & kOsxsaveAndAvx) != kOsxsaveAndAvx) return false;
  if ((_xgetbv(0) & 0x6) != 0x6) return false;
  __cpuidex(registers, 7, 0);
  return (registers[1] & (1 << 5)) != 0;
}

// AVX-512BW: the foundation and byte-word sets, and the system saving the
// mask and upper registers (XCR0 bits 5 to 7) as well.
bool HasAvx512() {
  if (!HasAvx2()) return false;
  if ((_xgetbv(0) & 0xE6) != 0xE6) return false;
  int registers[4];
  __cpuidex(registers, 7, 0);
  constexpr int kFoundationAndByteWord = (1 << 16) | (1 << 30);
  return (registers[1] & kFoundationAndByteWord) == kFoundationAndByteWord;
}

// AVX-512 VBMI: the byte lookups, on top of AVX-512BW.
bool HasAvx512Vbmi() {
  if (!HasAvx512()) return false;
  int registers[4];
  __cpuidex(registers, 7, 0);
  return (registers[2] & (1 << 1)) != 0;
}
#elif FOXBANE_X86_SIMD
bool HasSse2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2");
}

// Also false where the system does not save the wide registers.
bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool HasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512bw");
}

bool HasAvx512Vbmi() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
}
#endif

std::vector<Isa> DetectIsas() {
  std::vector<Isa> isas{Isa::kScalar};
#if FOXBANE_X86_SIMD
  // Always there on x86-64; a 32-bit x86 processor may lack it.
  if (HasSse2()) isas.push_back(Isa::kSse2);
  if (HasAvx2()) isas.push_back(Isa::kAvx2);
  if (HasAvx512()) isas.push_back(Isa::kAvx512);
  if (HasAvx512Vbmi()) isas.push_back(Isa::kAvx512Vbmi);
#endif
  return isas;
}

}  // namespace

std::span<const Isa> SupportedIsas() {
  static const std::vector<Isa> isas = DetectIsas();
  return isas;
}

}  // namespace foxbane::signatures
