// The install procedure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fake/fake_ports.h"
#include "core/fake/fake_shelllink.h"
#include "core/fake/fake_winver.h"
#include "core/os.h"
#include "setup/install.h"
#include "setup/set1.h"

namespace {

using port::RegRoot;

constexpr char kPackage[] = "D:\\Media\\Brevok Setup\\";
constexpr char kInstall[] = "C:\\Program Files\\Brevok";
constexpr char kStartMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
constexpr char kDesktopLink[] = "C:\\Users\\user\\DESKTOP\\Brevok Russian Document.lnk";
constexpr char kMenuDocLink[] =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Brevok Russian Keyboard\\BrEvok Russian Document.lnk";
constexpr char kHelpLink[] =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Brevok Russian Keyboard\\BrEvok Help.lnk";
constexpr char kUninstallLink[] =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Brevok Russian Keyboard\\UnInstall Brevok Russian Keyboard.lnk";
constexpr char kWord[] = "C:\\Office\\WINWORD.EXE ";
constexpr char kLibrary[] = "C:\\windows\\system32\\qvkey.dll";
const char* const kPackageFiles[] = {"Qvtray.exe", "qvnormal_3.dot", "qvnormal_7.dotm", "qvnormal_10.dotm",
                                     "setupqv.exe", "about.doc", "load32.exe", "load64.exe"};
const std::string kZ(1, '\0');

// A file system that notes, for every copy, whether redirection was off.
class WatchedFiles : public fake::FileSystem {
public:
    fake::Modules* modules = nullptr;
    std::vector<std::pair<std::string, bool>> copies;  // destination, redirection off
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        copies.push_back({to, modules->redirectionDisabled > modules->redirectionReverted});
        return fake::FileSystem::CopyFile(from, to, failIfExists);
    }
};

class InstallPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        setupState = SetupState{};
        setupState.systemDrive = "C:";
        files.modules = &platform.modules;
        links.files = &files;
        port::Os().files = &files;
        port::Os().links = &links;
        port::Os().facts = &facts;

        // Windows 7 SP1, 32-bit.
        facts.SetWindows7x64();
        facts.nativeArchitecture = port::kProcessorArchitectureIntel;

        files.moduleFileName = std::string(kPackage) + "setupqv.exe";
        for (const char* name : kPackageFiles) files.AddFile(std::string(kPackage) + name, name);
        files.AddFile(std::string(kPackage) + "i386\\Qvkey.dll", "i386 build");
        files.AddFile(std::string(kPackage) + "amd64\\Qvkey.dll", "amd64 build");
        files.AddFolder("C:\\windows\\system32");
        files.AddFolder("C:\\Program Files");
        files.AddFolder("C:\\Users\\user\\Desktop");
        files.AddFolder(kStartMenu);
        files.AddFolder("C:\\Elsewhere");
        files.current = "C:\\Elsewhere";  // not the package folder
        platform.shell.folders[0x8016] = kStartMenu;
    }

    void RegisterWord(const std::string& curVer) {
        auto& r = platform.registry;
        r.AddKey(RegRoot::ClassesRoot, "Word.Application\\CLSID").values[""] = "{W}" + kZ;
        r.AddKey(RegRoot::ClassesRoot, "Word.Application\\CurVer").values[""] = curVer + kZ;
        r.AddKey(RegRoot::ClassesRoot, "CLSID\\{W}\\LocalServer32").values[""] =
            std::string(kWord) + "/Automation" + kZ;
    }

    std::string DocArgs(const std::string& templateName) {
        return std::string("/t\"") + kInstall + "\\" + templateName + "\"";
    }

    std::optional<std::string> RunValue() {
        return platform.registry.Value(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\Run",
                                       "Brevok Russian Keyboard");
    }

    fake::Platform platform;
    WatchedFiles files;
    fake::ShellLinks links;
    fake::SystemFacts facts;
};

// ---- pure pieces ----

TEST(InstallPieces, PackageFolderKeepsItsTrailingSeparator) {
    EXPECT_EQ(install::PackageFolderOf("D:\\Setup\\setupqv.exe"), "D:\\Setup\\");
    EXPECT_EQ(install::PackageFolderOf("D:setupqv.exe"), "D:");
    EXPECT_EQ(install::PackageFolderOf("setupqv.exe"), "");
    EXPECT_EQ(install::PackageFolderOf("\\\\server\\share\\setupqv.exe"), "\\\\server\\share\\");
}

