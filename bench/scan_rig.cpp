#include "scan_rig.h"

namespace foxbane::bench {

ScanRig::ScanRig(const std::vector<std::string>& executables) {
  std::uint32_t pid = 1000;
  for (const std::string& path : executables) processes_.AddProcess(pid += 4, path);
  form_.ListProcesses();
}

}  // namespace foxbane::bench
