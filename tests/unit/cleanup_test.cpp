#include <gtest/gtest.h>

#include "app/control_table.h"
#include "app/texts.h"
#include "cleanup/restore.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

const std::string kProtectionText =
    kProtection + "\r\nFor the most up-to-date protection against many other spyware programs, "
                  "browser hijackers and dialers, download Hedgewall (https://www.hedgewall.example/).\r\n";
const std::string kFoo = "C:\\Program Files\\Foo\\foo.exe";
const std::string kBar = "C:\\Program Files\\Bar\\bar.exe";
const std::string kDpf = "C:\\Windows\\Downloaded Program Files";
const std::string kFilesKey = kCodeStore + "\\Contains\\Files";

class Cleanup : public ::testing::Test {
 protected:
  // Scans with `paths` running as detected processes and keeps the log and
  // ActivityLog as they stood before the cleanup.
  void ScanWith(const std::vector<std::string>& paths) {
    std::uint32_t pid = 1234;
    for (const std::string& path : paths) machine.Run(pid++, path, kInfectedBytes);
    machine.ClickScan();
    ASSERT_TRUE(machine.form.Visible(C::results));
    logBefore = machine.ScanLog();
    screenBefore = machine.form.LogTextText();
  }
  // What the cleanup added to the scan log and to the ActivityLog.
  std::string LogAdded() { return machine.ScanLog().substr(logBefore.size()); }
  std::string ScreenAdded() const { return machine.form.LogTextText().substr(screenBefore.size()); }
  std::vector<std::string> Entries() { return CleanupEntries(LogAdded()); }
  // A row's entries: its file's, and its folder's when that was tried.
  static void AddRow(std::vector<std::string>& entries, const std::string& file, bool folderTried = true) {
    entries.push_back("[CLEANUP] Deleted File: " + file);
    if (folderTried) entries.push_back("[CLEANUP] Deleted Folder: " + file.substr(0, file.rfind('\\')));
  }
  bool Key(RegKey root, std::string_view path) { return machine.sim.registry.KeyExists(root, path); }
  void Create(RegKey root, const std::string& path) { machine.sim.registry.CreateKeyPath(root, path); }

  SimMachine machine;
  sim::SimRegistry& registry = machine.sim.registry;
  std::string logBefore;
  std::string screenBefore;
};

// The same entries reach the screen whether or not the log can be written,
// and a log that cannot be written from the scan on keeps neither the
// ActivityLog's summary nor the Run values' removal from being done.
class CleanupLog : public Cleanup, public ::testing::WithParamInterface<bool> {};

TEST_P(CleanupLog, TheWorkedExampleByteForByte) {
  if (!GetParam()) {
    machine.sim.faults.Fail("FileSystem.OpenForAppend", win_error::kAccessDenied,
                            sim::Faults::kEveryCall, machine.ScanLogPath());
  }
  registry.SetString(kHkcu, kRunKey, "foo", kFoo);
  ScanWith({kFoo});
  EXPECT_TRUE(screenBefore.starts_with("--------------------\r\n"));
  EXPECT_FALSE(registry.Value(kHkcu, kRunKey, "foo"));
  machine.ClickCleanup();
  const std::string expected = "[CLEANUP] Deleted File: C:\\Program Files\\Foo\\foo.exe\r\n"
                               "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo\r\n" + kProtectionText;
  EXPECT_EQ(LogAdded(), GetParam() ? expected : "");
  EXPECT_EQ(ScreenAdded(), "\r\n" + expected);
  EXPECT_FALSE(machine.sim.files.FolderExists("C:\\Program Files\\Foo"));  // and so its file
  for (ControlId panel : kPanels) EXPECT_EQ(machine.form.Visible(panel), panel == C::activityframe);
}

INSTANTIATE_TEST_SUITE_P(, CleanupLog, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "Writable" : "Unwritable"; });

