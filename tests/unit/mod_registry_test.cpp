#include <gtest/gtest.h>

#include <string>

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
const Variant kNone("<none>");

// Every routine must close every key it opens, on every path: a test that
// leaves one open fails in TearDown.
class ModRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }

  std::int32_t Read(std::string_view hive, std::string_view name, std::string_view typeCode,
                    Variant& value, std::string_view keyPath = kRun) {
    return routines.ReadRegValue(hive, keyPath, name, typeCode, kNone, value);
  }
  std::optional<std::pair<std::uint32_t, std::string>> Stored(std::string_view keyPath,
                                                              std::string_view name) const {
    return registry.Value(kCurrentUser, keyPath, name);
  }

  sim::Faults faults;
  sim::SimFileSystem files{faults};
  sim::SimRegistry registry{faults};
  sim::SimProfileFiles profiles{faults, files};
  modRegistry routines{registry, profiles, files};
};

TEST_F(ModRegistryTest, HiveNamesAreTheShortNamesInAnyCase) {
  EXPECT_EQ(routines.HiveFromName("HKCU"), 0x80000001u);
  EXPECT_EQ(routines.HiveFromName("hkcu"), 0x80000001u);
  EXPECT_EQ(routines.HiveFromName("HkLm"), 0x80000002u);
  EXPECT_EQ(routines.HiveFromName("hku"), 0x80000003u);
  EXPECT_EQ(routines.HiveFromName("HKDD"), 0x80000006u);
  EXPECT_EQ(routines.HiveFromName("hkcc"), 0x80000005u);
  EXPECT_EQ(routines.HiveFromName("HKCR"), 0x80000000u);
  EXPECT_EQ(routines.HiveFromName("HKEY_CURRENT_USER"), 0u);
  EXPECT_EQ(routines.HiveFromName("HKCU "), 0u);
  EXPECT_EQ(routines.HiveFromName(""), 0u);
}

TEST_F(ModRegistryTest, AnOrdinaryFileIsAProfileHiveButHiddenFilesAndFoldersAreNot) {
  files.WriteFile("C:\\Data\\plain.ini", "");
  files.WriteFile("C:\\Data\\kept.ini", "", file_attribute::kReadOnly | file_attribute::kArchive);
  files.WriteFile("C:\\Data\\hidden.ini", "", file_attribute::kHidden);
  files.WriteFile("C:\\Data\\system.ini", "", file_attribute::kSystem);
  EXPECT_EQ(routines.HiveFromName("C:\\Data\\plain.ini"), modRegistry::ProfileFileRoot);
  EXPECT_EQ(routines.HiveFromName("c:\\data\\KEPT.ini"), modRegistry::ProfileFileRoot);
  EXPECT_EQ(routines.HiveFromName("C:\\Data\\hidden.ini"), 0u);
  EXPECT_EQ(routines.HiveFromName("C:\\Data\\system.ini"), 0u);
  EXPECT_EQ(routines.HiveFromName("C:\\Data"), 0u);
  EXPECT_EQ(routines.HiveFromName("C:\\Data\\missing.ini"), 0u);
}

TEST_F(ModRegistryTest, AnUnknownHiveGives99AndChangesNothing) {
  Variant value("old");
  std::string listing = "kept";
  EXPECT_EQ(Read("HKEY_CURRENT_USER", "x", "S", value), 99);
  EXPECT_EQ(value, kNone);
  EXPECT_EQ(routines.WriteRegValue("HKXX", "Software\\Made", "x", "S", Variant("1")), 99);
  EXPECT_FALSE(registry.KeyExists(kCurrentUser, "Software\\Made"));
  EXPECT_EQ(routines.DeleteRegValue("HKXX", kRun, "x"), 99);
  EXPECT_EQ(routines.DeleteRegKey("HKXX", "Software", "x"), 99);
  EXPECT_EQ(routines.ListRegValues("HKXX", kRun, listing), 99);
  EXPECT_EQ(listing, "kept");
}

