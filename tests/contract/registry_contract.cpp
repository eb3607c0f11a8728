#include <algorithm>
#include <string>
#include <vector>

#include "contract/registry_world.h"
#include "registry/scoped_reg_key.h"

namespace foxbane::contract {
namespace {

using namespace std::string_literals;
using namespace win_error;
using reg_access::kCreateSubKey;
using reg_access::kEnumerateSubKeys;
using reg_access::kQueryValue;
using reg_access::kSetValue;
constexpr std::uint32_t kAllRights = 0xF003F;

// What QueryValue reports for a value: result, type, and the bytes read with
// a buffer of the value's own size.
struct Read {
  ErrorCode result = 0;
  std::uint32_t type = 0;
  std::string bytes;
};

Read ReadValue(Registry& registry, RegKey key, std::string_view name) {
  Read read;
  std::uint32_t size = 0;
  read.result = registry.QueryValue(key, name, &read.type, nullptr, &size);
  if (read.result != kSuccess) return read;
  read.bytes.assign(size, '\0');
  read.result = registry.QueryValue(key, name, &read.type, read.bytes.data(), &size);
  read.bytes.resize(size);
  return read;
}

std::vector<std::string> ValueNames(Registry& registry, RegKey key) {
  std::vector<std::string> names;
  std::string name;
  while (registry.EnumValue(key, static_cast<std::uint32_t>(names.size()), name, 16384, nullptr,
                            nullptr, nullptr) == kSuccess) {
    names.push_back(name);
  }
  return names;
}

TEST_P(RegistryContract, CreateKeyMakesTheWholePathAndOpenFindsItInAnyCase) {
  ScopedRegKey created(registry());
  ASSERT_EQ(created.Create(reg_root::kCurrentUser, At("One\\Two\\Three"), kSetValue), kSuccess);
  ScopedRegKey opened(registry());
  EXPECT_EQ(opened.Open(reg_root::kCurrentUser, At("one\\TWO\\three"), kQueryValue), kSuccess);

  RegKey key = 7;
  EXPECT_EQ(registry().OpenKey(reg_root::kCurrentUser, At("One\\Missing"), kQueryValue, key),
            kFileNotFound);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(registry().OpenKey(reg_root::kCurrentUser, At("Missing\\Three"), kQueryValue, key),
            kFileNotFound);
}

TEST_P(RegistryContract, KeyPathsAreParsedAsWindowsParsesThem) {
  ScopedRegKey sandbox(registry());
  ASSERT_EQ(sandbox.Create(reg_root::kCurrentUser, At("One\\Two"), kAllRights), kSuccess);
  ScopedRegKey doubled(registry());
  EXPECT_EQ(doubled.Open(reg_root::kCurrentUser, At("One\\\\Two\\"), kQueryValue), kSuccess);

  RegKey key = 0;
  EXPECT_EQ(registry().OpenKey(sandbox.get(), "\\Three", kQueryValue, key), kBadPathname);
  EXPECT_EQ(registry().CreateKey(sandbox.get(), "\\Three", kAllRights, key), kBadPathname);
}

TEST_P(RegistryContract, RootsOpenAndCloseAndNonHandlesAreRefused) {
  RegKey key = 0;
  ASSERT_EQ(registry().OpenKey(reg_root::kCurrentUser, "", kQueryValue, key), kSuccess);
  EXPECT_EQ(registry().CloseKey(key), kSuccess);
  EXPECT_EQ(registry().OpenKey(0, "Software", kQueryValue, key), kInvalidHandle);
  EXPECT_EQ(registry().OpenKey(1, "Software", kQueryValue, key), kInvalidHandle);
}

TEST_P(RegistryContract, ValuesComeBackExactlyAsStored) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Values"), kAllRights), kSuccess);
  const std::vector<std::pair<std::uint32_t, std::string>> stored = {
      {reg_type::kString, "a\0b\0c\0\0\0"s},  // with its terminator
      {reg_type::kString, "a\0b\0c\0"s},      // without one
      {reg_type::kString, ""},
      {reg_type::kDword, "\x05\0\0\0"s},
      {reg_type::kBinary, "\xff\xff"s},
      {reg_type::kMultiString, "x\0\0\0\0\0"s},
  };
  for (std::size_t i = 0; i < stored.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string name = "value" + std::to_string(i);
    ASSERT_EQ(registry().SetValue(key.get(), name, stored[i].first, stored[i].second), kSuccess);
    const Read read = ReadValue(registry(), key.get(), name);
    EXPECT_EQ(read.result, kSuccess);
    EXPECT_EQ(read.type, stored[i].first);
    EXPECT_EQ(read.bytes, stored[i].second);
  }
}

TEST_P(RegistryContract, QueryValueAnswersForTheSizeOfTheBuffer) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Sizes"), kAllRights), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "four", reg_type::kBinary, "1234"), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "none", reg_type::kString, ""), kSuccess);

