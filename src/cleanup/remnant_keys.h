#pragma once

#include <string_view>

// Where the adware's remnants live. Everything is fixed; nothing is derived
// from the scan but the uninstall entry's name.
namespace foxbane {

inline constexpr std::string_view kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr std::string_view kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr std::string_view kDistributionUnitsKey =
    "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";
inline constexpr std::string_view kControlClassId = "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline constexpr std::string_view kControlTypeLibId = "{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}";
inline constexpr std::string_view kCodeStoreKey =
    "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\"
    "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline constexpr std::string_view kClassKey = "CLSID\\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}";
inline constexpr std::string_view kTypeLibKey = "TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}";
inline constexpr std::string_view kProgIds[] = {"Activeinstaller.Ainst", "Activeinstaller.Ainst.1"};

// One RegDeleteKey: the subkey `subKey` of `keyPath`.
struct KeyRemoval {
  std::string_view keyPath;
  std::string_view subKey;
};

// Leaves before their parents.
inline constexpr KeyRemoval kCodeStoreRemovals[] = {
    {"SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\"
     "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}\\Contains",
     "Files"},
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
    {"CLSID\\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}\\MiscStatus", "1"},
    {kClassKey, "MiscStatus"},
    {kClassKey, "Server"},
    {kClassKey, "LocalServer32"},
    {kClassKey, "Insertable"},
    {kClassKey, "VersionList"},
    {kClassKey, "SideBySide"},
    {"CLSID\\", kControlClassId},
};

inline constexpr KeyRemoval kTypeLibRemovals[] = {
    {"TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}\\1.0\\0", "win32"},
    {"TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}\\1.0", "0"},
    {"TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}\\1.0", "FLAGS"},
    {"TypeLib\\{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}\\1.0", "HELPDIR"},
    {kTypeLibKey, "1.0"},
    {"TypeLib\\", kControlTypeLibId},
};

// Internet Explorer's compatibility entries for the adware's two controls.
inline constexpr std::string_view kCompatibilityKeys[] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{f0aa2376-f073-4e57-86e8-0238f99087c7}",
    "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\"
    "{29cac0b6-d6c2-4395-8289-bf3fbf27ad5f}",
};

}  // namespace foxbane