TEST_F(ModRegistryTest, ReadingWhatIsNotThereGives2AndLeavesTheDefault) {
  registry.CreateKeyPath(kCurrentUser, kRun);
  Variant value;
  EXPECT_EQ(Read("HKCU", "missing", "S", value), 2);
  EXPECT_EQ(value, kNone);
  EXPECT_EQ(Read("HKCU", "missing", "D", value, "Software\\Missing"), 2);
  EXPECT_EQ(value, kNone);
}

TEST_F(ModRegistryTest, ReadSGivesAStoredStringWithoutItsTerminator) {
  registry.SetString(kCurrentUser, kRun, "Updater", "\"C:\\Program Files\\MF\\mf.exe\" /q");
  Variant value;
  EXPECT_EQ(Read("HKCU", "updater", "s", value), 0);
  EXPECT_EQ(value, Variant("\"C:\\Program Files\\MF\\mf.exe\" /q"));
}

TEST_F(ModRegistryTest, AStringWrittenWithSHasNoTerminatorSoReadingItBackLosesItsLastCharacter) {
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\New\\Key", "name", "S", Variant("abc")), 0);
  EXPECT_EQ(Stored("Software\\New\\Key", "name"), std::pair(reg_type::kString, "a\0b\0c\0"s));
  Variant value;
  EXPECT_EQ(Read("HKCU", "name", "S", value, "Software\\New\\Key"), 0);
  EXPECT_EQ(value, Variant("ab"));
}

TEST_F(ModRegistryTest, ReadSOfAValueWithNoDataSucceedsWithTheDefault) {
  registry.SetValue(kLocalMachine, "SOFTWARE\\V", "disp", reg_type::kString, "");
  Variant value;
  EXPECT_EQ(Read("HKLM", "disp", "S", value, "SOFTWARE\\V"), 0);
  EXPECT_EQ(value, kNone);
}

TEST_F(ModRegistryTest, ReadSAndBBTakeAnyTypeCharacterForCharacter) {
  registry.SetDword(kCurrentUser, "Software\\V", "number", 5);
  registry.SetValue(kCurrentUser, "Software\\V", "bytes", reg_type::kBinary, "A\xe9" "B");
  Variant value;
  EXPECT_EQ(Read("HKCU", "number", "S", value, "Software\\V"), 0);
  EXPECT_EQ(value, Variant("\x05\0\0"s));
  EXPECT_EQ(Read("HKCU", "bytes", "bb", value, "Software\\V"), 0);
  EXPECT_EQ(value, Variant("A\xc3\xa9"));
}

TEST_F(ModRegistryTest, ReadBGivesABooleanFromUpToTwoBytes) {
  const std::pair<std::string, bool> cases[] = {
      {"\0\0"s, false}, {"\xff\xff"s, true}, {"\1\0"s, true}, {"\0\1"s, true}, {""s, false}};
  for (const auto& [bytes, expected] : cases) {
    registry.SetValue(kCurrentUser, "Software\\V", "flag", reg_type::kBinary, bytes);
    Variant value;
    EXPECT_EQ(Read("HKCU", "flag", "B", value, "Software\\V"), 0);
    EXPECT_EQ(value, Variant(expected));
  }
  registry.SetValue(kCurrentUser, "Software\\V", "flag", reg_type::kBinary, "abc");
  Variant value;
  EXPECT_EQ(Read("HKCU", "flag", "B", value, "Software\\V"), 234);
  EXPECT_EQ(value, kNone);
}

TEST_F(ModRegistryTest, ReadDGivesASigned32BitNumberAndRefusesLongerData) {
  registry.SetDword(kLocalMachine, "SOFTWARE\\V", "np", 0xFFFFFFFF);
  Variant value;
  EXPECT_EQ(Read("HKLM", "np", "d", value, "SOFTWARE\\V"), 0);
  EXPECT_EQ(value, Variant(std::int32_t{-1}));

  registry.SetString(kLocalMachine, "SOFTWARE\\V", "np", "12345");
  EXPECT_EQ(Read("HKLM", "np", "D", value, "SOFTWARE\\V"), 234);
  EXPECT_EQ(value, kNone);
}

