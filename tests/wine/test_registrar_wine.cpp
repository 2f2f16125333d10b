// The Layout registrar (load32.exe, load64.exe) and the layout library
// (Qvkey.dll) from the assembled package folder, run for real under Wine.
// The folder comes from BREVOK_PACKAGE_DIR.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "package/qvkey/kbd_tables.h"
#include "setup_runs.h"

namespace {

const char kLayoutsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
const char kOurKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0010419";
// Another layout the tests plant to occupy a Layout Id.
const char kDecoyKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\b7770409";
const char kPreloadKey[] = "Keyboard Layout\\Preload";
const char kSubstitutesKey[] = "Keyboard Layout\\Substitutes";
const REGSAM kView = KEY_WOW64_64KEY;

std::string PackageDir() {
  const char* dir = std::getenv("BREVOK_PACKAGE_DIR");
  std::string text = dir ? dir : "";
  while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

using e2e::ReadWholeFile;

std::string TempFile(const char* prefix) {
  char folder[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, prefix, 0, path);
  return path;
}

struct RunResult {
  DWORD exitCode = STILL_ACTIVE;
  std::string out;
  std::string err;
};

// Runs a package program with its output sent to files. Its input is a pipe
// that never delivers anything, so a program that reads the console would
// hang here and be reported as still running.
RunResult RunPackageProgram(const std::string& exe, const std::string& arguments) {
  RunResult result;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  std::string outPath = TempFile("out"), errPath = TempFile("err");
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  HANDLE inRead = nullptr, inWrite = nullptr;
  CreatePipe(&inRead, &inWrite, &inherit, 0);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info = {};
  std::string path = PackageDir() + "\\" + exe;
  std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info)) {
    if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(info.hProcess, &result.exitCode);
    } else {
      TerminateProcess(info.hProcess, 1);
      result.exitCode = STILL_ACTIVE;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  } else {
    ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
  }
  CloseHandle(inRead);
  CloseHandle(inWrite);
  CloseHandle(out);
  CloseHandle(err);
  result.out = ReadWholeFile(outPath);
  result.err = ReadWholeFile(errPath);
  DeleteFileA(outPath.c_str());
  DeleteFileA(errPath.c_str());
  return result;
}

// ---- registry helpers (64-bit view for HKLM) ----

bool KeyExists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | kView, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ReadValue(HKEY root, const char* path, REGSAM view, const char* name, std::string* data) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return false;
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1, type = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return false;
  *data = buffer;
  return true;
}

std::string LayoutValue(const char* name) {
  std::string data;
  EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, kOurKey, kView, name, &data)) << "no value \"" << name << "\"";
  return data;
}

void DeleteKey(const char* path) {
  LONG status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, kView, 0);
  ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << path << ": " << status;
}

void WriteLayoutKey(const char* path, const std::string& layoutId) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Layout Id", 0, REG_SZ, reinterpret_cast<const BYTE*>(layoutId.c_str()),
                 static_cast<DWORD>(layoutId.size() + 1));
  RegCloseKey(key);
}

using Values = std::map<std::string, std::string>;

Values ReadValues(const char* path) {
  Values values;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[256], data[256] = {};
    DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
        ERROR_SUCCESS)
      break;
    values[name] = data;
  }
  RegCloseKey(key);
  return values;
}

// Replaces every value of the key by these.
void WriteValues(const char* path, const Values& values) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& [name, data] : ReadValues(path)) RegDeleteValueA(key, name.c_str());
  for (const auto& [name, data] : values) {
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
  }
  RegCloseKey(key);
}

// Layout Ids of every installed layout but ours, as numbers.
std::set<unsigned> OtherLayoutIds() {
  std::set<unsigned> ids;
  HKEY all;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayoutsKey, 0, KEY_READ | kView, &all) != ERROR_SUCCESS) return ids;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(all, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (_stricmp(name, "a0010419") == 0) continue;
    std::string id;
    std::string path = std::string(kLayoutsKey) + "\\" + name;
    if (ReadValue(HKEY_LOCAL_MACHINE, path.c_str(), kView, "Layout Id", &id)) {
      ids.insert(static_cast<unsigned>(std::strtoul(id.c_str(), nullptr, 16)));
    }
  }
  RegCloseKey(all);
  return ids;
}