// What is gone already, or is not plainly the adware's, is left and goes
// unreported: a folder that still holds a file, the class and the type
// library without their code store entry (the program ids go on their own),
// values that cannot be read as their type.
TEST_F(Cleanup, WhatIsGoneOrNotPlainlyTheAdwaresIsLeftUnreported) {
  ScanWith({kFoo, kBar});
  auto& files = machine.sim.files;
  files.RemoveFile(kFoo);
  files.WriteFile("C:\\Program Files\\Foo\\readme.txt", "keep me");
  files.RemoveFile(kBar);
  files.RemoveFolder("C:\\Program Files\\Bar");
  Create(kHkcr, kClass + "\\InprocServer32");
  Create(kHkcr, kTypeLib + "\\1.0\\0\\win32");
  Create(kHkcr, "Activeinstaller.Ainst");
  registry.SetString(kHklm, kCurrentVersion, "np", "a long string");
  registry.SetValue(kHklm, kCurrentVersion, "disp", reg_type::kString, "");
  machine.ClickCleanup();
  EXPECT_EQ(LogAdded(),
            "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst\r\n" + kProtectionText);
  EXPECT_EQ(files.Contents("C:\\Program Files\\Foo\\readme.txt"), "keep me");
  EXPECT_TRUE(Key(kHkcr, kClass) && Key(kHkcr, kTypeLib));
  EXPECT_TRUE(registry.Value(kHklm, kCurrentVersion, "np") && registry.Value(kHklm, kCurrentVersion, "disp"));
}

// Each row's entries together, then the registry stages'. An uninstall
// entry goes only when its command names the detected file.
TEST_F(Cleanup, RowEntriesComeFirstGroupedByRowThenTheRegistryStages) {
  const std::string baz = "C:\\Program Files\\Baz\\baz.exe", qux = "C:\\Program Files\\Qux\\qux.exe";
  ScanWith({kFoo, kBar, baz, qux});
  registry.SetString(kHklm, kUninstall + "\\foo", "UninstallString", "\"" + kFoo + "\" /uninstall");
  registry.SetString(kHklm, kUninstall + "\\bar", "UninstallString", kBar);
  registry.SetString(kHklm, kUninstall + "\\baz", "UninstallString", "C:\\Program Files\\Other\\baz.exe");
  Create(kHklm, kUninstall + "\\qux");
  registry.SetString(kHklm, kCurrentVersion, "disp", "x");
  machine.ClickCleanup();
  std::vector<std::string> expected;
  for (const auto& [path, name, goes] : {std::tuple(kFoo, "foo", true), {kBar, "bar", true}, {baz, "baz", false},
                                         {qux, "qux", false}}) {
    AddRow(expected, path);
    const std::string entry = kUninstall + "\\" + name;
    if (goes) expected.push_back("[CLEANUP] Deleted Uninstall Key: HKEY_LOCAL_MACHINE\\" + entry);
    EXPECT_EQ(Key(kHklm, entry), !goes) << name;
  }
  expected.push_back("[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\disp");
  expected.push_back(kProtection);
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// A delete is reported only once it took: a read-only file stays, and so
// unreported. A detected file's folder is tried only when it lists no file,
// its path has "Program Files" in that case, and it is a real folder below
// one of the system's program folders: never a program folder itself, a
// look-alike elsewhere, or one reached through a link.
TEST_F(Cleanup, RowRemnantsGoOnlyWhereItIsSafe) {
  const struct { std::string path; bool folderTried, folderGoes; } rows[] = {
      {"C:\\Program Files\\RO\\ro.exe", false, false},  // read-only, so it and its folder stay
      {"C:\\Program Files\\Hidden\\h.exe", false, false},  // a hidden file, not listed, keeps it
      {"C:\\program files\\foo\\foo.exe", false, false},
      {"C:\\Program Files\\X\\.exe", true, true},  // too short a name for an uninstall entry
      {"C:\\Program Files (x86)\\Foo\\foo.exe", true, true},
      {"C:\\Program Files\\top.exe", false, false},
      {"C:\\Program Files Evil\\e.exe", false, false},
      {"D:\\Program Files\\Foo\\d.exe", false, false},
      {"C:\\Users\\me\\Program Files\\u.exe", false, false},
      {"C:\\Program Files\\Linked\\Inner\\l.exe", false, false},
  };
  std::vector<std::string> paths;
  for (const auto& row : rows) paths.push_back(row.path);
  ScanWith(paths);
  machine.sim.files.SetAttributes(rows[0].path, file_attribute::kReadOnly);
  machine.sim.files.WriteFile("C:\\Program Files\\Hidden\\desktop.ini", "", file_attribute::kHidden);
  machine.sim.files.MakeReparsePoint("C:\\Program Files\\Linked");
  registry.SetString(kHklm, kUninstall, "UninstallString", rows[3].path);
  machine.ClickCleanup();
  std::vector<std::string> expected;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    if (&row != &rows[0]) AddRow(expected, row.path, row.folderTried);
    EXPECT_EQ(machine.sim.files.FolderExists(row.path.substr(0, row.path.rfind('\\'))), !row.folderGoes);
    EXPECT_EQ(machine.sim.files.Contents(row.path).has_value(), &row == &rows[0]);
  }
  expected.push_back(kProtection);
  EXPECT_EQ(Entries(), expected);
  EXPECT_TRUE(Key(kHklm, kUninstall));
}

