#include <gtest/gtest.h>

#include <algorithm>


#include "common/utf.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using C = ControlId;

const std::string kProtection =
    "[PROTECTION] Internet Explorer will now block any further installation attempts of known "
    "MarbleFox versions.\r\n"
    "For the most up-to-date protection against many other spyware programs, browser hijackers "
    "and dialers, download Hedgewall (https://www.hedgewall.example/).";

const std::string kFoo = "C:\\Program Files\\Foo\\foo.exe";

class Cleanup : public ::testing::Test {
 protected:
  // Scans with `paths` running as detected processes and returns the log
  // and ActivityLog as they stood before the cleanup.
  void ScanWith(std::initializer_list<std::string> paths) {
    std::uint32_t pid = 1234;
    for (const std::string& path : paths) machine.Run(pid++, path, kInfectedBytes);
    machine.ClickScan();
    ASSERT_TRUE(machine.form.Visible(C::results));
    logBefore = machine.ScanLog();
    screenBefore = machine.form.LogTextText();
  }
  // What the cleanup added to the scan log and to the ActivityLog.
  std::string LogAdded() { return machine.ScanLog().substr(logBefore.size()); }
  std::string ScreenAdded() const {
    return machine.form.LogTextText().substr(screenBefore.size());
  }
  // The entries the cleanup wrote, one per element (entry 12 is one element).
  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    const std::string added = LogAdded();
    std::size_t start = 0;
    while (start < added.size()) {
      std::size_t end = added.find("\r\n", start);
      std::string line = added.substr(start, end - start);
      start = end + 2;
      if (line.starts_with("For the most")) {
        entries.back() += "\r\n" + line;
      } else {
        entries.push_back(line);
      }
    }
    return entries;
  }
  void SetUninstall(std::string_view entry, std::string_view command) {
    SetUninstallIn(std::string(kUninstall) + "\\" + std::string(entry), command);
  }
  void SetUninstallIn(const std::string& keyPath, std::string_view command) {
    machine.sim.registry.SetString(kHklm, keyPath, "UninstallString", command);
  }
  bool Key(RegKey root, std::string_view path) { return machine.sim.registry.KeyExists(root, path); }

  SimMachine machine;
  std::string logBefore;
  std::string screenBefore;
};

TEST_F(Cleanup, TheWorkedExampleByteForByte) {
  ScanWith({kFoo});
  machine.ClickCleanup();
  const std::string expected = "[CLEANUP] Deleted File: C:\\Program Files\\Foo\\foo.exe\r\n"
                               "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo\r\n" +
                               kProtection + "\r\n";
  EXPECT_EQ(LogAdded(), expected);
  EXPECT_EQ(ScreenAdded(), "\r\n" + expected);
  EXPECT_FALSE(machine.sim.files.Contents(kFoo));
  EXPECT_FALSE(machine.sim.files.FolderExists("C:\\Program Files\\Foo"));
  EXPECT_TRUE(machine.form.Visible(C::activityframe));
  for (ControlId panel : {C::scanstatus, C::results, C::clean, C::disclaimer}) {
    EXPECT_FALSE(machine.form.Visible(panel));
  }
}

TEST_F(Cleanup, NothingLeftToRemoveWritesOnlyTheProtectionEntry) {
  ScanWith({kFoo});
  machine.sim.files.RemoveFile(kFoo);
  machine.sim.files.WriteFile("C:\\Program Files\\Foo\\readme.txt", "keep me");
  machine.ClickCleanup();
  EXPECT_EQ(LogAdded(), kProtection + "\r\n");
  EXPECT_EQ(ScreenAdded(), "\r\n" + kProtection + "\r\n");
  EXPECT_EQ(machine.sim.files.Contents("C:\\Program Files\\Foo\\readme.txt"), "keep me");
}

