#include "app/form2.h"
#include "app/texts.h"
#include "cleanup/remnant_keys.h"

namespace foxbane {

// One session per scan that found something: the results step and the
// cleanup after it are undone together.
void Form2::BeginQuarantineSession() {
  quarantine_ = std::make_unique<Quarantine>(platform_.files, platform_.registry,
                                             platform_.environment, platform_.clock);
  unkeptReported_ = false;
}

Quarantine& Form2::Kept() {
  if (!quarantine_) BeginQuarantineSession();
  return *quarantine_;
}

// Each runs `change` only once what it changes is kept, and tells whether
// nothing was lost to a failed keeping (a thing not there is no loss).
template <typename Change>
bool Form2::AfterKeeping(Keeping keeping, Change change) {
  if (keeping == Keeping::kKept) change();
  return keeping != Keeping::kNotKept;
}

bool Form2::DeleteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                               std::string_view valueName, RegView view) {
  return AfterKeeping(Kept().SaveValue(registry_.HiveFromName(hiveName), keyPath, valueName, view),
                      [&] { registry_.DeleteRegValue(hiveName, keyPath, valueName, view); });
}

bool Form2::DeleteRegKeyKept(std::string_view hiveName, std::string_view keyPath,
                             std::string_view subKeyName, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  return AfterKeeping(Kept().SaveKey(root, KeyBelow(keyPath, subKeyName), view),
                      [&] { registry_.DeleteRegKey(hiveName, keyPath, subKeyName, view); });
}

bool Form2::WriteRegValueKept(std::string_view hiveName, std::string_view keyPath,
                              std::string_view valueName, std::string_view typeCode,
                              const Variant& value, RegView view) {
  const RegKey root = registry_.HiveFromName(hiveName);
  return AfterKeeping(Kept().SaveBeforeWrite(root, keyPath, valueName, view), [&] {
    registry_.WriteRegValue(hiveName, keyPath, valueName, typeCode, value, view);
  });
}

// Once per session, after the pass: what could not be kept was left alone.
void Form2::ReportUnkeptRemovals() {
  if (!quarantine_ || !quarantine_->Failed() || unkeptReported_) return;
  unkeptReported_ = true;
  platform_.messages.ShowModal(texts::kNotKept);
}

}  // namespace foxbane