  char buffer[8] = {};
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry().QueryValue(key.get(), "four", &type, nullptr, &size), kSuccess);
  EXPECT_EQ(type, reg_type::kBinary);
  EXPECT_EQ(size, 4u);
  size = 0;
  EXPECT_EQ(registry().QueryValue(key.get(), "four", nullptr, buffer, &size), kMoreData);
  EXPECT_EQ(size, 4u);
  size = 3;
  EXPECT_EQ(registry().QueryValue(key.get(), "four", nullptr, buffer, &size), kMoreData);
  EXPECT_EQ(size, 4u);
  size = 4;
  EXPECT_EQ(registry().QueryValue(key.get(), "four", nullptr, buffer, &size), kSuccess);
  EXPECT_EQ(std::string(buffer, 4), "1234");

  size = 0;
  EXPECT_EQ(registry().QueryValue(key.get(), "none", nullptr, buffer, &size), kSuccess);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(registry().QueryValue(key.get(), "four", nullptr, buffer, nullptr), kInvalidParameter);
  EXPECT_EQ(registry().QueryValue(key.get(), "missing", nullptr, nullptr, &size), kFileNotFound);
}

TEST_P(RegistryContract, ValueNamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Names"), kAllRights), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "Name", reg_type::kBinary, "1"), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "NAME", reg_type::kBinary, "2"), kSuccess);
  EXPECT_EQ(ValueNames(registry(), key.get()), std::vector<std::string>{"Name"});
  EXPECT_EQ(ReadValue(registry(), key.get(), "name").bytes, "2");
}

TEST_P(RegistryContract, TheDefaultValueHasTheEmptyName) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Default"), kAllRights), kSuccess);
  EXPECT_EQ(ReadValue(registry(), key.get(), "").result, kFileNotFound);
  ASSERT_EQ(registry().SetValue(key.get(), "", reg_type::kString, "d\0\0\0"s), kSuccess);
  EXPECT_EQ(ReadValue(registry(), key.get(), "").bytes, "d\0\0\0"s);
  EXPECT_EQ(ValueNames(registry(), key.get()), std::vector<std::string>{""});
}

// Windows lists values in the order they were made and Wine sorts them, so
// only the set of names is compared.
TEST_P(RegistryContract, EnumValueListsEveryValueWithItsTypeAndSizeThenEnds) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Listed"), kAllRights), kSuccess);
  for (const char* name : {"c", "a", "b"}) {
    ASSERT_EQ(registry().SetValue(key.get(), name, reg_type::kDword, "\1\0\0\0"s), kSuccess);
  }
  std::vector<std::string> names;
  for (std::uint32_t index = 0; index < 3; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::uint32_t size = 2048;
    ASSERT_EQ(registry().EnumValue(key.get(), index, name, 16384, &type, nullptr, &size),
              kSuccess);
    EXPECT_EQ(type, reg_type::kDword);
    EXPECT_EQ(size, 4u);
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
  std::string name;
  EXPECT_EQ(registry().EnumValue(key.get(), 3, name, 16384, nullptr, nullptr, nullptr),
            kNoMoreItems);
}

TEST_P(RegistryContract, EnumValueNeedsRoomForTheNameWithItsNulAndForTheData) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Room"), kAllRights), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "abcd", reg_type::kBinary, "1234"), kSuccess);
  std::string name;
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 4, nullptr, nullptr, nullptr), kMoreData);
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 5, nullptr, nullptr, nullptr), kSuccess);
  EXPECT_EQ(name, "abcd");
  char data[2];
  std::uint32_t size = sizeof data;
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 5, nullptr, data, &size), kMoreData);
  EXPECT_EQ(size, 4u);
}