TEST_F(Cleanup, RowEntriesComeFirstGroupedByRowThenTheRegistryStages) {
  const std::string bar = "C:\\Program Files\\Bar\\bar.exe";
  ScanWith({kFoo, bar});
  SetUninstall("foo", "\"" + kFoo + "\" /uninstall");
  SetUninstall("bar", bar);
  machine.sim.registry.SetString(kHklm, kCurrentVersion, "disp", "x");
  machine.ClickCleanup();
  const std::string uninstallEntry =
      "[CLEANUP] Deleted Uninstall Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
      "CurrentVersion\\Uninstall\\";
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "[CLEANUP] Deleted File: " + kFoo,
                           "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo",
                           uninstallEntry + "foo",
                           "[CLEANUP] Deleted File: " + bar,
                           "[CLEANUP] Deleted Folder: C:\\Program Files\\Bar",
                           uninstallEntry + "bar",
                           "[CLEANUP] Removed MF Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\"
                           "Microsoft\\Windows\\CurrentVersion\\disp",
                           kProtection,
                       }));
  EXPECT_FALSE(Key(kHklm, std::string(kUninstall) + "\\foo"));
  EXPECT_FALSE(Key(kHklm, std::string(kUninstall) + "\\bar"));
  EXPECT_TRUE(Key(kHklm, kUninstall));
  EXPECT_EQ(machine.sim.registry.OpenHandleCount(), 0u);
}

TEST_F(Cleanup, ReadOnlyExecutableIsReportedButStays) {
  ScanWith({kFoo});
  machine.sim.files.SetAttributes(kFoo, file_attribute::kReadOnly);
  machine.ClickCleanup();
  EXPECT_EQ(Entries().front(), "[CLEANUP] Deleted File: " + kFoo);
  EXPECT_TRUE(machine.sim.files.Contents(kFoo).has_value());
  // The folder still lists the file, so it is neither removed nor reported.
  EXPECT_EQ(Entries().size(), 2u);
}

TEST_F(Cleanup, FolderHoldingOnlyAHiddenFileIsReportedButStays) {
  ScanWith({kFoo});
  machine.sim.files.WriteFile("C:\\Program Files\\Foo\\desktop.ini", "", file_attribute::kHidden);
  machine.ClickCleanup();
  EXPECT_EQ(Entries()[1], "[CLEANUP] Deleted Folder: C:\\Program Files\\Foo");
  EXPECT_TRUE(machine.sim.files.FolderExists("C:\\Program Files\\Foo"));
}

TEST_F(Cleanup, FolderOutsideProgramFilesWithThatExactCaseIsNeverRemoved) {
  const std::string lower = "C:\\program files\\foo\\foo.exe";
  ScanWith({lower});
  machine.ClickCleanup();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"[CLEANUP] Deleted File: " + lower, kProtection}));
  EXPECT_TRUE(machine.sim.files.FolderExists("C:\\program files\\foo"));
}

TEST_F(Cleanup, FolderRemovedMeanwhileIsLeftAloneAndNotReported) {
  ScanWith({kFoo});
  machine.sim.files.RemoveFile(kFoo);
  machine.sim.files.RemoveFolder("C:\\Program Files\\Foo");
  machine.ClickCleanup();
  EXPECT_EQ(Entries(), (std::vector<std::string>{kProtection}));
}

TEST_F(Cleanup, UninstallEntryNamingAnotherPathOrWithoutCommandStays) {
  const std::string bar = "C:\\Program Files\\Bar\\bar.exe";
  ScanWith({kFoo, bar});
  SetUninstall("foo", "C:\\Program Files\\Other\\foo.exe");
  machine.sim.registry.CreateKeyPath(kHklm, std::string(kUninstall) + "\\bar");
  machine.ClickCleanup();
  EXPECT_TRUE(Key(kHklm, std::string(kUninstall) + "\\foo"));
  EXPECT_TRUE(Key(kHklm, std::string(kUninstall) + "\\bar"));
  for (const std::string& entry : Entries()) EXPECT_FALSE(entry.starts_with("[CLEANUP] Deleted Uninstall"));
}

