#pragma once

#include <map>
#include <string>
#include <string_view>

namespace foxbane {

// A host's store of a control's saved properties: named numbers. A value
// equal to its default is not stored; a missing name reads as its default.
class PropertyBag {
 public:
  double ReadProperty(std::string_view name, double defaultValue) const;
  void WriteProperty(std::string_view name, double value, double defaultValue);
  const std::map<std::string, double, std::less<>>& Values() const { return values_; }

 private:
  std::map<std::string, double, std::less<>> values_;
};

}  // namespace foxbane
