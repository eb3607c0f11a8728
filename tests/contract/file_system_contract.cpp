#include <string>
#include <vector>

#include "contract/file_system_world.h"

namespace foxbane::contract {
namespace {

using namespace file_attribute;
constexpr std::uint32_t kAnyFile = 39;          // read-only, hidden, system, archive
constexpr std::uint32_t kNotIndexed = 0x2000;   // FILE_ATTRIBUTE_NOT_CONTENT_INDEXED

// Opens, sizes and reads the whole file, as the scan does.
ErrorCode ReadWhole(FileSystem& files, const std::string& path, std::string& bytes) {
  std::unique_ptr<ReadableFile> file;
  if (const ErrorCode e = files.OpenForRead(path, file)) return e;
  std::uint64_t size = 0;
  if (const ErrorCode e = file->Size(size)) return e;
  bytes.assign(size, '\0');
  return file->ReadFromStart(bytes);
}

ErrorCode Append(FileSystem& files, const std::string& path, std::string_view text) {
  std::unique_ptr<AppendableFile> file;
  if (const ErrorCode e = files.OpenForAppend(path, file)) return e;
  return file->AppendText(text);
}

TEST_P(FileSystemContract, FindFileAdmitsHiddenAndSystemFilesOnlyThroughTheMask) {
  struct Case {
    std::uint32_t attributes;
    std::uint32_t mask;
    bool found;
  };
  const std::vector<Case> cases = {
      {0, 0, true},
      {kReadOnly | kArchive, 0, true},
      {kHidden, 0, false},
      {kHidden, kHidden, true},
      {kSystem, kHidden, false},
      {kSystem, kSystem, true},
      {kHidden | kSystem, kHidden, false},
      {kHidden | kSystem, kHidden | kSystem, true},
      {kHidden | kReadOnly, kAnyFile, true},
      {kHidden | kReadOnly, 0, false},
      {kNotIndexed, 0, true},
      {kNotIndexed | kHidden, kHidden, true},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "attributes " << cases[i].attributes << ", mask "
                                    << cases[i].mask);
    const std::string name = "file" + std::to_string(i) + ".txt";
    world().WriteFile(At(name), "x", cases[i].attributes);
    EXPECT_EQ(files().FindFile(At(name), cases[i].mask), cases[i].found ? name : "");
  }
}

TEST_P(FileSystemContract, FindFileGivesTheStoredNameWhateverTheCaseAsked) {
  world().WriteFile(At("Hidden.TXT"), "x", kHidden);
  EXPECT_EQ(files().FindFile(At("hidden.txt"), kAnyFile), "Hidden.TXT");
}

TEST_P(FileSystemContract, FindFileNeverFindsFoldersMissingPathsOrPatterns) {
  world().MakeFolder(At("Folder"));
  world().WriteFile(At("a.txt"), "x");
  EXPECT_EQ(files().FindFile(At("Folder"), kAnyFile | kDirectory), "");
  EXPECT_EQ(files().FindFile(At("missing.txt"), kAnyFile), "");
  EXPECT_EQ(files().FindFile(At("Missing\\a.txt"), kAnyFile), "");
  EXPECT_EQ(files().FindFile(At("*.txt"), kAnyFile), "");
  EXPECT_EQ(files().FindFile(At("?.txt"), kAnyFile), "");
  EXPECT_EQ(files().FindFile(At("a.txt\\"), kAnyFile), "");
}

TEST_P(FileSystemContract, PathsResolveAsWindowsResolvesThem) {
  world().WriteFile(At("a.txt"), "x");
  for (const std::string& path :
       {At("A.TXT"), At("Nowhere\\..\\a.txt"), At(".\\a.txt"), At("\\a.txt"), At("a.txt."),
        world().Sandbox() + "/a.txt"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(files().FindFile(path, 0), "a.txt");
  }
}

TEST_P(FileSystemContract, AFileNamedWithATrailingSeparatorIsAnInvalidName) {
  world().WriteFile(At("a.exe"), "x");
  const std::string path = At("a.exe\\");
  std::unique_ptr<ReadableFile> reading;
  std::unique_ptr<AppendableFile> appending;
  EXPECT_EQ(files().ResetAttributes(path), win_error::kInvalidName);
  EXPECT_EQ(files().OpenForRead(path, reading), win_error::kInvalidName);
  EXPECT_EQ(files().OpenForAppend(path, appending), win_error::kInvalidName);
  EXPECT_EQ(files().RemoveFile(path), win_error::kInvalidName);
  EXPECT_EQ(files().RemoveFolder(path), win_error::kInvalidName);
  EXPECT_TRUE(world().Exists(At("a.exe")));
}

TEST_P(FileSystemContract, ResetAttributesLetsTheFileBeAppendedToAndDeleted) {
  const std::string path = At("log.txt");
  world().WriteFile(path, "old", kReadOnly | kHidden | kSystem);
  ASSERT_EQ(files().ResetAttributes(path), win_error::kSuccess);
  EXPECT_EQ(files().FindFile(path, 0), "log.txt");
  EXPECT_EQ(Append(files(), path, "new"), win_error::kSuccess);
  EXPECT_EQ(world().Contents(path), "oldnew");
  EXPECT_EQ(files().RemoveFile(path), win_error::kSuccess);
}

TEST_P(FileSystemContract, ResetAttributesFailsOnMissingPaths) {
  EXPECT_EQ(files().ResetAttributes(At("missing.txt")), win_error::kFileNotFound);
  EXPECT_EQ(files().ResetAttributes(At("Missing\\a.txt")), win_error::kPathNotFound);
}

TEST_P(FileSystemContract, ReadGivesEveryByteInOrderNulIncluded) {
  using namespace std::string_literals;
  const std::string bytes = "MZ\0\x90\xff\r\n\0end"s;
  world().WriteFile(At("a.exe"), bytes);
  std::string read;
  ASSERT_EQ(ReadWhole(files(), At("a.exe"), read), win_error::kSuccess);
  EXPECT_EQ(read, bytes);

  world().WriteFile(At("empty.exe"), "");
  ASSERT_EQ(ReadWhole(files(), At("empty.exe"), read), win_error::kSuccess);
  EXPECT_EQ(read, "");
}

TEST_P(FileSystemContract, ReadingPastTheEndFailsWithEndOfFile) {
  world().WriteFile(At("short.exe"), "abc");
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files().OpenForRead(At("short.exe"), file), win_error::kSuccess);
  std::string buffer(5, '-');
  EXPECT_EQ(file->ReadFromStart(buffer), win_error::kHandleEof);
  EXPECT_EQ(buffer.substr(0, 3), "abc");
}

TEST_P(FileSystemContract, OpenForReadFailsOnMissingPathsAndFolders) {
  world().MakeFolder(At("Folder"));
  std::unique_ptr<ReadableFile> file;
  EXPECT_EQ(files().OpenForRead(At("missing.exe"), file), win_error::kFileNotFound);
  EXPECT_EQ(files().OpenForRead(At("Missing\\a.exe"), file), win_error::kPathNotFound);
  EXPECT_EQ(files().OpenForRead(At("Folder"), file), win_error::kAccessDenied);
  EXPECT_EQ(file, nullptr);
}

TEST_P(FileSystemContract, ReadWorksWhileAnotherProgramWritesTheFile) {
  world().WriteFile(At("running.exe"), "image");
  const auto hold = world().HoldOpen(At("running.exe"));
  std::string read;
  ASSERT_EQ(ReadWhole(files(), At("running.exe"), read), win_error::kSuccess);
  EXPECT_EQ(read, "image");
}

TEST_P(FileSystemContract, FileOpenForReadingCanBeDeletedAndStaysReadable) {
  const std::string path = At("a.exe");
  world().WriteFile(path, "bytes");
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files().OpenForRead(path, file), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFile(path), win_error::kSuccess);
  std::string buffer(5, '\0');
  EXPECT_EQ(file->ReadFromStart(buffer), win_error::kSuccess);
  EXPECT_EQ(buffer, "bytes");
  file.reset();
  EXPECT_FALSE(world().Exists(path));
}

