// What only the sim file system has: planned faults, huge files, the
// inspection API, and folder rules Wine cannot show. Everything the real
// system also does is held to the FileSystem contract suite instead.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

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

struct PortCall {
  const char* operation;
  std::function<ErrorCode(SimFileSystem&)> call;
};

TEST_F(SimFileSystemTest, EveryOperationFailsWithThePlannedCodeAndChangesNothing) {
  const std::string path = "C:\\Data\\a.txt";
  files.WriteFile(path, "abc");
  const std::vector<PortCall> calls = {
      {"FileSystem.FindFile",
       [&](SimFileSystem& fs) { return fs.FindFile(path, 0).empty() ? kPlanned : 0; }},
      {"FileSystem.ResetAttributes", [&](SimFileSystem& fs) { return fs.ResetAttributes(path); }},
      {"FileSystem.OpenForRead",
       [&](SimFileSystem& fs) {
         std::unique_ptr<ReadableFile> file;
         return fs.OpenForRead(path, file);
       }},
      {"FileSystem.Size",
       [&](SimFileSystem& fs) {
         std::unique_ptr<ReadableFile> file;
         std::uint64_t size = 0;
         return fs.OpenForRead(path, file) ? 0 : file->Size(size);
       }},
      {"FileSystem.ReadFromStart",
       [&](SimFileSystem& fs) {
         std::unique_ptr<ReadableFile> file;
         std::string buffer(3, '\0');
         return fs.OpenForRead(path, file) ? 0 : file->ReadFromStart(buffer);
       }},
      {"FileSystem.OpenForAppend",
       [&](SimFileSystem& fs) {
         std::unique_ptr<AppendableFile> file;
         return fs.OpenForAppend(path, file);
       }},
      {"FileSystem.AppendText",
       [&](SimFileSystem& fs) {
         std::unique_ptr<AppendableFile> file;
         return fs.OpenForAppend(path, file) ? 0 : file->AppendText("more");
       }},
      {"FileSystem.RemoveFile", [&](SimFileSystem& fs) { return fs.RemoveFile(path); }},
      {"FileSystem.RemoveFolder", [&](SimFileSystem& fs) { return fs.RemoveFolder("C:\\Data"); }},
      {"FileSystem.CountListedFiles",
       [&](SimFileSystem& fs) {
         std::uint32_t count = 0;
         return fs.CountListedFiles("C:\\Data", count);
       }},
  };
  for (const PortCall& planned : calls) {
    SCOPED_TRACE(planned.operation);
    faults.Clear();
    faults.Fail(planned.operation, kPlanned);
    EXPECT_EQ(planned.call(files), kPlanned);
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

TEST_F(SimFileSystemTest, HugeFileReportsItsSizeAndReadsAsZerosWithoutBeingHeld) {
  constexpr std::uint64_t kSize = std::uint64_t{1} << 50;
  files.WriteHugeFile("C:\\big.exe", kSize);
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files.OpenForRead("C:\\big.exe", file), win_error::kSuccess);
  std::uint64_t size = 0;
  ASSERT_EQ(file->Size(size), win_error::kSuccess);
  EXPECT_EQ(size, kSize);
  std::string start(4, '-');
  EXPECT_EQ(file->ReadFromStart(start), win_error::kSuccess);
  EXPECT_EQ(start, std::string(4, '\0'));
  EXPECT_THROW(files.Contents("C:\\big.exe"), std::logic_error);
}

TEST_F(SimFileSystemTest, AttributesReadAsGetFileAttributesReportsThem) {
  files.WriteFile("C:\\plain.txt", "");
  files.WriteFile("C:\\packed.txt", "", kHidden | 0x800);
  std::unique_ptr<AppendableFile> created;
  ASSERT_EQ(files.OpenForAppend("C:\\new.txt", created), win_error::kSuccess);

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

TEST_F(SimFileSystemTest, OnlyDriveCExistsUntilSomethingIsMadeOnAnother) {
  std::unique_ptr<AppendableFile> file;
  EXPECT_EQ(files.OpenForAppend("D:\\log.txt", file), win_error::kPathNotFound);
  files.MakeFolder("d:\\Tools");
  EXPECT_EQ(files.OpenForAppend("D:\\log.txt", file), win_error::kSuccess);
  EXPECT_TRUE(files.FolderExists("D:\\TOOLS"));
}

TEST_F(SimFileSystemTest, RelativePathsAreTakenFromTheRootOfC) {
  files.WriteFile("C:\\HKCU", "[Section]\r\n");
  EXPECT_EQ(files.FindFile("hkcu", 0), "HKCU");
  EXPECT_EQ(files.FindFile("\\HKCU", 0), "HKCU");
}

}  // namespace
}  // namespace foxbane::sim
