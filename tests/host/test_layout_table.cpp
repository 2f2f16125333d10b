// The compiled-in layout table, the key caps the pictures are drawn from, and
// the parsers of the layout table and of the sectioned texts.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "core/product.h"
#include "tray/layout_table.h"

namespace {

using layout::DataError;
using layout::KeyAssignment;
using layout::Table;

std::u32string RussianLowerCase() {
    std::u32string s;
    for (char32_t c = U'а'; c <= U'я'; ++c) s += c;
    s += U'ё';
    return s;
}

char32_t UpperOf(char32_t c) { return c == U'ё' ? U'Ё' : c - 0x20; }

// ---- the compiled-in table ----

TEST(LayoutTable, EveryRussianLetterIsOnTheBaseLevelExactlyOnce) {
    const std::u32string letters = RussianLowerCase();
    ASSERT_EQ(letters.size(), 33u);
    std::map<char32_t, int> seen;
    for (const KeyAssignment& k : Table()) {
        for (char32_t c : {k.levels[layout::kBase], k.levels[layout::kShift]}) {
            if ((c >= U'а' && c <= U'я') || c == U'ё') ++seen[c];
        }
    }
    for (char32_t c : letters) {
        EXPECT_EQ(seen[c], 1) << "letter " << layout::Utf8(c);
    }
}

TEST(LayoutTable, EveryCapitalIsOnTheShiftLevelOfItsLetterKey) {
    std::map<char32_t, int> capitals;
    for (const KeyAssignment& k : Table()) {
        char32_t base = k.levels[layout::kBase];
        char32_t shift = k.levels[layout::kShift];
        if ((shift >= U'А' && shift <= U'Я') || shift == U'Ё') ++capitals[shift];
        if ((base >= U'а' && base <= U'я') || base == U'ё') {
            EXPECT_EQ(shift, UpperOf(base)) << "key " << layout::Utf8(k.legend);
        }
    }
    for (char32_t c : RussianLowerCase()) {
        EXPECT_EQ(capitals[UpperOf(c)], 1) << "capital " << layout::Utf8(UpperOf(c));
    }
    EXPECT_EQ(capitals.size(), 33u);
}

TEST(LayoutTable, NoRussianLetterOnTheAltGrLevels) {
    for (const KeyAssignment& k : Table()) {
        for (int level : {layout::kAltGr, layout::kShiftAltGr}) {
            char32_t c = k.levels[level];
            EXPECT_FALSE(c >= 0x0400 && c <= 0x04FF) << "key " << layout::Utf8(k.legend);
        }
    }
}

TEST(LayoutTable, LettersSitOnTheLatinKeysThatSoundAlike) {
    const std::map<char32_t, char32_t> alike = {
        {U'A', U'а'}, {U'B', U'б'}, {U'V', U'в'}, {U'G', U'г'}, {U'D', U'д'}, {U'E', U'е'},
        {U'Z', U'з'}, {U'I', U'и'}, {U'J', U'й'}, {U'K', U'к'}, {U'L', U'л'}, {U'M', U'м'},
        {U'N', U'н'}, {U'O', U'о'}, {U'P', U'п'}, {U'R', U'р'}, {U'S', U'с'}, {U'T', U'т'},
        {U'U', U'у'}, {U'F', U'ф'}, {U'H', U'х'}, {U'C', U'ц'}};
    for (auto [legend, letter] : alike) {
        const KeyAssignment* key = nullptr;
        for (const KeyAssignment& k : Table()) {
            if (k.legend == legend) key = &k;
        }
        ASSERT_NE(key, nullptr) << "no key " << layout::Utf8(legend);
        EXPECT_EQ(key->levels[layout::kBase], letter) << "key " << layout::Utf8(legend);
    }
}

TEST(LayoutTable, DigitsRowKeepsDigitsAndTheirShiftSymbols) {
    const char32_t shifted[] = U"!@#$%^&*()";
    for (unsigned i = 0; i < 10; ++i) {
        const KeyAssignment* k = layout::FindKey(Table(), 0x02 + i);
        ASSERT_NE(k, nullptr) << "scan " << 0x02 + i;
        char32_t digit = i == 9 ? U'0' : U'1' + i;
        EXPECT_EQ(k->legend, digit);
        EXPECT_EQ(k->levels[layout::kBase], digit);
        EXPECT_EQ(k->levels[layout::kShift], shifted[i]);
    }
}

TEST(LayoutTable, EveryUsKeyboardCharacterIsStillReachable) {
    std::set<char32_t> reachable;
    for (const KeyAssignment& k : Table()) {
        for (char32_t c : k.levels) reachable.insert(c);
    }
    // What the main block of a US keyboard types, letters aside.
    for (char c : std::string("`~1!2@3#4$5%6^7&8*9(0)-_=+[{]}\\|;:'\",<.>/?")) {
        EXPECT_TRUE(reachable.count(static_cast<char32_t>(c))) << "character " << c;
    }
    for (char32_t extra : {U'₽', U'«', U'»', U'—', U'№'}) {
        EXPECT_TRUE(reachable.count(extra)) << "character " << layout::Utf8(extra);
    }
}

TEST(LayoutTable, NoKeyAppearsTwice) {
    std::set<unsigned> scans;
    std::set<char32_t> legends;
    for (const KeyAssignment& k : Table()) {
        EXPECT_TRUE(scans.insert(k.scanCode).second) << "scan " << k.scanCode;
        EXPECT_TRUE(legends.insert(k.legend).second) << "key " << layout::Utf8(k.legend);
    }
    EXPECT_EQ(Table().size(), 47u);  // the character keys of a US main block
}

TEST(LayoutTable, NoCharacterIsTypedByTwoKeysOrLevels) {
    std::map<char32_t, int> count;
    for (const KeyAssignment& k : Table()) {
        for (char32_t c : k.levels) {
            if (c != 0) ++count[c];
        }
    }
    for (auto [c, n] : count) EXPECT_EQ(n, 1) << "character " << layout::Utf8(c);
}

// ---- key caps ----

TEST(KeyboardCaps, EveryTableKeyHasExactlyOneCapAndEveryCharacterCapAKey) {
    std::map<unsigned, int> caps;
    for (const layout::KeyCap& cap : layout::KeyboardCaps()) {
        if (cap.kind != layout::CapKind::Character) continue;
        ++caps[cap.scanCode];
        EXPECT_NE(layout::FindKey(Table(), cap.scanCode), nullptr) << "cap " << cap.scanCode;
    }
    for (const KeyAssignment& k : Table()) EXPECT_EQ(caps[k.scanCode], 1) << "key " << layout::Utf8(k.legend);
}

TEST(KeyboardCaps, RowsAreFilledWithoutGapsOrOverlaps) {
    for (int row = 0; row < layout::kRowCount; ++row) {
        int next = 0;  // caps are listed left to right
        int count = 0;
        for (const layout::KeyCap& cap : layout::KeyboardCaps()) {
            if (cap.row != row) continue;
            EXPECT_EQ(cap.left, next) << "row " << row << " scan " << cap.scanCode;
            EXPECT_GE(cap.width, layout::kUnitsPerKey) << "row " << row << " scan " << cap.scanCode;
            next = cap.left + cap.width;
            ++count;
        }
        EXPECT_EQ(next, layout::kRowUnits) << "row " << row;
        EXPECT_GE(count, 8) << "row " << row;
    }
}

TEST(KeyboardCaps, LetterRowsAreStaggeredLikeARealKeyboard) {
    auto leftOf = [](unsigned scan) {
        for (const layout::KeyCap& cap : layout::KeyboardCaps()) {
            if (cap.scanCode == scan) return cap.left;
        }
        return -1;
    };
    // 1 over Q over A over Z, each a bit further right.
    EXPECT_LT(leftOf(0x02), leftOf(0x10));
    EXPECT_LT(leftOf(0x10), leftOf(0x1E));
    EXPECT_LT(leftOf(0x1E), leftOf(0x2C));
}

// ---- table parser ----

constexpr char kGoodTable[] =
    "# comment\r\n"
    "\n"
    "10\tQ\t\xD1\x8F\t\xD0\xAF\t-\t-\r\n"
    "0C\tU+002D\tU+002D\t_\t\xE2\x80\x94\tU+2013\n"
    "33\t,\t,\t<\t\xC2\xAB\t-";  // last line without a newline

TEST(ParseLayoutTable, ReadsKeysLevelsAndEscapes) {
    auto table = layout::ParseLayoutTable(kGoodTable);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].scanCode, 0x10u);
    EXPECT_EQ(table[0].legend, U'Q');
    EXPECT_EQ(table[0].levels[0], U'я');
    EXPECT_EQ(table[0].levels[1], U'Я');
    EXPECT_EQ(table[0].levels[2], 0u);
    EXPECT_EQ(table[0].levels[3], 0u);
    EXPECT_EQ(table[1].legend, U'-');
    EXPECT_EQ(table[1].levels[0], U'-');
    EXPECT_EQ(table[1].levels[2], U'—');
    EXPECT_EQ(table[1].levels[3], U'–');
    EXPECT_EQ(table[2].scanCode, 0x33u);
    EXPECT_EQ(table[2].levels[2], U'«');
}