TEST_P(FileSystemContract, AppendCreatesAMissingFileAndKeepsWhatIsThere) {
  const std::string path = At("scanlog.txt");
  {
    std::unique_ptr<AppendableFile> file;
    ASSERT_EQ(files().OpenForAppend(path, file), win_error::kSuccess);
    EXPECT_EQ(file->AppendText("\r\n"), win_error::kSuccess);
    EXPECT_EQ(file->AppendText("first\r\n"), win_error::kSuccess);
  }
  EXPECT_EQ(world().Contents(path), "\r\nfirst\r\n");
  EXPECT_EQ(Append(files(), path, "second\r\n"), win_error::kSuccess);
  EXPECT_EQ(world().Contents(path), "\r\nfirst\r\nsecond\r\n");
}

TEST_P(FileSystemContract, AppendWritesCodePage1252WithQuestionMarksForTheRest) {
  const std::string path = At("scanlog.txt");
  // Euro, e acute, Y diaeresis, the undefined 0x81, Cyrillic, CJK, an emoji
  // (two UTF-16 units) and a byte that is not UTF-8.
  ASSERT_EQ(Append(files(), path, "\u20ac \u00e9 \u0178 \u0081 \u0416 \u4e2d \U0001F600 \xff"),
            win_error::kSuccess);
  EXPECT_EQ(world().Contents(path), "\x80 \xe9 \x9f \x81 ? ? ?? ?");
}

