#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/module1.h"
#include "sim/faults.h"
#include "sim/sim_processes.h"

namespace foxbane {
namespace {

const std::string kFirstLines =
    "There was an error while trying to terminate the process - please try running Foxbane "
    "again.\n\n";

// Records each message together with the process handles still open while
// it is shown.
class RecordingMessages : public UserMessages {
 public:
  explicit RecordingMessages(const sim::SimProcesses& processes) : processes_(processes) {}
  void ShowModal(std::string_view text) override {
    shown.emplace_back(text);
    handlesOpenWhileShown.push_back(processes_.OpenHandleCount());
  }
  std::vector<std::string> shown;
  std::vector<std::size_t> handlesOpenWhileShown;

 private:
  const sim::SimProcesses& processes_;
};

class Module1Test : public ::testing::Test {
 protected:
  sim::Faults faults_;
  sim::SimProcesses processes_{faults_};
  RecordingMessages messages_{processes_};
  Module1 module1_{processes_, messages_};
};

// A refusal is shown while its handle is still open. The open is not
// checked: for a process that cannot be opened (ended, guarded, missing) the
// termination through the null handle fails, and its error is what shows.
TEST_F(Module1Test, EndsProcessesWithExitCodeZeroAndShowsEachFailureInTurn) {
  processes_.AddProcess(700, "C:\\Apps\\refusing.exe");
  processes_.RefuseTermination(700);
  processes_.AddProcess(704, "C:\\Apps\\ended.exe");
  processes_.Exit(704);
  processes_.AddProcess(708, "C:\\Apps\\guarded.exe");
  processes_.DenyOpen(708);
  processes_.AddProcess(712, "C:\\Apps\\adware.exe");
  processes_.AddProcess(4294000000u, "C:\\Apps\\adware.exe");
  processes_.AddProcess(716, "C:\\Apps\\bystander.exe");
  for (const std::int32_t pid : {712, 700, 704, 708, 123456, -967296}) module1_.KillProcess(pid);
  const std::string invalidHandle = kFirstLines + "ERROR: The handle is invalid.\r\n";
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{kFirstLines + "ERROR: Access is denied.\r\n", invalidHandle,
                                      invalidHandle, invalidHandle}));
  EXPECT_EQ(messages_.handlesOpenWhileShown, (std::vector<std::size_t>{1, 0, 0, 0}));
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
  EXPECT_EQ(processes_.ExitCode(712), 0u);
  EXPECT_EQ(processes_.ExitCode(4294000000u), 0u);
  EXPECT_TRUE(processes_.IsRunning(700));
  EXPECT_TRUE(processes_.IsRunning(708));
  EXPECT_TRUE(processes_.IsRunning(716));
}

TEST_F(Module1Test, WithoutASystemTextTheLastLineIsTheBlankBuffer) {
  processes_.AddProcess(700, "C:\\Apps\\guarded.exe");
  processes_.RefuseTermination(700);
  faults_.Fail("Processes.SystemMessage", win_error::kNotEnoughMemory);
  module1_.KillProcess(700);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{kFirstLines + "ERROR: " + std::string(200, ' ')}));
}

}  // namespace
}  // namespace foxbane