// Only the folders below the program folder are looked at for links: the
// program folder itself may be one (moved to another disk) and what is
// below it still goes.
TEST_F(Cleanup, AProgramFolderThatIsALinkStillLetsItsProgramsGo) {
  ScanWith({kFoo});
  machine.sim.files.MakeReparsePoint("C:\\Program Files");
  machine.ClickCleanup();
  EXPECT_FALSE(machine.sim.files.FolderExists("C:\\Program Files\\Foo"));
}

// Between the results and the cleanup, what the scan read is swapped: its
// folder for a link to the system's folder (where a file of the same name
// lies), or the file itself for another of the same name. Each file is
// acted on only as the one the scan read, where it read it: nothing else
// is kept, deleted or reported, and the system's file stays as it was.
TEST_F(Cleanup, AFileOrFolderSwappedAfterTheScanIsLeftAlone) {
  const std::string folder = "C:\\Users\\me\\AppData\\Bad";
  const std::string system = "C:\\Windows\\System32";
  const std::string moved = folder + "\\moved.exe", replaced = kFoo;
  ScanWith({moved, replaced});
  machine.sim.files.WriteFile(system + "\\moved.exe", "the system's own");
  machine.sim.files.MakeLink(folder, system);
  machine.sim.files.RemoveFile(replaced);
  machine.sim.files.WriteFile(replaced, "another program");
  const auto before = machine.Snapshot();
  machine.ClickCleanup();
  EXPECT_EQ(Entries(), std::vector<std::string>{kProtection});
  const auto after = machine.Snapshot();
  for (const auto& [item, data] : before) {
    if (item.starts_with("file:") || item.starts_with("folder:")) {
      EXPECT_EQ(after.at(item), data) << item;
    }
  }
}

// A file another program holds open without sharing its deletion cannot go
// now: it is kept, goes when Windows restarts, is not reported as deleted,
// and the user is told once, after the pass; the folder it keeps from
// being empty stays. The quarantine's copy puts it back.
TEST_F(Cleanup, AFileInUseIsKeptAndGoesAtTheNextRestart) {
  ScanWith({kFoo});
  machine.sim.files.WriteFile(kDpf + "\\ainst.ocx", "control");
  registry.SetString(kHklm, kFilesKey, kDpf + "\\ainst.ocx", "");
  machine.sim.files.MarkInUse(kFoo, true);
  machine.sim.files.MarkInUse(kDpf + "\\ainst.ocx", true);
  machine.ClickCleanup();
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\" + kCodeStore,
                           kProtection}));
  EXPECT_EQ(machine.sim.files.RemovedAtRestart(),
            (std::vector<std::string>{kFoo, kDpf + "\\ainst.ocx"}));
  EXPECT_TRUE(machine.sim.files.Contents(kFoo));
  EXPECT_EQ(machine.sim.messages.shown(), std::vector<std::string>{std::string(texts::kAtRestart)});
  machine.sim.files.MarkInUse(kFoo, false);
  machine.sim.files.RemoveFile(kFoo);
  Restore restore(machine.sim.files, machine.sim.registry, machine.sim.environment);
  EXPECT_EQ(restore.PutBack(restore.PendingSessions().at(0)), 0);
  EXPECT_EQ(machine.sim.files.Contents(kFoo), kInfectedBytes);
}

