#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "contract/world.h"
#include "registry/scoped_reg_key.h"

namespace foxbane::contract {
namespace {

using namespace std::string_literals;
using namespace reg_access;
using namespace win_error;
constexpr RegKey kHkcu = reg_root::kCurrentUser;
constexpr std::uint32_t kAllRights = 0xF003F;

// What QueryValue reports for a value: result, type, and the bytes read with
// a buffer of the value's own size.
struct Read { ErrorCode result = 0; std::uint32_t type = 0; std::string bytes; };

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

// Opens `path` below `parent` and closes it again: the result.
ErrorCode OpenResult(Registry& registry, RegKey parent, std::string_view path,
                     std::uint32_t access = kQueryValue) {
  ScopedRegKey key(registry);
  const ErrorCode result = key.Open(parent, path, access);
  if (result == kSuccess) {
    EXPECT_EQ(key.Close(), kSuccess) << path;
  }
  return result;
}

TEST_P(RegistryContract, KeyPathsAndHandlesAreTakenAsWindowsTakesThem) {
  ScopedRegKey created(registry()), again(registry());
  ASSERT_EQ(created.Create(kHkcu, KeyAt("One\\Two\\Three"), kAllRights), kSuccess);
  ASSERT_EQ(registry().SetValue(created.get(), "kept", reg_type::kBinary, "1"), kSuccess);
  // Paths ignore case, and doubled and trailing separators.
  EXPECT_EQ(OpenResult(registry(), kHkcu, KeyAt("one\\\\TWO\\three\\")), kSuccess);
  // Creating a key that exists opens it, values and all.
  ASSERT_EQ(again.Create(kHkcu, KeyAt("ONE\\two\\Three"), kQueryValue | kCreateSubKey), kSuccess);
  EXPECT_EQ(ReadValue(registry(), again.get(), "kept").bytes, "1");

  RegKey key = 7;
  EXPECT_EQ(registry().OpenKey(kHkcu, KeyAt("One\\Missing"), kQueryValue, key), kFileNotFound);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(OpenResult(registry(), kHkcu, KeyAt("Missing\\Three")), kFileNotFound);
  EXPECT_EQ(OpenResult(registry(), created.get(), "\\Three"), kBadPathname);
  EXPECT_EQ(registry().CreateKey(created.get(), "\\Three", kAllRights, key), kBadPathname);

  // A root opens as itself; what is not a handle, or no longer one, is refused.
  EXPECT_EQ(OpenResult(registry(), kHkcu, ""), kSuccess);
  EXPECT_EQ(OpenResult(registry(), 0, "Software"), kInvalidHandle);
  EXPECT_EQ(OpenResult(registry(), 1, "Software"), kInvalidHandle);
  const RegKey closed = again.get();
  ASSERT_EQ(again.Close(), kSuccess);
  EXPECT_EQ(registry().CloseKey(closed), kInvalidHandle);
  EXPECT_EQ(registry().QueryValue(closed, "kept", nullptr, nullptr, nullptr), kInvalidHandle);
}

// Windows lists values in the order they were made and Wine sorts them, so
// the listing is compared sorted.
TEST_P(RegistryContract, ValuesComeBackExactlyAsStoredAndAreListedWithTypeAndSize) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(kHkcu, KeyAt("Values"), kAllRights), kSuccess);
  EXPECT_EQ(ReadValue(registry(), key.get(), "").result, kFileNotFound);  // no default value yet
  const struct { std::string_view name; std::uint32_t type; std::string bytes; } stored[] = {
      {"", reg_type::kString, "d\0\0\0"s},  // the default value
      {"terminated", reg_type::kString, "a\0b\0c\0\0\0"s},
      {"unterminated", reg_type::kString, "a\0b\0c\0"s},
      {"empty", reg_type::kString, ""},
      {"Name", reg_type::kDword, "\x05\0\0\0"s},
      {"binary", reg_type::kBinary, "\xff\xff"s},
      {"multi", reg_type::kMultiString, "x\0\0\0\0\0"s},
  };
  for (const auto& value : stored) {
    SCOPED_TRACE(value.name);
    ASSERT_EQ(registry().SetValue(key.get(), value.name, value.type, value.bytes), kSuccess);
    const Read read = ReadValue(registry(), key.get(), value.name);
    EXPECT_EQ(std::tie(read.result, read.type, read.bytes),
              std::tie(kSuccess, value.type, value.bytes));
  }
  // Value names ignore case and keep their first spelling.
  ASSERT_EQ(registry().SetValue(key.get(), "NAME", reg_type::kBinary, "1234"), kSuccess);

