#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/faults.h"

namespace foxbane::sim {

// One registry value: its name as first spelt, its type and its raw bytes.
struct StoredValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;
};

// The values of one key in creation order, found by name without regard to
// case. The index by name keeps keys with many thousands of values quick.
class RegistryValues {
 public:
  StoredValue* Find(std::string_view name);
  const StoredValue* Find(std::string_view name) const;
  // The value of that name, added at the end when there is none.
  StoredValue& Put(std::string_view name);
  bool Remove(std::string_view name);

  std::size_t size() const { return values_.size(); }
  const StoredValue& operator[](std::size_t index) const { return values_[index]; }
  auto begin() const { return values_.begin(); }
  auto end() const { return values_.end(); }

 private:
  struct LessNoCaseOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return LessNoCase(a, b); }
  };

  std::vector<StoredValue> values_;
  std::map<std::string, std::size_t, LessNoCaseOrder> positions_;
};

}  // namespace foxbane::sim
