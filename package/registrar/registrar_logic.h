// Decisions of the Layout registrar (load32.exe / load64.exe), kept free of
// <windows.h> so that they run in host tests. load.cpp only reads and writes
// the registry around them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace registrar {

// The layout this package registers, and where Windows looks for layouts.
inline constexpr char kLayoutName[] = "a0010419";
inline constexpr char kLayoutsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kLayoutKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0010419";
inline constexpr char kLayoutFile[] = "qvkey.dll";
inline constexpr char kLayoutText[] = "Russian - Brevok Phonetic";

// Per-user lists that name the layouts a user has added.
inline constexpr char kPreloadKey[] = "Keyboard Layout\\Preload";
inline constexpr char kSubstitutesKey[] = "Keyboard Layout\\Substitutes";

// Layout Ids below this belong to the layouts that ship with Windows.
inline constexpr unsigned kFirstLayoutId = 0x00c0;
inline constexpr unsigned kLastLayoutId = 0xffff;

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,      // unknown or extra argument
  kExitRegistry = 2,   // a registry call failed (e.g. access denied)
  kExitNoFreeId = 3,   // every Layout Id from 00c0 to ffff is taken
};

enum class Action { Register, Unregister, Invalid };

struct Command {
  Action action = Action::Invalid;
  std::string error;  // one line, set when action is Invalid
};

// Arguments after the program name. None, "c" or "C" register; "u" or "U"
// unregister. The setup program passes "c" when it could not find Word and
// assumed its path; the layout itself does not depend on Word, so "c" does
// exactly what no argument does.
Command ParseArguments(const std::vector<std::string>& args);

// A Layout Id as Windows reads it: 1 to 4 hex digits, either letter case.
std::optional<unsigned> ParseLayoutId(const std::string& text);
// Four lower-case hex digits, e.g. 0xc0 -> "00c0".
std::string FormatLayoutId(unsigned id);

// One subkey of Keyboard Layouts: its name and its "Layout Id" value
// (empty when it has none).
struct LayoutEntry {
  std::string keyName;
  std::string layoutId;
};

// The Layout Id for our key: the one it already has when that is well formed,
// in range and used by no other layout; otherwise the lowest id from 00c0
// upward that no other layout uses. Nothing when all are taken.
std::optional<std::string> ChooseLayoutId(const std::vector<LayoutEntry>& layouts,
                                          const std::string& ourKeyName);

// A REG_SZ value: name and data.
struct NamedValue {
  std::string name;
  std::string data;
  bool operator==(const NamedValue&) const = default;
};

// Values of Substitutes whose data is the layout: these go.
std::vector<std::string> SubstitutesToRemove(const std::vector<NamedValue>& substitutes,
                                             const std::string& layout);

// What to do to the Preload list so that it no longer names the layout,
// directly or through one of its substitutes, and stays numbered 1..n.
struct PreloadPlan {
  std::vector<NamedValue> write;   // values to set, in order "1", "2", ...
  std::vector<std::string> remove; // numbered values to delete
  bool Empty() const { return write.empty() && remove.empty(); }
};

// Only values named by a plain decimal number from 1 up take part; others are
// left alone. Entries keep their order (by number).
PreloadPlan PlanPreloadRemoval(const std::vector<NamedValue>& preload,
                               const std::vector<NamedValue>& substitutes,
                               const std::string& layout);

// "load32: <what>: <reason> (error <code>)" with the reason's trailing
// spaces and line breaks dropped, on one line.
std::string FailureLine(const std::string& program, const std::string& what,
                        const std::string& systemText, long code);

}  // namespace registrar
