#include "registrar_logic.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace registrar {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// "1", "2", ... "10": a positive decimal number without sign or leading zero.
std::optional<unsigned> PreloadIndex(const std::string& name) {
  if (name.empty() || name.size() > 6 || name[0] == '0') return std::nullopt;
  unsigned value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

}  // namespace

Command ParseArguments(const std::vector<std::string>& args) {
  Command command;
  if (args.size() > 1) {
    command.error = "too many arguments (expected none, \"c\" or \"u\")";
    return command;
  }
  if (args.empty() || args[0] == "c" || args[0] == "C") {
    command.action = Action::Register;
    return command;
  }
  if (args[0] == "u" || args[0] == "U") {
    command.action = Action::Unregister;
    return command;
  }
  command.error = "unknown argument \"" + args[0] + "\" (expected none, \"c\" or \"u\")";
  return command;
}

std::optional<unsigned> ParseLayoutId(const std::string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::string FormatLayoutId(unsigned id) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(4, '0');
  for (int i = 3; i >= 0; --i) {
    text[static_cast<size_t>(i)] = kDigits[id & 0xf];
    id >>= 4;
  }
  return text;
}

std::optional<std::string> ChooseLayoutId(const std::vector<LayoutEntry>& layouts,
                                          const std::string& ourKeyName) {
  std::set<unsigned> used;
  std::optional<unsigned> own;
  for (const LayoutEntry& entry : layouts) {
    std::optional<unsigned> id = ParseLayoutId(entry.layoutId);
    if (SameName(entry.keyName, ourKeyName)) own = id;
    else if (id) used.insert(*id);
  }
  // Keeping the id lets a layout the user has already added stay as it is.
  if (own && *own >= kFirstLayoutId && !used.count(*own)) return FormatLayoutId(*own);
  for (unsigned id = kFirstLayoutId; id <= kLastLayoutId; ++id) {
    if (!used.count(id)) return FormatLayoutId(id);
  }
  return std::nullopt;
}

std::vector<std::string> SubstitutesToRemove(const std::vector<NamedValue>& substitutes,
                                             const std::string& layout) {
  std::vector<std::string> names;
  for (const NamedValue& value : substitutes) {
    if (SameName(value.data, layout)) names.push_back(value.name);
  }
  return names;
}

PreloadPlan PlanPreloadRemoval(const std::vector<NamedValue>& preload,
                               const std::vector<NamedValue>& substitutes,
                               const std::string& layout) {
  // A user's list may name the layout itself or a substitute that stands for it.
  std::set<std::string> gone{Lower(layout)};
  for (const std::string& name : SubstitutesToRemove(substitutes, layout)) gone.insert(Lower(name));

  std::map<unsigned, const NamedValue*> numbered;
  for (const NamedValue& value : preload) {
    if (std::optional<unsigned> index = PreloadIndex(value.name)) numbered[*index] = &value;
  }

  bool anyGone = std::any_of(numbered.begin(), numbered.end(), [&](const auto& entry) {
    return gone.count(Lower(entry.second->data)) != 0;
  });
  PreloadPlan plan;
  if (!anyGone) return plan;  // gaps already present are not ours to close

  unsigned next = 1;
  for (const auto& [index, value] : numbered) {
    if (gone.count(Lower(value->data))) continue;
    std::string name = std::to_string(next);
    auto same = numbered.find(next);
    if (same == numbered.end() || same->second->data != value->data) {
      plan.write.push_back({name, value->data});
    }
    ++next;
  }
  for (const auto& [index, value] : numbered) {
    if (index >= next) plan.remove.push_back(value->name);
  }
  return plan;
}

std::string FailureLine(const std::string& program, const std::string& what,
                        const std::string& systemText, long code) {
  std::string reason;
  for (char c : systemText) reason += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
  std::string line = program + ": " + what + ": ";
  if (!reason.empty()) line += reason + " ";
  line += "(error " + std::to_string(code) + ")";
  return line;
}

}  // namespace registrar