  // A buffer too small is refused with the size needed; no buffer asks the
  // size; no size at all is a wrong parameter.
  char buffer[8] = {};
  std::uint32_t size = 0;
  for (const std::uint32_t tooSmall : {0u, 3u}) {
    size = tooSmall;
    EXPECT_EQ(registry().QueryValue(key.get(), "name", nullptr, buffer, &size), kMoreData);
    EXPECT_EQ(size, 4u);
  }
  EXPECT_EQ(registry().QueryValue(key.get(), "name", nullptr, buffer, &size), kSuccess);
  EXPECT_EQ(std::string(buffer, 4), "1234");
  size = 0;
  EXPECT_EQ(registry().QueryValue(key.get(), "empty", nullptr, buffer, &size), kSuccess);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(registry().QueryValue(key.get(), "name", nullptr, buffer, nullptr), kInvalidParameter);
  EXPECT_EQ(registry().QueryValue(key.get(), "missing", nullptr, nullptr, &size), kFileNotFound);

  std::vector<std::string> listed;
  std::string name;
  std::uint32_t type = 0;
  ErrorCode result = kSuccess;
  while ((result = registry().EnumValue(key.get(), static_cast<std::uint32_t>(listed.size()), name,
                                        16384, &type, nullptr, &(size = 2048))) == kSuccess) {
    listed.push_back(name + ":" + std::to_string(type) + ":" + std::to_string(size));
  }
  EXPECT_EQ(result, kNoMoreItems);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{":1:4", "Name:3:4", "binary:3:2", "empty:1:0",
                                              "multi:7:6", "terminated:1:8", "unterminated:1:6"}));
}

// As the single-byte call hands them over: string data in code page 1252,
// one byte a UTF-16 unit ("?" for what the page lacks, an odd last byte
// dropped), sized in those bytes with whatever terminator was stored; other
// data as they are. "12" and its terminator fit a 4-byte buffer.
TEST_P(RegistryContract, QueryValueAnsiSizesStringsInTheCodePage) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(kHkcu, KeyAt("Ansi"), kAllRights), kSuccess);
  const struct { std::uint32_t type; std::string stored; std::string ansi; } values[] = {
      {reg_type::kString, "1\0" "2\0\0\0"s, "12\0"s},
      {reg_type::kString, "1\0" "2\0"s, "12"},
      {reg_type::kString, "\xe9\0\xa9\x03\x3d\xd8\x00\xde\0\0"s, "\xe9???\0"s},
      {reg_type::kExpandString, "a\0b"s, "a"},
      {reg_type::kMultiString, "x\0\0\0\0\0"s, "x\0\0"s},
      {reg_type::kDword, "\x05\0\0\0"s, "\x05\0\0\0"s},
      {reg_type::kBinary, "\xe9\0\0"s, "\xe9\0\0"s},
  };
  for (std::size_t i = 0; i < std::size(values); ++i) {
    SCOPED_TRACE(i);
    const std::string name = "v" + std::to_string(i);
    ASSERT_EQ(registry().SetValue(key.get(), name, values[i].type, values[i].stored), kSuccess);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry().QueryValueAnsi(key.get(), name, &type, nullptr, &size), kSuccess);
    EXPECT_EQ(type, values[i].type);
    EXPECT_EQ(size, values[i].ansi.size());
    std::string bytes(size, '\xcc');
    ASSERT_EQ(registry().QueryValueAnsi(key.get(), name, nullptr, bytes.data(), &size), kSuccess);
    EXPECT_EQ(bytes.substr(0, size), values[i].ansi);
  }
  std::string four(4, '\0');
  std::uint32_t size = 4;
  EXPECT_EQ(registry().QueryValueAnsi(key.get(), "v0", nullptr, four.data(), &size), kSuccess);
  EXPECT_EQ(size, 3u);
  ASSERT_EQ(registry().SetValue(key.get(), "long", reg_type::kString, "1\0" "2\0" "3\0" "4\0\0\0"s),
            kSuccess);
  size = 4;
  EXPECT_EQ(registry().QueryValueAnsi(key.get(), "long", nullptr, four.data(), &size), kMoreData);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(registry().QueryValueAnsi(key.get(), "missing", nullptr, nullptr, &size), kFileNotFound);
}