bool IsFourHexDigits(const std::string& text) {
  return text.size() == 4 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

std::string OneLine(const std::string& text) {
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// ---- the registrar, both builds ----

class RegistrarTest : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(PackageDir().empty()) << "BREVOK_PACKAGE_DIR is not set";
    savedPreload_ = ReadValues(kPreloadKey);
    savedSubstitutes_ = ReadValues(kSubstitutesKey);
    DeleteKey(kOurKey);
    DeleteKey(kDecoyKey);
  }
  void TearDown() override {
    DeleteKey(kOurKey);
    DeleteKey(kDecoyKey);
    WriteValues(kPreloadKey, savedPreload_);
    WriteValues(kSubstitutesKey, savedSubstitutes_);
  }
  RunResult RunRegistrar(const std::string& arguments) { return RunPackageProgram(GetParam(), arguments); }
  void ExpectSuccess(const RunResult& r, const std::string& arguments) {
    EXPECT_EQ(r.exitCode, 0u) << GetParam() << " " << arguments << ": " << r.err;
    EXPECT_EQ(r.err, "") << GetParam() << " " << arguments;
  }

 private:
  Values savedPreload_, savedSubstitutes_;
};

TEST_P(RegistrarTest, RegisterCreatesLayoutKeyWithItsValues) {
  for (const char* arguments : {"", "c"}) {
    DeleteKey(kOurKey);
    RunResult r = RunRegistrar(arguments);
    ExpectSuccess(r, arguments);
    ASSERT_TRUE(KeyExists(kOurKey)) << "argument \"" << arguments << "\"";
    EXPECT_EQ(LayoutValue("Layout File"), "qvkey.dll");
    EXPECT_NE(LayoutValue("Layout Text").find("Brevok"), std::string::npos);
    std::string id = LayoutValue("Layout Id");
    ASSERT_TRUE(IsFourHexDigits(id)) << id;
    unsigned number = std::strtoul(id.c_str(), nullptr, 16);
    EXPECT_GE(number, 0xc0u);
    EXPECT_EQ(OtherLayoutIds().count(number), 0u) << "Layout Id " << id << " is another layout's";
  }
}

TEST_P(RegistrarTest, RegisteringAgainKeepsTheLayoutId) {
  ExpectSuccess(RunRegistrar(""), "");
  std::string first = LayoutValue("Layout Id");
  ExpectSuccess(RunRegistrar(""), "");
  EXPECT_EQ(LayoutValue("Layout Id"), first);

  // An id that is ours but not the lowest free one survives as well.
  WriteLayoutKey(kOurKey, "0abc");
  ASSERT_EQ(OtherLayoutIds().count(0xabc), 0u);
  ExpectSuccess(RunRegistrar("c"), "c");
  EXPECT_EQ(LayoutValue("Layout Id"), "0abc");
}

TEST_P(RegistrarTest, ChoosesTheLowestIdNoOtherLayoutUses) {
  std::set<unsigned> used = OtherLayoutIds();
  unsigned lowestFree = 0xc0;
  while (used.count(lowestFree)) ++lowestFree;
  // Occupy it, written in capitals as Windows writes its own.
  char text[8];
  wsprintfA(text, "%04X", lowestFree);
  WriteLayoutKey(kDecoyKey, text);

  ExpectSuccess(RunRegistrar(""), "");
  std::string id = LayoutValue("Layout Id");
  ASSERT_TRUE(IsFourHexDigits(id)) << id;
  unsigned chosen = std::strtoul(id.c_str(), nullptr, 16);
  used = OtherLayoutIds();
  EXPECT_EQ(used.count(chosen), 0u) << id << " clashes with the planted layout " << text;
  for (unsigned below = 0xc0; below < chosen; ++below) {
    EXPECT_EQ(used.count(below), 1u) << "free id " << std::hex << below << " was skipped";
  }
}

TEST_P(RegistrarTest, UnregisterRemovesTheKeyAndSucceedsWhenNothingIsRegistered) {
  ExpectSuccess(RunRegistrar(""), "");
  ASSERT_TRUE(KeyExists(kOurKey));
  ExpectSuccess(RunRegistrar("u"), "u");
  EXPECT_FALSE(KeyExists(kOurKey));
  ExpectSuccess(RunRegistrar("u"), "u (again)");
  EXPECT_FALSE(KeyExists(kOurKey));
}

