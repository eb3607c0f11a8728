#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

// Where the adware's remnants live. Everything is fixed; nothing is derived
// from the scan but the uninstall entry's name.
namespace foxbane {

// The texts `Parts` joined, made when compiling, so that each id and path
// is spelled once.
template <const std::string_view&... Parts>
struct Joined {
  static constexpr auto kText = [] {
    std::array<char, (Parts.size() + ... + 0)> text{};
    auto out = text.begin();
    ((out = std::copy(Parts.begin(), Parts.end(), out)), ...);
    return text;
  }();
  static constexpr std::string_view kView{kText.data(), kText.size()};
};

inline constexpr std::string_view kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr std::string_view kSeparator = "\\";
inline constexpr std::string_view kUninstallName = "Uninstall";
inline constexpr std::string_view kUninstallKey =
    Joined<kCurrentVersionKey, kSeparator, kUninstallName>::kView;

inline constexpr std::string_view kControlClassId = "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline constexpr std::string_view kControlTypeLibId = "{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}";
inline constexpr std::string_view kDistributionUnitsKey =
    "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";
inline constexpr std::string_view kCodeStoreKey = Joined<kDistributionUnitsKey, kControlClassId>::kView;
inline constexpr std::string_view kContainsName = "\\Contains";
inline constexpr std::string_view kCodeStoreContainsKey = Joined<kCodeStoreKey, kContainsName>::kView;
inline constexpr std::string_view kFilesName = "\\Files";
inline constexpr std::string_view kCodeStoreFilesKey = Joined<kCodeStoreContainsKey, kFilesName>::kView;

inline constexpr std::string_view kClassesPrefix = "CLSID\\";
inline constexpr std::string_view kClassKey = Joined<kClassesPrefix, kControlClassId>::kView;
inline constexpr std::string_view kMiscStatusName = "\\MiscStatus";
inline constexpr std::string_view kMiscStatusKey = Joined<kClassKey, kMiscStatusName>::kView;
inline constexpr std::string_view kTypeLibPrefix = "TypeLib\\";
inline constexpr std::string_view kTypeLibKey = Joined<kTypeLibPrefix, kControlTypeLibId>::kView;
inline constexpr std::string_view kVersionName = "\\1.0";
inline constexpr std::string_view kTypeLibVersionKey = Joined<kTypeLibKey, kVersionName>::kView;
inline constexpr std::string_view kLanguageName = "\\0";
inline constexpr std::string_view kTypeLibLanguageKey = Joined<kTypeLibVersionKey, kLanguageName>::kView;
inline constexpr std::string_view kProgIds[] = {"Activeinstaller.Ainst", "Activeinstaller.Ainst.1"};

// `subKey` below `keyPath`, one "\\" between them; `keyPath` itself when
// `subKey` is empty (as RegDeleteKey takes an empty name).
std::string KeyBelow(std::string_view keyPath, std::string_view subKey);

// A key's full name as the log writes it: "HKEY_LOCAL_MACHINE\\SOFTWARE\\..."
// for the hive "HKLM" and that path, with `leaf` (a value or subkey) after it.
std::string LogKeyName(std::string_view hiveName, std::string_view keyPath,
                       std::string_view leaf = {});

// The uninstall entry named after a detected file: the file name without its
// last four characters (its extension and dot), counted in characters, not
// bytes. Empty when nothing would be left: an empty entry name would name
// the parent key of every uninstall entry.
std::string UninstallEntryName(std::string_view fileName);

// One RegDeleteKey: the subkey `subKey` of `keyPath`.
struct KeyRemoval {
  std::string_view keyPath;
  std::string_view subKey;
};

// Leaves before their parents.
inline constexpr KeyRemoval kCodeStoreRemovals[] = {
    {kCodeStoreContainsKey, "Files"},
    {kCodeStoreKey, "Contains"},
    {kCodeStoreKey, "DownloadInformation"},
    {kCodeStoreKey, "InstalledVersion"},
    {kDistributionUnitsKey, kControlClassId},
};

inline constexpr KeyRemoval kClassRemovals[] = {
    {kClassKey, "Implemented Categories"},
    {kClassKey, "InprocServer32"},
    {kClassKey, "ProgID"},
    {kClassKey, "Programmable"},
    {kClassKey, "TypeLib"},
    {kClassKey, "Version"},
    {kClassKey, "VersionIndependentProgID"},
    {kClassKey, "ToolboxBitmap32"},
    {kClassKey, "Control"},
    {kMiscStatusKey, "1"},
    {kClassKey, "MiscStatus"},
    {kClassKey, "Server"},
    {kClassKey, "LocalServer32"},
    {kClassKey, "Insertable"},
    {kClassKey, "VersionList"},
    {kClassKey, "SideBySide"},
    {kClassesPrefix, kControlClassId},
};

inline constexpr KeyRemoval kTypeLibRemovals[] = {
    {kTypeLibLanguageKey, "win32"},
    {kTypeLibVersionKey, "0"},
    {kTypeLibVersionKey, "FLAGS"},
    {kTypeLibVersionKey, "HELPDIR"},
    {kTypeLibKey, "1.0"},
    {kTypeLibPrefix, kControlTypeLibId},
};

// Internet Explorer's compatibility entries for the adware's two controls.
inline constexpr std::string_view kCompatibilityKeys[] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{f0aa2376-f073-4e57-86e8-0238f99087c7}",
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{29cac0b6-d6c2-4395-8289-bf3fbf27ad5f}",
};

}  // namespace foxbane
