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
using Listing = bool (cRegistry::*)(Names&, std::int32_t&);
constexpr Listing kValues = &cRegistry::EnumerateValues;
constexpr Listing kSections = &cRegistry::EnumerateSections;

constexpr std::string_view kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

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
  // What a listing leaves in place of a stale list; its count must match.
  static Names List(cRegistry& object, Listing listing) {
    Names names = {"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE((object.*listing)(names, count));
    EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
    return names;
  }

  sim::Faults faults;
  sim::SimRegistry registry{faults};
  sim::SimEnvironment environment;
};

TEST_F(cRegistryTest, KeyExistsOpensTheKeyForQueryingOnly) {
  registry.CreateKeyPath(kCurrentUser, kRun);
  EXPECT_TRUE(At(kCurrentUser, kRun).KeyExists());
  EXPECT_TRUE(At(kCurrentUser, "software\\MICROSOFT").KeyExists());
  EXPECT_FALSE(At(kCurrentUser, "Software\\Missing").KeyExists());
  EXPECT_FALSE(At(0, kRun).KeyExists());
  faults.Fail("Registry.OpenKey", win_error::kAccessDenied);
  EXPECT_FALSE(At(kCurrentUser, kRun).KeyExists());
}

// The root texts a caller stores are the signed forms of the user and
// machine roots; each listing replaces the previous one, and one that
// breaks off keeps what it found.
TEST_F(cRegistryTest, EnumerateValuesListsNamesInTheOrderTheRegistryGivesThem) {
  const std::string longest(16383, 'v');
  registry.SetString(kCurrentUser, kRun, "Zeta", "1");
  registry.SetString(kCurrentUser, kRun, "", "default");
  registry.SetDword(kCurrentUser, kRun, "alpha", 2);
  registry.SetDword(kCurrentUser, kRun, longest, 1);
  registry.SetString(kLocalMachine, kRun, "machine", "x");
  registry.CreateKeyPath(kCurrentUser, "Software\\Empty");
  cRegistry object(registry, environment);
  object.SectionKey(std::string(kRun));
  object.ClassKey(ToInt32("-2147483647"));
  EXPECT_EQ(List(object, kValues), (Names{"Zeta", "", "alpha", longest}));
  object.ClassKey(ToInt32("-2147483646"));
  EXPECT_EQ(List(object, kValues), Names{"machine"});
  object.SectionKey("Software\\Empty");
  EXPECT_EQ(List(object, kValues), Names{});
  object.SectionKey("Software\\Missing");
  EXPECT_EQ(List(object, kValues), Names{});

  cRegistry user = At(kCurrentUser, kRun);
  faults.Fail("Registry.EnumValue", win_error::kNotEnoughMemory, faults.Calls("Registry.EnumValue") + 2);
  EXPECT_EQ(List(user, kValues), Names{"Zeta"});
  faults.Fail("Registry.QueryLongestValueName", win_error::kAccessDenied);
  EXPECT_EQ(List(user, kValues), Names{});
}

TEST_F(cRegistryTest, EnumerateSectionsListsSubkeysInSortedOrder) {
  const std::string longest(255, 'k');
  for (const std::string& name : {std::string("b"), std::string("A"), longest}) {
    registry.CreateKeyPath(kLocalMachine, "SOFTWARE\\Units\\" + name + "\\Leaf");
  }
  cRegistry object = At(kLocalMachine, "SOFTWARE\\Units");
  EXPECT_EQ(List(object, kSections), (Names{"A", "b", longest}));
  object.SectionKey("SOFTWARE\\Missing");
  EXPECT_EQ(List(object, kSections), Names{});
}

// A registry whose subkey listing runs into an unexpected error.
class RegistryThatThrowsWhileListingSubkeys : public sim::SimRegistry {
 public:
  using SimRegistry::SimRegistry;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    if (index == 1) throw std::runtime_error("Out of memory");
    return SimRegistry::EnumKey(key, index, name);
  }
};

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

TEST_F(cRegistryTest, PrivateHelpersSwapTheFourBytesAndExpandKnownReferences) {
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0x12345678u), 0x78563412u);
  EXPECT_EQ(cRegistryTestAccess::ByteSwapLong(0xFF000001u), 0x010000FFu);
  environment.SetVariable("ProgramFiles", "C:\\Program Files");
  cRegistry object(registry, environment);
  EXPECT_EQ(cRegistryTestAccess::ExpandEnvironment(object, "%PROGRAMFILES%\\MF\\%Unknown%"),
            "C:\\Program Files\\MF\\%Unknown%");
}

}  // namespace
}  // namespace foxbane
