// What only the sim registry shows: Windows' value order and subkey sorting
// (Wine differs on both), planned faults and handle counting.
// Everything Wine also does is held to the RegistryContract suite instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/sim_registry.h"

namespace foxbane::sim {
namespace {

using namespace win_error;
using reg_root::kCurrentUser;
using reg_root::kLocalMachine;
using Names = std::vector<std::string>;
constexpr ErrorCode kPlanned = 1117;

class SimRegistryTest : public ::testing::Test {
 protected:
  Faults faults;
  SimRegistry registry{faults};
};

TEST_F(SimRegistryTest, ValuesKeepCreationOrderAndSubkeysSortAsUpperCase) {
  for (const char* name : {"zeta", "Alpha", "mid"}) registry.SetDword(kCurrentUser, "K", name, 1);
  for (const char* name : {"_x", "b", "Z", "a"}) registry.CreateKeyPath(kCurrentUser, std::string("K\\") + name);
  EXPECT_EQ(registry.ValueNames(kCurrentUser, "K"), (Names{"zeta", "Alpha", "mid"}));
  EXPECT_EQ(registry.SubkeyNames(kCurrentUser, "k"), (Names{"a", "b", "Z", "_x"}));
}

TEST_F(SimRegistryTest, OperationsFailOnDemandForKeysUnderAPrefixOnly) {
  const auto open = [&](RegKey root) {
    registry.SetDword(root, "SOFTWARE\\K", "v", 1);
    registry.CreateKeyPath(root, "SOFTWARE\\K\\Sub");
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(root, "SOFTWARE\\K", 0xF003F, key), kSuccess);
    return key;
  };
  const RegKey machine = open(kLocalMachine);
  const RegKey user = open(kCurrentUser);
  for (const char* operation :
       {"Registry.OpenKey", "Registry.CreateKey", "Registry.QueryValue", "Registry.SetValue",
        "Registry.EnumValue", "Registry.EnumKey", "Registry.QueryLongestValueName",
        "Registry.DeleteValue", "Registry.DeleteKey", "Registry.CloseKey"}) {
    faults.Fail(operation, kPlanned, Faults::kEveryCall, "hkey_local_machine\\software\\k");
  }
  const auto run = [&](RegKey key) {
    RegKey opened = 0;
    RegKey created = 0;
    std::string name;
    std::uint32_t longest = 0;
    const std::vector<ErrorCode> results = {  // called in this order
        registry.OpenKey(key, "Sub", reg_access::kQueryValue, opened),
        registry.CreateKey(key, "New", reg_access::kQueryValue, created),
        registry.QueryValue(key, "v", nullptr, nullptr, nullptr),
        registry.EnumValue(key, 0, name, 16, nullptr, nullptr, nullptr),
        registry.EnumKey(key, 0, name),
        registry.QueryLongestValueName(key, longest),
        registry.SetValue(key, "w", reg_type::kDword, "1234"),
        registry.DeleteValue(key, "v"),
        registry.DeleteKey(key, "Sub", reg_view::kDefault),
        registry.CloseKey(key)};
    if (opened != 0) registry.CloseKey(opened);
    if (created != 0) registry.CloseKey(created);
    return results;
  };
  EXPECT_EQ(run(machine), std::vector<ErrorCode>(10, kPlanned));
  EXPECT_EQ(run(user), std::vector<ErrorCode>(10, kSuccess));
  EXPECT_EQ(registry.ValueNames(kLocalMachine, "SOFTWARE\\K"), Names{"v"});
  EXPECT_EQ(registry.SubkeyNames(kLocalMachine, "SOFTWARE\\K"), Names{"Sub"});
  EXPECT_EQ(registry.OpenHandleCount(), 1u);  // a close made to fail leaves the handle open
}

// Windows asks for the query right for the longest value name; Wine does
// not check it.
TEST_F(SimRegistryTest, OnlyOpenedHandlesAreCountedAndEachKeepsItsRights) {
  registry.CreateKeyPath(kCurrentUser, "Software\\K");
  RegKey root = 0;
  RegKey first = 0;
  RegKey second = 0;
  ASSERT_EQ(registry.OpenKey(kCurrentUser, "", reg_access::kQueryValue, root), kSuccess);
  EXPECT_EQ(root, kCurrentUser);
  ASSERT_EQ(registry.OpenKey(kCurrentUser, "Software\\K", reg_access::kSetValue, first), kSuccess);
  ASSERT_EQ(registry.CreateKey(first, "", reg_access::kQueryValue, second), kSuccess);
  EXPECT_NE(first, second);
  EXPECT_EQ(registry.OpenHandleCount(), 2u);
  std::uint32_t longest = 0;
  EXPECT_EQ(registry.QueryLongestValueName(first, longest), kAccessDenied);
  EXPECT_EQ(registry.QueryLongestValueName(second, longest), kSuccess);
  for (const RegKey key : {first, second, root}) EXPECT_EQ(registry.CloseKey(key), kSuccess);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace foxbane::sim
