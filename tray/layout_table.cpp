#include "tray/layout_table.h"

#include <algorithm>
#include <cstdint>

#include "core/product.h"
#include "kAboutText.h"
#include "kLayoutTableText.h"
#include "kSetupTexts.h"

namespace layout {

DataError::DataError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

std::string Utf8(char32_t c) {
    std::string s;
    auto u = static_cast<std::uint32_t>(c);
    if (u == 0) return s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (u >> 18));
        s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

bool DecodeUtf8(std::string_view text, std::u32string* out) {
    out->clear();
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra;
        std::uint32_t cp;
        std::uint32_t minimum;
        if (b < 0x80) { extra = 0; cp = b; minimum = 0; }
        else if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; minimum = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; minimum = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; minimum = 0x10000; }
        else return false;
        if (text.size() - i <= static_cast<std::size_t>(extra)) return false;  // cut short
        for (int k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not text.
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        out->push_back(static_cast<char32_t>(cp));
        i += extra + 1;
    }
    return true;
}

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    // A byte-order mark some editors add is not part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

unsigned HexValue(std::string_view digits) {
    unsigned v = 0;
    for (char c : digits) {
        v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return v;
}

// One character of a table field: itself or U+XXXX.
char32_t ParseCharacter(std::string_view field, int line, const char* what) {
    if (field.size() > 2 && field.substr(0, 2) == "U+") {
        std::string_view digits = field.substr(2);
        if (digits.size() < 4 || digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(), IsHex)) {
            throw DataError(line, std::string(what) + ": bad code point \"" + std::string(field) + "\"");
        }
        unsigned v = HexValue(digits);
        if (v < 0x20 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF) || (v >= 0x7F && v < 0xA0)) {
            throw DataError(line, std::string(what) + ": " + std::string(field) + " is not a printable character");
        }
        return static_cast<char32_t>(v);
    }
    std::u32string decoded;
    if (!DecodeUtf8(field, &decoded)) {
        throw DataError(line, std::string(what) + ": malformed UTF-8");
    }
    if (decoded.size() != 1) {
        throw DataError(line, std::string(what) + ": expected one character, found \"" + std::string(field) + "\"");
    }
    char32_t c = decoded[0];
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        throw DataError(line, std::string(what) + ": control character");
    }
    return c;
}

const char* const kFieldNames[] = {"scan code", "key", "base", "shift", "altgr", "shift+altgr"};

}  // namespace

std::vector<KeyAssignment> ParseLayoutTable(std::string_view text) {
    std::vector<KeyAssignment> table;
    int number = 0;
    for (std::string_view line : SplitLines(text)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string_view> fields;
        std::string_view rest = line;
        for (;;) {
            auto tab = rest.find('\t');
            fields.push_back(rest.substr(0, tab));
            if (tab == std::string_view::npos) break;
            rest.remove_prefix(tab + 1);
        }
        if (fields.size() != 6) {
            throw DataError(number, "expected 6 tab-separated fields, found " + std::to_string(fields.size()));
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].empty()) throw DataError(number, std::string(kFieldNames[i]) + ": empty field");
        }
        KeyAssignment key;
        if (fields[0].size() != 2 || !IsHex(fields[0][0]) || !IsHex(fields[0][1]) ||
            HexValue(fields[0]) == 0 || HexValue(fields[0]) > 0x7F) {
            throw DataError(number, "scan code: expected two hex digits 01..7F, found \"" + std::string(fields[0]) + "\"");
        }
        key.scanCode = HexValue(fields[0]);
        if (fields[1] == "-") throw DataError(number, "key: a key needs a legend");
        key.legend = ParseCharacter(fields[1], number, kFieldNames[1]);
        for (int level = 0; level < kLevelCount; ++level) {
            std::string_view f = fields[2 + level];
            key.levels[level] = f == "-" ? 0 : ParseCharacter(f, number, kFieldNames[2 + level]);
        }
        for (const KeyAssignment& other : table) {
            if (other.scanCode == key.scanCode) {
                throw DataError(number, "scan code " + std::string(fields[0]) + " appears twice");
            }
            if (other.legend == key.legend) {
                throw DataError(number, "key " + Utf8(key.legend) + " appears twice");
            }
        }
        table.push_back(key);
    }
    if (table.empty()) throw DataError(number, "the table has no keys");
    return table;
}