// Both values sit at the same index whether the listing keeps creation
// order (Windows) or sorts (Wine).
TEST_P(RegistryContract, EnumValueNeedsRoomForNamesOfUpTo16383CharactersAndForTheData) {
  ScopedRegKey key(registry());
  ASSERT_EQ(key.Create(kHkcu, KeyAt("Room"), kAllRights), kSuccess);
  const auto longestNameAndCount = [&] {
    std::uint32_t longest = 99, count = 99;
    EXPECT_EQ(registry().QueryLongestValueName(key.get(), longest), kSuccess);
    EXPECT_EQ(registry().CountValues(key.get(), count), kSuccess);
    return std::pair(longest, count);
  };
  EXPECT_EQ(longestNameAndCount(), std::pair(0u, 0u));

  const std::string longName(16383, 'v');
  ASSERT_EQ(registry().SetValue(key.get(), "abcd", reg_type::kBinary, "1234"), kSuccess);
  ASSERT_EQ(registry().SetValue(key.get(), longName, reg_type::kBinary, "x"), kSuccess);
  EXPECT_EQ(registry().SetValue(key.get(), longName + "v", reg_type::kBinary, "x"),
            kInvalidParameter);
  EXPECT_EQ(longestNameAndCount(), std::pair(16383u, 2u));
  std::string name;
  const auto enumerate = [&](std::uint32_t index, std::uint32_t capacity) {
    return registry().EnumValue(key.get(), index, name, capacity, nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(enumerate(0, 4), kMoreData);
  EXPECT_EQ(enumerate(0, 5), kSuccess);
  EXPECT_EQ(name, "abcd");
  EXPECT_EQ(enumerate(1, 16383), kMoreData);
  EXPECT_EQ(enumerate(1, 16384), kSuccess);
  EXPECT_EQ(name, longName);
  char data[2];
  std::uint32_t size = sizeof data;
  EXPECT_EQ(registry().EnumValue(key.get(), 0, name, 5, nullptr, data, &size), kMoreData);
  EXPECT_EQ(size, 4u);
}

// Subkeys enumerate sorted, with names of up to 255 characters. Names with
// characters between "Z" and "a" are left out: Windows sorts them as upper
// case, Wine as lower case.
TEST_P(RegistryContract, EachHandleAllowsOnlyItsRightsAndSubkeysEnumerateSorted) {
  const std::string longName(255, 'k');
  for (const std::string& sub : {"b"s, "C"s, longName, "a"s, "Z"s}) {
    ASSERT_EQ(ScopedRegKey(registry()).Create(kHkcu, KeyAt("Rights\\" + sub), kSetValue), kSuccess);
  }
  ScopedRegKey query(registry()), set(registry()), enumerate(registry());
  ASSERT_EQ(query.Open(kHkcu, KeyAt("Rights"), kQueryValue), kSuccess);
  ASSERT_EQ(set.Open(kHkcu, KeyAt("Rights"), kSetValue), kSuccess);
  ASSERT_EQ(enumerate.Open(kHkcu, KeyAt("Rights"), kEnumerateSubKeys), kSuccess);
  std::string name;
  EXPECT_EQ(registry().SetValue(query.get(), "v", reg_type::kBinary, "1"), kAccessDenied);
  EXPECT_EQ(registry().DeleteValue(query.get(), "v"), kAccessDenied);
  EXPECT_EQ(registry().EnumKey(query.get(), 0, name), kAccessDenied);

  ASSERT_EQ(registry().SetValue(set.get(), "v", reg_type::kBinary, "1"), kSuccess);
  EXPECT_EQ(registry().QueryValue(set.get(), "v", nullptr, nullptr, nullptr), kAccessDenied);
  EXPECT_EQ(registry().EnumValue(set.get(), 0, name, 16, nullptr, nullptr, nullptr),
            kAccessDenied);
  ASSERT_EQ(registry().SetValue(set.get(), "kept", reg_type::kBinary, "2"), kSuccess);
  EXPECT_EQ(registry().DeleteValue(set.get(), "V"), kSuccess);
  EXPECT_EQ(registry().DeleteValue(set.get(), "v"), kFileNotFound);
  EXPECT_EQ(ReadValue(registry(), query.get(), "kept").bytes, "2");

  std::vector<std::string> names;
  ErrorCode result = kSuccess;
  while ((result = registry().EnumKey(enumerate.get(), static_cast<std::uint32_t>(names.size()),
                                      name)) == kSuccess) {
    names.push_back(name);
  }
  EXPECT_EQ(result, kNoMoreItems);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "C", longName, "Z"}));
}