TEST_P(RegistrarTest, UnregisterTakesTheLayoutOutOfTheUsersLists) {
  ExpectSuccess(RunRegistrar(""), "");
  WriteValues(kPreloadKey, {{"1", "00000409"},
                            {"2", "a0010419"},
                            {"3", "00000419"},
                            {"4", "d0010419"},
                            {"5", "00000407"}});
  WriteValues(kSubstitutesKey, {{"d0010419", "a0010419"}, {"d0000409", "00020409"}});

  ExpectSuccess(RunRegistrar("u"), "u");

  EXPECT_EQ(ReadValues(kPreloadKey), (Values{{"1", "00000409"}, {"2", "00000419"}, {"3", "00000407"}}));
  EXPECT_EQ(ReadValues(kSubstitutesKey), (Values{{"d0000409", "00020409"}}));
}

TEST_P(RegistrarTest, UnregisterLeavesListsWithoutTheLayoutAlone) {
  Values preload = {{"1", "00000409"}, {"3", "00000419"}};
  WriteValues(kPreloadKey, preload);
  WriteValues(kSubstitutesKey, {{"d0000409", "00020409"}});
  ExpectSuccess(RunRegistrar("u"), "u");
  EXPECT_EQ(ReadValues(kPreloadKey), preload);
  EXPECT_EQ(ReadValues(kSubstitutesKey), (Values{{"d0000409", "00020409"}}));
}

