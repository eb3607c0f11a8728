#include "contract/processes_world.h"
#include "sim/faults.h"
#include "sim/sim_processes.h"

namespace foxbane::contract {
namespace {

class SimProcessesWorld : public ProcessesWorld {
 public:
  SimProcessesWorld() {
    // Something to list besides the test's own processes.
    processes_.AddProcess(4, "System", "System");
    processes_.AddProcess(612, "C:\\Windows\\System32\\services.exe");
  }

  Processes& Adapter() override { return processes_; }
  StartedProcess StartWaitingProcess() override {
    const StartedProcess started{nextPid_, "C:\\Program Files\\Foxbane Test\\Waiter.exe", "Waiter.exe"};
    nextPid_ += 4;
    processes_.AddProcess(started.pid, started.modulePath);
    return started;
  }
  bool IsRunning(std::uint32_t pid) override { return processes_.IsRunning(pid); }
  std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) override {
    return processes_.ExitCode(pid);
  }
  std::uint32_t UnusedPid() override { return 0x7FFFFFF0; }
  std::string InvalidHandleText() override { return "The handle is invalid.\r\n"; }

 private:
  sim::Faults faults_;
  sim::SimProcesses processes_{faults_};
  std::uint32_t nextPid_ = 2000;
};

std::unique_ptr<ProcessesWorld> MakeSimProcessesWorld() {
  return std::make_unique<SimProcessesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, ProcessesContract, ::testing::Values(&MakeSimProcessesWorld));

}  // namespace foxbane::contract
