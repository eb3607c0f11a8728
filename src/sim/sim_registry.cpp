#include "sim/sim_registry.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "common/utf.h"
#include "registry/registry_data.h"
#include "sim/registry_views.h"
#include "sim/windows_1252.h"

namespace foxbane::sim {

namespace {

using namespace win_error;

constexpr std::uint32_t kAllRights = 0xF003F;  // KEY_ALL_ACCESS
constexpr std::size_t kLongestKeyName = 255;
constexpr std::size_t kLongestValueName = 16383;

// The names of a key path. As Windows parses them, a run of separators
// counts as one and a final separator is ignored, but a path may not start
// with one.
ErrorCode SplitKeyPath(std::string_view path, std::vector<std::string_view>& names) {
  names.clear();
  if (!path.empty() && path.front() == '\\') return kBadPathname;
  while (!path.empty()) {
    const std::size_t end = std::min(path.find('\\'), path.size());
    if (end > 0) names.push_back(path.substr(0, end));
    path.remove_prefix(std::min(end + 1, path.size()));
  }
  return kSuccess;
}

std::size_t Utf16Length(std::string_view utf8) { return Utf16FromUtf8(utf8).size(); }

constexpr std::pair<RegKey, std::string_view> kThirtyTwoBitViewRoots[] = {
    {reg_root::kLocalMachine, "SOFTWARE\\Wow6432Node"}, {reg_root::kClassesRoot, "Wow6432Node"}};

}  // namespace

SimRegistry::SimRegistry(Faults& faults) : faults_(faults) {
  const std::pair<RegKey, const char*> roots[] = {
      {reg_root::kClassesRoot, "HKEY_CLASSES_ROOT"},
      {reg_root::kCurrentUser, "HKEY_CURRENT_USER"},
      {reg_root::kLocalMachine, "HKEY_LOCAL_MACHINE"},
      {reg_root::kUsers, "HKEY_USERS"},
      {reg_root::kCurrentConfig, "HKEY_CURRENT_CONFIG"},
      {reg_root::kDynData, "HKEY_DYN_DATA"},
  };
  for (const auto& [value, name] : roots) {
    auto key = std::make_shared<Key>();
    key->name = name;
    key->path = name;
    roots_.emplace(value, Opened{std::move(key), kAllRights});
  }
  // Where 64-bit Windows keeps the 32-bit view, there from the start.
  for (const auto& [root, path] : kThirtyTwoBitViewRoots) CreateKeyPath(root, path);
}

// 32-bit Windows has no second view, and so no keys to hold one.
void SimRegistry::UseOneView() {
  twoViews_ = false;
  for (const auto& [root, path] : kThirtyTwoBitViewRoots) {
    Key& key = KeyForSetup(root, path);
    if (!key.subkeys.empty() || key.parent == nullptr) continue;
    std::erase_if(key.parent->subkeys, [&](const auto& child) { return child.get() == &key; });
  }
}

const SimRegistry::Opened* SimRegistry::Find(RegKey key) const {
  const auto root = roots_.find(key);
  if (root != roots_.end()) return &root->second;
  const auto handle = handles_.find(key);
  return handle == handles_.end() ? nullptr : &handle->second;
}

std::string SimRegistry::SubjectOf(const Opened* opened, std::string_view subKey) {
  std::string subject = opened ? opened->key->path : std::string();
  if (!subject.empty() && !subKey.empty()) subject += '\\';
  subject += subKey;
  return subject;
}

// Windows checks the handle's rights before it looks at the key itself.
ErrorCode SimRegistry::Usable(const Opened* opened, std::uint32_t rights) {
  if (!opened) return kInvalidHandle;
  if ((opened->access & rights) != rights) return kAccessDenied;
  if (opened->key->deleted) return kKeyDeleted;
  return kSuccess;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Child(const Key& key, std::string_view name) {
  for (const auto& child : key.subkeys) {
    if (EqualsNoCase(child->name, name)) return child;
  }
  return nullptr;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::AddChild(Key& key, std::string_view name) {
  auto child = std::make_shared<Key>();
  child->name = std::string(name);
  child->path = key.path + "\\" + child->name;
  child->parent = &key;
  const auto at = std::lower_bound(
      key.subkeys.begin(), key.subkeys.end(), name,
      [](const std::shared_ptr<Key>& existing, std::string_view wanted) {
        return LessNoCase(existing->name, wanted);
      });
  key.subkeys.insert(at, child);
  return child;
}

// Only a path that starts at a predefined root is redirected: a handle
// already names a key in one view or the other.
SimRegistry::Target SimRegistry::Aim(RegKey parent, const Opened* from, std::string_view subKey,
                                     RegView view) const {
  Target target;
  target.parsed = SplitKeyPath(subKey, target.names);
  const std::size_t given = target.names.size();
  if (target.parsed == kSuccess && twoViews_ && (view & reg_view::k32Bit) &&
      roots_.contains(parent)) {
    RedirectTo32BitView(parent, target.names);
  }
  if (target.names.size() == given) {
    target.subject = SubjectOf(from, subKey);
    return target;
  }
  target.subject = SubjectOf(from);
  for (std::string_view name : target.names) target.subject.append("\\").append(name);
  return target;
}

ErrorCode SimRegistry::Walk(const Opened& from, std::string_view subKey, bool create,
                            std::shared_ptr<Key>& found) {
  std::vector<std::string_view> names;
  if (const ErrorCode e = SplitKeyPath(subKey, names)) return e;
  return WalkNames(from, names, create, found);
}

ErrorCode SimRegistry::WalkNames(const Opened& from, const std::vector<std::string_view>& names,
                                 bool create, std::shared_ptr<Key>& found) {
  std::shared_ptr<Key> key = from.key;
  for (std::string_view name : names) {
    std::shared_ptr<Key> next = Child(*key, name);
    if (!next) {
      if (!create) return kFileNotFound;
      next = AddChild(*key, name);
    }
    key = std::move(next);
  }
  found = std::move(key);
  return kSuccess;
}

// Opening a predefined root itself gives back the root, as Windows does;
// anything else gets a handle of its own, with the rights asked for.
ErrorCode SimRegistry::OpenOrCreate(std::string_view operation, RegKey parent,
                                    std::string_view subKey, std::uint32_t access, bool create,
                                    RegKey& key) {
  key = 0;
  const Opened* from = Find(parent);
  const Target target = Aim(parent, from, subKey, access);
  if (const ErrorCode e = faults_.Next(operation, target.subject)) return e;
  if (const ErrorCode e = Usable(from, 0)) return e;
  if (target.parsed != kSuccess) return target.parsed;
  std::shared_ptr<Key> found;
  if (const ErrorCode e = WalkNames(*from, target.names, create, found)) return e;
  if (roots_.contains(parent) && found == from->key) {
    key = parent;
    return kSuccess;
  }
  key = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(key, Opened{std::move(found), access});
  return kSuccess;
}

ErrorCode SimRegistry::OpenKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                               RegKey& key) {
  return OpenOrCreate("Registry.OpenKey", parent, subKey, access, false, key);
}

ErrorCode SimRegistry::CreateKey(RegKey parent, std::string_view subKey, std::uint32_t access,
                                 RegKey& key) {
  return OpenOrCreate("Registry.CreateKey", parent, subKey, access, true, key);
}

ErrorCode SimRegistry::CloseKey(RegKey key) {
  if (const ErrorCode e = faults_.Next("Registry.CloseKey", SubjectOf(Find(key)))) return e;
  if (roots_.contains(key)) return kSuccess;
  return handles_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

// RegQueryValueEx's answer: the type, the size, and the bytes when the
// buffer holds them; 234 with the needed size when it does not.
ErrorCode SimRegistry::CopyData(std::uint32_t storedType, std::string_view stored,
                                std::uint32_t* type, char* data, std::uint32_t* size) {
  if (data && !size) return kInvalidParameter;
  if (type) *type = storedType;
  if (!size) return kSuccess;
  const auto needed = static_cast<std::uint32_t>(stored.size());
  const bool fits = *size >= needed;
  *size = needed;
  if (!data) return kSuccess;
  if (!fits) return kMoreData;
  std::memcpy(data, stored.data(), needed);
  return kSuccess;
}

// The value both queries read, through a key opened to query values.
ErrorCode SimRegistry::QueriedValue(RegKey key, std::string_view name, const StoredValue*& value) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.QueryValue", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kQueryValue)) return e;
  value = opened->key->values.Find(name);
  return value ? kSuccess : kFileNotFound;
}

ErrorCode SimRegistry::QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                  char* data, std::uint32_t* size) {
  const StoredValue* value = nullptr;
  if (const ErrorCode e = QueriedValue(key, name, value)) return e;
  return CopyData(value->type, value->data, type, data, size);
}

// String data as code page 1252 bytes, one a UTF-16 unit (an odd last byte
// dropped, as the system drops it).
ErrorCode SimRegistry::QueryValueAnsi(RegKey key, std::string_view name, std::uint32_t* type,
                                      char* data, std::uint32_t* size) {
  const StoredValue* value = nullptr;
  if (const ErrorCode e = QueriedValue(key, name, value)) return e;
  if (!IsStringType(value->type)) return CopyData(value->type, value->data, type, data, size);
  return CopyData(value->type, Windows1252FromUtf16(Utf16FromLeBytes(value->data)), type, data,
                  size);
}

// A value set again under another case keeps its first name and its place.
ErrorCode SimRegistry::SetValue(RegKey key, std::string_view name, std::uint32_t type,
                                std::string_view data) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.SetValue", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kSetValue)) return e;
  if (Utf16Length(name) > kLongestValueName) return kInvalidParameter;
  StoredValue& value = opened->key->values.Put(name);
  value.type = type;
  value.data = std::string(data);
  return kSuccess;
}

