#include <string>
#include <utility>
#include <vector>

#include "contract/world.h"
#include "common/vb_conversions.h"
#include "fileops/whole_file.h"

namespace foxbane::contract {
namespace {

using namespace file_attribute;
using namespace std::string_literals;
using namespace win_error;
constexpr std::uint32_t kNotIndexed = 0x2000;  // FILE_ATTRIBUTE_NOT_CONTENT_INDEXED

// Reads the file from where it stands, `piece` bytes at a time, until a read
// gives nothing or fails: the count each read gave, and the bytes.
using Counts = std::vector<std::size_t>;
struct Reading { Counts counts; std::string bytes; };
Reading ReadToEnd(ReadableFile& file, std::size_t piece) {
  Reading reading;
  std::string buffer(piece, '-');
  std::size_t read = 0;
  while (file.Read(buffer, read) == kSuccess) {
    reading.counts.push_back(read);
    reading.bytes.append(buffer, 0, read);
    if (read == 0) break;
  }
  return reading;
}

// Hidden and system files are found only through the mask. Windows resolves
// case, "..", ".", a doubled separator, a trailing dot and "/"; it finds no
// folders, missing paths or patterns.
TEST_P(FileSystemContract, FindFileAppliesTheMaskAndResolvesPathsAsWindows) {
  const struct { std::uint32_t attributes, mask; bool found; } cases[] = {
      {0, 0, true}, {kReadOnly | kArchive, 0, true}, {kHidden, 0, false}, {kHidden, kHidden, true},
      {kSystem, kHidden, false}, {kSystem, kSystem, true}, {kHidden | kSystem, kHidden, false},
      {kHidden | kSystem, kHidden | kSystem, true}, {kHidden | kReadOnly, kAnyFileMask, true},
      {kHidden | kReadOnly, 0, false}, {kNotIndexed, 0, true}, {kNotIndexed | kHidden, kHidden, true},
  };
  for (const auto& c : cases) {
    const std::string name = "file" + std::to_string(&c - cases) + ".txt";
    world().WriteFile(At(name), "x", c.attributes);
    EXPECT_EQ(files().FindFile(At(name), c.mask), c.found ? name : "")
        << "attributes " << c.attributes << ", mask " << c.mask;
  }

  world().WriteFile(At("Stored.TXT"), "x");
  world().MakeFolder(At("Folder"));
  for (const std::string& path :
       {At("stored.txt"), At("Nowhere\\..\\Stored.TXT"), At(".\\Stored.TXT"), At("\\Stored.TXT"),
        At("Stored.TXT."), world().Folder() + "/Stored.TXT"}) {
    EXPECT_EQ(files().FindFile(path, 0), "Stored.TXT") << path;
  }
  for (const char* relative :
       {"Folder", "missing.txt", "Missing\\Stored.TXT", "*.TXT", "?tored.TXT", "Stored.TXT\\"}) {
    EXPECT_EQ(files().FindFile(At(relative), kAnyFileMask | file_attribute::kDirectory), "")
        << relative;
  }
}

// What each operation answers on a path it cannot use (kNo: not tried): a
// missing file or folder, a file named with a trailing separator, a folder
// with contents, a read-only file, a file taken for a folder, a wildcard.
// Nothing that was there is changed, and no file is made.
TEST_P(FileSystemContract, EachOperationFailsOnAnUnusablePathWithTheErrorWindowsGives) {
  constexpr ErrorCode kNo = ~ErrorCode{0};
  world().WriteFile(At("a.exe"), "x");
  world().WriteFile(At("locked.exe"), "x", kReadOnly);
  world().WriteFile(At("Full\\a.exe"), "x");
  const struct {
    const char* path;
    ErrorCode attributes, reset, read, append, create, removeFile, removeFolder, count;
  } cases[] = {
      {"missing.exe", kFileNotFound, kFileNotFound, kFileNotFound, kNo, kNo, kFileNotFound,
       kFileNotFound, kPathNotFound},
      {"Missing\\a.exe", kNo, kPathNotFound, kPathNotFound, kPathNotFound, kPathNotFound,
       kPathNotFound, kPathNotFound, kNo},
      {"a.exe\\", kNo, kInvalidName, kInvalidName, kInvalidName, kNo, kInvalidName, kInvalidName,
       kNo},
      {"Full", kNo, kNo, kAccessDenied, kAccessDenied, kFileExists, kAccessDenied, kDirNotEmpty,
       kNo},
      {"locked.exe", kNo, kNo, kNo, kNo, kNo, kAccessDenied, kNo, kNo},
      {"a.exe", kNo, kNo, kNo, kNo, kFileExists, kNo, win_error::kDirectory, win_error::kDirectory},
      {"a*b.txt", kNo, kNo, kNo, kInvalidName, kNo, kNo, kNo, kNo},
  };
  for (const auto& c : cases) {
    const std::string path = At(c.path);
    std::unique_ptr<ReadableFile> reading;
    std::unique_ptr<AppendableFile> appending;
    std::unique_ptr<WritableFile> writing;
    std::uint32_t attributes = 0, count = 7;
    const auto expect = [&](ErrorCode expected, const char* operation, auto call) {
      if (expected == kNo) return;
      EXPECT_EQ(call(), expected) << operation << " " << c.path;
    };
    expect(c.attributes, "ReadAttributes", [&] { return files().ReadAttributes(path, attributes); });
    expect(c.reset, "ResetAttributes", [&] { return files().ResetAttributes(path); });
    expect(c.read, "OpenForRead", [&] { return files().OpenForRead(path, reading); });
    expect(c.append, "OpenForAppend", [&] { return files().OpenForAppend(path, appending); });
    expect(c.create, "CreateForWrite", [&] { return files().CreateForWrite(path, writing); });
    expect(c.removeFile, "RemoveFile", [&] { return files().RemoveFile(path); });
    expect(c.removeFolder, "RemoveFolder", [&] { return files().RemoveFolder(path); });
    expect(c.count, "CountListedFiles", [&] { return files().CountListedFiles(path, count); });
    EXPECT_TRUE(reading == nullptr && appending == nullptr && writing == nullptr) << c.path;
    EXPECT_EQ(count, 7u) << c.path;
  }
  std::uint32_t count = 7;
  EXPECT_EQ(files().CountListedFiles("", count), kPathNotFound);
  std::unique_ptr<ReadableFile> device;
  EXPECT_EQ(files().OpenForRead("\\\\.\\NUL", device), kBadFileType);
  EXPECT_EQ(device, nullptr);
  for (const char* kept : {"a.exe", "locked.exe", "Full\\a.exe"}) {
    EXPECT_EQ(world().Contents(At(kept)), "x") << kept;
  }
  EXPECT_FALSE(world().Exists(At("a*b.txt")));
}

// Resetting the attributes, or appending through the handle, makes a
// read-only hidden system file normal. A file with a second name is refused
// for appending: the text would land wherever that other name lies.
TEST_P(FileSystemContract, ResetAndAppendMakeAFileNormalButAHardLinkedOneIsRefused) {
  const std::uint32_t special = kReadOnly | kHidden | kSystem;
  world().WriteFile(At("reset.txt"), "old", special);
  world().WriteFile(At("log.txt"), "old", special);
  std::uint32_t attributes = special;
  ASSERT_EQ(files().ResetAttributes(At("reset.txt")), kSuccess);
  ASSERT_EQ(files().ReadAttributes(At("reset.txt"), attributes), kSuccess);
  EXPECT_EQ(attributes & special, 0u);  // Wine shows archive too
  std::unique_ptr<AppendableFile> file;
  ASSERT_EQ(files().OpenForAppend(At("log.txt"), file), kSuccess);
  EXPECT_EQ(file->AppendText("new"), kSuccess);
  file.reset();
  EXPECT_EQ(world().Contents(At("log.txt")), "oldnew");
  ASSERT_EQ(files().ReadAttributes(At("log.txt"), attributes), kSuccess);
  EXPECT_EQ(attributes & special, 0u);

  world().WriteFile(At("target.txt"), "elsewhere");
  world().MakeHardLink(At("target.txt"), At("linked.txt"));
  EXPECT_EQ(files().OpenForAppend(At("target.txt"), file), kTooManyLinks);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(world().Contents(At("target.txt")), "elsewhere");
}

// Each read fills the buffer unless the file ends first, so a short read
// means the end; at the end, reads give nothing and do not fail. An open
// reader neither stops the file's deletion nor loses its bytes, and reads
// them all again from the start after a rewind, from the end or part-way.
TEST_P(FileSystemContract, ReadFillsTheBufferUntilTheEndEvenAfterTheFileIsDeleted) {
  const std::string small = "MZ\0\x90\xff\r\n\0end"s;
  std::string large(3 * (1 << 20) + 5, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 % 251);
  const struct { const std::string& bytes; std::size_t piece; Counts counts; } cases[] = {
      {small, 1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
      {small, 4, {4, 4, 3, 0}},
      {small, 11, {11, 0}},
      {large, 1 << 20, {1 << 20, 1 << 20, 1 << 20, 5, 0}},
      {large, 4 << 20, {large.size(), 0}},
      {"", 4, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bytes.size() << " bytes in pieces of " << c.piece);
    world().WriteFile(At("a.exe"), c.bytes);
    std::unique_ptr<ReadableFile> file;
    ASSERT_EQ(files().OpenForRead(At("a.exe"), file), kSuccess);
    EXPECT_EQ(files().RemoveFile(At("a.exe")), kSuccess);
    const Reading reading = ReadToEnd(*file, c.piece);
    EXPECT_EQ(reading.counts, c.counts);
    EXPECT_TRUE(reading.bytes == c.bytes);
    ASSERT_EQ(file->Rewind(), kSuccess);
    std::string first(c.piece, '-');
    std::size_t read = 0;
    ASSERT_EQ(file->Read(first, read), kSuccess);
    ASSERT_EQ(file->Rewind(), kSuccess);
    const Reading again = ReadToEnd(*file, c.piece);
    EXPECT_EQ(again.counts, c.counts);
    EXPECT_TRUE(again.bytes == c.bytes);
    file.reset();
    EXPECT_FALSE(world().Exists(At("a.exe")));
  }
}

// Appending makes a missing file, keeps what is there and writes code page
// 1252: euro, e acute, Y diaeresis and the undefined 0x81 have bytes there;
// Cyrillic, CJK, an emoji (two UTF-16 units) and a byte that is not UTF-8 do
// not. Another program's writer or our own: the file stays readable, more
// writers append after each other, and nobody can delete it until every
// writer lets go. CreateForWrite only makes a new file (see the failures).
TEST_P(FileSystemContract, AFileBeingWrittenTakesMoreWritersButCannotBeDeleted) {
  const std::string path = At("log.txt");
  std::unique_ptr<AppendableFile> file, second;
  ASSERT_EQ(files().OpenForAppend(path, file), kSuccess);
  EXPECT_EQ(file->AppendText("\r\nold"), kSuccess);
  file.reset();
  {
    const auto hold = world().HoldOpen(path);
    std::unique_ptr<ReadableFile> reader;
    ASSERT_EQ(files().OpenForRead(path, reader), kSuccess);
    const Reading reading = ReadToEnd(*reader, 8);
    EXPECT_EQ(reading.counts, (Counts{5, 0}));
    EXPECT_EQ(reading.bytes, "\r\nold");
    EXPECT_EQ(files().RemoveFile(path), kSharingViolation);
    ASSERT_EQ(files().OpenForAppend(path, file), kSuccess);
  }
  ASSERT_EQ(files().OpenForAppend(path, second), kSuccess);
  EXPECT_EQ(file->AppendText("1"), kSuccess);
  EXPECT_EQ(second->AppendText("2"), kSuccess);
  EXPECT_EQ(file->AppendText("\u20ac \u00e9 \u0178 \u0081 \u0416 \u4e2d \U0001F600 \xff"), kSuccess);
  EXPECT_EQ(second->Flush(), kSuccess);
  EXPECT_EQ(files().RemoveFile(path), kSharingViolation);
  file.reset();
  second.reset();
  EXPECT_EQ(world().Contents(path), "\r\nold12\x80 \xe9 \x9f \x81 ? ? ?? ?");
  EXPECT_EQ(files().RemoveFile(path), kSuccess);

  std::unique_ptr<WritableFile> writing;
  ASSERT_EQ(files().CreateForWrite(At("new.bin"), writing), kSuccess);
  EXPECT_EQ(writing->Write("MZ\0\xff"s), kSuccess);
  EXPECT_EQ(writing->Write("more"), kSuccess);
  EXPECT_EQ(writing->Flush(), kSuccess);
  EXPECT_EQ(files().RemoveFile(At("new.bin")), kSharingViolation);
  writing.reset();
  EXPECT_EQ(world().Contents(At("new.bin")), "MZ\0\xffmore"s);
}

// Only normal, read-only and archive files are counted. A folder holding
// only hidden files counts none yet cannot be removed; an empty one can,
// named with or without the trailing separator.
TEST_P(FileSystemContract, FoldersAttributesCountsAndFullPathNames) {
  EXPECT_EQ(files().CreateFolder(At("New")), kSuccess);
  EXPECT_EQ(files().CreateFolder(At("New")), kAlreadyExists);
  EXPECT_EQ(files().CreateFolder(At("Missing\\New")), kPathNotFound);
  world().WriteFile(At("Hidden\\desktop.ini"), "", kHidden | kReadOnly);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files().ReadAttributes(At("New"), attributes), kSuccess);
  EXPECT_EQ(attributes & (file_attribute::kDirectory | kReparsePoint), file_attribute::kDirectory);
  ASSERT_EQ(files().ReadAttributes(At("Hidden\\desktop.ini"), attributes), kSuccess);
  EXPECT_EQ(attributes & ~kArchive, kHidden | kReadOnly);

  const std::pair<const char*, std::uint32_t> inFoo[] = {
      {"normal.exe", 0},       {"readonly.exe", kReadOnly},    {"archive.exe", kArchive},
      {"hidden.exe", kHidden}, {"unindexed.exe", kNotIndexed}, {"system.exe", kSystem}};
  for (const auto& [name, given] : inFoo) world().WriteFile(At("Foo\\") + name, "x", given);
  world().MakeFolder(At("Foo\\Sub"));
  const std::pair<const char*, std::uint32_t> counts[] = {
      {"Foo", 4}, {"Foo\\", 4}, {"New", 0}, {"Hidden", 0}};
  for (const auto& [folder, expected] : counts) {
    std::uint32_t count = 99;
    ASSERT_EQ(files().CountListedFiles(At(folder), count), kSuccess) << folder;
    EXPECT_EQ(count, expected) << folder;
  }
  EXPECT_EQ(files().RemoveFolder(At("Hidden")), kDirNotEmpty);
  EXPECT_EQ(files().RemoveFolder(At("New")), kSuccess);
  EXPECT_EQ(files().RemoveFolder(At("Foo\\Sub\\")), kSuccess);
  EXPECT_FALSE(world().Exists(At("New")) || world().Exists(At("Foo\\Sub")));

  const std::pair<const char*, std::string> paths[] = {
      {"New\\..\\New\\.\\a.ocx", At("New\\a.ocx")},
      {"New\\a.ocx. . ", At("New\\a.ocx")},
      {"New/b.ocx", At("New\\b.ocx")},
      {"New\\", At("New\\")},
  };
  for (const auto& [relative, expected] : paths) {
    std::string full;
    ASSERT_EQ(files().FullPathName(At(relative), full), kSuccess) << relative;
    EXPECT_EQ(full, expected) << relative;
  }
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return ToUpperAscii(a) == ToUpperAscii(b); }

// Where an item really is, by its own handle.
std::string FinalPathOf(FileSystem& files, const std::string& path) {
  std::unique_ptr<FileItem> item;
  std::string final;
  if (files.OpenItem(path, ItemAccess::kInspect, item) || item->FinalPath(final)) return "?";
  return final;
}

// An item tells what it is, its identity (the one a reader of the same file
// reports, shared by a second name, no other file's) and where it really
// is. A link at the end of the path is opened itself: it shows as a reparse
// point, or (Wine) as the folder it leads to, which lies elsewhere. Through
// a link on the way, the item is what the link leads to.
TEST_P(FileSystemContract, AnItemTellsWhatAndWhereItReallyIs) {
  world().WriteFile(At("Target\\a.exe"), "MZ bytes");
  world().WriteFile(At("Target\\b.exe"), "MZ other");
  world().MakeHardLink(At("Target\\b.exe"), At("Target\\b2.exe"));
  const std::string target = FinalPathOf(files(), At("Target"));
  std::unique_ptr<ReadableFile> reader;
  ASSERT_EQ(files().OpenForRead(At("Target\\a.exe"), reader), kSuccess);
  FileIdentity read;
  ASSERT_EQ(reader->Identity(read), kSuccess);
  const auto facts = [&](const std::string& path) {
    std::unique_ptr<FileItem> item;
    ItemFacts described;
    EXPECT_EQ(files().OpenItem(path, ItemAccess::kInspect, item), kSuccess) << path;
    if (item) {
      EXPECT_EQ(item->Describe(described), kSuccess) << path;
    }
    return described;
  };
  const ItemFacts a = facts(At("Target\\a.exe")), b = facts(At("Target\\b.exe"));
  EXPECT_EQ(a.identity, read);
  EXPECT_NE(a.identity, b.identity);
  EXPECT_EQ(facts(At("Target\\b2.exe")).identity, b.identity);
  EXPECT_EQ(std::pair(a.names, b.names), std::pair(1u, 2u));
  EXPECT_EQ(a.attributes & (file_attribute::kDirectory | kReparsePoint), 0u);
  EXPECT_EQ(facts(At("Target")).attributes & file_attribute::kDirectory, file_attribute::kDirectory);
  EXPECT_TRUE(EqualsNoCase(FinalPathOf(files(), At("target\\A.EXE")), target + "\\a.exe"));

  std::unique_ptr<FileItem> missing;
  EXPECT_EQ(files().OpenItem(At("missing.exe"), ItemAccess::kInspect, missing), kFileNotFound);
  EXPECT_EQ(files().OpenItem(At("Missing\\a.exe"), ItemAccess::kRead, missing), kPathNotFound);

  if (!world().MakeFolderLink(At("Link"), At("Target"))) GTEST_SKIP() << "no links here";
  EXPECT_EQ(facts(At("Link\\a.exe")).identity, a.identity);
  EXPECT_TRUE(EqualsNoCase(FinalPathOf(files(), At("Link\\a.exe")), target + "\\a.exe"));
  const bool showsLink = (facts(At("Link")).attributes & kReparsePoint) != 0;
  EXPECT_TRUE(showsLink || !EqualsNoCase(FinalPathOf(files(), At("Link")), target.substr(0, target.rfind('\\')) + "\\Link"));
}

// Read and deleted through the one handle: the file goes when the item is
// closed. A read-only file, a folder with contents, and an item opened only
// to be looked at are refused; a file another program writes to cannot be
// opened for removal at all, but can be read.
TEST_P(FileSystemContract, AnItemIsReadAndDeletedThroughItsHandle) {
  world().WriteFile(At("a.exe"), "MZ\0bytes"s);
  world().WriteFile(At("ro.exe"), "x", kReadOnly);
  world().WriteFile(At("Full\\x.txt"), "x");
  world().MakeFolder(At("Empty"));
  world().WriteFile(At("held.exe"), "held");
  std::unique_ptr<FileItem> item;
  ASSERT_EQ(files().OpenItem(At("a.exe"), ItemAccess::kRemove, item), kSuccess);
  std::string bytes;
  EXPECT_EQ(ReadToEnd(*item, bytes), kSuccess);
  EXPECT_EQ(bytes, "MZ\0bytes"s);
  EXPECT_EQ(item->Delete(), kSuccess);
  item.reset();
  EXPECT_FALSE(world().Exists(At("a.exe")));
  const std::pair<const char*, ErrorCode> refused[] = {
      {"ro.exe", kAccessDenied}, {"Full", kDirNotEmpty}};
  for (const auto& [name, error] : refused) {
    ASSERT_EQ(files().OpenItem(At(name), ItemAccess::kRemove, item), kSuccess) << name;
    EXPECT_EQ(item->Delete(), error) << name;
    item.reset();
    EXPECT_TRUE(world().Exists(At(name))) << name;
  }
  ASSERT_EQ(files().OpenItem(At("Empty"), ItemAccess::kInspect, item), kSuccess);
  EXPECT_EQ(item->Delete(), kAccessDenied);
  ASSERT_EQ(files().OpenItem(At("Empty"), ItemAccess::kRemove, item), kSuccess);
  EXPECT_EQ(item->Delete(), kSuccess);
  item.reset();
  EXPECT_FALSE(world().Exists(At("Empty")));

  const auto hold = world().HoldOpen(At("held.exe"));
  EXPECT_EQ(files().OpenItem(At("held.exe"), ItemAccess::kRemove, item), kSharingViolation);
  ASSERT_EQ(files().OpenItem(At("held.exe"), ItemAccess::kRead, item), kSuccess);
  EXPECT_EQ(ReadToEnd(*item, bytes), kSuccess);
  EXPECT_EQ(bytes, "held");
  item.reset();
  // Deleted when Windows next starts; until then it stays as it is.
  EXPECT_EQ(files().RemoveAtRestart(At("held.exe")), kSuccess);
  EXPECT_EQ(world().Contents(At("held.exe")), "held");
}

// A folder made for administrators only says so, and so does a file made in
// it; one whose DACL lets everyone change it does not. (Wine keeps no owner
// but its one user's, which counts as an administrator there; what a DACL
// grants it keeps as the file's Linux permissions.)
TEST_P(FileSystemContract, AnAdminOnlyFolderAndWhatIsMadeInItSaySo) {
  EXPECT_EQ(files().CreateAdminOnlyFolder(At("Safe")), kSuccess);
  EXPECT_EQ(files().CreateAdminOnlyFolder(At("Safe")), kAlreadyExists);
  std::unique_ptr<WritableFile> writing;
  ASSERT_EQ(files().CreateForWrite(At("Safe\\made.txt"), writing), kSuccess);
  writing.reset();
  world().MakeFolder(At("Open"));
  world().LetEveryoneChange(At("Open"));
  const std::pair<const char*, bool> cases[] = {{"Safe", true}, {"Safe\\made.txt", true}, {"Open", false}};
  for (const auto& [name, expected] : cases) {
    std::unique_ptr<FileItem> item;
    bool adminOnly = !expected;
    ASSERT_EQ(files().OpenItem(At(name), ItemAccess::kInspect, item), kSuccess) << name;
    EXPECT_EQ(item->AdminOnly(adminOnly), kSuccess) << name;
    EXPECT_EQ(adminOnly, expected) << name;
  }
}

}  // namespace
}  // namespace foxbane::contract