TEST(InstallPieces, TemplateByWordVersion) {
    const std::pair<int, const char*> rows[] = {{10, "qvnormal_xp.dot"}, {11, "qvnormal_3.dot"},
                                                {12, "qvnormal_7.dotm"}, {14, "qvnormal_10.dotm"},
                                                {0, ""},  {13, ""}, {15, ""}, {-1, ""}};
    for (const auto& [version, name] : rows) EXPECT_EQ(install::WordTemplateName(version), name) << version;
}

TEST(InstallPieces, DocumentArguments) {
    EXPECT_EQ(install::DocumentArguments("C:\\Program Files\\Brevok", "qvnormal_10.dotm"),
              "/t\"C:\\Program Files\\Brevok\\qvnormal_10.dotm\"");
    // Version 0: the text ends with a backslash and the closing quote.
    const std::string none = install::DocumentArguments("C:\\Program Files\\Brevok", "");
    EXPECT_EQ(none, "/t\"C:\\Program Files\\Brevok\\\"");
    EXPECT_EQ(none.substr(none.size() - 2), "\\\"");
}

// ---- the procedure ----

TEST_F(InstallPackageTest, DescriptionAndStateAreRecorded) {
    InstallPackage();
    EXPECT_EQ(setupState.windowsDescription,
              "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 32-bit");
    EXPECT_STREQ(setupState.windowsDescriptionBuffer, setupState.windowsDescription.c_str());
    EXPECT_FALSE(setupState.is64BitWindows);
    EXPECT_EQ(setupState.trayPath, "C:\\Program Files\\Brevok\\qvtray.exe");
    EXPECT_EQ(setupState.layoutLibrarySource, std::string(kPackage) + "i386\\Qvkey.dll");
    EXPECT_TRUE(files.HasFolder(kInstall));
}

TEST_F(InstallPackageTest, PackageFilesComeFromThePackageFolderNotTheCurrentFolder) {
    // Decoys in the current folder must not be taken.
    for (const char* name : kPackageFiles) files.AddFile(std::string("C:\\Elsewhere\\") + name, "decoy");
    InstallPackage();
    for (const char* name : kPackageFiles) {
        const std::string installed = std::string(kInstall) + "\\" + name;
        ASSERT_TRUE(files.HasFile(installed)) << name;
        EXPECT_EQ(files.files[files.Resolve(installed)], name) << name;
        EXPECT_EQ(files.Count(std::string("CopyFile ") + kPackage + name + " " + installed), 1) << name;
    }
    EXPECT_EQ(files.Count("CopyFile"), 9);  // and the layout library
}

TEST_F(InstallPackageTest, ThirtyTwoBitWindowsGetsTheI386LibraryWithoutRedirectionChange) {
    InstallPackage();
    EXPECT_EQ(files.files[files.Resolve(kLibrary)], "i386 build");
    EXPECT_EQ(files.Count(std::string("CopyFile ") + kPackage + "i386\\Qvkey.dll " + kLibrary), 1);
    EXPECT_EQ(platform.modules.calls, std::vector<std::string>{});
}

TEST_F(InstallPackageTest, SixtyFourBitDescriptionGetsTheAmd64LibraryWithRedirectionOff) {
    facts.nativeArchitecture = port::kProcessorArchitectureAmd64;
    InstallPackage();
    EXPECT_TRUE(setupState.is64BitWindows);
    EXPECT_EQ(setupState.layoutLibrarySource, std::string(kPackage) + "amd64\\Qvkey.dll");
    EXPECT_EQ(files.files[files.Resolve(kLibrary)], "amd64 build");
    // Redirection is off for the library copy only, and back on right after.
    ASSERT_EQ(files.copies.size(), 9u);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_FALSE(files.copies[i].second) << files.copies[i].first;
    EXPECT_EQ(files.copies[8].first, kLibrary);
    EXPECT_TRUE(files.copies[8].second);
    EXPECT_EQ(platform.modules.calls,
              (std::vector<std::string>{"LoadLibrary kernel32.dll", "GetProcAddress Wow64DisableWow64FsRedirection",
                                        "GetProcAddress Wow64RevertWow64FsRedirection",
                                        "Wow64DisableWow64FsRedirection", "Wow64RevertWow64FsRedirection",
                                        "FreeLibrary"}));
    EXPECT_EQ(platform.modules.redirectionDisabled, 1);
    EXPECT_EQ(platform.modules.redirectionReverted, 1);
    EXPECT_EQ(platform.modules.loads, platform.modules.frees);
    EXPECT_TRUE(platform.modules.loaded.empty());
}