struct BadTable {
    const char* what;
    const char* text;
    int line;
};

class ParseLayoutTableError : public testing::TestWithParam<BadTable> {};

TEST_P(ParseLayoutTableError, NamesTheLine) {
    const BadTable& c = GetParam();
    try {
        layout::ParseLayoutTable(c.text);
        FAIL() << "accepted: " << c.what;
    } catch (const DataError& e) {
        EXPECT_EQ(e.Line(), c.line) << c.what << ": " << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseLayoutTableError,
    testing::Values(
        BadTable{"too few fields", "10\tQ\ta\tA\t-\n", 1},
        BadTable{"too many fields", "# x\n10\tQ\ta\tA\t-\t-\t-\n", 2},
        BadTable{"spaces instead of tabs", "10 Q a A - -\n", 1},
        BadTable{"empty field", "10\tQ\t\tA\t-\t-\n", 1},
        BadTable{"scan code not hex", "1G\tQ\ta\tA\t-\t-\n", 1},
        BadTable{"scan code too long", "010\tQ\ta\tA\t-\t-\n", 1},
        BadTable{"scan code zero", "00\tQ\ta\tA\t-\t-\n", 1},
        BadTable{"scan code past the main block", "80\tQ\ta\tA\t-\t-\n", 1},
        BadTable{"two characters in a level", "10\tQ\tab\tA\t-\t-\n", 1},
        BadTable{"malformed UTF-8", "10\tQ\t\xD1\tA\t-\t-\n", 1},
        BadTable{"overlong UTF-8", "10\tQ\t\xC0\xAF\tA\t-\t-\n", 1},
        BadTable{"short code point", "10\tQ\tU+41\tA\t-\t-\n", 1},
        BadTable{"code point not hex", "10\tQ\tU+00G1\tA\t-\t-\n", 1},
        BadTable{"control character by code", "10\tQ\tU+0009\tA\t-\t-\n", 1},
        BadTable{"surrogate code point", "10\tQ\tU+D800\tA\t-\t-\n", 1},
        BadTable{"key without a legend", "10\t-\ta\tA\t-\t-\n", 1},
        BadTable{"scan code twice", "10\tQ\ta\tA\t-\t-\n\n10\tW\tb\tB\t-\t-\n", 3},
        BadTable{"legend twice", "10\tQ\ta\tA\t-\t-\n11\tQ\tb\tB\t-\t-\n", 2},
        BadTable{"no keys at all", "# only a comment\n\n", 2}));

// ---- sectioned texts ----

TEST(ParseTextSections, JoinsLinesIntoParagraphsAndReadsStyles) {
    auto sections = layout::ParseTextSections(
        "# comment\n"
        "[first]\n"
        "= Title\n"
        "one\n"
        "  two  \r\n"
        "\n"
        "\n"
        "@ {site}\n"
        "[second.part]\n"
        "\xD0\x9F\xD1\x80\xD0\xB8\n");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].name, "first");
    ASSERT_EQ(sections[0].paragraphs.size(), 3u);
    EXPECT_EQ(sections[0].paragraphs[0].style, layout::Paragraph::Style::Heading);
    EXPECT_EQ(sections[0].paragraphs[0].text, "Title");
    EXPECT_EQ(sections[0].paragraphs[1].style, layout::Paragraph::Style::Body);
    EXPECT_EQ(sections[0].paragraphs[1].text, "one two");
    EXPECT_EQ(sections[0].paragraphs[2].style, layout::Paragraph::Style::Link);
    EXPECT_EQ(sections[0].paragraphs[2].text, "{site}");
    ASSERT_NE(layout::FindSection(sections, "second.part"), nullptr);
    EXPECT_EQ(layout::FindSection(sections, "second.part")->paragraphs.at(0).text, "При");
    EXPECT_EQ(layout::FindSection(sections, "third"), nullptr);
}