TEST_F(Cleanup, ShortFileNameNeverTargetsTheUninstallParent) {
  const std::string shortName = "C:\\Program Files\\X\\.exe";
  ScanWith({shortName});
  machine.sim.registry.SetString(kHklm, kUninstall, "UninstallString", shortName);
  machine.ClickCleanup();
  EXPECT_TRUE(Key(kHklm, kUninstall));
}

TEST_F(Cleanup, CodeStoreWithOnePresentAndOneMissingFile) {
  ScanWith({kFoo});
  const std::string filesKey = std::string(kCodeStore) + "\\Contains\\Files";
  machine.sim.files.WriteFile("C:\\Windows\\Downloaded Program Files\\ainst.ocx", "ocx");
  machine.sim.registry.SetString(kHklm, filesKey, "C:\\Windows\\Downloaded Program Files\\ainst.ocx", "");
  machine.sim.registry.SetString(kHklm, filesKey, "C:\\Windows\\Downloaded Program Files\\gone.inf", "");
  machine.sim.registry.SetString(kHklm, filesKey, "relative.dll", "");
  machine.sim.files.WriteFile("C:\\Windows\\relative.dll", "not ours");
  machine.sim.registry.CreateKeyPath(kHklm, std::string(kCodeStore) + "\\DownloadInformation");
  machine.sim.registry.CreateKeyPath(kHklm, std::string(kCodeStore) + "\\InstalledVersion");
  machine.ClickCleanup();
  const std::vector<std::string> entries = Entries();
  ASSERT_GE(entries.size(), 4u);
  EXPECT_EQ(entries[2], "[CLEANUP] Removed DPF Item: C:\\Windows\\Downloaded Program Files\\ainst.ocx");
  EXPECT_EQ(entries[3],
            "[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Code "
            "Store Database\\Distribution Units\\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}");
  EXPECT_FALSE(Key(kHklm, kCodeStore));
  EXPECT_TRUE(Key(kHklm, "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units"));
  EXPECT_TRUE(machine.sim.files.Contents("C:\\Windows\\relative.dll").has_value());
}

// The record's file list is written by whoever installed the control: only
// a name that, made canonical, is a file directly in the downloaded-controls
// folder is deleted. Everything else is left alone like a failed delete.
TEST_F(Cleanup, CodeStoreDeletesOnlyFilesDirectlyInTheDownloadedControlsFolder) {
  ScanWith({kFoo});
  const std::string filesKey = std::string(kCodeStore) + "\\Contains\\Files";
  const std::string dpf = "C:\\Windows\\Downloaded Program Files";
  auto& files = machine.sim.files;
  files.WriteFile(dpf + "\\ours.ocx", "ocx");
  files.WriteFile(dpf + "\\link.ocx", "a link to elsewhere");
  files.MakeReparsePoint(dpf + "\\link.ocx");
  files.WriteFile(dpf + "\\Sub\\deep.ocx", "deeper");
  files.WriteFile("C:\\Windows\\System32\\x.dll", "system");
  const std::string kept[] = {
      "C:\\Windows\\System32\\x.dll",          dpf + "\\..\\System32\\x.dll",
      "\\\\host\\share\\x.ocx",                 "\\\\?\\" + dpf + "\\ours.ocx",
      "\\\\.\\C:\\Windows\\System32\\x.dll",     "Downloaded Program Files\\ours.ocx",
      dpf + "\\link.ocx",                       dpf + "\\Sub\\deep.ocx",
      dpf,                                     dpf + "\\",
  };
  for (const std::string& name : kept) machine.sim.registry.SetString(kHklm, filesKey, name, "");
  machine.sim.registry.SetString(kHklm, filesKey, "c:\\WINDOWS\\downloaded program files\\ours.ocx.", "");
  machine.ClickCleanup();
  const std::vector<std::string> entries = Entries();
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                          [](const std::string& e) { return e.starts_with("[CLEANUP] Removed DPF Item: "); }),
            1);
  EXPECT_NE(std::find(entries.begin(), entries.end(),
                      "[CLEANUP] Removed DPF Item: c:\\WINDOWS\\downloaded program files\\ours.ocx."),
            entries.end());
  EXPECT_FALSE(files.Contents(dpf + "\\ours.ocx"));
  for (const char* stays : {"\\link.ocx", "\\Sub\\deep.ocx"}) EXPECT_TRUE(files.Contents(dpf + stays));
  EXPECT_TRUE(files.Contents("C:\\Windows\\System32\\x.dll"));
  EXPECT_EQ(machine.sim.faults.Calls("FileSystem.RemoveFile"), 2);  // foo.exe and ours.ocx
}