TEST_F(InstallPackageTest, FlagFromStartUpChoosesAmd64EvenWithA32BitDescription) {
    setupState.is64BitWindows = true;  // start-up found SysWOW64
    InstallPackage();
    EXPECT_TRUE(setupState.is64BitWindows);  // never cleared
    EXPECT_EQ(files.files[files.Resolve(kLibrary)], "amd64 build");
    EXPECT_EQ(platform.modules.redirectionDisabled, 1);
    EXPECT_EQ(platform.modules.redirectionReverted, 1);
}

TEST_F(InstallPackageTest, MissingRedirectionFunctionsStillCopyAndReleaseTheModule) {
    setupState.is64BitWindows = true;
    platform.modules.available["kernel32.dll"] = {};
    InstallPackage();
    EXPECT_EQ(files.files[files.Resolve(kLibrary)], "amd64 build");
    EXPECT_EQ(platform.modules.redirectionDisabled, 0);
    EXPECT_EQ(platform.modules.Count("Wow64"), 0);
    EXPECT_EQ(platform.modules.loads, 1);
    EXPECT_EQ(platform.modules.frees, 1);
}

TEST_F(InstallPackageTest, FailedDisableIsNotReverted) {
    setupState.is64BitWindows = true;
    platform.modules.Fail("Wow64DisableWow64FsRedirection");
    InstallPackage();
    EXPECT_EQ(files.Count(std::string("CopyFile ") + kPackage + "amd64\\Qvkey.dll"), 1);
    EXPECT_EQ(platform.modules.Count("Wow64RevertWow64FsRedirection"), 0);
    EXPECT_EQ(platform.modules.frees, 1);
}

TEST_F(InstallPackageTest, FailedLoadStillCopies) {
    setupState.is64BitWindows = true;
    platform.modules.Fail("LoadLibrary");
    InstallPackage();
    EXPECT_EQ(files.files[files.Resolve(kLibrary)], "amd64 build");
    EXPECT_EQ(platform.modules.Count("GetProcAddress"), 0);
    EXPECT_EQ(platform.modules.Count("FreeLibrary"), 0);
}

TEST_F(InstallPackageTest, CopyFailuresAreIgnored) {
    files.Fail("CopyFile");
    files.Fail("CreateFolder", kInstall);
    InstallPackage();
    EXPECT_EQ(files.Count("CopyFile"), 9);  // and the layout library
    EXPECT_TRUE(links.Saved(kHelpLink));
    EXPECT_TRUE(RunValue());
}

TEST_F(InstallPackageTest, FourShortcutsWithTheirTargetsAndArguments) {
    RegisterWord("Word.Application.14");
    InstallPackage();
    EXPECT_EQ(links.saved.size(), 4u);
    const std::pair<const char*, std::pair<std::string, std::string>> expected[] = {
        {kDesktopLink, {kWord, DocArgs("qvnormal_10.dotm")}},
        {kMenuDocLink, {kWord, DocArgs("qvnormal_10.dotm")}},
        {kHelpLink, {"C:\\Program Files\\Brevok\\qvtray.exe", ""}},
        {kUninstallLink, {"C:\\Program Files\\Brevok\\setupqv.exe", "u"}}};
    for (const auto& [path, targetArgs] : expected) {
        auto link = links.Saved(path);
        ASSERT_TRUE(link) << path;
        EXPECT_EQ(link->target, targetArgs.first) << path;
        EXPECT_EQ(link->arguments, targetArgs.second) << path;
        EXPECT_EQ(link->description, "");
        EXPECT_EQ(link->showCommand, 0);
        EXPECT_EQ(link->workingFolder, "");
        EXPECT_EQ(link->iconFile, "");
        EXPECT_TRUE(files.HasFile(path)) << path;
    }
    // In the order of the table, with only SetPath and SetArguments.
    std::vector<std::string> saves;
    for (const auto& c : links.calls)
        if (c.rfind("Save ", 0) == 0) saves.push_back(c);
    EXPECT_EQ(saves, (std::vector<std::string>{std::string("Save ") + kDesktopLink + " remember",
                                               std::string("Save ") + kMenuDocLink + " remember",
                                               std::string("Save ") + kHelpLink + " remember",
                                               std::string("Save ") + kUninstallLink + " remember"}));
    EXPECT_EQ(links.Count("SetDescription") + links.Count("SetShowCmd") + links.Count("SetWorkingDirectory") +
                  links.Count("SetIconLocation"),
              0);
    EXPECT_EQ(links.initializations, 4);
    EXPECT_EQ(links.uninitializations, 4);
    EXPECT_TRUE(files.HasFolder(std::string(kStartMenu) + "\\Brevok Russian Keyboard"));
    EXPECT_EQ(platform.shell.calls, (std::vector<std::string>{"GetFolderPath 32790"}));
}