class ParseTextSectionsError : public testing::TestWithParam<BadTable> {};

TEST_P(ParseTextSectionsError, NamesTheLine) {
    const BadTable& c = GetParam();
    try {
        layout::ParseTextSections(c.text);
        FAIL() << "accepted: " << c.what;
    } catch (const DataError& e) {
        EXPECT_EQ(e.Line(), c.line) << c.what << ": " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTextSectionsError,
    testing::Values(
        BadTable{"text before any section", "# c\nhello\n[a]\nx\n", 2},
        BadTable{"unclosed section name", "[a\nx\n", 1},
        BadTable{"empty section name", "[]\nx\n", 1},
        BadTable{"section name with a space", "[a b]\nx\n", 1},
        BadTable{"repeated section", "[a]\nx\n[b]\ny\n[a]\nz\n", 5},
        BadTable{"empty section", "[a]\n\n[b]\ny\n", 1},
        BadTable{"empty last section", "[a]\nx\n[b]\n", 3},
        BadTable{"malformed UTF-8", "[a]\nok\n\xE2\x80\n", 3},
        BadTable{"nothing at all", "\n", 1}));

// ---- the compiled-in texts ----

TEST(PictureTexts, InstallerHasItsFourPicturesWithTextInRussian) {
    for (const char* name : {"head", "foot", "head_rem", "foot_rem"}) {
        const layout::TextSection* s = layout::FindSection(layout::SetupTexts(), name);
        ASSERT_NE(s, nullptr) << name;
        std::u32string text;
        for (const auto& p : s->paragraphs) {
            std::u32string part;
            ASSERT_TRUE(layout::DecodeUtf8(p.text, &part));
            text += part;
        }
        bool cyrillic = false;
        for (char32_t c : text) cyrillic = cyrillic || (c >= U'а' && c <= U'я');
        EXPECT_TRUE(cyrillic) << name;
    }
}

TEST(PictureTexts, TheyNameWhatTheUserMustFind) {
    auto all = [](const std::vector<layout::TextSection>& sections, const char* name) {
        std::string text;
        const layout::TextSection* s = layout::FindSection(sections, name);
        if (s) for (const auto& p : s->paragraphs) text += layout::ExpandPlaceholders(p.text) + "\n";
        return text;
    };
    const std::string site = product::kWebHost;
    struct Case { const std::vector<layout::TextSection>* texts; const char* section; std::string needle; };
    const Case cases[] = {
        {&layout::SetupTexts(), "head", "Brevok Russian Document"},
        {&layout::SetupTexts(), "head", "Word"},
        {&layout::SetupTexts(), "foot", site},
        {&layout::SetupTexts(), "head_rem", "Uninstall Previous Version"},
        {&layout::SetupTexts(), "foot_rem", "Close"},
        {&layout::AboutTexts(), "about", site},
        {&layout::AboutTexts(), "about", "Я\u00A0\u2014\u00A0Q"},
        {&layout::AboutTexts(), "about", "AltGr"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(all(*c.texts, c.section).find(c.needle), std::string::npos) << c.section << ": " << c.needle;
    }
}

TEST(PictureTexts, LetterPlacesFollowTheTableInAlphabeticalOrder) {
    auto pair = [](const char* letter, const char* key) { return std::string(letter) + "\u00A0\u2014\u00A0" + key; };
    const std::string places = layout::LetterPlaces(Table());
    const std::string start = pair("А", "A") + ", " + pair("Б", "B") + ", " + pair("В", "V") + ", " +
                              pair("Г", "G") + ", " + pair("Д", "D") + ", " + pair("Е", "E") + ", " +
                              pair("Ё", "«`»") + ", " + pair("Ж", "«'»") + ", ";
    EXPECT_EQ(places.rfind(start, 0), 0u) << places;
    EXPECT_NE(places.find(", " + pair("Ч", "«;»") + ", "), std::string::npos) << places;
    const std::string last = ", " + pair("Я", "Q");
    EXPECT_EQ(places.size() - places.rfind(last), last.size()) << places;
    std::u32string decoded;
    ASSERT_TRUE(layout::DecodeUtf8(places, &decoded));
    int letters = 0;
    for (char32_t c : decoded) letters += (c >= U'А' && c <= U'Я') || c == U'Ё';
    EXPECT_EQ(letters, 33);
}

TEST(PictureTexts, PlaceholdersExpandEverywhereAndOnlyThere) {
    const std::string site = product::kWebHost;
    EXPECT_EQ(layout::ExpandPlaceholders("a {site} b {site}"), "a " + site + " b " + site);
    EXPECT_EQ(layout::ExpandPlaceholders("{letters}"), layout::LetterPlaces(Table()));
    EXPECT_EQ(layout::ExpandPlaceholders("{sit} {site"), "{sit} {site");
}

// ---- UTF-8 ----

TEST(Utf8, RoundTripsOneToFourByteCharacters) {
    for (char32_t c : {U'A', U'я', U'₽', U'\U0001F600'}) {
        std::u32string back;
        ASSERT_TRUE(layout::DecodeUtf8(layout::Utf8(c), &back));
        EXPECT_EQ(back, std::u32string(1, c));
    }
    EXPECT_EQ(layout::Utf8(U'я').size(), 2u);
    EXPECT_EQ(layout::Utf8(U'₽').size(), 3u);
    EXPECT_EQ(layout::Utf8(0), "");
}

}  // namespace
