#include <span>
#include <string>
#include <utility>
#include <vector>

#include "contract/file_system_world.h"

namespace foxbane::contract {
namespace {

using namespace file_attribute;
constexpr std::uint32_t kNotIndexed = 0x2000;   // FILE_ATTRIBUTE_NOT_CONTENT_INDEXED

// Reads from where the file stands to its end, `piece` bytes at a time: the
// count each read gave, and the bytes.
ErrorCode ReadToEnd(ReadableFile& file, std::size_t piece, std::vector<std::size_t>& counts,
                    std::string& bytes) {
  std::string buffer(piece, '-');
  std::size_t read = 0;
  do {
    if (const ErrorCode e = file.Read(buffer, read)) return e;
    counts.push_back(read);
    bytes.append(buffer, 0, read);
  } while (read > 0);
  return win_error::kSuccess;
}

ErrorCode ReadWhole(FileSystem& files, const std::string& path, std::string& bytes) {
  std::unique_ptr<ReadableFile> file;
  if (const ErrorCode e = files.OpenForRead(path, file)) return e;
  std::vector<std::size_t> counts;
  bytes.clear();
  return ReadToEnd(*file, 4096, counts, bytes);
}

ErrorCode Append(FileSystem& files, const std::string& path, std::string_view text) {
  std::unique_ptr<AppendableFile> file;
  if (const ErrorCode e = files.OpenForAppend(path, file)) return e;
  return file->AppendText(text);
}

TEST_P(FileSystemContract, FindFileAdmitsHiddenAndSystemFilesOnlyThroughTheMask) {
  const struct {
    std::uint32_t attributes;
    std::uint32_t mask;
    bool found;
  } cases[] = {
      {0, 0, true},                          {kReadOnly | kArchive, 0, true},
      {kHidden, 0, false},                   {kHidden, kHidden, true},
      {kSystem, kHidden, false},             {kSystem, kSystem, true},
      {kHidden | kSystem, kHidden, false},   {kHidden | kSystem, kHidden | kSystem, true},
      {kHidden | kReadOnly, kAnyFileMask, true}, {kHidden | kReadOnly, 0, false},
      {kNotIndexed, 0, true},                {kNotIndexed | kHidden, kHidden, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "attributes " << c.attributes << ", mask " << c.mask);
    const std::string name = "file" + std::to_string(n++) + ".txt";
    world().WriteFile(At(name), "x", c.attributes);
    EXPECT_EQ(files().FindFile(At(name), c.mask), c.found ? name : "");
  }
}

// Windows resolves case, "..", ".", a doubled separator, a trailing dot and
// "/"; it finds no folders, missing paths or patterns.
TEST_P(FileSystemContract, FindFileResolvesPathsAsWindowsAndGivesTheStoredName) {
  world().WriteFile(At("Stored.TXT"), "x");
  world().MakeFolder(At("Folder"));
  for (const std::string& path :
       {At("stored.txt"), At("Nowhere\\..\\Stored.TXT"), At(".\\Stored.TXT"), At("\\Stored.TXT"),
        At("Stored.TXT."), world().Sandbox() + "/Stored.TXT"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(files().FindFile(path, 0), "Stored.TXT");
  }
  for (const char* relative :
       {"Folder", "missing.txt", "Missing\\Stored.TXT", "*.TXT", "?tored.TXT", "Stored.TXT\\"}) {
    SCOPED_TRACE(relative);
    EXPECT_EQ(files().FindFile(At(relative), kAnyFileMask | kDirectory), "");
  }
}

// What each operation answers on a path it cannot use (kNo: not tried): a
// missing file or folder, a file named with a trailing separator, a folder
// with contents, a read-only file, a file taken for a folder, a wildcard.
TEST_P(FileSystemContract, EachOperationFailsOnAnUnusablePathWithTheErrorWindowsGives) {
  using namespace win_error;
  constexpr ErrorCode kNo = ~ErrorCode{0};
  world().WriteFile(At("a.exe"), "x");
  world().WriteFile(At("locked.exe"), "x", kReadOnly);
  world().WriteFile(At("Full\\a.exe"), "x");
  const struct {
    const char* path;
    ErrorCode reset, read, append, removeFile, removeFolder, count;
  } cases[] = {
      {"missing.exe", kFileNotFound, kFileNotFound, kNo, kFileNotFound, kFileNotFound,
       kPathNotFound},
      {"Missing\\a.exe", kPathNotFound, kPathNotFound, kPathNotFound, kPathNotFound,
       kPathNotFound, kNo},
      {"a.exe\\", kInvalidName, kInvalidName, kInvalidName, kInvalidName, kInvalidName, kNo},
      {"Full", kNo, kAccessDenied, kAccessDenied, kAccessDenied, kDirNotEmpty, kNo},
      {"locked.exe", kNo, kNo, kNo, kAccessDenied, kNo, kNo},
      {"a.exe", kNo, kNo, kNo, kNo, win_error::kDirectory, win_error::kDirectory},
      {"a*b.txt", kNo, kNo, kInvalidName, kNo, kNo, kNo},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string path = At(c.path);
    std::unique_ptr<ReadableFile> reading;
    std::unique_ptr<AppendableFile> appending;
    std::uint32_t count = 7;
    const auto expect = [](ErrorCode expected, const char* operation, auto call) {
      if (expected == kNo) return;
      EXPECT_EQ(call(), expected) << operation;
    };
    expect(c.reset, "ResetAttributes", [&] { return files().ResetAttributes(path); });
    expect(c.read, "OpenForRead", [&] { return files().OpenForRead(path, reading); });
    expect(c.append, "OpenForAppend", [&] { return files().OpenForAppend(path, appending); });
    expect(c.removeFile, "RemoveFile", [&] { return files().RemoveFile(path); });
    expect(c.removeFolder, "RemoveFolder", [&] { return files().RemoveFolder(path); });
    expect(c.count, "CountListedFiles", [&] { return files().CountListedFiles(path, count); });
    EXPECT_EQ(reading, nullptr);
    EXPECT_EQ(appending, nullptr);
    EXPECT_EQ(count, 7u);
  }
  std::uint32_t count = 7;
  EXPECT_EQ(files().CountListedFiles("", count), kPathNotFound);
  std::unique_ptr<ReadableFile> device;
  EXPECT_EQ(files().OpenForRead("\\\\.\\NUL", device), win_error::kBadFileType);
  EXPECT_EQ(device, nullptr);
  for (const char* kept : {"a.exe", "locked.exe", "Full\\a.exe"}) {
    EXPECT_TRUE(world().Exists(At(kept))) << kept;
  }
  EXPECT_FALSE(world().Exists(At("a*b.txt")));
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

// Each read fills the buffer unless the file ends first, so a short read
// means the end; at the end, reads give nothing and do not fail.
TEST_P(FileSystemContract, ReadGivesTheBytesInOrderAndFillsTheBufferUntilTheEnd) {
  using namespace std::string_literals;
  const std::string small = "MZ\0\x90\xff\r\n\0end"s;
  std::string large(3 * (1 << 20) + 5, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  world().WriteFile(At("a.exe"), small);
  world().WriteFile(At("large.exe"), large);
  world().WriteFile(At("empty.exe"), "");
  const struct {
    const char* file;
    const std::string& bytes;
    std::size_t piece;
    std::vector<std::size_t> counts;
  } cases[] = {
      {"a.exe", small, 1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
      {"a.exe", small, 4, {4, 4, 3, 0}},
      {"a.exe", small, 11, {11, 0}},
      {"a.exe", small, 12, {11, 0}},
      {"large.exe", large, 1 << 20, {1 << 20, 1 << 20, 1 << 20, 5, 0}},
      {"large.exe", large, 4 << 20, {large.size(), 0}},
      {"empty.exe", "", 4, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " in pieces of " << c.piece);
    std::unique_ptr<ReadableFile> file;
    ASSERT_EQ(files().OpenForRead(At(c.file), file), win_error::kSuccess);
    std::vector<std::size_t> counts;
    std::string read;
    ASSERT_EQ(ReadToEnd(*file, c.piece, counts, read), win_error::kSuccess);
    EXPECT_EQ(counts, c.counts);
    EXPECT_TRUE(read == c.bytes);
    std::size_t more = 99;
    EXPECT_EQ(file->Read(std::span<char>(read).first(1), more), win_error::kSuccess);
    EXPECT_EQ(more, 0u);
  }
}

// An open reader neither stops the file's deletion nor loses its bytes.
TEST_P(FileSystemContract, ReadGoesOnAfterTheFileIsDeleted) {
  world().WriteFile(At("a.exe"), "MZ and the rest");
  std::unique_ptr<ReadableFile> file;
  ASSERT_EQ(files().OpenForRead(At("a.exe"), file), win_error::kSuccess);
  std::vector<std::size_t> counts;
  std::string read;
  char first[2];
  ASSERT_EQ(file->Read(first, counts.emplace_back()), win_error::kSuccess);
  read.append(first, counts.back());
  EXPECT_EQ(files().RemoveFile(At("a.exe")), win_error::kSuccess);
  EXPECT_EQ(ReadToEnd(*file, 5, counts, read), win_error::kSuccess);
  EXPECT_EQ(counts, (std::vector<std::size_t>{2, 5, 5, 3, 0}));
  EXPECT_EQ(read, "MZ and the rest");
  file.reset();
  EXPECT_FALSE(world().Exists(At("a.exe")));
}

// Euro, e acute, Y diaeresis and the undefined 0x81 have bytes in code page
// 1252; Cyrillic, CJK, an emoji (two UTF-16 units) and a byte that is not
// UTF-8 do not.
TEST_P(FileSystemContract, AppendCreatesAMissingFileKeepsWhatIsThereAndWritesCodePage1252) {
  const std::string path = At("scanlog.txt");
  {
    std::unique_ptr<AppendableFile> file;
    ASSERT_EQ(files().OpenForAppend(path, file), win_error::kSuccess);
    EXPECT_EQ(file->AppendText("\r\n"), win_error::kSuccess);
    EXPECT_EQ(file->AppendText("first\r\n"), win_error::kSuccess);
  }
  EXPECT_EQ(world().Contents(path), "\r\nfirst\r\n");
  EXPECT_EQ(Append(files(), path, "\u20ac \u00e9 \u0178 \u0081 \u0416 \u4e2d \U0001F600 \xff"),
            win_error::kSuccess);
  EXPECT_EQ(world().Contents(path), "\r\nfirst\r\n\x80 \xe9 \x9f \x81 ? ? ?? ?");
}

// The log is made normal through the handle that appends to it, and a file
// with a second name is refused: appending would write wherever that other
// name lies.
TEST_P(FileSystemContract, OpenForAppendMakesTheFileNormalAndRefusesAHardLinkedOne) {
  const std::string path = At("log.txt");
  world().WriteFile(path, "old", kReadOnly | kHidden | kSystem);
  EXPECT_EQ(Append(files(), path, "new"), win_error::kSuccess);
  EXPECT_EQ(world().Contents(path), "oldnew");
  std::uint32_t attributes = 0;
  ASSERT_EQ(files().ReadAttributes(path, attributes), win_error::kSuccess);
  EXPECT_EQ(attributes & (kReadOnly | kHidden | kSystem), 0u);  // Wine shows archive too

  world().WriteFile(At("target.txt"), "elsewhere");
  world().MakeHardLink(At("target.txt"), At("linked.txt"));
  std::unique_ptr<AppendableFile> file;
  EXPECT_EQ(files().OpenForAppend(At("target.txt"), file), win_error::kTooManyLinks);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(world().Contents(At("target.txt")), "elsewhere");
}

// Another program's writer or our own: the file stays readable, more
// writers may append, and nobody can delete it until every writer lets go.
TEST_P(FileSystemContract, AFileBeingWrittenTakesMoreWritersButCannotBeDeleted) {
  const std::string path = At("log.txt");
  world().WriteFile(path, "old");
  std::string read;
  std::unique_ptr<AppendableFile> file;
  {
    const auto hold = world().HoldOpen(path);
    EXPECT_EQ(ReadWhole(files(), path, read), win_error::kSuccess);
    EXPECT_EQ(read, "old");
    ASSERT_EQ(files().OpenForAppend(path, file), win_error::kSuccess);
    EXPECT_EQ(files().RemoveFile(path), win_error::kSharingViolation);
  }
  std::unique_ptr<AppendableFile> second;
  ASSERT_EQ(files().OpenForAppend(path, second), win_error::kSuccess);
  EXPECT_EQ(file->AppendText("1"), win_error::kSuccess);
  EXPECT_EQ(second->AppendText("2"), win_error::kSuccess);
  EXPECT_EQ(file->AppendText("3"), win_error::kSuccess);
  EXPECT_EQ(second->Flush(), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFile(path), win_error::kSharingViolation);
  file.reset();
  second.reset();
  EXPECT_EQ(world().Contents(path), "old123");
  EXPECT_EQ(files().RemoveFile(path), win_error::kSuccess);
}

// A new file only: what is there already is never written over.
TEST_P(FileSystemContract, CreateForWriteMakesOnlyANewFile) {
  world().WriteFile(At("there.bin"), "kept");
  world().MakeFolder(At("Folder"));
  std::unique_ptr<WritableFile> file;
  EXPECT_EQ(files().CreateForWrite(At("there.bin"), file), win_error::kFileExists);
  EXPECT_EQ(files().CreateForWrite(At("Folder"), file), win_error::kFileExists);
  EXPECT_EQ(files().CreateForWrite(At("Missing\\new.bin"), file), win_error::kPathNotFound);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(world().Contents(At("there.bin")), "kept");

  using namespace std::string_literals;
  ASSERT_EQ(files().CreateForWrite(At("new.bin"), file), win_error::kSuccess);
  EXPECT_EQ(file->Write("MZ\0\xff"s), win_error::kSuccess);
  EXPECT_EQ(file->Write("more"), win_error::kSuccess);
  EXPECT_EQ(file->Flush(), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFile(At("new.bin")), win_error::kSharingViolation);
  file.reset();
  EXPECT_EQ(world().Contents(At("new.bin")), "MZ\0\xffmore"s);
}

TEST_P(FileSystemContract, FoldersAttributesAndFullPathNames) {
  EXPECT_EQ(files().CreateFolder(At("New")), win_error::kSuccess);
  EXPECT_EQ(files().CreateFolder(At("New")), win_error::kAlreadyExists);
  EXPECT_EQ(files().CreateFolder(At("Missing\\New")), win_error::kPathNotFound);
  world().WriteFile(At("New\\hidden.txt"), "", kHidden | kReadOnly);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files().ReadAttributes(At("New"), attributes), win_error::kSuccess);
  EXPECT_EQ(attributes & (file_attribute::kDirectory | file_attribute::kReparsePoint),
            file_attribute::kDirectory);
  ASSERT_EQ(files().ReadAttributes(At("New\\hidden.txt"), attributes), win_error::kSuccess);
  EXPECT_EQ(attributes & ~kArchive, kHidden | kReadOnly);
  EXPECT_EQ(files().ReadAttributes(At("gone.txt"), attributes), win_error::kFileNotFound);

  const std::pair<const char*, std::string> paths[] = {
      {"New\\..\\New\\.\\a.ocx", At("New\\a.ocx")},
      {"New\\a.ocx. . ", At("New\\a.ocx")},
      {"New/b.ocx", At("New\\b.ocx")},
      {"New\\", At("New\\")},
  };
  for (const auto& [relative, expected] : paths) {
    std::string full;
    ASSERT_EQ(files().FullPathName(At(relative), full), win_error::kSuccess) << relative;
    EXPECT_EQ(full, expected) << relative;
  }
}

TEST_P(FileSystemContract, RemoveFolderRemovesAnEmptyFolderAndRemoveFileAFile) {
  world().WriteFile(At("plain.exe"), "x");
  world().MakeFolder(At("Empty"));
  world().MakeFolder(At("Trailing"));
  EXPECT_EQ(files().RemoveFile(At("plain.exe")), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFolder(At("Empty")), win_error::kSuccess);
  EXPECT_EQ(files().RemoveFolder(At("Trailing\\")), win_error::kSuccess);
  for (const char* gone : {"plain.exe", "Empty", "Trailing"}) {
    EXPECT_FALSE(world().Exists(At(gone))) << gone;
  }
}

// A folder holding only hidden files counts none yet cannot be removed.
TEST_P(FileSystemContract, CountListsNormalReadOnlyAndArchiveFilesOnly) {
  const std::pair<const char*, std::uint32_t> inFoo[] = {
      {"normal.exe", 0},         {"readonly.exe", kReadOnly},     {"archive.exe", kArchive},
      {"hidden.exe", kHidden},   {"unindexed.exe", kNotIndexed},  {"system.exe", kSystem}};
  for (const auto& [name, attributes] : inFoo) {
    world().WriteFile(At("Foo\\") + name, "x", attributes);
  }
  world().MakeFolder(At("Foo\\Sub"));
  world().MakeFolder(At("Empty"));
  world().WriteFile(At("Hidden\\desktop.ini"), "x", kHidden);
  const std::pair<const char*, std::uint32_t> counts[] = {
      {"Foo", 4}, {"Foo\\", 4}, {"Empty", 0}, {"Hidden", 0}};
  for (const auto& [folder, expected] : counts) {
    SCOPED_TRACE(folder);
    std::uint32_t count = 99;
    ASSERT_EQ(files().CountListedFiles(At(folder), count), win_error::kSuccess);
    EXPECT_EQ(count, expected);
  }
  EXPECT_EQ(files().RemoveFolder(At("Hidden")), win_error::kDirNotEmpty);
  EXPECT_TRUE(world().Exists(At("Hidden\\desktop.ini")));
}

}  // namespace
}  // namespace foxbane::contract
