// What only the sim file system has: planned faults, huge files, the
// inspection API, and folder rules Wine cannot show. Everything the real
// system also does is held to the FileSystem contract suite instead.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "sim/faults.h"
#include "sim/sim_file_system.h"

namespace foxbane::sim {
namespace {

using namespace file_attribute;
constexpr ErrorCode kPlanned = 1117;  // ERROR_IO_DEVICE

class SimFileSystemTest : public ::testing::Test {
 protected:
  Faults faults;
  SimFileSystem files{faults};
};

TEST_F(SimFileSystemTest, EveryOperationFailsWithThePlannedCodeAndChangesNothing) {
  const std::string path = "C:\\Data\\a.txt";
  files.WriteFile(path, "abc");
  std::unique_ptr<ReadableFile> reader;
  std::unique_ptr<AppendableFile> appender;
  std::string buffer(3, '\0');
  std::size_t read = 0;
  std::uint32_t count = 0;
  // A call that cannot reach the planned operation answers 0, failing the check.
  const std::pair<const char*, std::function<ErrorCode()>> calls[] = {
      {"FileSystem.FindFile", [&] { return files.FindFile(path, 0).empty() ? kPlanned : 0; }},
      {"FileSystem.ResetAttributes", [&] { return files.ResetAttributes(path); }},
      {"FileSystem.OpenForRead", [&] { return files.OpenForRead(path, reader); }},
      {"FileSystem.Read",
       [&] { return files.OpenForRead(path, reader) ? 0 : reader->Read(buffer, read); }},
      {"FileSystem.OpenForAppend", [&] { return files.OpenForAppend(path, appender); }},
      {"FileSystem.AppendText",
       [&] { return files.OpenForAppend(path, appender) ? 0 : appender->AppendText("more"); }},
      {"FileSystem.RemoveFile", [&] { return files.RemoveFile(path); }},
      {"FileSystem.RemoveFolder", [&] { return files.RemoveFolder("C:\\Data"); }},
      {"FileSystem.CountListedFiles", [&] { return files.CountListedFiles("C:\\Data", count); }},
  };
  for (const auto& [operation, call] : calls) {
    SCOPED_TRACE(operation);
    reader.reset();
    appender.reset();
    faults.Clear();
    faults.Fail(operation, kPlanned);
    EXPECT_EQ(call(), kPlanned);
    EXPECT_EQ(files.Contents(path), "abc");
  }
}

TEST_F(SimFileSystemTest, FaultsCanBeNarrowedToPathsAndToOneCall) {
  files.WriteFile("C:\\Keep\\a.txt", "x");
  files.WriteFile("C:\\Drop\\a.txt", "x");
  files.WriteFile("C:\\Drop\\b.txt", "x");
  faults.Fail("FileSystem.RemoveFile", win_error::kAccessDenied, Faults::kEveryCall, "c:\\keep");
  faults.Fail("FileSystem.RemoveFile", win_error::kSharingViolation, 2);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\a.txt"), win_error::kSuccess);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\b.txt"), win_error::kSharingViolation);
  EXPECT_EQ(files.RemoveFile("C:\\Keep\\a.txt"), win_error::kAccessDenied);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\b.txt"), win_error::kSuccess);
}

TEST_F(SimFileSystemTest, HugeFileReadsAsZerosWithoutBeingHeld) {
  files.WriteHugeFile("C:\\big.exe", std::uint64_t{1} << 50);
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files.OpenForRead("C:\\big.exe", file), win_error::kSuccess);
  std::string start(4, '-');
  std::size_t read = 0;
  EXPECT_EQ(file->Read(start, read), win_error::kSuccess);
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(start, std::string(4, '\0'));
  EXPECT_THROW(files.Contents("C:\\big.exe"), std::logic_error);
}

TEST_F(SimFileSystemTest, AttributesReadAsGetFileAttributesReportsThem) {
  files.WriteFile("C:\\plain.txt", "");
  files.WriteFile("C:\\packed.txt", "", kHidden | 0x800);
  std::unique_ptr<WritableFile> created;
  ASSERT_EQ(files.CreateForWrite("C:\\new.txt", created), win_error::kSuccess);

  EXPECT_EQ(files.Attributes("C:\\plain.txt"), kNormal);
  EXPECT_EQ(files.Attributes("C:\\new.txt"), kArchive);
  EXPECT_EQ(files.Attributes("C:\\"), kDirectory);
  EXPECT_EQ(files.Attributes("C:\\missing.txt"), std::nullopt);
  ASSERT_EQ(files.ResetAttributes("C:\\packed.txt"), win_error::kSuccess);
  EXPECT_EQ(files.Attributes("C:\\packed.txt"), 0x800u);  // compression is no attribute to reset
}

TEST_F(SimFileSystemTest, FoldersThatCannotBeRemovedWhenEmpty) {
  files.MakeFolder("C:\\Program Files\\ReadOnly");
  files.SetAttributes("C:\\Program Files\\ReadOnly", kReadOnly);
  files.MakeFolder("C:\\Program Files\\Current");
  files.MarkInUse("C:\\Program Files\\Current", true);
  EXPECT_EQ(files.RemoveFolder("C:\\Program Files\\ReadOnly"), win_error::kAccessDenied);
  EXPECT_EQ(files.RemoveFolder("C:\\Program Files\\Current"), win_error::kSharingViolation);
  EXPECT_EQ(files.RemoveFolder("C:\\"), win_error::kAccessDenied);
  EXPECT_TRUE(files.FolderExists("C:\\Program Files\\ReadOnly"));
  EXPECT_TRUE(files.FolderExists("c:\\program files\\current\\"));
}

TEST_F(SimFileSystemTest, OnlyDriveCExistsUntilUsedAndRelativePathsStartAtItsRoot) {
  std::unique_ptr<AppendableFile> file;
  EXPECT_EQ(files.OpenForAppend("D:\\log.txt", file), win_error::kPathNotFound);
  files.MakeFolder("d:\\Tools");
  EXPECT_EQ(files.OpenForAppend("D:\\log.txt", file), win_error::kSuccess);
  EXPECT_TRUE(files.FolderExists("D:\\TOOLS"));
  files.WriteFile("C:\\HKCU", "[Section]\r\n");
  EXPECT_EQ(files.FindFile("hkcu", 0), "HKCU");
  EXPECT_EQ(files.FindFile("\\HKCU", 0), "HKCU");
}

}  // namespace
}  // namespace foxbane::sim
