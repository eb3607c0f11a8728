// What only the sim profile files show: planned faults, and the read-only
// attribute that Wine running as root ignores.
#include <gtest/gtest.h>

#include <string>

#include "sim/faults.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"

namespace foxbane::sim {
namespace {

using namespace std::string_literals;
constexpr const char* kIni = "C:\\Data\\a.ini";

// Under a planned fault reads see no file and writes fail; a read-only file
// or a folder is not written, and a write keeps the file's attributes.
TEST(SimProfileFilesTest, PlannedFaultsAndReadOnlyFilesStopWrites) {
  Faults faults;
  SimFileSystem files{faults};
  SimProfileFiles profiles{faults, files};
  files.WriteFile(kIni, "[S]\r\nk=v\r\n");
  faults.Fail("ProfileFiles.ReadString", 5, Faults::kEveryCall, "c:\\data");
  faults.Fail("ProfileFiles.ReadInt", 5);
  faults.Fail("ProfileFiles.ReadSection", 5);
  faults.Fail("ProfileFiles.WriteString", 5);
  std::string text;
  EXPECT_EQ(profiles.ReadString(kIni, "S", "k", "d", 10, text), 1u);
  EXPECT_EQ(text, "d");
  EXPECT_EQ(profiles.ReadInt(kIni, "S", "k", 7), 7);
  std::string buffer(4, '#');
  EXPECT_EQ(profiles.ReadSection(kIni, "S", buffer), 0u);
  EXPECT_EQ(buffer, "\0\0##"s);
  EXPECT_FALSE(profiles.WriteString(kIni, "S", "k", "w"));
  EXPECT_EQ(files.Contents(kIni), "[S]\r\nk=v\r\n");

  faults.Clear();
  files.SetAttributes(kIni, file_attribute::kReadOnly);
  EXPECT_FALSE(profiles.WriteString(kIni, "S", "k", "w"));
  files.SetAttributes(kIni, file_attribute::kArchive);
  EXPECT_TRUE(profiles.WriteString(kIni, "S", "k", "w"));
  EXPECT_EQ(files.Contents(kIni), "[S]\r\nk=w\r\n");
  EXPECT_EQ(files.Attributes(kIni), file_attribute::kArchive);
  EXPECT_FALSE(profiles.WriteString("C:\\Data", "S", "k", "w"));
}

}  // namespace
}  // namespace foxbane::sim