// The folder of a detected file goes only when it is a real folder below
// one of the system's program folders: never a program folder itself, a
// look-alike elsewhere, or one reached through a link.
TEST_F(Cleanup, OnlyRealFoldersBelowTheProgramFoldersAreRemoved) {
  const std::string linked = "C:\\Program Files\\Linked\\Inner\\l.exe";
  const std::string removed = "C:\\Program Files (x86)\\Foo\\foo.exe";
  const std::string kept[] = {"C:\\Program Files\\top.exe", "C:\\Program Files Evil\\e.exe",
                              "D:\\Program Files\\Foo\\d.exe",
                              "C:\\Users\\me\\Program Files\\u.exe", linked};
  machine.Run(1, removed, kInfectedBytes);
  std::uint32_t pid = 2;
  for (const std::string& path : kept) machine.Run(pid++, path, kInfectedBytes);
  machine.sim.files.MakeReparsePoint("C:\\Program Files\\Linked");
  ScanWith({});
  machine.ClickCleanup();
  const std::vector<std::string> entries = Entries();
  const auto folderEntries = std::count_if(entries.begin(), entries.end(), [](const std::string& e) {
    return e.starts_with("[CLEANUP] Deleted Folder: ");
  });
  EXPECT_EQ(folderEntries, 1);
  EXPECT_FALSE(machine.sim.files.FolderExists("C:\\Program Files (x86)\\Foo"));
  for (const std::string& path : kept) {
    const std::string folder = path.substr(0, path.rfind('\\'));
    EXPECT_TRUE(machine.sim.files.FolderExists(folder)) << folder;
  }
}

TEST_F(Cleanup, ClassAndTypeLibraryGoOnlyWithTheCodeStoreEntry) {
  ScanWith({kFoo});
  machine.sim.registry.CreateKeyPath(kHkcr, std::string(kClass) + "\\InprocServer32");
  machine.sim.registry.CreateKeyPath(kHkcr, std::string(kTypeLib) + "\\1.0\\0\\win32");
  machine.sim.registry.CreateKeyPath(kHkcr, "Activeinstaller.Ainst");
  machine.ClickCleanup();
  EXPECT_TRUE(Key(kHkcr, kClass));
  EXPECT_TRUE(Key(kHkcr, kTypeLib));
  EXPECT_FALSE(Key(kHkcr, "Activeinstaller.Ainst"));
  EXPECT_EQ(Entries()[2], "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst");
}