TEST_P(RegistrarTest, BadArgumentsFailWithOneLineReasonAndChangeNothing) {
  struct Case {
    const char* arguments;
    const char* reason;
  } cases[] = {
      {"x", "unknown argument \"x\""},
      {"-u", "unknown argument \"-u\""},
      {"u c", "too many arguments"},
  };
  for (const Case& c : cases) {
    for (bool registered : {false, true}) {
      DeleteKey(kOurKey);
      if (registered) ExpectSuccess(RunRegistrar(""), "");
      RunResult r = RunRegistrar(c.arguments);
      EXPECT_EQ(r.exitCode, 1u) << c.arguments;
      std::string line = OneLine(r.err);
      EXPECT_NE(line.find(c.reason), std::string::npos) << c.arguments << ": \"" << r.err << "\"";
      EXPECT_EQ(line.find('\n'), std::string::npos) << "more than one line: \"" << r.err << "\"";
      EXPECT_EQ(line.rfind(std::string(GetParam()).substr(0, 6) + ": ", 0), 0u) << line;
      EXPECT_EQ(KeyExists(kOurKey), registered) << c.arguments;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, RegistrarTest, testing::Values("load32.exe", "load64.exe"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(0, 6);
                         });

// ---- the layout library ----

WORD MachineOf(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  if (bytes.size() < 0x40) return 0;
  LONG peOffset;
  std::memcpy(&peOffset, bytes.data() + 0x3c, sizeof peOffset);
  if (peOffset < 0 || bytes.size() < static_cast<size_t>(peOffset) + 24) return 0;
  if (bytes.compare(static_cast<size_t>(peOffset), 4, std::string("PE\0\0", 4)) != 0) return 0;
  IMAGE_FILE_HEADER header;
  std::memcpy(&header, bytes.data() + peOffset + 4, sizeof header);
  if (!(header.Characteristics & IMAGE_FILE_DLL)) return 0;
  return header.Machine;
}

TEST(LayoutLibrary, BothBuildsAreDllsOfTheirArchitecture) {
  ASSERT_FALSE(PackageDir().empty()) << "BREVOK_PACKAGE_DIR is not set";
  EXPECT_EQ(MachineOf(PackageDir() + "\\i386\\Qvkey.dll"), IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(MachineOf(PackageDir() + "\\amd64\\Qvkey.dll"), IMAGE_FILE_MACHINE_AMD64);
}

// Looks a virtual key up in the character tables: its characters, or none.
std::vector<WCHAR> CharactersOf(const kbd::KBDTABLES* tables, BYTE vk) {
  for (const kbd::VK_TO_WCHAR_TABLE* t = tables->pVkToWcharTable; t->pVkToWchars; ++t) {
    for (const BYTE* row = static_cast<const BYTE*>(t->pVkToWchars); row[0]; row += t->cbSize) {
      if (row[0] != vk) continue;
      std::vector<WCHAR> chars(t->nModifications);
      std::memcpy(chars.data(), row + 2, t->nModifications * sizeof(WCHAR));
      return chars;
    }
  }
  return {};
}

TEST(LayoutLibrary, OwnBuildLoadsAndDescribesAUsableLayout) {
  ASSERT_FALSE(PackageDir().empty()) << "BREVOK_PACKAGE_DIR is not set";
  std::string path = PackageDir() + (sizeof(void*) == 4 ? "\\i386\\Qvkey.dll" : "\\amd64\\Qvkey.dll");
  HMODULE library = LoadLibraryA(path.c_str());
  ASSERT_NE(library, nullptr) << path << " (error " << GetLastError() << ")";

  // A layout library imports nothing: no C runtime, no system DLL.
  auto base = reinterpret_cast<const BYTE*>(library);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress) {
    auto first = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    EXPECT_EQ(first->Name, 0u) << "the layout library imports a DLL";
  }

  typedef const kbd::KBDTABLES* (*Descriptor)();
  auto descriptor =
      reinterpret_cast<Descriptor>(reinterpret_cast<void*>(GetProcAddress(library, "KbdLayerDescriptor")));
  ASSERT_NE(descriptor, nullptr) << "no export KbdLayerDescriptor";
  const kbd::KBDTABLES* tables = descriptor();
  ASSERT_NE(tables, nullptr);

  EXPECT_EQ(HIWORD(tables->fLocaleFlags), kbd::kVersion);
  EXPECT_EQ(tables->dwType, kbd::kType101);
  ASSERT_NE(tables->pCharModifiers, nullptr);
  ASSERT_NE(tables->pusVSCtoVK, nullptr);
  ASSERT_EQ(tables->bMaxVSCtoVK, 0x80);
  ASSERT_NE(tables->pVSCtoVK_E0, nullptr);
  ASSERT_NE(tables->pVSCtoVK_E1, nullptr);
  ASSERT_NE(tables->pKeyNames, nullptr);

  // Shift is modifier bit 1 and selects the second column.
  const kbd::MODIFIERS* modifiers = tables->pCharModifiers;
  EXPECT_EQ(modifiers->pVkToBit[0].Vk, VK_SHIFT);
  EXPECT_EQ(modifiers->pVkToBit[0].ModBits, kbd::kShift);
  EXPECT_EQ(modifiers->ModNumber[kbd::kShift], 1);

  // Scan codes of a few keys, and what those keys type.
  struct Key {
    BYTE scanCode;
    USHORT vk;
    WCHAR plain, shifted;
  } keys[] = {
      {0x10, 'Q', L'q', L'Q'}, {0x1E, 'A', L'a', L'A'}, {0x2C, 'Z', L'z', L'Z'}, {0x02, '1', L'1', L'!'},
      {0x0C, VK_OEM_MINUS, L'-', L'_'}, {0x1A, VK_OEM_4, L'[', L'{'}, {0x39, VK_SPACE, L' ', L' '},
      {0x1C, VK_RETURN, L'\r', L'\r'},
  };
  for (const Key& key : keys) {
    EXPECT_EQ(tables->pusVSCtoVK[key.scanCode] & 0xFF, key.vk) << "scan code " << int(key.scanCode);
    std::vector<WCHAR> chars = CharactersOf(tables, static_cast<BYTE>(key.vk));
    ASSERT_GE(chars.size(), 2u) << "vk " << key.vk;
    EXPECT_EQ(chars[0], key.plain) << "vk " << key.vk;
    EXPECT_EQ(chars[1], key.shifted) << "vk " << key.vk;
  }

  // The E0 and E1 lists end with a zero entry; Right Ctrl is E0 1D.
  bool rightCtrl = false;
  int count = 0;
  for (const kbd::VSC_VK* e = tables->pVSCtoVK_E0; e->Vsc; ++e, ++count) {
    ASSERT_LT(count, 128) << "E0 list not terminated";
    if (e->Vsc == 0x1D) rightCtrl = (e->Vk & 0xFF) == VK_RCONTROL;
  }
  EXPECT_TRUE(rightCtrl);
  EXPECT_EQ(tables->pVSCtoVK_E1[0].Vk & 0xFF, VK_PAUSE);

  FreeLibrary(library);
}

}  // namespace