TEST_F(InstallPackageTest, WordTenNamesTheXpTemplate) {
    RegisterWord("Word.Application.10");
    InstallPackage();
    EXPECT_EQ(links.Saved(kDesktopLink)->arguments, DocArgs("qvnormal_xp.dot"));
}

TEST_F(InstallPackageTest, UnknownWordVersionGivesArgumentsEndingInBackslashQuote) {
    RegisterWord("Word.Application.9");
    InstallPackage();
    EXPECT_EQ(links.Saved(kDesktopLink)->arguments, std::string("/t\"") + kInstall + "\\\"");
}

TEST_F(InstallPackageTest, NoWordNoDocumentShortcuts) {
    InstallPackage();
    EXPECT_FALSE(links.Saved(kDesktopLink));
    EXPECT_FALSE(links.Saved(kMenuDocLink));
    EXPECT_TRUE(links.Saved(kHelpLink));
    EXPECT_TRUE(links.Saved(kUninstallLink));
    EXPECT_TRUE(files.HasFolder(std::string(kStartMenu) + "\\Brevok Russian Keyboard"));
    EXPECT_EQ(RunValue(), kInstall);
    EXPECT_EQ(links.Count("CreateShellLink"), 2);
    EXPECT_EQ(links.initializations, 4);  // refused calls still balance COM
    EXPECT_EQ(links.uninitializations, 4);
}

TEST_F(InstallPackageTest, WordPathTooLongForTheWordTargetMakesNoDocumentShortcuts) {
    RegisterWord("Word.Application.14");
    platform.registry.AddKey(RegRoot::ClassesRoot, "CLSID\\{W}\\LocalServer32").values[""] =
        "C:\\" + std::string(300, 'w') + kZ;
    InstallPackage();
    EXPECT_EQ(setupState.wordPath.size(), 303u);
    EXPECT_FALSE(links.Saved(kDesktopLink));
    EXPECT_FALSE(links.Saved(kMenuDocLink));
    EXPECT_TRUE(links.Saved(kUninstallLink));
    EXPECT_EQ(links.Count("SetPath C:\\www"), 0);  // never a cut path
}

TEST_F(InstallPackageTest, FailedStartMenuLookupEndsAfterShortcutOne) {
    RegisterWord("Word.Application.12");
    platform.shell.Fail("GetFolderPath");
    InstallPackage();
    EXPECT_EQ(links.saved.size(), 1u);
    EXPECT_TRUE(links.Saved(kDesktopLink));
    EXPECT_FALSE(files.HasFolder(std::string(kStartMenu) + "\\Brevok Russian Keyboard"));
    EXPECT_FALSE(RunValue());
    EXPECT_EQ(platform.registry.Count("CreateKey"), 0);
    EXPECT_EQ(setupState.trayPath, "C:\\Program Files\\Brevok\\qvtray.exe");  // set before the lookup
}

TEST_F(InstallPackageTest, StartMenuPathTooLongForItsBufferCountsAsAFailedLookup) {
    platform.shell.folders[0x8016] = "C:\\" + std::string(257, 's');
    InstallPackage();
    EXPECT_EQ(files.Count("CreateFolder C:\\sss"), 0);
    EXPECT_TRUE(links.saved.empty());
    EXPECT_FALSE(RunValue());
}

