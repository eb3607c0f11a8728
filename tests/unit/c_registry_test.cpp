#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/vb_conversions.h"
#include "registry/c_registry.h"
#include "sim/faults.h"
#include "sim/sim_environment.h"
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

using reg_root::kCurrentUser;
using reg_root::kLocalMachine;
using Names = std::vector<std::string>;

constexpr std::string_view kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// A registry whose subkey listing runs into an unexpected error.
class RegistryThatThrowsWhileListingSubkeys : public sim::SimRegistry {
 public:
  using SimRegistry::SimRegistry;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    if (index == 1) throw std::runtime_error("Out of memory");
    return SimRegistry::EnumKey(key, index, name);
  }
};

class cRegistryTest : public ::testing::Test {
 protected:
  // No routine may leave a key open.
  void TearDown() override { EXPECT_EQ(registry.OpenHandleCount(), 0u); }

  cRegistry At(RegKey root, std::string_view keyPath) {
    cRegistry object(registry, environment);
    object.ClassKey(static_cast<std::int32_t>(root));
    object.SectionKey(std::string(keyPath));
    return object;
  }
  Names Values(cRegistry& object) {
    Names names = {"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE(object.EnumerateValues(names, count));
    EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
    return names;
  }
  Names Sections(cRegistry& object) {
    Names names = {"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE(object.EnumerateSections(names, count));
    EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
    return names;
  }

  sim::Faults faults;
  sim::SimRegistry registry{faults};
  sim::SimEnvironment environment;
};

TEST_F(cRegistryTest, StartsEmptyAndTheRootTextsNameTheUserAndMachineRoots) {
  cRegistry object(registry, environment);
  EXPECT_EQ(object.ValueType(), 0);
  EXPECT_EQ(object.ClassKey(), 0);
  EXPECT_EQ(object.SectionKey(), "");
  EXPECT_EQ(object.ValueKey(), "");
  EXPECT_TRUE(object.Default().IsEmpty());

  registry.SetString(kCurrentUser, kRun, "user", "x");
  registry.SetString(kLocalMachine, kRun, "machine", "x");
  object.SectionKey(std::string(kRun));
  object.ClassKey(ToInt32("-2147483647"));
  EXPECT_EQ(Values(object), Names{"user"});
  object.ClassKey(ToInt32("-2147483646"));
  EXPECT_EQ(Values(object), Names{"machine"});
}

TEST_F(cRegistryTest, KeyExistsOpensTheKeyForQueryingOnly) {
  registry.CreateKeyPath(kCurrentUser, kRun);
  EXPECT_TRUE(At(kCurrentUser, kRun).KeyExists());
  EXPECT_TRUE(At(kCurrentUser, "software\\MICROSOFT").KeyExists());
  EXPECT_FALSE(At(kCurrentUser, "Software\\Missing").KeyExists());
  EXPECT_FALSE(At(0, kRun).KeyExists());
  faults.Fail("Registry.OpenKey", win_error::kAccessDenied);
  EXPECT_FALSE(At(kCurrentUser, kRun).KeyExists());
}

TEST_F(cRegistryTest, EnumerateValuesListsNamesInTheOrderTheRegistryGivesThem) {
  registry.SetString(kCurrentUser, kRun, "Zeta", "1");
  registry.SetString(kCurrentUser, kRun, "", "default");
  registry.SetDword(kCurrentUser, kRun, "alpha", 2);
  cRegistry object = At(kCurrentUser, kRun);
  EXPECT_EQ(Values(object), (Names{"Zeta", "", "alpha"}));
}

TEST_F(cRegistryTest, EnumerateValuesOfAnEmptyOrMissingKeyClearsTheList) {
  registry.CreateKeyPath(kCurrentUser, "Software\\Empty");
  cRegistry empty = At(kCurrentUser, "Software\\Empty");
  EXPECT_EQ(Values(empty), Names{});
  cRegistry missing = At(kCurrentUser, "Software\\Missing");
  EXPECT_EQ(Values(missing), Names{});
}

TEST_F(cRegistryTest, EnumerateValuesTwiceOnOneObjectGivesTwoIndependentLists) {
  registry.SetString(kCurrentUser, "Software\\A", "a1", "x");
  registry.SetString(kCurrentUser, "Software\\A", "a2", "x");
  registry.SetString(kCurrentUser, "Software\\B", "b1", "x");
  cRegistry object = At(kCurrentUser, "Software\\A");
  Names names;
  std::int32_t count = 0;
  object.EnumerateValues(names, count);
  EXPECT_EQ(names, (Names{"a1", "a2"}));
  object.SectionKey("Software\\B");
  object.EnumerateValues(names, count);
  EXPECT_EQ(names, Names{"b1"});
  EXPECT_EQ(count, 1);
}

TEST_F(cRegistryTest, EnumerateValuesTakesTheLongestNamesWhole) {
  const std::string longest(16383, 'v');
  registry.SetDword(kCurrentUser, "Software\\Long", "short", 1);
  registry.SetDword(kCurrentUser, "Software\\Long", longest, 1);
  cRegistry object = At(kCurrentUser, "Software\\Long");
  EXPECT_EQ(Values(object), (Names{"short", longest}));
}

TEST_F(cRegistryTest, EnumerateValuesKeepsWhatItFoundWhenTheListingBreaksOff) {
  registry.SetDword(kCurrentUser, kRun, "a", 1);
  registry.SetDword(kCurrentUser, kRun, "b", 2);
  cRegistry object = At(kCurrentUser, kRun);
  faults.Fail("Registry.EnumValue", win_error::kNotEnoughMemory, 2);
  EXPECT_EQ(Values(object), Names{"a"});
  faults.Fail("Registry.QueryLongestValueName", win_error::kAccessDenied);
  EXPECT_EQ(Values(object), Names{});
}

TEST_F(cRegistryTest, EnumerateSectionsListsSubkeysInSortedOrder) {
  const std::string longest(255, 'k');
  for (const std::string& name : {std::string("b"), std::string("A"), longest}) {
    registry.CreateKeyPath(kLocalMachine, "SOFTWARE\\Units\\" + name + "\\Leaf");
  }
  cRegistry object = At(kLocalMachine, "SOFTWARE\\Units");
  EXPECT_EQ(Sections(object), (Names{"A", "b", longest}));
  object.SectionKey("SOFTWARE\\Missing");
  EXPECT_EQ(Sections(object), Names{});
}

TEST_F(cRegistryTest, EnumerateSectionsRaisesTheClassErrorAndClosesTheKey) {
  RegistryThatThrowsWhileListingSubkeys throwing(faults);
  throwing.CreateKeyPath(kCurrentUser, "Software\\Units\\a");
  throwing.CreateKeyPath(kCurrentUser, "Software\\Units\\b");
  cRegistry object(throwing, environment);
  object.ClassKey(static_cast<std::int32_t>(kCurrentUser));
  object.SectionKey("Software\\Units");
  Names names;
  std::int32_t count = 0;
  try {
    object.EnumerateSections(names, count);
    FAIL() << "no error was raised";
  } catch (const RegistryClassError& error) {
    EXPECT_EQ(error.number(), -2147194454);
    EXPECT_EQ(error.source(), "foxbane.cRegistry");
    EXPECT_STREQ(error.what(), "Out of memory");
  }
  EXPECT_EQ(throwing.OpenHandleCount(), 0u);
}

TEST_F(cRegistryTest, ByteSwapLongReversesTheFourBytes) {
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0x12345678u), 0x78563412u);
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0xFF000001u), 0x010000FFu);
}

TEST_F(cRegistryTest, ExpandEnvironmentReplacesKnownReferences) {
  environment.SetVariable("ProgramFiles", "C:\\Program Files");
  cRegistry object(registry, environment);
  EXPECT_EQ(cRegistryTestAccess::ExpandEnvironment(object, "%PROGRAMFILES%\\MF\\%Unknown%"),
            "C:\\Program Files\\MF\\%Unknown%");
}

}  // namespace
}  // namespace foxbane