// The record's file list is written by whoever installed the control: only
// a name that, made canonical, is a file directly in the downloaded-controls
// folder is deleted. Everything else is left alone like a failed delete.
TEST_F(Cleanup, CodeStoreDeletesOnlyFilesDirectlyInTheDownloadedControlsFolder) {
  ScanWith({kFoo});
  for (std::string_view name :
       {"ainst.ocx", "ours.ocx", "link.ocx", "Sub\\deep.ocx", "..\\System32\\x.dll", "..\\relative.dll"}) {
    machine.sim.files.WriteFile(kDpf + "\\" + std::string(name), "bytes");
  }
  machine.sim.files.MakeReparsePoint(kDpf + "\\link.ocx");
  const std::string kept[] = {
      kDpf + "\\gone.inf",                      "relative.dll",
      "C:\\Windows\\System32\\x.dll",           kDpf + "\\..\\System32\\x.dll",
      "\\\\host\\share\\x.ocx",                 "\\\\?\\" + kDpf + "\\ours.ocx",
      "\\\\.\\C:\\Windows\\System32\\x.dll",    "Downloaded Program Files\\ours.ocx",
      kDpf + "\\link.ocx",                      kDpf + "\\Sub\\deep.ocx",
      kDpf,                                     kDpf + "\\",
  };
  registry.SetString(kHklm, kFilesKey, kDpf + "\\ainst.ocx", "");
  for (const std::string& name : kept) registry.SetString(kHklm, kFilesKey, name, "");
  registry.SetString(kHklm, kFilesKey, "c:\\WINDOWS\\downloaded program files\\ours.ocx.", "");
  machine.ClickCleanup();
  // An item is reported only once its delete took.
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "[CLEANUP] Deleted File: " + kFoo,
                           "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo",
                           "[CLEANUP] Removed DPF Item: " + kDpf + "\\ainst.ocx",
                           "[CLEANUP] Removed DPF Item: c:\\WINDOWS\\downloaded program files\\ours.ocx.",
                           "[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\" + kCodeStore,
                           kProtection}));
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.Delete"), 4);  // foo.exe, its folder, the two controls
  EXPECT_FALSE(Key(kHklm, kCodeStore));
  EXPECT_TRUE(Key(kHklm, "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units"));
}

// Where a 64-bit program finds what the 32-bit adware wrote: HKLM\SOFTWARE
// and most class keys under Wow6432Node; type libraries are shared.
std::string In32BitView(RegKey root, const std::string& path) {
  if (root == kHklm) return "SOFTWARE\\Wow6432Node\\" + path.substr(std::string("SOFTWARE\\").size());
  return path.starts_with("TypeLib\\") ? path : "Wow6432Node\\" + path;
}

std::string As64BitViewStoresIt(RegKey, const std::string& path) { return path; }

// Whether the remnants sit in the 32-bit view alone or in both views, each
// is removed from every view and logged once, in the usual order, and the
// kill bits are set in both views, replacing whatever flags were there. A
// key is removed from its leaves up; one with a subkey not in the table
// stays, goes unlogged, and the user is told.
class CleanupInBothViews : public Cleanup, public ::testing::WithParamInterface<bool> {};

