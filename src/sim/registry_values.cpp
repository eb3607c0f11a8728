#include "sim/registry_values.h"

namespace foxbane::sim {

StoredValue* RegistryValues::Find(std::string_view name) {
  const auto found = positions_.find(name);
  return found == positions_.end() ? nullptr : &values_[found->second];
}

const StoredValue* RegistryValues::Find(std::string_view name) const {
  const auto found = positions_.find(name);
  return found == positions_.end() ? nullptr : &values_[found->second];
}

StoredValue& RegistryValues::Put(std::string_view name) {
  if (StoredValue* existing = Find(name)) return *existing;
  positions_.emplace(std::string(name), values_.size());
  return values_.emplace_back(StoredValue{std::string(name), 0, {}});
}

// The values after the removed one move up a place, as Windows lists them.
bool RegistryValues::Remove(std::string_view name) {
  const auto found = positions_.find(name);
  if (found == positions_.end()) return false;
  const std::size_t removed = found->second;
  positions_.erase(found);
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(removed));
  for (auto& [key, position] : positions_) {
    if (position > removed) --position;
  }
  return true;
}

}  // namespace foxbane::sim