// Names with characters between "Z" and "a" are left out: Windows sorts
// them as upper case, Wine as lower case.
TEST_P(RegistryContract, SubkeysEnumerateInSortedOrderWithNamesUpTo255Characters) {
  const std::string longName(255, 'k');
  for (const std::string& name : {"b"s, "C"s, longName, "a"s, "Z"s}) {
    ScopedRegKey created(registry());
    ASSERT_EQ(created.Create(reg_root::kCurrentUser, At("Sorted\\" + name), kSetValue), kSuccess);
  }
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Open(reg_root::kCurrentUser, At("Sorted"), kEnumerateSubKeys), kSuccess);
  std::vector<std::string> names;
  std::string name;
  ErrorCode result = kSuccess;
  while ((result = registry().EnumKey(key.get(), static_cast<std::uint32_t>(names.size()),
                                      name)) == kSuccess) {
    names.push_back(name);
  }
  EXPECT_EQ(result, kNoMoreItems);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "C", longName, "Z"}));
}

TEST_P(RegistryContract, ValueNamesMayHaveUpTo16383Characters) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Long"), kAllRights), kSuccess);
  std::uint32_t longest = 99;
  EXPECT_EQ(registry().QueryLongestValueName(key.get(), longest), kSuccess);
  EXPECT_EQ(longest, 0u);

  const std::string longName(16383, 'v');
  ASSERT_EQ(registry().SetValue(key.get(), longName, reg_type::kBinary, "x"), kSuccess);
  EXPECT_EQ(registry().SetValue(key.get(), longName + "v", reg_type::kBinary, "x"),
            kInvalidParameter);
  EXPECT_EQ(registry().QueryLongestValueName(key.get(), longest), kSuccess);
  EXPECT_EQ(longest, 16383u);
  std::string name;
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 16383, nullptr, nullptr, nullptr), kMoreData);
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 16384, nullptr, nullptr, nullptr), kSuccess);
  EXPECT_EQ(name, longName);
}

TEST_P(RegistryContract, EachHandleAllowsOnlyWhatItWasOpenedFor) {
  ScopedRegKey setup(registry());
  ASSERT_EQ(setup.Create(reg_root::kCurrentUser, At("Rights\\Sub"), kAllRights), kSuccess);
  std::string name;
  char data[4];
  std::uint32_t size = sizeof data;

  ScopedRegKey query(registry());
  ASSERT_EQ(query.Open(reg_root::kCurrentUser, At("Rights"), kQueryValue), kSuccess);
  EXPECT_EQ(registry().SetValue(query.get(), "v", reg_type::kBinary, "1"), kAccessDenied);
  EXPECT_EQ(registry().DeleteValue(query.get(), "v"), kAccessDenied);
  EXPECT_EQ(registry().EnumKey(query.get(), 0, name), kAccessDenied);

  ScopedRegKey set(registry());
  ASSERT_EQ(set.Open(reg_root::kCurrentUser, At("Rights"), kSetValue), kSuccess);
  ASSERT_EQ(registry().SetValue(set.get(), "v", reg_type::kBinary, "1"), kSuccess);
  EXPECT_EQ(registry().QueryValue(set.get(), "v", nullptr, data, &size), kAccessDenied);
  EXPECT_EQ(registry().EnumValue(set.get(), 0, name, 16, nullptr, nullptr, nullptr),
            kAccessDenied);
  EXPECT_EQ(registry().DeleteValue(set.get(), "missing"), kFileNotFound);

  ScopedRegKey enumerate(registry());
  ASSERT_EQ(enumerate.Open(reg_root::kCurrentUser, At("Rights"), kEnumerateSubKeys), kSuccess);
  EXPECT_EQ(registry().EnumKey(enumerate.get(), 0, name), kSuccess);
  EXPECT_EQ(name, "Sub");
  EXPECT_EQ(registry().QueryValue(enumerate.get(), "v", nullptr, data, &size), kAccessDenied);
}

TEST_P(RegistryContract, DeleteValueRemovesOneValue) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(reg_root::kCurrentUser, At("Delete"), kAllRights), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "gone", reg_type::kBinary, "1"), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), "kept", reg_type::kBinary, "2"), kSuccess);
  EXPECT_EQ(registry().DeleteValue(key.get(), "GONE"), kSuccess);
  EXPECT_EQ(registry().DeleteValue(key.get(), "gone"), kFileNotFound);
  EXPECT_EQ(ValueNames(registry(), key.get()), std::vector<std::string>{"kept"});
}