// RegDeleteKey needs no rights on the handle it is given: it opens the key
// to delete with rights of its own. An empty name deletes the key opened,
// and every handle to it then fails.
TEST_P(RegistryContract, DeleteKeyRemovesOnlyKeysWithoutSubkeys) {
  ScopedRegKey tree(registry()), doomed(registry()), other(registry());
  ASSERT_EQ(ScopedRegKey(registry()).Create(kHkcu, KeyAt("Tree\\Branch\\Leaf"), kSetValue), kSuccess);
  ASSERT_EQ(tree.Open(kHkcu, KeyAt("Tree"), kQueryValue), kSuccess);
  const auto deleteKey = [&](RegKey key, std::string_view path) {
    return registry().DeleteKey(key, path, reg_view::kDefault);
  };
  EXPECT_EQ(deleteKey(tree.get(), "Branch"), kAccessDenied);
  EXPECT_EQ(deleteKey(tree.get(), "branch\\leaf"), kSuccess);
  EXPECT_EQ(deleteKey(tree.get(), "Branch\\Leaf"), kFileNotFound);
  EXPECT_EQ(deleteKey(tree.get(), "Missing\\Leaf"), kFileNotFound);
  EXPECT_EQ(deleteKey(kHkcu, ""), kAccessDenied);

  ASSERT_EQ(doomed.Open(kHkcu, KeyAt("Tree\\Branch"), kAllRights), kSuccess);
  ASSERT_EQ(other.Open(kHkcu, KeyAt("Tree\\Branch"), kAllRights), kSuccess);
  EXPECT_EQ(deleteKey(doomed.get(), ""), kSuccess);
  std::string name;
  EXPECT_EQ(registry().QueryValue(other.get(), "v", nullptr, nullptr, nullptr), kKeyDeleted);
  EXPECT_EQ(registry().SetValue(other.get(), "v", reg_type::kBinary, "1"), kKeyDeleted);
  EXPECT_EQ(registry().EnumKey(other.get(), 0, name), kKeyDeleted);
  EXPECT_EQ(OpenResult(registry(), other.get(), ""), kKeyDeleted);
  EXPECT_EQ(deleteKey(doomed.get(), ""), kKeyDeleted);
  EXPECT_EQ(OpenResult(registry(), tree.get(), "Branch"), kFileNotFound);
  EXPECT_EQ(doomed.Close(), kSuccess);
}

