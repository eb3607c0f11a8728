#include <algorithm>
#include <vector>

#include "contract/processes_world.h"

namespace foxbane::contract {
namespace {

using process_access::kQueryAndRead;
using process_access::kQueryLimited;
using process_access::kTerminate;

constexpr ErrorCode kNoMoreFiles = 18;
constexpr ErrorCode kInsufficientBuffer = 122;
constexpr ErrorCode kMessageNotFound = 317;

std::vector<ProcessEntry> ReadSnapshot(ProcessSnapshot& snapshot) {
  std::vector<ProcessEntry> entries;
  ProcessEntry entry;
  for (bool more = snapshot.First(entry); more; more = snapshot.Next(entry)) {
    entries.push_back(entry);
  }
  return entries;
}

TEST_P(ProcessesContract, SnapshotListsAStartedProcessByItsExecutableName) {
  EXPECT_EQ(processes().PlatformId(), 2);
  const StartedProcess started = world().StartWaitingProcess();
  const std::unique_ptr<ProcessSnapshot> snapshot = processes().TakeSnapshot();
  ASSERT_NE(snapshot, nullptr);
  const std::vector<ProcessEntry> entries = ReadSnapshot(*snapshot);
  EXPECT_EQ(processes().LastError(), kNoMoreFiles);
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const ProcessEntry& e) { return e.pid == started.pid; });
  ASSERT_NE(found, entries.end());
  EXPECT_EQ(found->exeFile, started.snapshotName);
  // First starts over.
  ProcessEntry first;
  ASSERT_TRUE(snapshot->First(first));
  EXPECT_EQ(first.pid, entries.front().pid);
}

// A buffer too small is filled and reported full, with no failure.
TEST_P(ProcessesContract, EnumerateIdsListsStartedProcessesAndReportsTheBytesWritten) {
  const StartedProcess started = world().StartWaitingProcess();
  world().StartWaitingProcess();
  for (const std::size_t capacity : {1u, 2u}) {
    std::vector<std::uint32_t> ids(capacity, 0);
    std::uint32_t bytes = 0;
    ASSERT_TRUE(processes().EnumerateIds(ids, bytes));
    EXPECT_EQ(bytes, capacity * 4);
  }
  std::vector<std::uint32_t> ids(4096, 0);
  std::uint32_t bytes = 12345;
  ASSERT_TRUE(processes().EnumerateIds(ids, bytes));
  ASSERT_EQ(bytes % 4, 0u);
  ASSERT_LT(bytes, ids.size() * 4);
  ids.resize(bytes / 4);
  EXPECT_NE(std::find(ids.begin(), ids.end(), started.pid), ids.end());
}

TEST_P(ProcessesContract, OpenFailsOnAMissingProcessAndAHandleServesOnlyItsAccess) {
  EXPECT_EQ(processes().Open(kQueryAndRead, false, world().UnusedPid()), nullptr);
  EXPECT_EQ(processes().LastError(), win_error::kInvalidParameter);
  EXPECT_EQ(processes().Open(kTerminate, true, world().UnusedPid()), nullptr);
  EXPECT_EQ(processes().LastError(), win_error::kInvalidParameter);

  const StartedProcess started = world().StartWaitingProcess();
  const std::unique_ptr<OpenedProcess> reader = processes().Open(kQueryAndRead, false, started.pid);
  const std::unique_ptr<OpenedProcess> ender = processes().Open(kTerminate, true, started.pid);
  ASSERT_NE(reader, nullptr);
  ASSERT_NE(ender, nullptr);
  std::uintptr_t module = 0;
  ASSERT_TRUE(reader->FirstModule(module));
  EXPECT_EQ(reader->ModuleFileName(module), started.modulePath);

  EXPECT_FALSE(processes().Terminate(reader.get(), 0));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
  EXPECT_TRUE(world().IsRunning(started.pid));
  EXPECT_EQ(ender->ModuleFileName(module), "");
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
  EXPECT_FALSE(ender->FirstModule(module));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
}

// The limited right reads the image path and the start time, and nothing
// else; the termination right alone reads neither.
TEST_P(ProcessesContract, TheLimitedQueryGivesTheImagePathAndAStableStartTime) {
  ASSERT_TRUE(processes().HasImagePathQuery());
  const StartedProcess started = world().StartWaitingProcess();
  const StartedProcess later = world().StartWaitingProcess();
  const std::unique_ptr<OpenedProcess> query = processes().Open(kQueryLimited, false, started.pid);
  ASSERT_NE(query, nullptr);
  std::string path;
  ASSERT_TRUE(query->ImagePath(path));
  EXPECT_EQ(path, started.modulePath);
  std::uint64_t time = 0, again = 0, laterTime = 0;
  ASSERT_TRUE(query->StartTime(time));
  EXPECT_NE(time, 0u);
  ASSERT_TRUE(processes().Open(kQueryLimited, false, started.pid)->StartTime(again));
  EXPECT_EQ(again, time);
  ASSERT_TRUE(processes().Open(kQueryLimited, false, later.pid)->StartTime(laterTime));
  EXPECT_GE(laterTime, time);

  std::uintptr_t module = 0;
  EXPECT_FALSE(query->FirstModule(module));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
  EXPECT_FALSE(processes().Terminate(query.get(), 0));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);

  const std::unique_ptr<OpenedProcess> ender = processes().Open(kTerminate, true, started.pid);
  ASSERT_NE(ender, nullptr);
  EXPECT_FALSE(ender->ImagePath(path));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
  EXPECT_FALSE(ender->StartTime(time));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
  EXPECT_TRUE(world().IsRunning(started.pid));
}

TEST_P(ProcessesContract, TerminatesAProcessWithTheExitCodeGiven) {
  const StartedProcess started = world().StartWaitingProcess();
  const StartedProcess bystander = world().StartWaitingProcess();
  {
    const std::unique_ptr<OpenedProcess> process = processes().Open(kTerminate, true, started.pid);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(processes().Terminate(process.get(), 0));
  }
  EXPECT_EQ(world().ExitCodeAfterEnd(started.pid), 0u);
  EXPECT_TRUE(world().IsRunning(bystander.pid));
}

// Through no handle (a failed open) termination fails with the invalid-handle
// error, worded as the system words it; a code without text gives no text.
TEST_P(ProcessesContract, NoHandleFailsAsInvalidAndSystemMessageNeedsRoomForItsNul) {
  EXPECT_FALSE(processes().Terminate(nullptr, 0));
  ASSERT_EQ(processes().LastError(), win_error::kInvalidHandle);
  EXPECT_EQ(processes().SystemMessage(processes().LastError(), 200), world().InvalidHandleText());

  const std::string text = processes().SystemMessage(win_error::kAccessDenied, 200);
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const auto length = static_cast<std::uint32_t>(text.size());
  EXPECT_EQ(processes().SystemMessage(win_error::kAccessDenied, length + 1), text);
  EXPECT_EQ(processes().SystemMessage(win_error::kAccessDenied, length), "");
  EXPECT_EQ(processes().LastError(), kInsufficientBuffer);
  EXPECT_EQ(processes().SystemMessage(0x2A2A2A, 200), "");
  EXPECT_EQ(processes().LastError(), kMessageNotFound);
}

}  // namespace
}  // namespace foxbane::contract