TEST_F(ModRegistryTest, AnUnknownTypeCodeReadsNothing) {
  registry.SetString(kCurrentUser, kRun, "x", "data");
  Variant value;
  EXPECT_EQ(Read("HKCU", "x", "SZ", value), 0);
  EXPECT_EQ(value, kNone);
}

TEST_F(ModRegistryTest, AccessDeniedUnderTheMachineRootGives5) {
  faults.Fail("Registry.OpenKey", kAccessDenied, sim::Faults::kEveryCall, "HKEY_LOCAL_MACHINE");
  faults.Fail("Registry.CreateKey", kAccessDenied, sim::Faults::kEveryCall, "HKEY_LOCAL_MACHINE");
  registry.SetString(kLocalMachine, kRun, "x", "data");
  registry.CreateKeyPath(kLocalMachine, "SOFTWARE\\Leaf");
  Variant value;
  std::string listing;
  EXPECT_EQ(Read("HKLM", "x", "S", value), 5);
  EXPECT_EQ(value, kNone);
  EXPECT_EQ(routines.WriteRegValue("HKLM", kRun, "y", "D", Variant(std::int16_t{1})), 5);
  EXPECT_EQ(routines.DeleteRegValue("HKLM", kRun, "x"), 5);
  EXPECT_EQ(routines.DeleteRegKey("HKLM", "SOFTWARE", "Leaf"), 5);
  EXPECT_EQ(routines.ListRegValues("HKLM", kRun, listing), 5);
  EXPECT_EQ(listing, "");
  EXPECT_TRUE(registry.Value(kLocalMachine, kRun, "x").has_value());
  EXPECT_TRUE(registry.KeyExists(kLocalMachine, "SOFTWARE\\Leaf"));
  EXPECT_EQ(Read("HKCU", "x", "S", value), 2);  // the other root is untouched
}

// A call that fails after the key opened gives its own code, and the key
// is closed all the same (TearDown checks).
TEST_F(ModRegistryTest, AFailureAfterTheOpenReturnsItsCode) {
  registry.SetString(kCurrentUser, kRun, "x", "data");
  registry.CreateKeyPath(kCurrentUser, "Software\\Leaf");
  faults.Fail("Registry.QueryValue", kNotEnoughMemory, 2);
  faults.Fail("Registry.SetValue", kAccessDenied);
  faults.Fail("Registry.DeleteValue", kAccessDenied);
  faults.Fail("Registry.DeleteKey", kAccessDenied);
  Variant value;
  EXPECT_EQ(Read("HKCU", "x", "S", value), 8);
  EXPECT_EQ(value, kNone);
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\W", "x", "S", Variant("v")), 5);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "x"), 5);
  EXPECT_EQ(routines.DeleteRegKey("HKCU", "Software", "Leaf"), 5);
}

TEST_F(ModRegistryTest, WriteDStoresA16BitNumberSignExtended) {
  const std::string key = "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\{x}";
  EXPECT_EQ(routines.WriteRegValue("HKCU", key, "Compatibility Flags", "D",
                                   Variant(std::int16_t{1024})),
            0);
  EXPECT_EQ(Stored(key, "Compatibility Flags"), std::pair(reg_type::kDword, "\0\4\0\0"s));
  EXPECT_EQ(routines.WriteRegValue("HKCU", key, "Compatibility Flags", "d",
                                   Variant(std::int32_t{-1})),
            0);
  EXPECT_EQ(Stored(key, "Compatibility Flags"), std::pair(reg_type::kDword, "\xff\xff\xff\xff"s));
}

TEST_F(ModRegistryTest, WriteDOutsideThe16BitRangeWritesNothingAfterCreatingTheKey) {
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\Big", "n", "D", Variant(std::int32_t{40000})),
            0);
  EXPECT_TRUE(registry.KeyExists(kCurrentUser, "Software\\Big"));
  EXPECT_EQ(Stored("Software\\Big", "n"), std::nullopt);
}