// Where a key made in the 32-bit view can be opened from each view: directly
// in the 32-bit view, under Wow6432Node in the 64-bit one, or, for a shared
// key, at its own path in both.
TEST_P(RegistryContract, The32BitViewKeepsSoftwareAndClassesApartButSharesTypeLibraries) {
  ASSERT_TRUE(registry().HasTwoViews());
  const auto open = [&](RegKey root, const std::string& path, RegView view) {
    return OpenResult(registry(), root, path, kQueryValue | view);
  };
  constexpr RegKey kHklm = reg_root::kLocalMachine, kHkcr = reg_root::kClassesRoot;
  // The test key's own name keeps these keys apart from other runs'.
  const std::string name = world().Key().substr(world().Key().rfind('\\') + 1);
  // Each key as a 32-bit program names it and where the 64-bit view finds it.
  // Wine shares a 32-bit program's own ProgIDs between the views, where
  // Windows keeps them apart: either place is then right.
  const struct { RegKey root; std::string path, physical; bool eitherPlace = false; } placements[] = {
      {kHklm, "SOFTWARE\\" + name, "SOFTWARE\\Wow6432Node\\" + name},
      {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\" + name,
       "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run\\" + name},
      {kHkcr, "CLSID\\" + name, "Wow6432Node\\CLSID\\" + name},
      {kHkcr, name + ".ProgId", "Wow6432Node\\" + name + ".ProgId", sizeof(void*) == 4},
      {kHkcr, "TypeLib\\" + name, "TypeLib\\" + name},
      {kHkcr, "AppID\\" + name, "AppID\\" + name},
  };
  for (const auto& [root, path, physical, eitherPlace] : placements) {
    SCOPED_TRACE(path);
    ASSERT_EQ(ScopedRegKey(registry()).Create(root, path, kSetValue | reg_view::k32Bit), kSuccess);
    EXPECT_EQ(open(root, path, reg_view::k32Bit), kSuccess);
    const ErrorCode apart = open(root, physical, reg_view::k64Bit);
    const ErrorCode together = open(root, path, reg_view::k64Bit);
    if (eitherPlace) {
      EXPECT_NE(apart == kSuccess, together == kSuccess);
    } else {
      EXPECT_EQ(apart, kSuccess);
      EXPECT_EQ(together, path == physical ? kSuccess : kFileNotFound);
    }

    // A key opened in one view names its key there: a path below it is not
    // redirected again.
    ScopedRegKey parent(registry());
    const std::size_t separator = path.rfind('\\');
    if (separator != std::string::npos) {
      ASSERT_EQ(parent.Open(root, path.substr(0, separator), kQueryValue | reg_view::k32Bit),
                kSuccess);
      EXPECT_EQ(open(parent.get(), path.substr(separator + 1), reg_view::k32Bit), kSuccess);
    }

    EXPECT_EQ(registry().DeleteKey(root, path, reg_view::k32Bit), kSuccess);
    EXPECT_EQ(open(root, path, reg_view::k32Bit), kFileNotFound);
    EXPECT_EQ(open(root, physical, reg_view::k64Bit), kFileNotFound);
  }
  // The current user's settings are one tree for both.
  ASSERT_EQ(ScopedRegKey(registry()).Create(kHkcu, KeyAt("Shared"), kSetValue | reg_view::k32Bit),
            kSuccess);
  EXPECT_EQ(open(kHkcu, KeyAt("Shared"), reg_view::k64Bit), kSuccess);
}

}  // namespace
}  // namespace foxbane::contract
