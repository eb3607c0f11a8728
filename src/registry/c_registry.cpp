#include "registry/c_registry.h"

#include <exception>

#include "registry/scoped_reg_key.h"

namespace foxbane {

bool cRegistry::KeyExists() {
  ScopedRegKey key(registry_);
  return key.Open(Root(), sectionKey_, reg_access::kQueryValue | view_) == win_error::kSuccess;
}

// A key that cannot be opened or asked for its longest name lists nothing;
// an enumeration that breaks off keeps the names found so far.
bool cRegistry::EnumerateValues(std::vector<std::string>& sKeyNames, std::int32_t& iKeyCount) {
  iKeyCount = 0;
  sKeyNames.clear();
  ScopedRegKey key(registry_);
  std::uint32_t longest = 0;
  if (key.Open(Root(), sectionKey_, reg_access::kQueryValue | view_) != win_error::kSuccess ||
      registry_.QueryLongestValueName(key.get(), longest) != win_error::kSuccess) {
    return true;
  }
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    if (registry_.EnumValue(key.get(), index, name, longest + 1, nullptr, nullptr, nullptr) !=
        win_error::kSuccess) {
      break;
    }
    sKeyNames.push_back(std::move(name));
    ++iKeyCount;
  }
  return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& sSect, std::int32_t& iSectCount) {
  iSectCount = 0;
  sSect.clear();
  try {
    ScopedRegKey key(registry_);
    if (key.Open(Root(), sectionKey_, reg_access::kEnumerateSubKeys | view_) != win_error::kSuccess) {
      return true;
    }
    for (std::uint32_t index = 0;; ++index) {
      std::string name;
      if (registry_.EnumKey(key.get(), index, name) != win_error::kSuccess) break;
      sSect.push_back(std::move(name));
      ++iSectCount;
    }
  } catch (const std::exception& error) {
    // The key has been closed by the time the error reaches the caller.
    throw RegistryClassError(kEnumerateSectionsError, environment_.ProgramName() + ".cRegistry",
                             error.what());
  }
  return true;
}

std::uint32_t cRegistry::ByteSwapLong(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
         (value << 24);
}

std::string cRegistry::ExpandEnvironment(const std::string& text) {
  return environment_.ExpandReferences(text);
}

}  // namespace foxbane