ErrorCode SimRegistry::DeleteValue(RegKey key, std::string_view name) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.DeleteValue", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kSetValue)) return e;
  return opened->key->values.Remove(name) ? kSuccess : kFileNotFound;
}

ErrorCode SimRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name,
                                 std::uint32_t nameCapacity, std::uint32_t* type, char* data,
                                 std::uint32_t* size) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.EnumValue", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kQueryValue)) return e;
  const auto& values = opened->key->values;
  if (index >= values.size()) return kNoMoreItems;
  const StoredValue& value = values[index];
  if (Utf16Length(value.name) >= nameCapacity) return kMoreData;
  const ErrorCode copied = CopyData(value.type, value.data, type, data, size);
  if (copied == kSuccess) name = value.name;
  return copied;
}

ErrorCode SimRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.EnumKey", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kEnumerateSubKeys)) return e;
  const auto& subkeys = opened->key->subkeys;
  if (index >= subkeys.size()) return kNoMoreItems;
  if (Utf16Length(subkeys[index]->name) > kLongestKeyName) return kMoreData;
  name = subkeys[index]->name;
  return kSuccess;
}

ErrorCode SimRegistry::QueryLongestValueName(RegKey key, std::uint32_t& length) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.QueryLongestValueName", SubjectOf(opened))) {
    return e;
  }
  if (const ErrorCode e = Usable(opened, reg_access::kQueryValue)) return e;
  std::size_t longest = 0;
  for (const StoredValue& value : opened->key->values) {
    longest = std::max(longest, Utf16Length(value.name));
  }
  length = static_cast<std::uint32_t>(longest);
  return kSuccess;
}

