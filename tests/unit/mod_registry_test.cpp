#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "registry/mod_registry.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"
#include "sim/sim_registry.h"

namespace foxbane {
namespace {

using namespace std::string_literals;
using namespace win_error;
using reg_root::kCurrentUser;
using reg_root::kLocalMachine;

constexpr std::string_view kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kIni = "C:\\Data\\settings.ini";
const Variant kNone("<none>");

// Every routine must close every key it opens, on every path: a test that
// leaves one open fails in TearDown.
class ModRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }

  // The five routines' results on `hive`: read and delete kRun's "x", write
  // under Software\Made, delete Software\Leaf, list kRun after "kept".
  std::vector<std::int32_t> EveryRoutine(std::string_view hive) {
    Variant value("stale");
    std::vector<std::int32_t> results = {
        routines.ReadRegValue(hive, kRun, "x", "S", kNone, value),
        routines.WriteRegValue(hive, "Software\\Made", "y", "D", Variant(std::int16_t{1})),
        routines.DeleteRegValue(hive, kRun, "x"),
        routines.DeleteRegKey(hive, "Software", "Leaf"),
        routines.ListRegValues(hive, kRun, listing)};
    EXPECT_EQ(value, kNone);
    return results;
  }

  sim::Faults faults;
  sim::SimFileSystem files{faults};
  sim::SimRegistry registry{faults};
  sim::SimProfileFiles profiles{faults, files};
  modRegistry routines{registry, profiles, files};
  std::string listing = "kept";
};

TEST_F(ModRegistryTest, HivesAreShortRootNamesInAnyCaseOrOrdinaryProfileFiles) {
  files.WriteFile("C:\\Data\\plain.ini", "");
  files.WriteFile("C:\\Data\\kept.ini", "", file_attribute::kReadOnly | file_attribute::kArchive);
  files.WriteFile("C:\\Data\\hidden.ini", "", file_attribute::kHidden);
  files.WriteFile("C:\\Data\\system.ini", "", file_attribute::kSystem);
  const std::pair<std::string_view, RegKey> hives[] = {
      {"HKCU", 0x80000001u}, {"hkcu", 0x80000001u}, {"HkLm", 0x80000002u}, {"hku", 0x80000003u},
      {"HKDD", 0x80000006u}, {"hkcc", 0x80000005u}, {"HKCR", 0x80000000u},
      {"HKEY_CURRENT_USER", 0}, {"HKCU ", 0}, {"", 0},
      {"C:\\Data\\plain.ini", modRegistry::ProfileFileRoot},
      {"c:\\data\\KEPT.ini", modRegistry::ProfileFileRoot},
      {"C:\\Data\\hidden.ini", 0}, {"C:\\Data\\system.ini", 0}, {"C:\\Data", 0},
      {"C:\\Data\\missing.ini", 0}};
  for (const auto& [name, hive] : hives) EXPECT_EQ(routines.HiveFromName(name), hive) << name;
}

// A read starts from the default and keeps it wherever it fails or finds
// nothing. "S" and "BB" take any type's data character for character,
// dropping the last one (a string written by "S" has no terminator).
TEST_F(ModRegistryTest, ReadRegValueGivesEachTypeCodesFormOrTheDefault) {
  const std::string v = "Software\\V";
  registry.SetString(kCurrentUser, kRun, "Updater", "\"C:\\Program Files\\MF\\mf.exe\" /q");
  registry.SetValue(kCurrentUser, v, "unterminated", reg_type::kString, "a\0b\0c\0"s);
  registry.SetValue(kLocalMachine, "SOFTWARE\\V", "nodata", reg_type::kString, "");
  registry.SetDword(kCurrentUser, v, "number", 5);
  registry.SetDword(kCurrentUser, v, "minus", 0xFFFFFFFF);
  registry.SetString(kCurrentUser, v, "text", "12345");
  registry.SetValue(kCurrentUser, v, "bytes", reg_type::kBinary, "A\xe9" "B");
  const std::string flags[] = {"\0\0"s, "\xff\xff"s, "\1\0"s, "\0\1"s, ""s, "abc"s};
  for (std::size_t i = 0; i < std::size(flags); ++i) {
    registry.SetValue(kCurrentUser, v, "flag" + std::to_string(i), reg_type::kBinary, flags[i]);
  }
  files.WriteFile(kIni, "[Run]\r\nname=C:\\x.exe\r\ncount=12\r\n");
  const struct {
    std::string_view hive, key, name, type;
    std::int32_t result;
    Variant value;
  } reads[] = {
      {"HKXX", kRun, "Updater", "S", 99, kNone},
      {"HKCU", kRun, "missing", "S", 2, kNone},
      {"HKCU", "Software\\Missing", "missing", "D", 2, kNone},
      {"HKCU", kRun, "updater", "s", 0, Variant("\"C:\\Program Files\\MF\\mf.exe\" /q")},
      {"HKCU", v, "unterminated", "S", 0, Variant("ab")},
      {"HKLM", "SOFTWARE\\V", "nodata", "S", 0, kNone},
      {"HKCU", v, "number", "S", 0, Variant("\x05\0\0"s)},
      {"HKCU", v, "bytes", "bb", 0, Variant("A\xc3\xa9")},
      {"HKCU", v, "flag0", "B", 0, Variant(false)}, {"HKCU", v, "flag1", "B", 0, Variant(true)},
      {"HKCU", v, "flag2", "B", 0, Variant(true)}, {"HKCU", v, "flag3", "B", 0, Variant(true)},
      {"HKCU", v, "flag4", "B", 0, Variant(false)},
      {"HKCU", v, "flag5", "B", 234, kNone},  // B reads at most two bytes
      {"HKCU", v, "minus", "d", 0, Variant(std::int32_t{-1})},
      {"HKCU", v, "text", "D", 234, kNone},  // and D four
      {"HKCU", kRun, "updater", "SZ", 0, kNone},
      {kIni, "run", "name", "S", 0, Variant("C:\\x.exe")},
      {kIni, "Run", "count", "D", 0, Variant(std::int32_t{12})},
      {kIni, "Run", "count", "BB", 0, Variant("12")},
      {kIni, "Run", "missing", "S", 0, kNone},
      {kIni, "Run", "missing", "D", 0, Variant(std::int32_t{0})},
  };
  for (const auto& read : reads) {
    SCOPED_TRACE(std::string(read.name) + " as " + std::string(read.type));
    Variant value("stale");
    EXPECT_EQ(routines.ReadRegValue(read.hive, read.key, read.name, read.type, kNone, value),
              read.result);
    EXPECT_EQ(value, read.value);
  }
}

