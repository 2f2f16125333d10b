// Layout registrar: registers the Brevok layout with Windows or removes it.
//
//   load32.exe / load64.exe        register (create the layout's key)
//   load32.exe c / load64.exe c    the same as no argument
//   load32.exe u / load64.exe u    remove the key, and the layout from the
//                                  current user's Preload and Substitutes
//
// Exit status 0 on success, otherwise one line on stderr and a status from
// registrar::ExitCode. Never reads the console: the setup program waits for
// it to end by itself.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "registrar_logic.h"

namespace {

#ifdef _WIN64
const char kProgram[] = "load64";
#else
const char kProgram[] = "load32";
#endif

// A 32-bit registrar on 64-bit Windows must write where 64-bit Windows reads.
// Only asked for under WOW64: older 32-bit systems need not know the flag.
REGSAM RegistryView() {
#ifdef _WIN64
  return KEY_WOW64_64KEY;
#else
  typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                     reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                               : nullptr;
  BOOL wow64 = FALSE;
  if (isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64) return KEY_WOW64_64KEY;
  return 0;
#endif
}

std::string SystemText(LONG code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  return result;
}

// Thrown by the steps below; main turns it into the one-line report.
struct Failure {
  std::string what;
  LONG code;
  int exitCode;
};

void Check(LONG status, const std::string& what) {
  if (status != ERROR_SUCCESS) throw Failure{what, status, registrar::kExitRegistry};
}

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (handle_) RegCloseKey(handle_);
  }
  HKEY* Out() { return &handle_; }
  HKEY Get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

// A REG_SZ (or REG_EXPAND_SZ) value's text; nothing when absent or of another type.
bool ReadString(HKEY key, const char* name, std::string& text) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::vector<char> buffer(size + 1, '\0');
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS)
    return false;
  text.assign(buffer.data());
  return true;
}

void WriteString(HKEY key, const std::string& name, const std::string& data, const std::string& where) {
  Check(RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)),
        "cannot write \"" + name + "\" in " + where);
}

std::vector<registrar::NamedValue> ReadStringValues(HKEY key) {
  std::vector<registrar::NamedValue> values;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    LONG status = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    Check(status, "cannot list values");
    std::string data;
    if (ReadString(key, name, data)) values.push_back({name, data});
  }
  return values;
}

std::vector<registrar::LayoutEntry> ReadLayouts(REGSAM view) {
  std::vector<registrar::LayoutEntry> layouts;
  Key all;
  LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, registrar::kLayoutsKey, 0,
                              KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, all.Out());
  if (status == ERROR_FILE_NOT_FOUND) return layouts;
  Check(status, std::string("cannot open HKLM\\") + registrar::kLayoutsKey);
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name;
    status = RegEnumKeyExA(all.Get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    Check(status, std::string("cannot list HKLM\\") + registrar::kLayoutsKey);
    registrar::LayoutEntry entry{name, ""};
    Key layout;
    if (RegOpenKeyExA(all.Get(), name, 0, KEY_QUERY_VALUE | view, layout.Out()) == ERROR_SUCCESS) {
      ReadString(layout.Get(), "Layout Id", entry.layoutId);
    }
    layouts.push_back(entry);
  }
  return layouts;
}

void Register() {
  const REGSAM view = RegistryView();
  const std::string where = std::string("HKLM\\") + registrar::kLayoutKey;
  std::optional<std::string> layoutId =
      registrar::ChooseLayoutId(ReadLayouts(view), registrar::kLayoutName);
  if (!layoutId) throw Failure{"no free Layout Id from 00c0 to ffff", 0, registrar::kExitNoFreeId};

  Key key;
  Check(RegCreateKeyExA(HKEY_LOCAL_MACHINE, registrar::kLayoutKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_QUERY_VALUE | view, nullptr, key.Out(), nullptr),
        "cannot create " + where);
  WriteString(key.Get(), "Layout File", registrar::kLayoutFile, where);
  WriteString(key.Get(), "Layout Text", registrar::kLayoutText, where);
  WriteString(key.Get(), "Layout Id", *layoutId, where);
}

// RegDeleteKeyExA reaches the 64-bit view from a 32-bit process; systems
// before it (XP 32-bit, 2000) have one view only, where RegDeleteKeyA serves.
LONG DeleteLayoutKey(REGSAM view) {
  typedef LONG(WINAPI * RegDeleteKeyExAFn)(HKEY, LPCSTR, REGSAM, DWORD);
  LONG status;
  HMODULE advapi = LoadLibraryA("advapi32.dll");
  auto deleteKeyEx = advapi ? reinterpret_cast<RegDeleteKeyExAFn>(
                                  reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExA")))
                            : nullptr;
  if (deleteKeyEx) status = deleteKeyEx(HKEY_LOCAL_MACHINE, registrar::kLayoutKey, view, 0);
  else status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, registrar::kLayoutKey);
  if (advapi) FreeLibrary(advapi);
  return status;
}

void CleanUserLists() {
  std::vector<registrar::NamedValue> substitutes;
  Key substitutesKey;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, registrar::kSubstitutesKey, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, substitutesKey.Out());
  const std::string substitutesWhere = std::string("HKCU\\") + registrar::kSubstitutesKey;
  if (status != ERROR_FILE_NOT_FOUND) {
    Check(status, "cannot open " + substitutesWhere);
    substitutes = ReadStringValues(substitutesKey.Get());
  }

  Key preloadKey;
  status = RegOpenKeyExA(HKEY_CURRENT_USER, registrar::kPreloadKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                         preloadKey.Out());
  const std::string preloadWhere = std::string("HKCU\\") + registrar::kPreloadKey;
  if (status != ERROR_FILE_NOT_FOUND) {
    Check(status, "cannot open " + preloadWhere);
    registrar::PreloadPlan plan = registrar::PlanPreloadRemoval(ReadStringValues(preloadKey.Get()),
                                                                substitutes, registrar::kLayoutName);
    for (const registrar::NamedValue& value : plan.write) {
      WriteString(preloadKey.Get(), value.name, value.data, preloadWhere);
    }
    for (const std::string& name : plan.remove) {
      Check(RegDeleteValueA(preloadKey.Get(), name.c_str()),
            "cannot delete \"" + name + "\" in " + preloadWhere);
    }
  }

  // Substitutes last: the Preload plan needed them to recognise our entries.
  for (const std::string& name : registrar::SubstitutesToRemove(substitutes, registrar::kLayoutName)) {
    Check(RegDeleteValueA(substitutesKey.Get(), name.c_str()),
          "cannot delete \"" + name + "\" in " + substitutesWhere);
  }
}

void Unregister() {
  LONG status = DeleteLayoutKey(RegistryView());
  // Nothing registered is the state asked for.
  if (status != ERROR_FILE_NOT_FOUND) {
    Check(status, std::string("cannot delete HKLM\\") + registrar::kLayoutKey);
  }
  CleanUserLists();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  registrar::Command command = registrar::ParseArguments(args);
  if (command.action == registrar::Action::Invalid) {
    std::fprintf(stderr, "%s: %s\n", kProgram, command.error.c_str());
    return registrar::kExitUsage;
  }
  try {
    if (command.action == registrar::Action::Register) Register();
    else Unregister();
  } catch (const Failure& failure) {
    std::string line = failure.code ? registrar::FailureLine(kProgram, failure.what, SystemText(failure.code),
                                                             failure.code)
                                    : std::string(kProgram) + ": " + failure.what;
    std::fprintf(stderr, "%s\n", line.c_str());
    return failure.exitCode;
  }
  return registrar::kExitOk;
}
