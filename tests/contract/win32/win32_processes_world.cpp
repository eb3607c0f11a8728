#include <map>
#include <stdexcept>

#include "contract/processes_world.h"
#include "support/waiting_process.h"
#include "support/wine.h"
#include "win32/processes.h"

namespace foxbane::contract {
namespace {

using foxbane::test_support::WaitingProcess;

class Win32ProcessesWorld : public ProcessesWorld {
 public:
  Processes& Adapter() override { return processes_; }

  StartedProcess StartWaitingProcess() override {
    WaitingProcess process;
    const StartedProcess started{process.Pid(), process.Path(), process.FileName()};
    started_.emplace(started.pid, std::move(process));
    return started;
  }
  bool IsRunning(std::uint32_t pid) override { return Started(pid).IsRunning(); }
  std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) override {
    return Started(pid).ExitCodeAfterEnd();
  }
  std::uint32_t UnusedPid() override { return 0x7FFFFFF0; }

  std::string InvalidHandleText() override { return foxbane::test_support::InvalidHandleText(); }

 private:
  const WaitingProcess& Started(std::uint32_t pid) const {
    const auto found = started_.find(pid);
    if (found == started_.end()) throw std::invalid_argument("not a started process");
    return found->second;
  }

  win32::Win32Processes processes_;
  std::map<std::uint32_t, WaitingProcess> started_;
};

std::unique_ptr<ProcessesWorld> MakeWin32ProcessesWorld() {
  return std::make_unique<Win32ProcessesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ProcessesContract, ::testing::Values(&MakeWin32ProcessesWorld));

}  // namespace foxbane::contract
