#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/module1.h"
#include "sim/faults.h"
#include "sim/sim_processes.h"
#include "sim/sim_user_messages.h"

namespace foxbane {
namespace {

const std::string kFirstLines =
    "There was an error while trying to terminate the process - please try running Foxbane "
    "again.\n\n";
const std::string kInvalidHandle = kFirstLines + "ERROR: The handle is invalid.\r\n";
const std::string kAdware = "C:\\Apps\\adware.exe";

// Records each message together with the process handles still open while
// it is shown.
class RecordingMessages : public sim::SimUserMessages {
 public:
  explicit RecordingMessages(const sim::SimProcesses& processes) : processes_(processes) {}
  void ShowModal(std::string_view text) override {
    SimUserMessages::ShowModal(text);
    handlesOpenWhileShown.push_back(processes_.OpenHandleCount());
  }
  std::vector<std::size_t> handlesOpenWhileShown;

 private:
  const sim::SimProcesses& processes_;
};

class Module1Test : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(processes_.OpenHandleCount(), 0u); }
  std::uint64_t StartOf(std::uint32_t pid) {
    std::uint64_t time = 0;
    processes_.Open(process_access::kQueryInformation, false, pid)->StartTime(time);
    return time;
  }
  sim::Faults faults_;
  sim::SimProcesses processes_{faults_};
  RecordingMessages messages_{processes_};
  Module1 module1_{processes_, messages_};
};

// A refusal is shown while its handle is still open. The open is not
// checked: for a process that cannot be opened (ended, guarded, missing) the
// termination through the null handle fails, and its error is what shows.
TEST_F(Module1Test, EndsProcessesWithExitCodeZeroAndShowsEachFailureInTurn) {
  for (const std::uint32_t pid : {700u, 704u, 708u, 712u, 4294000000u, 716u}) {
    processes_.AddProcess(pid, kAdware);
  }
  processes_.RefuseTermination(700);
  processes_.Exit(704);
  processes_.DenyOpen(708);
  for (const std::int32_t pid : {712, 700, 704, 708, 123456, -967296}) module1_.KillProcess(pid);
  EXPECT_EQ(messages_.shown(), (std::vector<std::string>{kFirstLines + "ERROR: Access is denied.\r\n",
                                                         kInvalidHandle, kInvalidHandle, kInvalidHandle}));
  EXPECT_EQ(messages_.handlesOpenWhileShown, (std::vector<std::size_t>{1, 0, 0, 0}));
  EXPECT_EQ(processes_.ExitCode(712), 0u);
  EXPECT_EQ(processes_.ExitCode(4294000000u), 0u);
  for (const std::uint32_t pid : {700, 708, 716}) EXPECT_TRUE(processes_.IsRunning(pid)) << pid;

  // Without a system text, the last line is the blank buffer it was asked into.
  faults_.Fail("Processes.SystemMessage", win_error::kNotEnoughMemory);
  module1_.KillProcess(700);
  EXPECT_EQ(messages_.shown().back(), kFirstLines + "ERROR: " + std::string(200, ' '));
}

// A listed process (its start time known) is ended only while its PID still
// names it: a process that has gone, or another one given its PID, is left
// alone without a message; one the user may not end still gets the message.
class ListedProcess : public Module1Test, public ::testing::WithParamInterface<bool> {};

TEST_P(ListedProcess, IsEndedOnlyWhileItsPidStillNamesIt) {
  const bool imageQuery = GetParam();
  if (!imageQuery) processes_.RemoveImagePathQuery();
  const auto startOf = [&](std::uint32_t pid) { return StartOf(pid); };
  processes_.AddProcess(700, kAdware);  // gone, its PID reused by the same file
  const std::uint64_t first = startOf(700);
  processes_.Exit(700);
  processes_.AddProcess(700, kAdware);
  processes_.AddProcess(704, kAdware);  // gone, its PID unused
  const std::uint64_t gone = startOf(704);
  processes_.Exit(704);
  processes_.AddProcess(708, "C:\\Apps\\guarded.exe");  // may not be ended
  processes_.DenyOpen(708, process_access::kTerminate);
  processes_.AddProcess(712, kAdware);  // still running
  processes_.AddProcess(716, "C:\\Apps\\hidden.exe");  // nobody may look at it
  processes_.DenyOpen(716);

  module1_.KillProcess(700, kAdware, first);
  module1_.KillProcess(704, kAdware, gone);
  module1_.KillProcess(708, "C:\\Apps\\guarded.exe", startOf(708));
  module1_.KillProcess(712, imageQuery ? "C:\\Apps\\renamed.exe" : kAdware, startOf(712));
  module1_.KillProcess(716, "C:\\Apps\\hidden.exe", 1);
  EXPECT_EQ(messages_.shown(), (std::vector<std::string>{kInvalidHandle, kInvalidHandle}));
  for (const std::uint32_t pid : {700, 708, 716}) EXPECT_TRUE(processes_.IsRunning(pid)) << pid;
  // With the image path, a path other than the listed one is another
  // process; without it, the start time alone decides.
  EXPECT_EQ(processes_.IsRunning(712), imageQuery);

  faults_.Fail("Processes.StartTime", win_error::kAccessDenied);
  processes_.AddProcess(720, kAdware);
  module1_.KillProcess(720, kAdware, 1);
  EXPECT_TRUE(processes_.IsRunning(720)) << "a start time that cannot be read is no match";
}

INSTANTIATE_TEST_SUITE_P(ImageQueryOrNot, ListedProcess, ::testing::Bool());

// The system reports the path a process started under even after its file
// was renamed: a program of the user's can rename another program's running
// file and put one with the adware's texts in its place. Only the process
// running the very file that was scanned is ended.
TEST_F(Module1Test, AListedProcessIsEndedOnlyWhenItRunsTheVeryFileTheScanRead) {
  const FileIdentity scanned{7, 42};
  const FileIdentity renamedAway{7, 41};
  processes_.AddProcess(700, kAdware);  // the adware itself
  processes_.SetImageIdentity(700, scanned);
  processes_.AddProcess(704, kAdware);  // another program, its file renamed away
  processes_.SetImageIdentity(704, renamedAway);
  processes_.AddProcess(708, kAdware);  // whose executable cannot be told
  processes_.SetImageIdentity(708, scanned);
  processes_.HideModules(708);
  for (const std::uint32_t pid : {700u, 704u, 708u}) {
    module1_.KillProcess(static_cast<std::int32_t>(pid), kAdware, StartOf(pid), scanned);
  }
  EXPECT_FALSE(processes_.IsRunning(700));
  EXPECT_TRUE(processes_.IsRunning(704));
  EXPECT_TRUE(processes_.IsRunning(708));
  EXPECT_TRUE(messages_.shown().empty());
}

}  // namespace
}  // namespace foxbane
