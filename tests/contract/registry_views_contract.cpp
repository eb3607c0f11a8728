#include <string>

#include "contract/world.h"
#include "registry/scoped_reg_key.h"

namespace foxbane::contract {
namespace {

using namespace win_error;
using reg_access::kQueryValue;
using reg_access::kSetValue;

// Where a key made in the 32-bit view can be opened from each view: directly
// in the 32-bit view, under Wow6432Node in the 64-bit one, or, for a shared
// key, at its own path in both.
struct Placement {
  RegKey root;
  std::string path;      // as a 32-bit program names it
  std::string physical;  // where the 64-bit view finds it
  // Wine shares a 32-bit program's own ProgIDs between the views, where
  // Windows keeps them apart: either place is then right.
  bool eitherPlace = false;
};

ErrorCode OpenIn(Registry& registry, RegKey root, const std::string& path, RegView view) {
  ScopedRegKey key(registry);
  return key.Open(root, path, kQueryValue | view);
}

TEST_P(RegistryContract, The32BitViewKeepsSoftwareAndClassesApartButSharesTypeLibraries) {
  ASSERT_TRUE(registry().HasTwoViews());
  // The sandbox's own name keeps these keys apart from other runs'.
  const std::string name = world().Key().substr(world().Key().rfind('\\') + 1);
  const Placement placements[] = {
      {reg_root::kLocalMachine, "SOFTWARE\\" + name, "SOFTWARE\\Wow6432Node\\" + name},
      {reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\" + name,
       "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run\\" + name},
      {reg_root::kClassesRoot, "CLSID\\" + name, "Wow6432Node\\CLSID\\" + name},
      {reg_root::kClassesRoot, name + ".ProgId", "Wow6432Node\\" + name + ".ProgId",
       sizeof(void*) == 4},
      {reg_root::kClassesRoot, "TypeLib\\" + name, "TypeLib\\" + name},
      {reg_root::kClassesRoot, "AppID\\" + name, "AppID\\" + name},
  };
  for (const Placement& placement : placements) {
    SCOPED_TRACE(placement.path);
    const bool shared = placement.path == placement.physical;
    {
      ScopedRegKey made(registry());
      ASSERT_EQ(made.Create(placement.root, placement.path, kSetValue | reg_view::k32Bit),
                kSuccess);
    }
    EXPECT_EQ(OpenIn(registry(), placement.root, placement.path, reg_view::k32Bit), kSuccess);
    const ErrorCode apart = OpenIn(registry(), placement.root, placement.physical, reg_view::k64Bit);
    const ErrorCode together = OpenIn(registry(), placement.root, placement.path, reg_view::k64Bit);
    if (placement.eitherPlace) {
      EXPECT_NE(apart == kSuccess, together == kSuccess);
    } else {
      EXPECT_EQ(apart, kSuccess);
      EXPECT_EQ(together, shared ? kSuccess : kFileNotFound);
    }

    // A key opened in one view names its key there: a path below it is not
    // redirected again.
    ScopedRegKey parent(registry());
    const std::string parentPath = placement.path.substr(0, placement.path.rfind('\\'));
    if (parentPath != placement.path) {
      ASSERT_EQ(parent.Open(placement.root, parentPath, kQueryValue | reg_view::k32Bit), kSuccess);
      const std::string leaf = placement.path.substr(parentPath.size() + 1);
      EXPECT_EQ(OpenIn(registry(), parent.get(), leaf, reg_view::k32Bit), kSuccess);
    }

    EXPECT_EQ(registry().DeleteKey(placement.root, placement.path, reg_view::k32Bit), kSuccess);
    EXPECT_EQ(OpenIn(registry(), placement.root, placement.path, reg_view::k32Bit), kFileNotFound);
    EXPECT_EQ(OpenIn(registry(), placement.root, placement.physical, reg_view::k64Bit),
              kFileNotFound);
  }
  // The current user's settings are one tree for both.
  {
    ScopedRegKey made(registry());
    ASSERT_EQ(made.Create(reg_root::kCurrentUser, KeyAt("Shared"), kSetValue | reg_view::k32Bit),
              kSuccess);
  }
  EXPECT_EQ(OpenIn(registry(), reg_root::kCurrentUser, KeyAt("Shared"), reg_view::k64Bit), kSuccess);
}

}  // namespace
}  // namespace foxbane::contract
