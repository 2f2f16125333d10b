// The data the programs' pictures are drawn from: the keyboard layout table,
// the physical key caps of a keyboard's main block, and the sectioned texts of
// the installer's and the tray program's text pictures. Portable: the Win32
// side only turns this into pixels.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace layout {

// Shift states a key is drawn and typed with. AltGr is the right Alt key,
// which Windows treats as Ctrl+Alt.
enum Level : int { kBase = 0, kShift = 1, kAltGr = 2, kShiftAltGr = 3 };
constexpr int kLevelCount = 4;

// One key of the layout table.
struct KeyAssignment {
    unsigned scanCode = 0;          // set-1 make code
    char32_t legend = 0;            // what a US key cap shows
    char32_t levels[kLevelCount] = {};  // 0: the level types nothing
};

// A malformed table or text; what() names the line.
class DataError : public std::runtime_error {
public:
    DataError(int line, const std::string& message);
    int Line() const { return line_; }

private:
    int line_;
};

// Parses the layout table text. Format, one key per line, fields separated by
// one tab: scan code (two hex digits), US legend, then the four levels. A level
// is one character written as itself or as U+XXXX, or "-" for none. Blank lines
// and lines starting with '#' are skipped. Throws DataError on a malformed
// line or a key that appears twice.
std::vector<KeyAssignment> ParseLayoutTable(std::string_view text);

// The layout table compiled into the program, parsed on first use.
const std::vector<KeyAssignment>& Table();

// The key with that scan code, or null.
const KeyAssignment* FindKey(const std::vector<KeyAssignment>& table, unsigned scanCode);

// UTF-8 of one code point (empty for 0).
std::string Utf8(char32_t c);

// Decodes UTF-8; false on a malformed sequence.
bool DecodeUtf8(std::string_view text, std::u32string* out);

// ---- the keyboard's main block, as the pictures draw it ----

enum class CapKind {
    Character,  // a key of the layout table
    Backspace, Tab, CapsLock, Enter, Shift, Ctrl, Win, Alt, AltGr, Menu, Space
};

// One key cap. Positions and widths are in quarters of a standard key, so a
// row of the ANSI main block is kRowUnits wide and rows are stacked from 0.
struct KeyCap {
    unsigned scanCode;  // extended keys as 0xE0xx
    CapKind kind;
    const char* label;  // name printed on a non-character key, else null
    int row;
    int left;
    int width;
};
constexpr int kUnitsPerKey = 4;
constexpr int kRowUnits = 60;
constexpr int kRowCount = 5;

// The caps of a US (ANSI) main block, row by row, left to right.
const std::vector<KeyCap>& KeyboardCaps();

// ---- sectioned texts ----

// Format: "[name]" opens a section; the lines after it, up to a blank line,
// form a paragraph (joined with single spaces). A line starting with "= " is
// a heading of its own; a paragraph whose first line starts with "@ " is a
// link. Lines starting with '#' are comments. Text before the first section, a malformed or repeated
// section name, or an empty section is an error.
struct Paragraph {
    enum class Style { Body, Heading, Link };
    Style style = Style::Body;
    std::string text;
};
struct TextSection {
    std::string name;
    std::vector<Paragraph> paragraphs;
};

std::vector<TextSection> ParseTextSections(std::string_view text);
const TextSection* FindSection(const std::vector<TextSection>& sections, std::string_view name);

// The Russian letters in alphabetical order with the keys that type them,
// from the table: "А — A, Б — B, ..., Ч — «;», ...", each pair joined by
// no-break spaces. Keys that are not Latin letters are quoted.
std::string LetterPlaces(const std::vector<KeyAssignment>& table);

// Replaces every "{site}" with the product's web host and every "{letters}"
// with LetterPlaces of the compiled-in table.
std::string ExpandPlaceholders(std::string text);

// The texts compiled into the programs, parsed on first use: the installer's
// pictures (sections head, foot, head_rem, foot_rem) and the About page
// (section about).
const std::vector<TextSection>& SetupTexts();
const std::vector<TextSection>& AboutTexts();

}  // namespace layout