TEST_F(InstallPackageTest, RegistryValueUnderTheRunKeyWithoutCurrentVersion) {
    InstallPackage();
    EXPECT_EQ(RunValue(), kInstall);
    // REG_SZ data that counts its terminating zero.
    auto& key = platform.registry.keys[fake::Registry::Name(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\Run")];
    EXPECT_EQ(key.values["brevok russian keyboard"], std::string(kInstall) + kZ);
    EXPECT_FALSE(platform.registry.HasKey(RegRoot::CurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_EQ(platform.registry.Count("CreateKey hkcu\\software\\microsoft\\windows\\run"), 1);
    EXPECT_EQ(platform.registry.openHandles, 0);
}

TEST_F(InstallPackageTest, FailedRegistryWriteRaisesTheRegistryErrorAndClosesTheKey) {
    platform.registry.Fail("SetString");
    try {
        InstallPackage();
        FAIL() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Brevok Russian Keyboard'");
    }
    EXPECT_EQ(platform.registry.Count("CloseKey"), 1);
    EXPECT_EQ(platform.registry.openHandles, 0);
    EXPECT_TRUE(links.Saved(kUninstallLink));  // everything before the write is done
}

TEST_F(InstallPackageTest, FailedKeyCreationMakesTheWriteFail) {
    platform.registry.Fail("CreateKey");
    EXPECT_THROW(InstallPackage(), ERegistryException);
    EXPECT_EQ(platform.registry.openHandles, 0);
}

TEST_F(InstallPackageTest, UnsetVariablesCountAsEmpty) {
    platform.env.Unset("PROGRAMFILES");
    platform.env.Unset("USERPROFILE");
    RegisterWord("Word.Application.11");
    files.AddFolder("C:\\DESKTOP");  // "\DESKTOP" on the current drive
    InstallPackage();
    EXPECT_EQ(setupState.trayPath, "\\Brevok\\qvtray.exe");
    EXPECT_EQ(links.Saved(kHelpLink)->target, "\\Brevok\\qvtray.exe");
    auto desktop = links.Saved("\\DESKTOP\\Brevok Russian Document.lnk");
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->arguments, "/t\"\\Brevok\\qvnormal_3.dot\"");
    EXPECT_EQ(RunValue(), "\\Brevok");
}

TEST_F(InstallPackageTest, RunningTwiceGivesTheSameResult) {
    RegisterWord("Word.Application.14");
    InstallPackage();
    const auto filesOnce = files.files;
    const auto foldersOnce = files.folders;
    const auto linksOnce = links.saved;
    const auto runOnce = RunValue();
    const SetupState stateOnce = setupState;
    InstallPackage();
    EXPECT_EQ(files.files, filesOnce);
    EXPECT_EQ(files.folders, foldersOnce);
    ASSERT_EQ(links.saved.size(), linksOnce.size());
    for (const auto& [path, link] : linksOnce) {
        const auto& again = links.saved.at(path);
        EXPECT_EQ(again.target, link.target);
        EXPECT_EQ(again.arguments, link.arguments);
    }
    EXPECT_EQ(RunValue(), runOnce);
    EXPECT_EQ(setupState.windowsDescription, stateOnce.windowsDescription);
    EXPECT_EQ(setupState.trayPath, stateOnce.trayPath);
    EXPECT_EQ(setupState.wordPath, stateOnce.wordPath);
    EXPECT_EQ(platform.registry.openHandles, 0);
}

TEST(WriteRegistryString, WritesOrRaisesWithTheValueName) {
    fake::Platform platform;
    port::Handle key = 0;
    ASSERT_EQ(platform.registry.CreateKey(RegRoot::CurrentUser, "Software\\X", port::kKeyAllAccess, &key), 0);
    WriteRegistryString(key, "Name", "Data");
    EXPECT_EQ(platform.registry.Value(RegRoot::CurrentUser, "Software\\X", "Name"), "Data");
    platform.registry.Fail("SetString");
    try {
        WriteRegistryString(key, "Other Name", "Data");
        FAIL() << "no exception";
    } catch (const ui::Exception& e) {  // the class library's exception type
        EXPECT_STREQ(e.what(), "Failed to set data for 'Other Name'");
        EXPECT_NE(dynamic_cast<const ERegistryException*>(&e), nullptr);
    }
    platform.registry.CloseKey(key);
}

}  // namespace
