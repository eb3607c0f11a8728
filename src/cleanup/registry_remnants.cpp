#include <algorithm>
#include <span>

#include "app/form2.h"
#include "cleanup/removal_guards.h"
#include "cleanup/remnant_keys.h"
#include "registry/registry_checks.h"
#include "common/resume_next.h"

namespace foxbane {

namespace {

constexpr std::string_view kMfKeyEntry = "[CLEANUP] Removed MF Registry Key: ";
constexpr std::string_view kDpfItemKeyEntry = "[CLEANUP] Removed DPF Item Registry Key: ";

}  // namespace

// Each remnant is looked for in every view that may hold it and removed from
// each that does; it is reported once, and only when no copy of it is left.
// A remnant that stays does not keep the others from being tried.
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
  // A removal table; true when every key it deletes is gone (a key that
  // stays keeps its parents too).
  const auto removeKeys = [&](std::string_view hive, std::span<const KeyRemoval> removals,
                              RegView view) {
    Outcome worst = Outcome::kGone;
    for (const KeyRemoval& removal : removals) {
      worst = std::max(worst, DeleteRegKeyKept(hive, removal.keyPath, removal.subKey, view));
    }
    return Settled(worst);
  };
  // A key with its removal table, in every view that holds the key.
  const auto removeKeyTree = [&](std::string_view hive, std::string_view keyPath,
                                 std::span<const KeyRemoval> removals) {
    return RemoveFromEveryView(
        registry_, hive, [&](RegView view) { return keyPresent(hive, keyPath, view); },
        [&](RegView view) { return removeKeys(hive, removals, view); });
  };

  for (const auto& value : {std::pair{"disp", "S"}, std::pair{"np", "D"}}) {
    resume([&] {
      // Named copies, not a structured binding: clang before 16 cannot
      // capture one in the lambda below.
      const std::string_view name = value.first;
      const std::string_view typeCode = value.second;
      const Removal removal = RemoveFromEveryView(
          registry_, "HKLM", [&](RegView view) { return valuePresent(name, typeCode, view); },
          [&](RegView view) {
            return Settled(DeleteRegValueKept("HKLM", kCurrentVersionKey, name, view));
          });
      if (removal != Removal::kRemoved) return;
      LogCleanupLine(std::string(kMfKeyEntry) + LogKeyName("HKLM", kCurrentVersionKey, name));
    });
  }

  // The class and the type library are looked for whenever the Code Store
  // entry was there, whether or not it could be removed.
  Removal codeStore = Removal::kNotFound;
  resume([&] {
    codeStore = RemoveFromEveryView(
        registry_, "HKLM", [&](RegView view) { return keyPresent("HKLM", kCodeStoreKey, view); },
        [&](RegView view) {
          RemoveDownloadedFiles(guards, view);
          return removeKeys("HKLM", kCodeStoreRemovals, view);
        });
    if (codeStore != Removal::kRemoved) return;
    LogCleanupLine("[CLEANUP] Removed DPF Registry Key: " + LogKeyName("HKLM", kCodeStoreKey));
  });
  if (codeStore != Removal::kNotFound) {
    resume([&] {
      if (removeKeyTree("HKCR", kClassKey, kClassRemovals) != Removal::kRemoved) return;
      LogCleanupLine(std::string(kDpfItemKeyEntry) + LogKeyName("HKCR", kClassKey));
    });
    resume([&] {
      if (removeKeyTree("HKCR", kTypeLibKey, kTypeLibRemovals) != Removal::kRemoved) return;
      LogCleanupLine(std::string(kDpfItemKeyEntry) + LogKeyName("HKCR", kTypeLibKey));
    });
  }

  for (std::string_view progId : kProgIds) {
    resume([&] {
      const KeyRemoval removals[] = {{progId, "CLSID"}, {progId, "CurVer"}, {progId, ""}};
      if (removeKeyTree("HKCR", progId, removals) != Removal::kRemoved) return;
      LogCleanupLine(std::string(kMfKeyEntry) + LogKeyName("HKCR", progId));
    });
  }
}

// The files the Code Store entry of `view` lists, each on its own.
void Form2::RemoveDownloadedFiles(RemovalGuards& guards, RegView view) {
  ResumeNext resume;
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
      if (RemoveItemKept(file, false, nullptr) != ItemRemoval::kGone) return;
      LogCleanupLine("[CLEANUP] Removed DPF Item: " + file);
    });
  }
}

// The kill bits are written in every view (32-bit Internet Explorer reads
// its own); the protection is claimed only once each reads back as set.
void Form2::BlockControlInstallation() {
  ResumeNext resume;
  constexpr std::int16_t kKillBit = 0x400;
  bool blocked = true;
  for (const RegView view : registry_.ViewsOf("HKLM")) {
    for (std::string_view key : kCompatibilityKeys) {
      resume([&] {
        WriteRegValueProtective("HKLM", key, "Compatibility Flags", "D", Variant(kKillBit), view);
      });
      blocked = blocked && HoldsDword(platform_.registry, reg_root::kLocalMachine, key,
                                      "Compatibility Flags", kKillBit, view);
    }
  }
  constexpr std::string_view kRecommendation =
      "For the most up-to-date protection against many other spyware programs, browser "
      "hijackers and dialers, download Hedgewall (https://www.hedgewall.example/).";
  if (!blocked) {
    LogCleanupLine(kRecommendation);
    return;
  }
  LogCleanupLine(
      "[PROTECTION] Internet Explorer will now block any further installation attempts of known "
      "MarbleFox versions.\r\n" +
      std::string(kRecommendation));
}

}  // namespace foxbane