ErrorCode SimRegistry::CountValues(RegKey key, std::uint32_t& count) {
  const Opened* opened = Find(key);
  if (const ErrorCode e = faults_.Next("Registry.CountValues", SubjectOf(opened))) return e;
  if (const ErrorCode e = Usable(opened, reg_access::kQueryValue)) return e;
  count = static_cast<std::uint32_t>(opened->key->values.size());
  return kSuccess;
}

// RegDeleteKey opens the key to delete through `key` with delete rights of
// its own, so the rights of `key` do not matter. A root, or a key that
// still has subkeys, cannot be deleted.
ErrorCode SimRegistry::DeleteKey(RegKey key, std::string_view subKey, RegView view) {
  const Opened* opened = Find(key);
  const Target aimed = Aim(key, opened, subKey, view);
  if (const ErrorCode e = faults_.Next("Registry.DeleteKey", aimed.subject)) return e;
  if (const ErrorCode e = Usable(opened, 0)) return e;
  if (aimed.parsed != kSuccess) return aimed.parsed;
  std::shared_ptr<Key> target;
  if (const ErrorCode e = WalkNames(*opened, aimed.names, false, target)) return e;
  if (!target->parent || !target->subkeys.empty()) return kAccessDenied;
  auto& siblings = target->parent->subkeys;
  siblings.erase(std::find(siblings.begin(), siblings.end(), target));
  target->parent = nullptr;
  target->deleted = true;
  return kSuccess;
}