// RegDeleteKey needs no rights on the handle it is given: it opens the key
// to delete with rights of its own.
TEST_P(RegistryContract, DeleteKeyRemovesOnlyKeysWithoutSubkeys) {
  ScopedRegKey setup(registry());
  ASSERT_EQ(setup.Create(reg_root::kCurrentUser, At("Tree\\Branch\\Leaf"), kSetValue), kSuccess);
  ScopedRegKey tree(registry());
  ASSERT_EQ(tree.Open(reg_root::kCurrentUser, At("Tree"), kQueryValue), kSuccess);

  EXPECT_EQ(registry().DeleteKey(tree.get(), "Branch"), kAccessDenied);
  EXPECT_EQ(registry().DeleteKey(tree.get(), "branch\\leaf"), kSuccess);
  EXPECT_EQ(registry().DeleteKey(tree.get(), "Branch\\Leaf"), kFileNotFound);
  EXPECT_EQ(registry().DeleteKey(tree.get(), "Missing\\Leaf"), kFileNotFound);
  EXPECT_EQ(registry().DeleteKey(tree.get(), "Branch"), kSuccess);
  RegKey key = 0;
  EXPECT_EQ(registry().OpenKey(tree.get(), "Branch", kQueryValue, key), kFileNotFound);
  EXPECT_EQ(registry().DeleteKey(reg_root::kCurrentUser, ""), kAccessDenied);
}

TEST_P(RegistryContract, AnEmptyNameDeletesTheOpenedKeyAndItsHandlesThenFail) {
  ScopedRegKey setup(registry());
  ASSERT_EQ(setup.Create(reg_root::kCurrentUser, At("Doomed"), kAllRights), kSuccess);
  ScopedRegKey other(registry());
  ASSERT_EQ(other.Open(reg_root::kCurrentUser, At("Doomed"), kAllRights), kSuccess);

  EXPECT_EQ(registry().DeleteKey(setup.get(), ""), kSuccess);
  std::string name;
  RegKey key = 0;
  EXPECT_EQ(registry().QueryValue(other.get(), "v", nullptr, nullptr, nullptr), kKeyDeleted);
  EXPECT_EQ(registry().SetValue(other.get(), "v", reg_type::kBinary, "1"), kKeyDeleted);
  EXPECT_EQ(registry().EnumKey(other.get(), 0, name), kKeyDeleted);
  EXPECT_EQ(registry().OpenKey(other.get(), "", kQueryValue, key), kKeyDeleted);
  EXPECT_EQ(registry().DeleteKey(setup.get(), ""), kKeyDeleted);
  EXPECT_EQ(registry().OpenKey(reg_root::kCurrentUser, At("Doomed"), kQueryValue, key),
            kFileNotFound);
  EXPECT_EQ(other.Close(), kSuccess);
  EXPECT_EQ(setup.Close(), kSuccess);
}

TEST_P(RegistryContract, AClosedHandleIsInvalid) {
  RegKey key = 0;
  ASSERT_EQ(registry().CreateKey(reg_root::kCurrentUser, At("Closed"), kAllRights, key), kSuccess);
  ASSERT_EQ(registry().CloseKey(key), kSuccess);
  EXPECT_EQ(registry().CloseKey(key), kInvalidHandle);
  EXPECT_EQ(registry().QueryValue(key, "v", nullptr, nullptr, nullptr), kInvalidHandle);
}

TEST_P(RegistryContract, CreateKeyOpensAnExistingKeyWithItsValues) {
  {
    ScopedRegKey first(registry());
    ASSERT_EQ(first.Create(reg_root::kCurrentUser, At("Again"), kAllRights), kSuccess);
    ASSERT_EQ(registry().SetValue(first.get(), "kept", reg_type::kBinary, "1"), kSuccess);
  }
  ScopedRegKey again(registry());
  ASSERT_EQ(again.Create(reg_root::kCurrentUser, At("AGAIN"), kQueryValue | kCreateSubKey),
            kSuccess);
  EXPECT_EQ(ReadValue(registry(), again.get(), "kept").bytes, "1");
}

}  // namespace
}  // namespace foxbane::contract