TEST_P(FileSystemContract, OpenForAppendFailsOnMissingFolderFolderAndBadName) {
  world().MakeFolder(At("Folder"));
  std::unique_ptr<AppendableFile> file;
  EXPECT_EQ(files().OpenForAppend(At("Missing\\log.txt"), file), win_error::kPathNotFound);
  EXPECT_EQ(files().OpenForAppend(At("Folder"), file), win_error::kAccessDenied);
  EXPECT_EQ(files().OpenForAppend(At("a*b.txt"), file), win_error::kInvalidName);
  EXPECT_EQ(file, nullptr);
}

TEST_P(FileSystemContract, OpenForAppendFailsOnAReadOnlyFile) {
  if (!world().ReadOnlyRefusesWriting()) GTEST_SKIP() << "this system lets writers open read-only files";
  world().WriteFile(At("log.txt"), "old", kReadOnly);
  std::unique_ptr<AppendableFile> file;
  EXPECT_EQ(files().OpenForAppend(At("log.txt"), file), win_error::kAccessDenied);
  EXPECT_EQ(world().Contents(At("log.txt")), "old");
}

TEST_P(FileSystemContract, OnlyOneWriterAtATime) {
  const std::string path = At("log.txt");
  world().WriteFile(path, "old");
  std::unique_ptr<AppendableFile> file;
  {
    const auto hold = world().HoldOpen(path);
    EXPECT_EQ(files().OpenForAppend(path, file), win_error::kSharingViolation);
  }
  ASSERT_EQ(files().OpenForAppend(path, file), win_error::kSuccess);
  std::unique_ptr<AppendableFile> second;
  EXPECT_EQ(files().OpenForAppend(path, second), win_error::kSharingViolation);
  EXPECT_EQ(files().RemoveFile(path), win_error::kSharingViolation);
  std::string read;
  EXPECT_EQ(ReadWhole(files(), path, read), win_error::kSuccess);
  file.reset();
  EXPECT_EQ(files().RemoveFile(path), win_error::kSuccess);
}