TEST_P(CleanupInBothViews, RemnantsGoFromEveryViewAndAreLoggedOnce) {
  const std::string dpfFile = kDpf + "\\ainst.ocx";
  std::vector<std::pair<RegKey, std::string>> keys = {
      {kHklm, kUninstall + "\\foo"}, {kHklm, kCodeStore}, {kHklm, kCodeStore + "\\DownloadInformation"},
      {kHklm, kCodeStore + "\\InstalledVersion"}, {kHkcr, kTypeLib}, {kHkcr, kTypeLib + "\\1.0\\0\\win32"},
      {kHkcr, kTypeLib + "\\1.0\\FLAGS"}, {kHkcr, kTypeLib + "\\1.0\\HELPDIR"}};
  for (std::string_view sub : {"InprocServer32", "ProgID", "Version", "MiscStatus\\1", "MiscStatus", "TypeLib"}) {
    keys.emplace_back(kHkcr, kClass + "\\" + std::string(sub));
  }
  for (std::string_view key :
       {"Ainst\\CLSID", "Ainst\\CurVer", "Ainst", "Ainst.1\\CLSID", "Ainst.1\\CurVer", "Ainst.1"}) {
    keys.emplace_back(kHkcr, "Activeinstaller." + std::string(key));
  }
  using Placement = std::string (*)(RegKey, const std::string&);
  std::vector<Placement> planted = {In32BitView};
  if (GetParam()) planted.push_back(As64BitViewStoresIt);
  ScanWith({kFoo});
  machine.sim.files.WriteFile(dpfFile, "control");
  for (const Placement view : planted) {
    for (const auto& [root, path] : keys) Create(root, view(root, path));
    registry.SetString(kHklm, view(kHklm, kUninstall + "\\foo"), "UninstallString", kFoo);
    registry.SetString(kHklm, view(kHklm, kCurrentVersion), "disp", "1");
    registry.SetDword(kHklm, view(kHklm, kCurrentVersion), "np", 1);
    registry.SetString(kHklm, view(kHklm, kFilesKey), dpfFile, "");
    registry.SetDword(kHklm, view(kHklm, kCompatibility[1]), "Compatibility Flags", 0x2401);
  }
  if (GetParam()) Create(kHkcr, kClass + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
  machine.ClickCleanup();
  std::vector<std::string> expected{
      "[CLEANUP] Deleted File: " + kFoo,
      "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo",
      "[CLEANUP] Deleted Uninstall Key: HKEY_LOCAL_MACHINE\\" + kUninstall + "\\foo",
      "[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\disp",
      "[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\\" + kCurrentVersion + "\\np",
      "[CLEANUP] Removed DPF Item: " + dpfFile,
      "[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\" + kCodeStore,
      "[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\\" + kClass,
      "[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\\" + kTypeLib,
      "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst",
      "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst.1",
      kProtection,
  };
  if (GetParam()) {
    std::erase(expected, "[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\\" + kClass);
  }
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(machine.sim.messages.shown(),
            GetParam() ? std::vector{std::string(texts::kNotRemoved)} : std::vector<std::string>{});
  for (const Placement view : {In32BitView, As64BitViewStoresIt}) {
    for (const char* value : {"disp", "np"}) {
      EXPECT_FALSE(registry.Value(kHklm, view(kHklm, kCurrentVersion), value)) << value;
    }
    for (const auto& [root, path] : keys) EXPECT_FALSE(Key(root, view(root, path))) << path;
    // The class whose category stays is kept, in the one view that holds it.
    EXPECT_EQ(Key(kHkcr, view(kHkcr, kClass)), GetParam() && view == As64BitViewStoresIt);
    for (const std::string& key : kCompatibility) {
      EXPECT_EQ(registry.Value(kHklm, view(kHklm, key), "Compatibility Flags"),
                std::pair(reg_type::kDword, std::string("\x00\x04\x00\x00", 4))) << key;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, CleanupInBothViews, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "Both" : "Only32Bit"; });

}  // namespace
}  // namespace foxbane::testing
