#include <span>

#include "app/form2.h"
#include "cleanup/remnant_keys.h"
#include "common/resume_next.h"
#include "report/startup_entries.h"

namespace foxbane {

namespace {

constexpr std::string_view kMfKeyEntry = "[CLEANUP] Removed MF Registry Key: ";
constexpr std::string_view kDpfItemKeyEntry = "[CLEANUP] Removed DPF Item Registry Key: ";

// Only a fully qualified path ("C:\..." or "\\server\...") is deleted: a
// relative name would resolve against whatever folder is current.
bool IsFullPath(std::string_view path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with("\\\\");
}

}  // namespace

void Form2::RemoveRegistryRemnants() {
  ResumeNext resume;

  // Presence tests: a value is there when it reads as anything but the
  // sentinel; a key is there when it can be opened to list its values.
  const auto valuePresent = [&](std::string_view name, std::string_view typeCode) {
    Variant value;
    registry_.ReadRegValue("HKLM", kCurrentVersionKey, name, typeCode, Variant(kNoValue), value);
    return value != Variant(kNoValue);
  };
  const auto keyPresent = [&](std::string_view hive, std::string_view keyPath) {
    std::string listing;
    registry_.ListRegValues(hive, keyPath, listing);
    return !listing.empty();
  };
  const auto removeKeys = [&](std::string_view hive, std::span<const KeyRemoval> removals) {
    for (const KeyRemoval& removal : removals) {
      registry_.DeleteRegKey(hive, removal.keyPath, removal.subKey);
    }
  };

  for (const auto& value : {std::pair{"disp", "S"}, std::pair{"np", "D"}}) {
    resume([&] {
      // Bound in here: clang before 16 cannot capture a structured binding.
      const auto& [name, typeCode] = value;
      if (!valuePresent(name, typeCode)) return;
      registry_.DeleteRegValue("HKLM", kCurrentVersionKey, name);
      LogCleanupLine(std::string(kMfKeyEntry) + "HKEY_LOCAL_MACHINE\\" +
                     std::string(kCurrentVersionKey) + "\\" + name);
    });
  }

  resume([&] {
    if (!keyPresent("HKLM", kCodeStoreKey)) return;

    cRegistry filesKey(platform_.registry, platform_.environment);
    filesKey.ClassKey(static_cast<std::int32_t>(reg_root::kLocalMachine));
    filesKey.SectionKey(std::string(kDistributionUnitsKey) + std::string(kControlClassId) +
                        "\\Contains\\Files");
    std::vector<std::string> names;
    std::int32_t count = 0;
    resume([&] { filesKey.EnumerateValues(names, count); });
    for (std::int32_t k = 1; k <= count; ++k) {
      resume([&] {
        const std::string& file = names.at(static_cast<std::size_t>(k - 1));
        if (!IsFullPath(file)) return;
        if (platform_.files.RemoveFile(file) != win_error::kSuccess) return;
        LogCleanupLine("[CLEANUP] Removed DPF Item: " + file);
      });
    }
    removeKeys("HKLM", kCodeStoreRemovals);
    LogCleanupLine("[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\" +
                   std::string(kCodeStoreKey));

    resume([&] {
      if (!keyPresent("HKCR", kClassKey)) return;
      removeKeys("HKCR", kClassRemovals);
      LogCleanupLine(std::string(kDpfItemKeyEntry) + "HKEY_CLASSES_ROOT\\" +
                     std::string(kClassKey));
    });
    resume([&] {
      if (!keyPresent("HKCR", kTypeLibKey)) return;
      removeKeys("HKCR", kTypeLibRemovals);
      LogCleanupLine(std::string(kDpfItemKeyEntry) + "HKEY_CLASSES_ROOT\\" +
                     std::string(kTypeLibKey));
    });
  });

  for (std::string_view progId : kProgIds) {
    resume([&] {
      if (!keyPresent("HKCR", progId)) return;
      const KeyRemoval removals[] = {{progId, "CLSID"}, {progId, "CurVer"}, {progId, ""}};
      removeKeys("HKCR", removals);
      LogCleanupLine(std::string(kMfKeyEntry) + "HKEY_CLASSES_ROOT\\" + std::string(progId));
    });
  }
}

void Form2::BlockControlInstallation() {
  ResumeNext resume;
  constexpr std::int16_t kKillBit = 0x400;
  for (std::string_view key : kCompatibilityKeys) {
    resume([&] {
      registry_.WriteRegValue("HKLM", key, "Compatibility Flags", "D", Variant(kKillBit));
    });
  }
  LogCleanupLine(
      "[PROTECTION] Internet Explorer will now block any further installation attempts of known "
      "MarbleFox versions.\r\n"
      "For the most up-to-date protection against many other spyware programs, browser "
      "hijackers and dialers, download Hedgewall (https://www.hedgewall.example/).");
}

}  // namespace foxbane