TEST_P(FileSystemContract, RemoveFileFailsLikeWindowsAndLeavesTheFile) {
  world().WriteFile(At("plain.exe"), "x");
  world().WriteFile(At("locked.exe"), "x", kReadOnly);
  world().WriteFile(At("busy.exe"), "x");
  world().MakeFolder(At("Folder"));

  EXPECT_EQ(files().RemoveFile(At("plain.exe")), win_error::kSuccess);
  EXPECT_FALSE(world().Exists(At("plain.exe")));
  EXPECT_EQ(files().RemoveFile(At("plain.exe")), win_error::kFileNotFound);
  EXPECT_EQ(files().RemoveFile(At("Missing\\a.exe")), win_error::kPathNotFound);
  EXPECT_EQ(files().RemoveFile(At("locked.exe")), win_error::kAccessDenied);
  EXPECT_EQ(files().RemoveFile(At("Folder")), win_error::kAccessDenied);
  {
    const auto hold = world().HoldOpen(At("busy.exe"));
    EXPECT_EQ(files().RemoveFile(At("busy.exe")), win_error::kSharingViolation);
  }
  EXPECT_TRUE(world().Exists(At("locked.exe")));
  EXPECT_TRUE(world().Exists(At("busy.exe")));
  EXPECT_TRUE(world().Exists(At("Folder")));
}

TEST_P(FileSystemContract, RemoveFolderRemovesOnlyAnEmptyFolder) {
  world().MakeFolder(At("Empty"));
  world().MakeFolder(At("Trailing"));
  world().WriteFile(At("Full\\a.exe"), "x");
  world().WriteFile(At("a.exe"), "x");

  EXPECT_EQ(files().RemoveFolder(At("Empty")), win_error::kSuccess);
  EXPECT_FALSE(world().Exists(At("Empty")));
  EXPECT_EQ(files().RemoveFolder(At("Trailing\\")), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFolder(At("Full")), win_error::kDirNotEmpty);
  EXPECT_EQ(files().RemoveFolder(At("Empty")), win_error::kFileNotFound);
  EXPECT_EQ(files().RemoveFolder(At("Missing\\Sub")), win_error::kPathNotFound);
  EXPECT_EQ(files().RemoveFolder(At("a.exe")), win_error::kDirectory);
  EXPECT_TRUE(world().Exists(At("Full\\a.exe")));
}

TEST_P(FileSystemContract, FolderHoldingOnlyAHiddenFileCountsNoneAndStays) {
  world().WriteFile(At("Foo\\desktop.ini"), "x", kHidden);
  std::uint32_t count = 99;
  ASSERT_EQ(files().CountListedFiles(At("Foo"), count), win_error::kSuccess);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(files().RemoveFolder(At("Foo")), win_error::kDirNotEmpty);
  EXPECT_TRUE(world().Exists(At("Foo\\desktop.ini")));
}

TEST_P(FileSystemContract, CountListsNormalReadOnlyAndArchiveFilesOnly) {
  world().WriteFile(At("Foo\\normal.exe"), "x");
  world().WriteFile(At("Foo\\readonly.exe"), "x", kReadOnly);
  world().WriteFile(At("Foo\\archive.exe"), "x", kArchive);
  world().WriteFile(At("Foo\\unindexed.exe"), "x", kNotIndexed);
  world().WriteFile(At("Foo\\hidden.exe"), "x", kHidden);
  world().WriteFile(At("Foo\\system.exe"), "x", kSystem);
  world().MakeFolder(At("Foo\\Sub"));
  world().MakeFolder(At("Empty"));
  std::uint32_t count = 0;
  ASSERT_EQ(files().CountListedFiles(At("Foo"), count), win_error::kSuccess);
  EXPECT_EQ(count, 4u);
  ASSERT_EQ(files().CountListedFiles(At("Foo\\"), count), win_error::kSuccess);
  EXPECT_EQ(count, 4u);
  ASSERT_EQ(files().CountListedFiles(At("Empty"), count), win_error::kSuccess);
  EXPECT_EQ(count, 0u);
}

TEST_P(FileSystemContract, CountFailsOnAPathThatIsNoFolder) {
  world().WriteFile(At("a.exe"), "x");
  std::uint32_t count = 7;
  EXPECT_EQ(files().CountListedFiles(At("Missing"), count), win_error::kPathNotFound);
  EXPECT_EQ(files().CountListedFiles(At("a.exe"), count), win_error::kDirectory);
  EXPECT_EQ(files().CountListedFiles("", count), win_error::kPathNotFound);
  EXPECT_EQ(count, 7u);
}

}  // namespace
}  // namespace foxbane::contract