// Only S, D and B store anything, D only within 16 bits; every write makes
// its key first.
TEST_F(ModRegistryTest, WriteRegValueStoresEachTypeCodesBytes) {
  const struct {
    std::string_view type;
    Variant value;
    std::optional<std::pair<std::uint32_t, std::string>> stored;
  } writes[] = {
      {"S", Variant("abc"), std::pair(reg_type::kString, "a\0b\0c\0"s)},
      {"D", Variant(std::int16_t{1024}), std::pair(reg_type::kDword, "\0\4\0\0"s)},
      {"d", Variant(std::int32_t{-1}), std::pair(reg_type::kDword, "\xff\xff\xff\xff"s)},
      {"D", Variant(std::int32_t{40000}), std::nullopt},
      {"B", Variant(true), std::pair(reg_type::kBinary, "\xff\xff"s)},
      {"b", Variant("False"), std::pair(reg_type::kBinary, "\0\0"s)},
      {"BB", Variant("ab"), std::nullopt},
  };
  for (std::size_t i = 0; i < std::size(writes); ++i) {
    SCOPED_TRACE(i);
    const std::string key = "Software\\New\\" + std::to_string(i);
    EXPECT_EQ(routines.WriteRegValue("HKCU", key, "n", writes[i].type, writes[i].value), 0);
    EXPECT_EQ(registry.Value(kCurrentUser, key, "n"), writes[i].stored);
    EXPECT_EQ(registry.ValueNames(kCurrentUser, key).size(), writes[i].stored ? 1u : 0u);
  }
}

// Neither an unknown hive (99) nor a refused open (5) changes anything. A
// call that fails after the key opened gives its own code, and the key is
// closed all the same (TearDown checks).
TEST_F(ModRegistryTest, AFailureReturnsItsCodeAndChangesNothing) {
  EXPECT_EQ(EveryRoutine("HKXX"), std::vector<std::int32_t>(5, 99));
  EXPECT_FALSE(registry.KeyExists(kCurrentUser, "Software\\Made"));
  faults.Fail("Registry.OpenKey", kAccessDenied, sim::Faults::kEveryCall, "HKEY_LOCAL_MACHINE");
  faults.Fail("Registry.CreateKey", kAccessDenied, sim::Faults::kEveryCall, "HKEY_LOCAL_MACHINE");
  registry.SetString(kLocalMachine, kRun, "x", "data");
  registry.CreateKeyPath(kLocalMachine, "SOFTWARE\\Leaf");
  EXPECT_EQ(EveryRoutine("HKLM"), std::vector<std::int32_t>(5, 5));
  EXPECT_EQ(listing, "kept");
  EXPECT_TRUE(registry.Value(kLocalMachine, kRun, "x").has_value());
  EXPECT_TRUE(registry.KeyExists(kLocalMachine, "SOFTWARE\\Leaf"));
  EXPECT_EQ(EveryRoutine("HKCU")[0], 2);  // the other root is untouched

  faults.Clear();
  registry.SetString(kCurrentUser, kRun, "x", "data");
  registry.CreateKeyPath(kCurrentUser, "Software\\Leaf");
  faults.Fail("Registry.QueryValue", kNotEnoughMemory, faults.Calls("Registry.QueryValue") + 2);
  for (const char* operation : {"Registry.SetValue", "Registry.DeleteValue", "Registry.DeleteKey"}) {
    faults.Fail(operation, kAccessDenied);
  }
  listing = "kept";
  EXPECT_EQ(EveryRoutine("HKCU"), (std::vector<std::int32_t>{8, 5, 5, 5, 0}));
  EXPECT_EQ(listing, "keptx=data\0\0"s);
}

