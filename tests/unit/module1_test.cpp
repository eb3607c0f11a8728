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

TEST_F(Module1Test, ReportsThePlatformFamily) {
  EXPECT_EQ(module1_.GetPlatformId(), 2);
  processes_.SetPlatformId(1);
  EXPECT_EQ(module1_.GetPlatformId(), 1);
}

TEST_F(Module1Test, EndsARunningProcessWithExitCodeZeroAndSaysNothing) {
  processes_.AddProcess(700, "C:\\Apps\\adware.exe");
  processes_.AddProcess(704, "C:\\Apps\\other.exe");
  processes_.AddProcess(4294000000u, "C:\\Apps\\adware.exe");
  module1_.KillProcess(700);
  module1_.KillProcess(-967296);
  EXPECT_EQ(processes_.ExitCode(700), 0u);
  EXPECT_EQ(processes_.ExitCode(4294000000u), 0u);
  EXPECT_TRUE(processes_.IsRunning(704));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
}

// The open is not checked: the termination through the null handle fails,
// and its error, not the open's, is what the user reads.
TEST_F(Module1Test, AProcessThatCannotBeOpenedReportsTheInvalidHandle) {
  processes_.AddProcess(700, "C:\\Apps\\adware.exe");
  processes_.Exit(700);
  processes_.AddProcess(704, "C:\\Apps\\guarded.exe");
  processes_.DenyOpen(704);
  module1_.KillProcess(700);
  module1_.KillProcess(704);
  const std::string invalidHandle = kFirstLines + "ERROR: The handle is invalid.\r\n";
  EXPECT_EQ(messages_.shown, (std::vector<std::string>{invalidHandle, invalidHandle}));
  EXPECT_TRUE(processes_.IsRunning(704));
}

TEST_F(Module1Test, ARefusedTerminationReportsTheRefusalAndReleasesTheHandleAfterwards) {
  processes_.AddProcess(700, "C:\\Apps\\guarded.exe");
  processes_.RefuseTermination(700);
  module1_.KillProcess(700);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{kFirstLines + "ERROR: Access is denied.\r\n"}));
  EXPECT_EQ(messages_.handlesOpenWhileShown, (std::vector<std::size_t>{1}));
  EXPECT_EQ(processes_.OpenHandleCount(), 0u);
  EXPECT_TRUE(processes_.IsRunning(700));
}

TEST_F(Module1Test, WithoutASystemTextTheLastLineIsTheBlankBuffer) {
  processes_.AddProcess(700, "C:\\Apps\\guarded.exe");
  processes_.RefuseTermination(700);
  faults_.Fail("Processes.SystemMessage", win_error::kNotEnoughMemory);
  module1_.KillProcess(700);
  EXPECT_EQ(messages_.shown,
            (std::vector<std::string>{kFirstLines + "ERROR: " + std::string(200, ' ')}));
}

TEST_F(Module1Test, EachFailureShowsItsOwnMessageInTurn) {
  processes_.AddProcess(700, "C:\\Apps\\a.exe");
  processes_.RefuseTermination(700);
  processes_.AddProcess(704, "C:\\Apps\\b.exe");
  module1_.KillProcess(700);
  module1_.KillProcess(123456);
  module1_.KillProcess(704);
  EXPECT_EQ(messages_.shown, (std::vector<std::string>{
                                 kFirstLines + "ERROR: Access is denied.\r\n",
                                 kFirstLines + "ERROR: The handle is invalid.\r\n"}));
  EXPECT_EQ(processes_.ExitCode(704), 0u);
}

}  // namespace
}  // namespace foxbane
