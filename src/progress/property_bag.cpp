#include "progress/property_bag.h"

namespace foxbane {

double PropertyBag::ReadProperty(std::string_view name, double defaultValue) const {
  const auto found = values_.find(name);
  return found == values_.end() ? defaultValue : found->second;
}

// The bag always mirrors the last save: a value back at its default is
// dropped, not left behind from an earlier save.
void PropertyBag::WriteProperty(std::string_view name, double value, double defaultValue) {
  if (value == defaultValue) {
    if (const auto found = values_.find(name); found != values_.end()) values_.erase(found);
    return;
  }
  values_.insert_or_assign(std::string(name), value);
}

}  // namespace foxbane
