#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/registry.h"
#include "sim/faults.h"
#include "sim/registry_values.h"

namespace foxbane::sim {

// The Windows registry in memory, answering as Windows does: the six
// predefined roots, names that compare without regard to case but keep the
// case they were made with, values listed in creation order, subkeys in
// sorted order, rights enforced per handle, and the error codes of the Reg*
// functions. HKEY_CLASSES_ROOT is a tree of its own here, not a merged view.
// It is 64-bit Windows seen by a 64-bit program unless told otherwise: a
// path from a root asked for in the 32-bit view is redirected as Windows
// redirects it (sim/registry_views.h); the 64-bit view is the tree as stored.
// Every operation can be made to fail through Faults ("Registry.OpenKey"...),
// with the key's full path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") as subject.
class SimRegistry : public Registry {
 public:
  explicit SimRegistry(Faults& faults);

  bool HasTwoViews() override { return twoViews_; }
  // 32-bit Windows: one view, and the view flags change nothing.
  void UseOneView();

  ErrorCode OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                    RegKey& key) override;
  ErrorCode CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                      RegKey& key) override;
  ErrorCode CloseKey(RegKey key) override;
  ErrorCode QueryValue(RegKey key, std::string_view name, std::uint32_t* type, char* data,
                       std::uint32_t* size) override;
  ErrorCode QueryValueAnsi(RegKey key, std::string_view name, std::uint32_t* type, char* data,
                           std::uint32_t* size) override;
  ErrorCode SetValue(RegKey key, std::string_view name, std::uint32_t type,
                     std::string_view data) override;
  ErrorCode DeleteValue(RegKey key, std::string_view name) override;
  ErrorCode EnumValue(RegKey key, std::uint32_t index, std::string& name,
                      std::uint32_t nameCapacity, std::uint32_t* type, char* data,
                      std::uint32_t* size) override;
  ErrorCode EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  ErrorCode QueryLongestValueName(RegKey key, std::uint32_t& length) override;
  ErrorCode CountValues(RegKey key, std::uint32_t& count) override;
  ErrorCode DeleteKey(RegKey key, std::string_view subKey, RegView view) override;

  // Handles opened or created and not yet closed (predefined roots aside).
  std::size_t OpenHandleCount() const { return handles_.size(); }

  // Setting up and inspecting the registry in tests. These bypass faults and
  // rights; a root that is not predefined or a path that is not usable is a
  // mistake in the test and throws std::invalid_argument.
  void SetValue(RegKey root, std::string_view keyPath, std::string_view name,
                std::uint32_t type, std::string bytes);
  // REG_SZ with its terminating NUL, as regedit stores a string.
  void SetString(RegKey root, std::string_view keyPath, std::string_view name,
                 std::string_view utf8);
  void SetDword(RegKey root, std::string_view keyPath, std::string_view name,
                std::uint32_t value);
  void CreateKeyPath(RegKey root, std::string_view keyPath);
  bool KeyExists(RegKey root, std::string_view keyPath) const;
  // The type and raw bytes of a value, if the key and the value exist.
  std::optional<std::pair<std::uint32_t, std::string>> Value(RegKey root,
                                                             std::string_view keyPath,
                                                             std::string_view name) const;
  std::vector<std::string> ValueNames(RegKey root, std::string_view keyPath) const;
  std::vector<std::string> SubkeyNames(RegKey root, std::string_view keyPath) const;

 private:
  struct Key {
    std::string name;
    std::string path;       // from the root's long name; the subject of faults
    Key* parent = nullptr;  // null for a root and for a deleted key
    bool deleted = false;
    RegistryValues values;
    std::vector<std::shared_ptr<Key>> subkeys;  // in the order Windows sorts them
  };
  // What a handle gives access to. A deleted key stays alive while handles
  // to it remain, so that they fail with 1018 as on Windows.
  struct Opened {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
  };

  // A path below a handle, split into names and placed in the view asked for.
  struct Target {
    ErrorCode parsed = 0;  // 161 for a path that starts with a backslash
    std::vector<std::string_view> names;
    std::string subject;   // the key's full path, where it lands in the view
  };

  const Opened* Find(RegKey key) const;
  static std::string SubjectOf(const Opened* opened, std::string_view subKey = {});
  static ErrorCode Usable(const Opened* opened, std::uint32_t rights);
  Target Aim(RegKey parent, const Opened* from, std::string_view subKey, RegView view) const;
  static ErrorCode Walk(const Opened& from, std::string_view subKey, bool create,
                        std::shared_ptr<Key>& found);
  static ErrorCode WalkNames(const Opened& from, const std::vector<std::string_view>& names,
                             bool create, std::shared_ptr<Key>& found);
  ErrorCode OpenOrCreate(std::string_view operation, RegKey parent, std::string_view subKey,
                         std::uint32_t access, bool create, RegKey& key);
  static std::shared_ptr<Key> Child(const Key& key, std::string_view name);
  static std::shared_ptr<Key> AddChild(Key& key, std::string_view name);
  ErrorCode QueriedValue(RegKey key, std::string_view name, const StoredValue*& value);
  static ErrorCode CopyData(std::uint32_t storedType, std::string_view stored,
                            std::uint32_t* type, char* data, std::uint32_t* size);

  Key& KeyForSetup(RegKey root, std::string_view keyPath);
  const Key* ExistingForSetup(RegKey root, std::string_view keyPath) const;

  Faults& faults_;
  std::map<RegKey, Opened> roots_;
  std::map<RegKey, Opened> handles_;
  RegKey nextHandle_ = 0x1000;
  bool twoViews_ = true;
};

}  // namespace foxbane::sim