const std::vector<KeyAssignment>& Table() {
    static const std::vector<KeyAssignment> table =
        ParseLayoutTable(std::string_view(kLayoutTableText, sizeof kLayoutTableText - 1));
    return table;
}

const KeyAssignment* FindKey(const std::vector<KeyAssignment>& table, unsigned scanCode) {
    for (const KeyAssignment& k : table) {
        if (k.scanCode == scanCode) return &k;
    }
    return nullptr;
}

const std::vector<KeyCap>& KeyboardCaps() {
    using K = CapKind;
    static const std::vector<KeyCap> caps = [] {
        std::vector<KeyCap> v;
        auto row = [&v](int r, std::initializer_list<std::pair<unsigned, int>> keys) {
            int left = 0;
            for (auto [scan, width] : keys) {
                v.push_back({scan, K::Character, nullptr, r, left, width});
                left += width;
            }
        };
        auto special = [&v](int r, unsigned scan, K kind, const char* label, int left, int width) {
            v.push_back({scan, kind, label, r, left, width});
        };
        // Digits row: ` 1..0 - =, then Backspace.
        row(0, {{0x29, 4}, {0x02, 4}, {0x03, 4}, {0x04, 4}, {0x05, 4}, {0x06, 4}, {0x07, 4},
                {0x08, 4}, {0x09, 4}, {0x0A, 4}, {0x0B, 4}, {0x0C, 4}, {0x0D, 4}});
        special(0, 0x0E, K::Backspace, "Backspace", 52, 8);
        // Tab, Q..], then the backslash key 1.5 wide.
        special(1, 0x0F, K::Tab, "Tab", 0, 6);
        for (unsigned i = 0; i < 12; ++i) v.push_back({0x10 + i, K::Character, nullptr, 1, 6 + 4 * static_cast<int>(i), 4});
        v.push_back({0x2B, K::Character, nullptr, 1, 54, 6});
        // Caps Lock, A..', Enter.
        special(2, 0x3A, K::CapsLock, "Caps Lock", 0, 7);
        for (unsigned i = 0; i < 11; ++i) v.push_back({0x1E + i, K::Character, nullptr, 2, 7 + 4 * static_cast<int>(i), 4});
        special(2, 0x1C, K::Enter, "Enter", 51, 9);
        // Shift, Z../, Shift.
        special(3, 0x2A, K::Shift, "Shift", 0, 9);
        for (unsigned i = 0; i < 10; ++i) v.push_back({0x2C + i, K::Character, nullptr, 3, 9 + 4 * static_cast<int>(i), 4});
        special(3, 0x36, K::Shift, "Shift", 49, 11);
        // Modifiers and the space bar.
        special(4, 0x1D, K::Ctrl, "Ctrl", 0, 5);
        special(4, 0xE05B, K::Win, "Win", 5, 5);
        special(4, 0x38, K::Alt, "Alt", 10, 5);
        special(4, 0x39, K::Space, "", 15, 25);
        special(4, 0xE038, K::AltGr, "AltGr", 40, 5);
        special(4, 0xE05C, K::Win, "Win", 45, 5);
        special(4, 0xE05D, K::Menu, "Menu", 50, 5);
        special(4, 0xE01D, K::Ctrl, "Ctrl", 55, 5);
        return v;
    }();
    return caps;
}