TEST_F(ModRegistryTest, WriteBStoresTwoBytesAndOtherCodesOnlyCreateTheKey) {
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\B", "on", "B", Variant(true)), 0);
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\B", "off", "b", Variant("False")), 0);
  EXPECT_EQ(Stored("Software\\B", "on"), std::pair(reg_type::kBinary, "\xff\xff"s));
  EXPECT_EQ(Stored("Software\\B", "off"), std::pair(reg_type::kBinary, "\0\0"s));
  EXPECT_EQ(routines.WriteRegValue("HKCU", "Software\\BB", "x", "BB", Variant("ab")), 0);
  EXPECT_TRUE(registry.KeyExists(kCurrentUser, "Software\\BB"));
  EXPECT_TRUE(registry.ValueNames(kCurrentUser, "Software\\BB").empty());
}

TEST_F(ModRegistryTest, DeletesOfWhatIsNotThereSucceed) {
  registry.SetString(kCurrentUser, kRun, "gone", "x");
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "GONE"), 0);
  EXPECT_EQ(Stored(kRun, "gone"), std::nullopt);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "gone"), 0);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", "Software\\Missing", "gone"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKCU", "Software", "Missing"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKCU", "Software\\Missing", "Leaf"), 0);
}

TEST_F(ModRegistryTest, DeleteRegKeyRemovesOneLevelAndAnEmptyNameRemovesTheKeyItself) {
  registry.CreateKeyPath(kLocalMachine, "SOFTWARE\\Units\\{C}\\Contains\\Files");
  EXPECT_EQ(routines.DeleteRegKey("HKLM", "SOFTWARE\\Units\\{C}", "Contains"), 5);
  EXPECT_EQ(routines.DeleteRegKey("HKLM", "SOFTWARE\\Units\\{C}\\Contains", "Files"), 0);
  EXPECT_EQ(routines.DeleteRegKey("HKLM", "SOFTWARE\\Units\\{C}", "Contains"), 0);
  EXPECT_EQ(registry.SubkeyNames(kLocalMachine, "SOFTWARE\\Units\\{C}"),
            std::vector<std::string>{});
  EXPECT_EQ(routines.DeleteRegKey("HKLM", "SOFTWARE\\Units\\{C}", ""), 0);
  EXPECT_FALSE(registry.KeyExists(kLocalMachine, "SOFTWARE\\Units\\{C}"));
}

TEST_F(ModRegistryTest, ListingAKeyWithoutValuesGivesTwoNuls) {
  registry.CreateKeyPath(kCurrentUser, "Software\\Empty");
  std::string listing;
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\Empty", listing), 0);
  EXPECT_EQ(listing, "\0\0"s);
}

TEST_F(ModRegistryTest, ListingGivesNameEqualsDataWithTheStringsOwnTerminator) {
  registry.SetString(kCurrentUser, "Software\\L", "a", "x");
  registry.SetDword(kCurrentUser, "Software\\L", "b", 5);
  std::string listing;
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 0);
  EXPECT_EQ(listing, "a=x\0b=5\0\0"s);
}

TEST_F(ModRegistryTest, ListingAppendsShortBinariesAsNumbersAndSkipsOtherTypes) {
  registry.SetString(kCurrentUser, "Software\\L", "", "default");
  registry.SetValue(kCurrentUser, "Software\\L", "flag", reg_type::kBinary, "\xff\xff");
  registry.SetValue(kCurrentUser, "Software\\L", "blob", reg_type::kBinary, "abc");
  registry.SetValue(kCurrentUser, "Software\\L", "path", reg_type::kExpandString, "%\0\0\0"s);
  registry.SetDword(kCurrentUser, "Software\\L", "minus", 0xFFFFFFFE);
  registry.SetValue(kCurrentUser, "Software\\L", "raw", reg_type::kString, "r\0"s);
  std::string listing = "before|";
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 0);
  EXPECT_EQ(listing, "before|=default\0flag=65535\0minus=-2\0raw=r\0"s);
}

