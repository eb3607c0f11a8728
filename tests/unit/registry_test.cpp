#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/vb_conversions.h"
#include "registry/c_registry.h"
#include "registry/mod_registry.h"
#include "sim/faults.h"
#include "sim/sim_environment.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"
#include "sim/sim_registry.h"

namespace foxbane {

// Reaches the two private routines that no member calls.
class cRegistryTestAccess {
 public:
  static std::uint32_t ByteSwapLong(std::uint32_t value) { return cRegistry::ByteSwapLong(value); }
  static std::string ExpandEnvironment(cRegistry& object, const std::string& text) {
    return object.ExpandEnvironment(text);
  }
};

namespace {

using namespace std::string_literals;
using namespace win_error;
using reg_root::kCurrentUser;
using reg_root::kLocalMachine;
using Names = std::vector<std::string>;
using Listing = bool (cRegistry::*)(Names&, std::int32_t&);

constexpr std::string_view kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kIni = "C:\\Data\\settings.ini";
const Variant kNone("<none>");

// Both registry classes on one sim registry. Every routine must close every
// key it opens, on every path: a test that leaves one open fails in TearDown.
class RegistryTest : public ::testing::Test {
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
  // What a listing leaves in place of a stale list; its count must match.
  static Names List(cRegistry& object, Listing listing) {
    Names names = {"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE((object.*listing)(names, count));
    EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
    return names;
  }

  sim::Faults faults;
  sim::SimFileSystem files{faults};
  sim::SimRegistry registry{faults};
  sim::SimProfileFiles profiles{faults, files};
  sim::SimEnvironment environment;
  modRegistry routines{registry, profiles, files};
  std::string listing = "kept";
};

TEST_F(RegistryTest, HivesAreShortRootNamesInAnyCaseOrOrdinaryProfileFiles) {
  using namespace file_attribute;
  for (const auto& [name, attributes] : {std::pair("plain", 0u), {"kept", kReadOnly | kArchive},
                                         {"hidden", kHidden}, {"system", kSystem}}) {
    files.WriteFile("C:\\Data\\"s + name + ".ini", "", attributes);
  }
  const std::pair<std::string_view, RegKey> hives[] = {
      {"HKCU", 0x80000001u}, {"HkLm", 0x80000002u}, {"hku", 0x80000003u}, {"HKDD", 0x80000006u},
      {"hkcc", 0x80000005u}, {"HKCR", 0x80000000u}, {"HKEY_CURRENT_USER", 0}, {"HKCU ", 0}, {"", 0},
      {"C:\\Data\\plain.ini", modRegistry::ProfileFileRoot},
      {"c:\\data\\KEPT.ini", modRegistry::ProfileFileRoot}, {"C:\\Data\\hidden.ini", 0},
      {"C:\\Data\\system.ini", 0}, {"C:\\Data", 0}, {"C:\\Data\\missing.ini", 0}};
  for (const auto& [name, hive] : hives) EXPECT_EQ(routines.HiveFromName(name), hive) << name;
}

// On 64-bit Windows a 32-bit program's registrations under HKLM and HKCR are
// kept apart: both views for those, the one view for the rest and on 32-bit
// Windows.
TEST_F(RegistryTest, OnlyTheMachineAndClassesRootsHaveTwoViews) {
  using Views = std::vector<RegView>;
  const auto views = [&](std::string_view hive) {
    const std::span<const RegView> all = routines.ViewsOf(hive);
    return Views(all.begin(), all.end());
  };
  EXPECT_EQ(views("hklm"), (Views{reg_view::k64Bit, reg_view::k32Bit}));
  EXPECT_EQ(views("HKCR"), (Views{reg_view::k64Bit, reg_view::k32Bit}));
  EXPECT_EQ(views("HKCU"), Views{reg_view::kDefault});
  registry.UseOneView();
  EXPECT_EQ(views("HKLM"), Views{reg_view::kDefault});
}

// A read starts from the default and keeps it wherever it fails or finds
// nothing. "S" and "BB" take any type's data character for character,
// dropping the last one (a string written by "S" has no terminator); "B"
// reads at most two bytes and "D" four, string data counted in code page
// 1252 as the single-byte call counts them ("12" and its terminator: three
// bytes, one a character; an odd last byte dropped). Each row is a value of
// its own.
TEST_F(RegistryTest, ReadRegValueGivesEachTypeCodesFormOrTheDefault) {
  const struct {
    std::uint32_t type;  // 0: no such value
    std::string data;
    std::string_view code;
    std::int32_t result;
    Variant value;
  } reads[] = {
      {reg_type::kString, "a\0b\0\0\0"s, "s", 0, "ab"},
      {reg_type::kString, "a\0b\0c\0"s, "S", 0, "ab"},
      {reg_type::kString, "", "S", 0, kNone},
      {reg_type::kDword, "\5\0\0\0"s, "S", 0, "\5\0\0"s},
      {reg_type::kBinary, "A\xe9" "B", "bb", 0, "A\xc3\xa9"},
      {reg_type::kBinary, "\0\0"s, "B", 0, false}, {reg_type::kBinary, "\xff\xff", "B", 0, true},
      {reg_type::kBinary, "\1\0"s, "B", 0, true},  {reg_type::kBinary, "\0\1"s, "B", 0, true},
      {reg_type::kBinary, "", "B", 0, false},      {reg_type::kBinary, "abc", "B", 234, kNone},
      {reg_type::kDword, "\xfe\xff\xff\xff", "d", 0, std::int32_t{-2}},
      {reg_type::kString, "1\0" "2\0\0\0"s, "D", 0, std::int32_t{0x3231}},
      {reg_type::kString, "1\0" "2\0" "3\0" "4\0\0\0"s, "D", 234, kNone},
      {reg_type::kString, "1\0" "2\0" "3\0" "4\0"s, "D", 0, std::int32_t{0x34333231}},
      {reg_type::kString, "12345", "D", 0, std::int32_t{0x3F3F}},
      {reg_type::kString, "\xe9\0\0\0"s, "B", 0, true},
      {reg_type::kString, "\xa9\x03\0\0"s, "B", 0, true},
      {reg_type::kString, "1\0" "2\0\0\0"s, "B", 234, kNone},
      {reg_type::kString, "x\0\0\0"s, "SZ", 0, kNone},
      {0, "", "S", 2, kNone},
  };
  for (std::size_t i = 0; i < std::size(reads); ++i) {
    const auto& read = reads[i];
    SCOPED_TRACE(i);
    const std::string name = "v" + std::to_string(i);
    if (read.type != 0) registry.SetValue(kCurrentUser, "Software\\V", name, read.type, read.data);
    Variant value("stale");
    EXPECT_EQ(routines.ReadRegValue("HKCU", "Software\\V", name, read.code, kNone, value), read.result);
    EXPECT_EQ(value, read.value);
  }
  files.WriteFile(kIni, "[Run]\r\nname=C:\\x.exe\r\ncount=12\r\n");
  const std::tuple<std::string_view, std::string_view, Variant> entries[] = {
      {"name", "S", "C:\\x.exe"}, {"count", "D", std::int32_t{12}}, {"count", "BB", "12"},
      {"missing", "S", kNone},    {"missing", "D", std::int32_t{0}}};
  for (const auto& [name, code, expected] : entries) {
    Variant value("stale");
    EXPECT_EQ(routines.ReadRegValue(kIni, "Run", name, code, kNone, value), 0);
    EXPECT_EQ(value, expected) << name << " as " << code;
  }
}

// Only S, D and B store anything, D only within 16 bits; every write makes
// its key first.
TEST_F(RegistryTest, WriteRegValueStoresEachTypeCodesBytes) {
  const struct {
    std::string_view type;
    Variant value;
    std::optional<std::pair<std::uint32_t, std::string>> stored;
  } writes[] = {
      {"S", "abc", std::pair(reg_type::kString, "a\0b\0c\0"s)},
      {"D", std::int16_t{1024}, std::pair(reg_type::kDword, "\0\4\0\0"s)},
      {"d", std::int32_t{-1}, std::pair(reg_type::kDword, "\xff\xff\xff\xff"s)},
      {"D", std::int32_t{40000}, std::nullopt},
      {"B", true, std::pair(reg_type::kBinary, "\xff\xff"s)},
      {"b", "False", std::pair(reg_type::kBinary, "\0\0"s)},
      {"BB", "ab", std::nullopt},
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
TEST_F(RegistryTest, AFailureReturnsItsCodeAndChangesNothing) {
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
  EXPECT_EQ(EveryRoutine("HKCU"), (std::vector<std::int32_t>{2, 0, 0, 0, 2}));  // the other root works

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

TEST_F(RegistryTest, DeletesRemoveOneLevelAndSucceedWhenNothingIsThere) {
  registry.SetString(kCurrentUser, kRun, "gone", "x");
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "GONE"), 0);
  EXPECT_EQ(registry.Value(kCurrentUser, kRun, "gone"), std::nullopt);
  EXPECT_EQ(routines.DeleteRegValue("HKCU", kRun, "gone"), 0);
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
// at all; one more NUL ends the listing. One that breaks off returns the
// failure with the entries so far.
TEST_F(RegistryTest, ListRegValuesAppendsNameEqualsDataEntries) {
  const std::string l = "Software\\L", longName(16383, 'n');
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

  for (const auto& [operation, code] : {std::pair("Registry.EnumValue", 8), {"Registry.QueryValue", 5}}) {
    faults.Clear();
    faults.Fail(operation, static_cast<ErrorCode>(code), faults.Calls(operation) + 2);
    listing.clear();
    EXPECT_EQ(routines.ListRegValues("HKCU", l, listing), code) << operation;
    EXPECT_EQ(listing, "=default\0"s) << operation;
  }
}

// Only "S" writes a profile entry, a delete leaves it empty, DeleteRegKey has
// no profile mode, and a listing replaces the text with the whole section
// buffer.
TEST_F(RegistryTest, AProfileFileTakesStringsOnly) {
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

// The root texts a caller stores are the signed forms of the user and
// machine roots; each listing replaces the previous one, and one that
// breaks off keeps what it found.
TEST_F(RegistryTest, cRegistryListsValueNamesInTheOrderTheRegistryGivesThem) {
  const std::string longest(16383, 'v');
  registry.SetString(kCurrentUser, kRun, "Zeta", "1");
  registry.SetString(kCurrentUser, kRun, "", "default");
  registry.SetDword(kCurrentUser, kRun, "alpha", 2);
  registry.SetDword(kCurrentUser, kRun, longest, 1);
  registry.SetString(kLocalMachine, kRun, "machine", "x");
  cRegistry object(registry, environment);
  object.SectionKey(std::string(kRun));
  object.ClassKey(ToInt32("-2147483647"));
  EXPECT_TRUE(object.KeyExists());
  EXPECT_EQ(List(object, &cRegistry::EnumerateValues), (Names{"Zeta", "", "alpha", longest}));
  faults.Fail("Registry.EnumValue", kNotEnoughMemory, faults.Calls("Registry.EnumValue") + 2);
  EXPECT_EQ(List(object, &cRegistry::EnumerateValues), Names{"Zeta"});
  faults.Fail("Registry.QueryLongestValueName", kAccessDenied,
              faults.Calls("Registry.QueryLongestValueName") + 1);
  EXPECT_EQ(List(object, &cRegistry::EnumerateValues), Names{});
  object.ClassKey(ToInt32("-2147483646"));
  EXPECT_EQ(List(object, &cRegistry::EnumerateValues), Names{"machine"});
  object.SectionKey("Software\\Missing");
  EXPECT_FALSE(object.KeyExists());
  EXPECT_EQ(List(object, &cRegistry::EnumerateValues), Names{});
}

// A registry whose subkey listing runs into an unexpected error.
class RegistryThatThrowsWhileListingSubkeys : public sim::SimRegistry {
 public:
  using SimRegistry::SimRegistry;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    if (index == 1 && throws) throw std::runtime_error("Out of memory");
    return SimRegistry::EnumKey(key, index, name);
  }
  bool throws = false;
};

// The error raised is the class's own, and the key is closed by then.
TEST_F(RegistryTest, cRegistryListsSubkeysOrRaisesTheClassError) {
  RegistryThatThrowsWhileListingSubkeys throwing(faults);
  for (const char* name : {"b", "A"}) throwing.CreateKeyPath(kCurrentUser, "Software\\Units\\"s + name);
  cRegistry object(throwing, environment);
  object.ClassKey(static_cast<std::int32_t>(kCurrentUser));
  object.SectionKey("Software\\Units");
  EXPECT_EQ(List(object, &cRegistry::EnumerateSections), (Names{"A", "b"}));
  throwing.throws = true;
  using namespace ::testing;
  Names names;
  std::int32_t count = 0;
  EXPECT_THAT([&] { object.EnumerateSections(names, count); },
              Throws<RegistryClassError>(AllOf(Property(&RegistryClassError::number, -2147194454),
                                               Property(&RegistryClassError::source, "foxbane.cRegistry"),
                                               Property(&RegistryClassError::what, StrEq("Out of memory")))));
  EXPECT_EQ(throwing.OpenHandleCount(), 0u);
  object.SectionKey("Software\\Missing");
  EXPECT_EQ(List(object, &cRegistry::EnumerateSections), Names{});
}

TEST_F(RegistryTest, cRegistryHelpersSwapTheFourBytesAndExpandKnownReferences) {
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0x12345678u), 0x78563412u);
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0xFF000001u), 0x010000FFu);
  environment.SetVariable("ProgramFiles", "C:\\Program Files");
  cRegistry object(registry, environment);
  EXPECT_EQ(cRegistryTestAccess::ExpandEnvironment(object, "%PROGRAMFILES%\\MF\\%Unknown%"),
            "C:\\Program Files\\MF\\%Unknown%");
}

}  // namespace
}  // namespace foxbane