std::vector<TextSection> ParseTextSections(std::string_view text) {
    std::vector<TextSection> sections;
    bool inParagraph = false;
    int number = 0;
    int sectionLine = 0;
    auto finishSection = [&]() {
        if (!sections.empty() && sections.back().paragraphs.empty()) {
            throw DataError(sectionLine, "section [" + sections.back().name + "] has no text");
        }
    };
    for (std::string_view line : SplitLines(text)) {
        ++number;
        if (!line.empty() && line[0] == '#') continue;
        std::string_view trimmed = line;
        while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
        while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t')) trimmed.remove_prefix(1);
        if (trimmed.empty()) {
            inParagraph = false;
            continue;
        }
        if (trimmed.front() == '[') {
            if (trimmed.back() != ']' || trimmed.size() < 3) {
                throw DataError(number, "malformed section name \"" + std::string(trimmed) + "\"");
            }
            std::string name(trimmed.substr(1, trimmed.size() - 2));
            for (char c : name) {
                bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
                if (!ok) throw DataError(number, "malformed section name \"" + name + "\"");
            }
            if (FindSection(sections, name)) {
                throw DataError(number, "section [" + name + "] appears twice");
            }
            finishSection();
            sections.push_back({name, {}});
            sectionLine = number;
            inParagraph = false;
            continue;
        }
        if (sections.empty()) throw DataError(number, "text before the first section");
        std::u32string check;
        if (!DecodeUtf8(trimmed, &check)) throw DataError(number, "malformed UTF-8");
        auto& paragraphs = sections.back().paragraphs;
        if (inParagraph) {
            paragraphs.back().text += ' ';
            paragraphs.back().text += trimmed;
            continue;
        }
        Paragraph p;
        if (trimmed.substr(0, 2) == "= ") {
            p.style = Paragraph::Style::Heading;
            trimmed.remove_prefix(2);
        } else if (trimmed.substr(0, 2) == "@ ") {
            p.style = Paragraph::Style::Link;
            trimmed.remove_prefix(2);
        }
        // A heading is one line; the text under it starts a paragraph of its own.
        inParagraph = p.style != Paragraph::Style::Heading;
        p.text = std::string(trimmed);
        paragraphs.push_back(std::move(p));
    }
    finishSection();
    if (sections.empty()) throw DataError(number, "no sections");
    return sections;
}

const TextSection* FindSection(const std::vector<TextSection>& sections, std::string_view name) {
    for (const TextSection& s : sections) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

std::string LetterPlaces(const std::vector<KeyAssignment>& table) {
    // Alphabetical order puts Ё right after Е.
    std::u32string alphabet;
    for (char32_t c = U'А'; c <= U'Я'; ++c) {
        alphabet += c;
        if (c == U'Е') alphabet += U'Ё';
    }
    std::string out;
    for (char32_t upper : alphabet) {
        for (const KeyAssignment& k : table) {
            if (k.levels[kShift] != upper) continue;
            if (!out.empty()) out += ", ";
            // No-break spaces keep each pair on one line when the text wraps.
            out += Utf8(upper) + "\u00A0\u2014\u00A0";
            bool latin = (k.legend >= U'A' && k.legend <= U'Z');
            out += latin ? Utf8(k.legend) : "\u00AB" + Utf8(k.legend) + "\u00BB";
        }
    }
    return out;
}

namespace {
void ReplaceAll(std::string& text, std::string_view what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.replace(at, what.size(), with);
        at += with.size();
    }
}
}  // namespace

std::string ExpandPlaceholders(std::string text) {
    ReplaceAll(text, "{site}", product::kWebHost);
    if (text.find("{letters}") != std::string::npos) ReplaceAll(text, "{letters}", LetterPlaces(Table()));
    return text;
}

const std::vector<TextSection>& SetupTexts() {
    static const std::vector<TextSection> texts =
        ParseTextSections(std::string_view(kSetupTexts, sizeof kSetupTexts - 1));
    return texts;
}

const std::vector<TextSection>& AboutTexts() {
    static const std::vector<TextSection> texts =
        ParseTextSections(std::string_view(kAboutText, sizeof kAboutText - 1));
    return texts;
}

}  // namespace layout