SimRegistry::Key& SimRegistry::KeyForSetup(RegKey root, std::string_view keyPath) {
  std::shared_ptr<Key> key;
  if (!roots_.contains(root) || Walk(roots_.at(root), keyPath, true, key) != kSuccess) {
    throw std::invalid_argument("not a usable sim registry path: " + std::string(keyPath));
  }
  return *key;
}

const SimRegistry::Key* SimRegistry::ExistingForSetup(RegKey root,
                                                      std::string_view keyPath) const {
  const auto found = roots_.find(root);
  std::shared_ptr<Key> key;
  const ErrorCode e = found == roots_.end() ? kInvalidHandle : Walk(found->second, keyPath, false, key);
  if (e != kSuccess && e != kFileNotFound) {
    throw std::invalid_argument("not a usable sim registry path: " + std::string(keyPath));
  }
  return key.get();
}

void SimRegistry::SetValue(RegKey root, std::string_view keyPath, std::string_view name,
                           std::uint32_t type, std::string bytes) {
  StoredValue& value = KeyForSetup(root, keyPath).values.Put(name);
  value.type = type;
  value.data = std::move(bytes);
}

void SimRegistry::SetString(RegKey root, std::string_view keyPath, std::string_view name,
                            std::string_view utf8) {
  SetValue(root, keyPath, name, reg_type::kString,
           Utf16LeBytesFromUtf8(utf8) + std::string(2, '\0'));
}

void SimRegistry::SetDword(RegKey root, std::string_view keyPath, std::string_view name,
                           std::uint32_t value) {
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  SetValue(root, keyPath, name, reg_type::kDword, std::move(bytes));
}

void SimRegistry::CreateKeyPath(RegKey root, std::string_view keyPath) {
  KeyForSetup(root, keyPath);
}

bool SimRegistry::KeyExists(RegKey root, std::string_view keyPath) const {
  return ExistingForSetup(root, keyPath) != nullptr;
}

std::optional<std::pair<std::uint32_t, std::string>> SimRegistry::Value(
    RegKey root, std::string_view keyPath, std::string_view name) const {
  const Key* key = ExistingForSetup(root, keyPath);
  const StoredValue* value = key ? key->values.Find(name) : nullptr;
  if (!value) return std::nullopt;
  return std::pair{value->type, value->data};
}

std::vector<std::string> SimRegistry::ValueNames(RegKey root, std::string_view keyPath) const {
  std::vector<std::string> names;
  if (const Key* key = ExistingForSetup(root, keyPath)) {
    for (const StoredValue& value : key->values) names.push_back(value.name);
  }
  return names;
}

std::vector<std::string> SimRegistry::SubkeyNames(RegKey root, std::string_view keyPath) const {
  std::vector<std::string> names;
  if (const Key* key = ExistingForSetup(root, keyPath)) {
    for (const auto& child : key->subkeys) names.push_back(child->name);
  }
  return names;
}

}  // namespace foxbane::sim
