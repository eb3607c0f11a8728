#include <span>

#include "app/form2.h"
#include "cleanup/removal_guards.h"
#include "cleanup/remnant_keys.h"
#include "common/resume_next.h"

namespace foxbane {

namespace {

constexpr std::string_view kMfKeyEntry = "[CLEANUP] Removed MF Registry Key: ";
constexpr std::string_view kDpfItemKeyEntry = "[CLEANUP] Removed DPF Item Registry Key: ";

}  // namespace

// Each remnant is looked for in every view that may hold it and removed from
// each that does; it is reported once, whichever views held it.
void Form2::RemoveRegistryRemnants() {
  ResumeNext resume;
  RemovalGuards guards(platform_.files, platform_.environment);

  // Presence tests: a value is there when it reads as anything but the
  // sentinel; a key is there when it can be opened to list its values.
  const auto valuePresent = [&](std::string_view name, std::string_view typeCode, RegView view) {
    Variant value;
    registry_.ReadRegValue("HKLM", kCurrentVersionKey, name, typeCode, Variant(kNoValue), value,
                           view);
    return value != Variant(kNoValue);
  };
  const auto keyPresent = [&](std::string_view hive, std::string_view keyPath, RegView view) {
    std::string listing;
    registry_.ListRegValues(hive, keyPath, listing, view);
    return !listing.empty();
  };
  // A removal table; true when every key it deletes was kept first (a key
  // that could not be kept stays, and so do its parents).
  const auto removeKeys = [&](std::string_view hive, std::span<const KeyRemoval> removals,
                              RegView view) {
    bool allKept = true;
    for (const KeyRemoval& removal : removals) {
      allKept = DeleteRegKeyKept(hive, removal.keyPath, removal.subKey, view) && allKept;
    }
    return allKept;
  };
  // A key with its removal table, in every view that holds the key.
  const auto removeKeyTree = [&](std::string_view hive, std::string_view keyPath,
                                 std::span<const KeyRemoval> removals) {
    return InEveryView(registry_, hive, [&](RegView view) {
      return keyPresent(hive, keyPath, view) && removeKeys(hive, removals, view);
    });
  };

  for (const auto& value : {std::pair{"disp", "S"}, std::pair{"np", "D"}}) {
    resume([&] {
      // Named copies, not a structured binding: clang before 16 cannot
      // capture one in the lambda below.
      const std::string_view name = value.first;
      const std::string_view typeCode = value.second;
      const bool found = InEveryView(registry_, "HKLM", [&](RegView view) {
        return valuePresent(name, typeCode, view) &&
               DeleteRegValueKept("HKLM", kCurrentVersionKey, name, view);
      });
      if (!found) return;
      LogCleanupLine(std::string(kMfKeyEntry) + LogKeyName("HKLM", kCurrentVersionKey, name));
    });
  }

  resume([&] {
    const bool found = InEveryView(registry_, "HKLM", [&](RegView view) {
      if (!keyPresent("HKLM", kCodeStoreKey, view)) return false;
      cRegistry filesKey(platform_.registry, platform_.environment);
      filesKey.ClassKey(static_cast<std::int32_t>(reg_root::kLocalMachine));
      filesKey.SectionKey(std::string(kCodeStoreFilesKey));
      filesKey.View(view);
      std::vector<std::string> names;
      std::int32_t count = 0;
      resume([&] { filesKey.EnumerateValues(names, count); });
      for (std::int32_t k = 1; k <= count; ++k) {
        resume([&] {
          const std::string& file = names.at(static_cast<std::size_t>(k - 1));
          if (!guards.IsDownloadedControlFile(file)) return;
          if (RemoveItemKept(file, false, nullptr) != Removal::kGone) return;
          LogCleanupLine("[CLEANUP] Removed DPF Item: " + file);
        });
      }
      return removeKeys("HKLM", kCodeStoreRemovals, view);
    });
    if (!found) return;
    LogCleanupLine("[CLEANUP] Removed DPF Registry Key: " + LogKeyName("HKLM", kCodeStoreKey));

    resume([&] {
      if (!removeKeyTree("HKCR", kClassKey, kClassRemovals)) return;
      LogCleanupLine(std::string(kDpfItemKeyEntry) + LogKeyName("HKCR", kClassKey));
    });
    resume([&] {
      if (!removeKeyTree("HKCR", kTypeLibKey, kTypeLibRemovals)) return;
      LogCleanupLine(std::string(kDpfItemKeyEntry) + LogKeyName("HKCR", kTypeLibKey));
    });
  });

  for (std::string_view progId : kProgIds) {
    resume([&] {
      const KeyRemoval removals[] = {{progId, "CLSID"}, {progId, "CurVer"}, {progId, ""}};
      if (!removeKeyTree("HKCR", progId, removals)) return;
      LogCleanupLine(std::string(kMfKeyEntry) + LogKeyName("HKCR", progId));
    });
  }
}

void Form2::BlockControlInstallation() {
  ResumeNext resume;
  constexpr std::int16_t kKillBit = 0x400;
  // 32-bit Internet Explorer reads its kill bits in the 32-bit view.
  for (const RegView view : registry_.ViewsOf("HKLM")) {
    for (std::string_view key : kCompatibilityKeys) {
      resume([&] {
        WriteRegValueKept("HKLM", key, "Compatibility Flags", "D", Variant(kKillBit), view);
      });
    }
  }
  LogCleanupLine(
      "[PROTECTION] Internet Explorer will now block any further installation attempts of known "
      "MarbleFox versions.\r\n"
      "For the most up-to-date protection against many other spyware programs, browser "
      "hijackers and dialers, download Hedgewall (https://www.hedgewall.example/).");
}

}  // namespace foxbane