TEST_F(ModRegistryTest, DeletesRemoveOneLevelAndSucceedWhenNothingIsThere) {
  registry.SetString(kCurrentUser, kRun, "gone", "x");
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "GONE"), 0);
  EXPECT_EQ(registry.Value(kCurrentUser, kRun, "gone"), std::nullopt);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "gone"), 0);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", "Software\\Missing", "gone"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKCU", "Software", "Missing"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKCU", "Software\\Missing", "Leaf"), 0);

  const std::string unit = "SOFTWARE\\Units\\{C}";
  registry.CreateKeyPath(kLocalMachine, unit + "\\Contains\\Files");
  EXPECT_EQ(routines.DeleteRegKey("HKLM", unit, "Contains"), 5);  // it has a subkey
  EXPECT_EQ(routines.DeleteRegKey("HKLM", unit + "\\Contains", "Files"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKLM", unit, "Contains"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKLM", unit, ""), 0);  // the key itself
  EXPECT_FALSE(registry.KeyExists(kLocalMachine, unit));
}

// Entries are appended as name=data: a string with its own terminator, a
// number or a binary of up to two bytes with a NUL added, other types not
// at all; one more NUL ends the listing.
TEST_F(ModRegistryTest, ListRegValuesAppendsNameEqualsDataEntries) {
  const std::string l = "Software\\L";
  const std::string longName(16383, 'n');
  registry.SetString(kCurrentUser, l, "", "default");
  registry.SetString(kCurrentUser, l, "a", "x");
  registry.SetDword(kCurrentUser, l, "b", 5);
  registry.SetValue(kCurrentUser, l, "flag", reg_type::kBinary, "\xff\xff");
  registry.SetValue(kCurrentUser, l, "blob", reg_type::kBinary, "abc");
  registry.SetValue(kCurrentUser, l, "path", reg_type::kExpandString, "%\0\0\0"s);
  registry.SetDword(kCurrentUser, l, "minus", 0xFFFFFFFE);
  registry.SetDword(kCurrentUser, l, longName, 1);
  registry.SetValue(kCurrentUser, l, "raw", reg_type::kString, "r\0"s);
  listing = "before|";
  EXPECT_EQ(routines.ListRegValues("HKCU", l, listing), 0);
  EXPECT_EQ(listing, "before|=default\0a=x\0b=5\0flag=65535\0minus=-2\0"s + longName + "=1\0raw=r\0"s);

  registry.CreateKeyPath(kCurrentUser, "Software\\Empty");
  listing.clear();
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\Empty", listing), 0);
  EXPECT_EQ(listing, "\0\0"s);
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\Missing", listing), 2);
  EXPECT_EQ(listing, "\0\0"s);
}

TEST_F(ModRegistryTest, AListingThatBreaksOffReturnsTheFailureWithTheEntriesSoFar) {
  for (const char* name : {"a", "b", "c"}) registry.SetDword(kCurrentUser, "Software\\L", name, 1);
  faults.Fail("Registry.EnumValue", kNotEnoughMemory, 2);
  listing.clear();
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 8);
  EXPECT_EQ(listing, "a=1\0"s);

  faults.Clear();
  faults.Fail("Registry.QueryValue", kAccessDenied, faults.Calls("Registry.QueryValue") + 2);
  listing.clear();
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 5);
  EXPECT_EQ(listing, "a=1\0"s);
}

// Only "S" writes a profile entry, a delete leaves it empty, DeleteRegKey has
// no profile mode, and a listing replaces the text with the whole section
// buffer.
TEST_F(ModRegistryTest, AProfileFileTakesStringsOnly) {
  files.WriteFile(kIni, "[Run]\r\nname=C:\\x.exe\r\ncount=12\r\n");
  EXPECT_EQ(routines.ListRegValues(kIni, "Run", listing), 0);
  const std::string entries = "name=C:\\x.exe\0count=12\0\0"s;
  EXPECT_EQ(listing, entries + std::string(8192 - entries.size(), ' '));

  EXPECT_EQ(routines.WriteRegValue(kIni, "Run", "added", "S", Variant(std::int16_t{-7})), 0);
  EXPECT_EQ(routines.WriteRegValue(kIni, "Run", "other", "D", Variant(std::int16_t{1})), 99);
  EXPECT_EQ(routines.DeleteRegValue(kIni, "Run", "name"), 0);
  EXPECT_EQ(routines.DeleteRegKey(kIni, "Run", "count"), 6);
  EXPECT_EQ(files.Contents(kIni), "[Run]\r\nname=\r\ncount=12\r\nadded=-7\r\n");
}

}  // namespace
}  // namespace foxbane
