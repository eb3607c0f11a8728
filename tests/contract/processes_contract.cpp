#include <algorithm>
#include <vector>

#include "contract/world.h"

namespace foxbane::contract {
namespace {

using namespace process_access;
using namespace win_error;

constexpr std::uint32_t kUnusedPid = 0x7FFFFFF0;
constexpr ErrorCode kInsufficientBuffer = 122;
constexpr ErrorCode kMessageNotFound = 317;

// The snapshot ends with "no more files" and starts over on First; a buffer
// of ids too small is filled and reported full, with no failure.
TEST_P(ProcessesContract, SnapshotAndIdsListAStartedProcess) {
  EXPECT_EQ(processes().PlatformId(), 2);
  const StartedProcess started = world().StartWaitingProcess();
  const std::unique_ptr<ProcessSnapshot> snapshot = processes().TakeSnapshot();
  ASSERT_NE(snapshot, nullptr);
  std::vector<ProcessEntry> entries;
  ProcessEntry entry;
  for (bool more = snapshot->First(entry); more; more = snapshot->Next(entry)) {
    entries.push_back(entry);
  }
  EXPECT_EQ(processes().LastError(), kNoMoreFiles);
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const ProcessEntry& e) { return e.pid == started.pid; });
  ASSERT_NE(found, entries.end());
  // As on the NT family, the executable's file name.
  EXPECT_EQ(found->exeFile, started.modulePath.substr(started.modulePath.rfind('\\') + 1));
  ASSERT_TRUE(snapshot->First(entry));
  EXPECT_EQ(entry.pid, entries.front().pid);

  std::vector<std::uint32_t> one(1), ids(4096);
  std::uint32_t bytes = 0;
  ASSERT_TRUE(processes().EnumerateIds(one, bytes));
  EXPECT_EQ(bytes, 4u);
  ASSERT_TRUE(processes().EnumerateIds(ids, bytes));
  ASSERT_EQ(bytes % 4, 0u);
  ASSERT_LT(bytes, ids.size() * 4);
  ids.resize(bytes / 4);
  EXPECT_NE(std::find(ids.begin(), ids.end(), started.pid), ids.end());
}

// The image a process runs is known by its file's identity, the one the
// file system gives the file at its path; asking needs the right to read the
// process's memory.
TEST_P(ProcessesContract, AProcessImageIsTheFileItStartedFrom) {
  const StartedProcess started = world().StartWaitingProcess();
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files().OpenForRead(started.modulePath, file), win_error::kSuccess);
  FileIdentity expected;
  ASSERT_EQ(file->Identity(expected), win_error::kSuccess);

  FileIdentity image;
  const auto reader = processes().Open(kQueryAndRead, false, started.pid);
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(reader->ImageFileIdentity(image));
  EXPECT_EQ(image, expected);
  EXPECT_NE(image, FileIdentity{});
  const auto limited = processes().Open(kQueryLimited, false, started.pid);
  ASSERT_NE(limited, nullptr);
  EXPECT_FALSE(limited->ImageFileIdentity(image));
  EXPECT_EQ(processes().LastError(), win_error::kAccessDenied);
}

// Reading the modules, querying the image path and start time (the limited
// right, which reads nothing else) and ending the process each need their
// own right; the process ends with the code given, and only it.
TEST_P(ProcessesContract, EachHandleServesOnlyItsAccessAndTerminationEndsTheProcess) {
  EXPECT_EQ(processes().Open(kQueryAndRead, false, kUnusedPid), nullptr);
  EXPECT_EQ(processes().LastError(), kInvalidParameter);
  EXPECT_EQ(processes().Open(kTerminate, true, kUnusedPid), nullptr);
  EXPECT_EQ(processes().LastError(), kInvalidParameter);

  ASSERT_TRUE(processes().HasImagePathQuery());
  const StartedProcess started = world().StartWaitingProcess();
  const StartedProcess later = world().StartWaitingProcess();
  const auto reader = processes().Open(kQueryAndRead, false, started.pid);
  const auto query = processes().Open(kQueryLimited, false, started.pid);
  auto ender = processes().Open(kTerminate, true, started.pid);
  ASSERT_TRUE(reader && query && ender);
  std::uintptr_t module = 0;
  ASSERT_TRUE(reader->FirstModule(module));
  EXPECT_EQ(reader->ModuleFileName(module), started.modulePath);
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

  const auto denied = [&](bool succeeded) {
    return !succeeded && processes().LastError() == kAccessDenied;
  };
  EXPECT_TRUE(denied(processes().Terminate(reader.get(), 0)));
  EXPECT_TRUE(denied(processes().Terminate(query.get(), 0)));
  EXPECT_TRUE(denied(query->FirstModule(module)));
  EXPECT_TRUE(denied(!ender->ModuleFileName(module).empty()));
  EXPECT_TRUE(denied(ender->FirstModule(module)));
  EXPECT_TRUE(denied(ender->ImagePath(path)));
  EXPECT_TRUE(denied(ender->StartTime(time)));

  EXPECT_TRUE(processes().Terminate(ender.get(), 7));
  ender.reset();
  EXPECT_EQ(world().ExitCodeAfterEnd(started.pid), 7u);
  EXPECT_TRUE(world().IsRunning(later.pid));
}

// Through no handle (a failed open) termination fails with the invalid-handle
// error, worded as the system words it; a code without text gives no text.
TEST_P(ProcessesContract, NoHandleFailsAsInvalidAndSystemMessageNeedsRoomForItsNul) {
  EXPECT_FALSE(processes().Terminate(nullptr, 0));
  ASSERT_EQ(processes().LastError(), kInvalidHandle);
  EXPECT_EQ(processes().SystemMessage(processes().LastError(), 200), world().InvalidHandleText());

  const std::string text = processes().SystemMessage(kAccessDenied, 200);
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const auto length = static_cast<std::uint32_t>(text.size());
  EXPECT_EQ(processes().SystemMessage(kAccessDenied, length + 1), text);
  EXPECT_EQ(processes().SystemMessage(kAccessDenied, length), "");
  EXPECT_EQ(processes().LastError(), kInsufficientBuffer);
  EXPECT_EQ(processes().SystemMessage(0x2A2A2A, 200), "");
  EXPECT_EQ(processes().LastError(), kMessageNotFound);
}

}  // namespace
}  // namespace foxbane::contract
