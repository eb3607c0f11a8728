#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ports/environment.h"
#include "ports/registry.h"
#include "registry/variant.h"

namespace foxbane {

// The error that EnumerateSections raises: number, source and description.
class RegistryClassError : public std::runtime_error {
 public:
  RegistryClassError(std::int32_t number, std::string source, const std::string& description)
      : std::runtime_error(description), number_(number), source_(std::move(source)) {}
  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }

 private:
  std::int32_t number_;
  std::string source_;
};

// An object-style view of one registry key: set ClassKey and SectionKey, then
// list the key's value or subkey names. Lists are 1-based in meaning; here
// element k - 1 of the vector is name k.
class cRegistry {
 public:
  static constexpr std::int32_t kEnumerateSectionsError = static_cast<std::int32_t>(0x800469AA);

  cRegistry(Registry& registry, Environment& environment)
      : registry_(registry), environment_(environment) {}

  bool KeyExists();
  bool EnumerateValues(std::vector<std::string>& sKeyNames, std::int32_t& iKeyCount);
  bool EnumerateSections(std::vector<std::string>& sSect, std::int32_t& iSectCount);

  std::int32_t ValueType() const { return valueType_; }
  void ValueType(std::int32_t eValueType) { valueType_ = eValueType; }
  std::int32_t ClassKey() const { return classKey_; }
  void ClassKey(std::int32_t eKey) { classKey_ = eKey; }
  const std::string& SectionKey() const { return sectionKey_; }
  void SectionKey(std::string sSectionKey) { sectionKey_ = std::move(sSectionKey); }
  const std::string& ValueKey() const { return valueKey_; }
  void ValueKey(std::string sValueKey) { valueKey_ = std::move(sValueKey); }
  // The registry view the key is looked for in (the caller's own unless set).
  RegView View() const { return view_; }
  void View(RegView eView) { view_ = eView; }
  const Variant& Default() const { return default_; }
  void Default(Variant vDefault) { default_ = std::move(vDefault); }

 private:
  friend class cRegistryTestAccess;
  static std::uint32_t ByteSwapLong(std::uint32_t value);
  std::string ExpandEnvironment(const std::string& text);
  RegKey Root() const { return static_cast<RegKey>(static_cast<std::uint32_t>(classKey_)); }

  Registry& registry_;
  Environment& environment_;
  std::int32_t valueType_ = 0;
  std::int32_t classKey_ = 0;
  std::string sectionKey_;
  std::string valueKey_;
  RegView view_ = reg_view::kDefault;
  Variant default_;
};

}  // namespace foxbane
