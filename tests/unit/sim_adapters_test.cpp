// What only the sims have: planned faults, and the Windows behaviour Wine
// cannot show. Everything both systems do is held to the contract suites.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "sim/faults.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"
#include "sim/sim_registry.h"

namespace foxbane::sim {
namespace {

using namespace std::string_literals;
using namespace win_error;
using reg_root::kCurrentUser;
using reg_root::kLocalMachine;
using Names = std::vector<std::string>;
constexpr ErrorCode kPlanned = 1117;  // ERROR_IO_DEVICE

class SimAdapters : public ::testing::Test {
 protected:
  Faults faults;
  SimFileSystem files{faults};
  SimRegistry registry{faults};
  SimProfileFiles profiles{faults, files};
};

// The faults that the scan's and the cleanup's tests plan (opening and
// reading a file, opening one to append to, removing one below) are proven
// by those tests' outcomes; these are the rest.
TEST_F(SimAdapters, EveryFileOperationFailsWithThePlannedCodeAndChangesNothing) {
  const std::string path = "C:\\Data\\a.txt";
  files.WriteFile(path, "abc");
  std::unique_ptr<AppendableFile> appender;
  std::uint32_t count = 0;
  // A call that cannot reach the planned operation answers 0, failing the check.
  const std::pair<const char*, std::function<ErrorCode()>> calls[] = {
      {"FileSystem.FindFile", [&] { return files.FindFile(path, 0).empty() ? kPlanned : 0; }},
      {"FileSystem.ResetAttributes", [&] { return files.ResetAttributes(path); }},
      {"FileSystem.AppendText",
       [&] { return files.OpenForAppend(path, appender) ? 0 : appender->AppendText("more"); }},
      {"FileSystem.RemoveFolder", [&] { return files.RemoveFolder("C:\\Data"); }},
      {"FileSystem.CountListedFiles", [&] { return files.CountListedFiles("C:\\Data", count); }},
  };
  for (const auto& [operation, call] : calls) {
    SCOPED_TRACE(operation);
    appender.reset();
    faults.Clear();
    faults.Fail(operation, kPlanned);
    EXPECT_EQ(call(), kPlanned);
    EXPECT_EQ(files.Contents(path), "abc");
  }
}

// A fault may be narrowed to paths below a prefix, in any case, and to one
// call; folders Windows refuses to remove even when empty are refused too.
TEST_F(SimAdapters, FaultsNarrowToPathsAndCallsAndFoldersRefuseRemovalAsWindowsDoes) {
  for (const char* path : {"C:\\Keep\\a.txt", "C:\\Drop\\a.txt", "C:\\Drop\\b.txt"}) {
    files.WriteFile(path, "x");
  }
  faults.Fail("FileSystem.RemoveFile", kAccessDenied, Faults::kEveryCall, "c:\\keep");
  faults.Fail("FileSystem.RemoveFile", kSharingViolation, 2);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\a.txt"), kSuccess);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\b.txt"), kSharingViolation);
  EXPECT_EQ(files.RemoveFile("C:\\Keep\\a.txt"), kAccessDenied);
  EXPECT_EQ(files.RemoveFile("C:\\Drop\\b.txt"), kSuccess);

  files.MakeFolder("C:\\ReadOnly");
  files.SetAttributes("C:\\ReadOnly", file_attribute::kReadOnly);
  files.MakeFolder("C:\\Current");
  files.MarkInUse("C:\\Current", true);
  EXPECT_EQ(files.RemoveFolder("C:\\ReadOnly"), kAccessDenied);
  EXPECT_EQ(files.RemoveFolder("C:\\Current"), kSharingViolation);
  EXPECT_EQ(files.RemoveFolder("C:\\"), kAccessDenied);
  EXPECT_TRUE(files.FolderExists("c:\\current\\"));
}

// Windows sorts subkeys as upper case and wants the query right for the
// longest value name; Wine differs on both. (Values keep their creation
// order: the registry routines' listings show that.)
TEST_F(SimAdapters, RegistryOrderAndHandlesAsWindowsHasThem) {
  for (const char* name : {"_x", "b", "Z", "a"}) registry.CreateKeyPath(kCurrentUser, "K\\"s + name);
  EXPECT_EQ(registry.SubkeyNames(kCurrentUser, "k"), (Names{"a", "b", "Z", "_x"}));
  RegKey setOnly = 0;
  ASSERT_EQ(registry.OpenKey(kCurrentUser, "K", reg_access::kSetValue, setOnly), kSuccess);
  std::uint32_t longest = 0;
  EXPECT_EQ(registry.QueryLongestValueName(setOnly, longest), kAccessDenied);
}