TEST_F(Cleanup, EveryRemnantRemovedLeavesFirstAndBlockedSubkeysKeepTheirParents) {
  ScanWith({kFoo});
  machine.sim.registry.CreateKeyPath(kHklm, std::string(kCodeStore) + "\\Contains\\Files");
  for (std::string_view sub : {"InprocServer32", "ProgID", "Version", "MiscStatus\\1", "TypeLib"}) {
    machine.sim.registry.CreateKeyPath(kHkcr, std::string(kClass) + "\\" + std::string(sub));
  }
  machine.sim.registry.CreateKeyPath(kHkcr, std::string(kClass) + "\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
  for (std::string_view sub : {"1.0\\0\\win32", "1.0\\FLAGS", "1.0\\HELPDIR"}) {
    machine.sim.registry.CreateKeyPath(kHkcr, std::string(kTypeLib) + "\\" + std::string(sub));
  }
  for (std::string_view progId : {"Activeinstaller.Ainst", "Activeinstaller.Ainst.1"}) {
    machine.sim.registry.CreateKeyPath(kHkcr, std::string(progId) + "\\CLSID");
    machine.sim.registry.CreateKeyPath(kHkcr, std::string(progId) + "\\CurVer");
  }
  machine.ClickCleanup();
  const std::vector<std::string> entries = Entries();
  EXPECT_EQ(std::vector<std::string>(entries.begin() + 2, entries.end()),
            (std::vector<std::string>{
                "[CLEANUP] Removed DPF Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Code "
                "Store Database\\Distribution Units\\{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}",
                "[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\\CLSID\\"
                "{29CAC0B6-D6C2-4395-8289-BF3FBF27AD5F}",
                "[CLEANUP] Removed DPF Item Registry Key: HKEY_CLASSES_ROOT\\TypeLib\\"
                "{39ADD6AE-C63B-4E92-9C2B-E9879DE4183B}",
                "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst",
                "[CLEANUP] Removed MF Registry Key: HKEY_CLASSES_ROOT\\Activeinstaller.Ainst.1",
                kProtection,
            }));
  EXPECT_FALSE(Key(kHklm, kCodeStore));
  EXPECT_FALSE(Key(kHkcr, kTypeLib));
  EXPECT_FALSE(Key(kHkcr, "Activeinstaller.Ainst"));
  EXPECT_FALSE(Key(kHkcr, "Activeinstaller.Ainst.1"));
  // The category below "Implemented Categories" keeps it, and so the class key.
  EXPECT_TRUE(Key(kHkcr, std::string(kClass) + "\\Implemented Categories"));
  EXPECT_FALSE(Key(kHkcr, std::string(kClass) + "\\InprocServer32"));
  EXPECT_FALSE(Key(kHkcr, std::string(kClass) + "\\MiscStatus"));
  EXPECT_TRUE(Key(kHkcr, "CLSID"));
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
// kill bits are set in both views.
class CleanupInBothViews : public Cleanup, public ::testing::WithParamInterface<bool> {};

TEST_P(CleanupInBothViews, RemnantsGoFromEveryViewAndAreLoggedOnce) {
  const std::string dpfFile = "C:\\Windows\\Downloaded Program Files\\ainst.ocx";
  const std::vector<std::pair<RegKey, std::string>> keys = {
      {kHklm, kCodeStore},        {kHkcr, kClass + "\\InprocServer32"},
      {kHkcr, kTypeLib + "\\1.0"}, {kHkcr, "Activeinstaller.Ainst\\CLSID"},
      {kHkcr, "Activeinstaller.Ainst.1"}};
  using Placement = std::string (*)(RegKey, const std::string&);
  std::vector<Placement> planted = {In32BitView};
  if (GetParam()) planted.push_back(As64BitViewStoresIt);
  ScanWith({kFoo});
  sim::SimRegistry& registry = machine.sim.registry;
  machine.sim.files.WriteFile(dpfFile, "control");
  for (const Placement view : planted) {
    SetUninstallIn(view(kHklm, kUninstall + "\\foo"), kFoo);
    registry.SetString(kHklm, view(kHklm, kCurrentVersion), "disp", "1");
    registry.SetDword(kHklm, view(kHklm, kCurrentVersion), "np", 1);
    registry.SetString(kHklm, view(kHklm, kCodeStore + "\\Contains\\Files"), dpfFile, "");
    for (const auto& [root, path] : keys) registry.CreateKeyPath(root, view(root, path));
  }
  machine.ClickCleanup();
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{
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
            }));
  for (const Placement view : {In32BitView, As64BitViewStoresIt}) {
    EXPECT_FALSE(Key(kHklm, view(kHklm, kUninstall + "\\foo")));
    EXPECT_FALSE(registry.Value(kHklm, view(kHklm, kCurrentVersion), "disp"));
    EXPECT_FALSE(registry.Value(kHklm, view(kHklm, kCurrentVersion), "np"));
    EXPECT_FALSE(Key(kHklm, view(kHklm, kCodeStore)));
    for (const std::string& key : {kClass, kTypeLib, std::string("Activeinstaller.Ainst"),
                                  std::string("Activeinstaller.Ainst.1")}) {
      EXPECT_FALSE(Key(kHkcr, view(kHkcr, key))) << key;
    }
    for (const std::string& key : kCompatibility) {
      const auto flags = registry.Value(kHklm, view(kHklm, key), "Compatibility Flags");
      EXPECT_EQ(flags, std::pair(reg_type::kDword, std::string("\x00\x04\x00\x00", 4))) << key;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(, CleanupInBothViews, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "Both" : "Only32Bit"; });

TEST_F(Cleanup, ValuesThatCannotBeReadAsTheirTypeStay) {
  ScanWith({kFoo});
  machine.sim.registry.SetString(kHklm, kCurrentVersion, "np", "a long string");
  machine.sim.registry.SetValue(kHklm, kCurrentVersion, "disp", reg_type::kString, "");
  machine.ClickCleanup();
  EXPECT_TRUE(machine.sim.registry.Value(kHklm, kCurrentVersion, "np").has_value());
  EXPECT_TRUE(machine.sim.registry.Value(kHklm, kCurrentVersion, "disp").has_value());

  machine.sim.registry.SetDword(kHklm, kCurrentVersion, "np", 7);
  machine.form.Click(C::Label7);
  machine.form.Click(C::Command4);
  machine.Run(1300, kFoo, kInfectedBytes);
  machine.ClickScan();
  machine.ClickCleanup();
  EXPECT_FALSE(machine.sim.registry.Value(kHklm, kCurrentVersion, "np").has_value());
}

TEST_F(Cleanup, CompatibilityFlagsAreCreatedOrReplacedWithExactlyTheKillBit) {
  ScanWith({kFoo});
  machine.sim.registry.SetDword(kHklm, kCompatibility[1], "Compatibility Flags", 0x2401);
  machine.ClickCleanup();
  for (std::string_view key : kCompatibility) {
    const auto value = machine.sim.registry.Value(kHklm, key, "Compatibility Flags");
    ASSERT_TRUE(value.has_value()) << key;
    EXPECT_EQ(value->first, reg_type::kDword);
    EXPECT_EQ(value->second, std::string("\x00\x04\x00\x00", 4));
  }
}

TEST_F(Cleanup, UnwritableLogStillShowsEveryEntry) {
  ScanWith({kFoo});
  machine.sim.faults.Fail("FileSystem.OpenForAppend", win_error::kAccessDenied,
                          sim::Faults::kEveryCall, machine.ScanLogPath());
  machine.ClickCleanup();
  EXPECT_EQ(LogAdded(), "");
  EXPECT_EQ(ScreenAdded(), "\r\n[CLEANUP] Deleted File: " + kFoo +
                               "\r\n[CLEANUP] Deleted Folder: C:\\Program Files\\Foo\r\n" +
                               kProtection + "\r\n");
}

TEST_F(Cleanup, ASecondPassAfterANewScanAppendsAfterTheNewSummary) {
  ScanWith({kFoo});
  machine.ClickCleanup();
  machine.form.Click(C::Label7);
  machine.form.Click(C::Command4);
  machine.Run(1400, kFoo, kInfectedBytes);
  machine.ClickScan();
  const std::string secondSummary = machine.form.LogTextText();
  EXPECT_TRUE(secondSummary.starts_with("--------------------"));
  machine.ClickCleanup();
  EXPECT_TRUE(machine.form.LogTextText().starts_with(secondSummary + "\r\n[CLEANUP] Deleted File: "));
  EXPECT_EQ(machine.ScanLog().find(logBefore), 0u);
}

}  // namespace
}  // namespace foxbane::testing