TEST_F(ModRegistryTest, ListingAMissingKeyGives2AndLeavesTheListing) {
  std::string listing;
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\Missing", listing), 2);
  EXPECT_EQ(listing, "");
}

TEST_F(ModRegistryTest, ListingTakesValueNamesOfAnyAllowedLength) {
  const std::string longName(16383, 'n');
  registry.SetDword(kCurrentUser, "Software\\L", longName, 1);
  registry.SetDword(kCurrentUser, "Software\\L", "after", 2);
  std::string listing;
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 0);
  EXPECT_EQ(listing, longName + "=1\0after=2\0\0"s);
}

TEST_F(ModRegistryTest, AListingThatBreaksOffReturnsTheFailureWithTheEntriesSoFar) {
  registry.SetDword(kCurrentUser, "Software\\L", "a", 1);
  registry.SetDword(kCurrentUser, "Software\\L", "b", 2);
  registry.SetDword(kCurrentUser, "Software\\L", "c", 3);
  faults.Fail("Registry.EnumValue", kNotEnoughMemory, 2);
  std::string listing;
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 8);
  EXPECT_EQ(listing, "a=1\0"s);

  faults.Clear();
  faults.Fail("Registry.QueryValue", kAccessDenied, faults.Calls("Registry.QueryValue") + 2);
  listing.clear();
  EXPECT_EQ(routines.ListRegValues("HKCU", "Software\\L", listing), 5);
  EXPECT_EQ(listing, "a=1\0"s);
}

class ModRegistryProfileTest : public ModRegistryTest {
 protected:
  void SetUp() override {
    files.WriteFile(kIni, "[Run]\r\nname=C:\\x.exe\r\ncount=12\r\n");
  }
  static constexpr const char* kIni = "C:\\Data\\settings.ini";
};

TEST_F(ModRegistryProfileTest, ReadsGiveTheEntryAsTextOrNumber) {
  Variant value;
  EXPECT_EQ(Read(kIni, "name", "S", value, "run"), 0);
  EXPECT_EQ(value, Variant("C:\\x.exe"));
  EXPECT_EQ(Read(kIni, "count", "D", value, "Run"), 0);
  EXPECT_EQ(value, Variant(std::int32_t{12}));
  EXPECT_EQ(Read(kIni, "count", "BB", value, "Run"), 0);
  EXPECT_EQ(value, Variant("12"));
  EXPECT_EQ(Read(kIni, "missing", "S", value, "Run"), 0);
  EXPECT_EQ(value, kNone);
  EXPECT_EQ(Read(kIni, "missing", "D", value, "Run"), 0);
  EXPECT_EQ(value, Variant(std::int32_t{0}));
}

TEST_F(ModRegistryProfileTest, OnlySWritesAndADeleteLeavesTheEntryEmpty) {
  EXPECT_EQ(routines.WriteRegValue(kIni, "Run", "added", "S", Variant(std::int16_t{-7})), 0);
  EXPECT_EQ(routines.WriteRegValue(kIni, "Run", "other", "D", Variant(std::int16_t{1})), 99);
  EXPECT_EQ(routines.DeleteRegValue(kIni, "Run", "name"), 0);
  EXPECT_EQ(files.Contents(kIni), "[Run]\r\nname=\r\ncount=12\r\nadded=-7\r\n");
}

TEST_F(ModRegistryProfileTest, ListingReplacesTheTextWithTheWholeSectionBuffer) {
  std::string listing = "old";
  EXPECT_EQ(routines.ListRegValues(kIni, "Run", listing), 0);
  const std::string entries = "name=C:\\x.exe\0count=12\0\0"s;
  EXPECT_EQ(listing, entries + std::string(8192 - entries.size(), ' '));
}

TEST_F(ModRegistryProfileTest, DeleteRegKeyHasNoProfileModeAndFails) {
  EXPECT_EQ(routines.DeleteRegKey(kIni, "Run", "name"), 6);
  EXPECT_EQ(files.Contents(kIni), "[Run]\r\nname=C:\\x.exe\r\ncount=12\r\n");
}

}  // namespace
}  // namespace foxbane