TEST_F(SimAdapters, RegistryFaultsHitOnlyKeysBelowTheirPrefix) {
  RegKey machine = 0, user = 0;
  for (const auto& [root, key] : {std::pair{kLocalMachine, &machine}, {kCurrentUser, &user}}) {
    registry.SetDword(root, "SOFTWARE\\K", "v", 1);
    registry.CreateKeyPath(root, "SOFTWARE\\K\\Sub");
    ASSERT_EQ(registry.OpenKey(root, "SOFTWARE\\K", 0xF003F, *key), kSuccess);
  }
  // (Opening and creating keys, faulted below a prefix in the registry
  // routines' tests, are proven there.)
  for (const char* operation : {"Registry.QueryValue", "Registry.SetValue", "Registry.EnumValue",
                                "Registry.EnumKey", "Registry.QueryLongestValueName",
                                "Registry.DeleteValue", "Registry.DeleteKey", "Registry.CloseKey"}) {
    faults.Fail(operation, kPlanned, Faults::kEveryCall, "hkey_local_machine\\software\\k");
  }
  const auto run = [&](RegKey key) {
    std::string name;
    std::uint32_t longest = 0;
    return std::vector<ErrorCode>{  // called in this order
        registry.QueryValue(key, "v", nullptr, nullptr, nullptr),
        registry.EnumValue(key, 0, name, 16, nullptr, nullptr, nullptr),
        registry.EnumKey(key, 0, name),
        registry.QueryLongestValueName(key, longest),
        registry.SetValue(key, "w", reg_type::kDword, "1234"),
        registry.DeleteValue(key, "v"),
        registry.DeleteKey(key, "Sub", reg_view::kDefault),
        registry.CloseKey(key)};
  };
  EXPECT_EQ(run(machine), std::vector<ErrorCode>(8, kPlanned));
  EXPECT_EQ(run(user), std::vector<ErrorCode>(8, kSuccess));
  EXPECT_EQ(registry.ValueNames(kLocalMachine, "SOFTWARE\\K"), Names{"v"});
  EXPECT_EQ(registry.SubkeyNames(kLocalMachine, "SOFTWARE\\K"), Names{"Sub"});
  EXPECT_EQ(registry.OpenHandleCount(), 1u);  // a close made to fail leaves the handle open
}

// Under a planned fault reads see no file and writes fail; a read-only file
// (which Wine running as root would write) or a folder is not written, and a
// write keeps the file's attributes.
TEST_F(SimAdapters, ProfileFaultsAndReadOnlyFilesStopWrites) {
  const char* ini = "C:\\Data\\a.ini";
  files.WriteFile(ini, "[S]\r\nk=v\r\n");
  faults.Fail("ProfileFiles.ReadString", 5, Faults::kEveryCall, "c:\\data");
  for (const char* operation : {"ProfileFiles.ReadInt", "ProfileFiles.ReadSection", "ProfileFiles.WriteString"}) {
    faults.Fail(operation, 5);
  }
  std::string text;
  EXPECT_EQ(profiles.ReadString(ini, "S", "k", "d", 10, text), 1u);
  EXPECT_EQ(text, "d");
  EXPECT_EQ(profiles.ReadInt(ini, "S", "k", 7), 7);
  std::string buffer(4, '#');
  EXPECT_EQ(profiles.ReadSection(ini, "S", buffer), 0u);
  EXPECT_EQ(buffer, "\0\0##"s);
  EXPECT_FALSE(profiles.WriteString(ini, "S", "k", "w"));

  faults.Clear();
  files.SetAttributes(ini, file_attribute::kReadOnly);
  EXPECT_FALSE(profiles.WriteString(ini, "S", "k", "w"));
  EXPECT_EQ(files.Contents(ini), "[S]\r\nk=v\r\n");
  files.SetAttributes(ini, file_attribute::kArchive);
  EXPECT_TRUE(profiles.WriteString(ini, "S", "k", "w"));
  EXPECT_EQ(files.Contents(ini), "[S]\r\nk=w\r\n");
  EXPECT_EQ(files.Attributes(ini), file_attribute::kArchive);
  EXPECT_FALSE(profiles.WriteString("C:\\Data", "S", "k", "w"));
}

}  // namespace
}  // namespace foxbane::sim
