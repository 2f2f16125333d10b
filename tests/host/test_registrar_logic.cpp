// The Layout registrar's decisions: arguments, Layout Id choice, and the
// clean-up of the user's Preload and Substitutes lists.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "package/registrar/registrar_logic.h"

namespace registrar {
// Readable failure messages for lists of values.
void PrintTo(const NamedValue& v, std::ostream* os) { *os << v.name << "=" << v.data; }
}  // namespace registrar

namespace {

using registrar::Action;
using registrar::LayoutEntry;
using registrar::NamedValue;

// ---- arguments ----

struct ArgumentCase {
  std::vector<std::string> args;
  Action action;
  const char* errorPart;  // expected in the error line; nullptr when valid
};
void PrintTo(const ArgumentCase& c, std::ostream* os) {
  *os << "args {";
  for (const std::string& a : c.args) *os << " \"" << a << "\"";
  *os << " }";
}

class ParseArgumentsTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ParseArgumentsTest, ChoosesActionOrExplainsTheFault) {
  const ArgumentCase& c = GetParam();
  registrar::Command command = registrar::ParseArguments(c.args);
  EXPECT_EQ(command.action, c.action);
  if (c.errorPart) {
    EXPECT_NE(command.error.find(c.errorPart), std::string::npos) << command.error;
    EXPECT_EQ(command.error.find('\n'), std::string::npos) << "one line only";
  } else {
    EXPECT_TRUE(command.error.empty()) << command.error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseArgumentsTest,
    testing::Values(ArgumentCase{{}, Action::Register, nullptr},
                    ArgumentCase{{"c"}, Action::Register, nullptr},
                    ArgumentCase{{"C"}, Action::Register, nullptr},
                    ArgumentCase{{"u"}, Action::Unregister, nullptr},
                    ArgumentCase{{"U"}, Action::Unregister, nullptr},
                    ArgumentCase{{"x"}, Action::Invalid, "unknown argument \"x\""},
                    ArgumentCase{{"-u"}, Action::Invalid, "unknown argument \"-u\""},
                    ArgumentCase{{"uu"}, Action::Invalid, "unknown argument \"uu\""},
                    ArgumentCase{{""}, Action::Invalid, "unknown argument \"\""},
                    ArgumentCase{{"u", "c"}, Action::Invalid, "too many arguments"},
                    ArgumentCase{{"c", "c"}, Action::Invalid, "too many arguments"}));

// ---- Layout Id text ----

TEST(LayoutIdText, ParsesOneToFourHexDigitsInEitherCase) {
  struct Case {
    const char* text;
    std::optional<unsigned> value;
  } cases[] = {
      {"00c0", 0xc0u}, {"00C0", 0xc0u}, {"c0", 0xc0u},   {"0001", 1u},
      {"ffff", 0xffffu}, {"FfFf", 0xffffu}, {"", std::nullopt}, {"10000", std::nullopt},
      {"00g0", std::nullopt}, {" 0c0", std::nullopt}, {"-1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registrar::ParseLayoutId(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(LayoutIdText, FormatsFourLowerCaseDigits) {
  EXPECT_EQ(registrar::FormatLayoutId(0xc0), "00c0");
  EXPECT_EQ(registrar::FormatLayoutId(0x1), "0001");
  EXPECT_EQ(registrar::FormatLayoutId(0xabcd), "abcd");
  EXPECT_EQ(registrar::FormatLayoutId(0xffff), "ffff");
}

// ---- choosing the Layout Id ----

struct ChooseCase {
  const char* name;
  std::vector<LayoutEntry> layouts;
  std::optional<std::string> expected;
};
void PrintTo(const ChooseCase& c, std::ostream* os) { *os << c.name; }

class ChooseLayoutIdTest : public testing::TestWithParam<ChooseCase> {};

TEST_P(ChooseLayoutIdTest, PicksKeptOrLowestFreeId) {
  const ChooseCase& c = GetParam();
  EXPECT_EQ(registrar::ChooseLayoutId(c.layouts, "a0010419"), c.expected);
}

std::vector<LayoutEntry> AllIdsTakenFrom(unsigned first) {
  std::vector<LayoutEntry> layouts;
  for (unsigned id = first; id <= 0xffff; ++id) {
    std::string key = "b";
    key += registrar::FormatLayoutId(id);
    key += "000";
    layouts.push_back({key, registrar::FormatLayoutId(id)});
  }
  return layouts;
}

std::vector<LayoutEntry> AllButOneTaken(unsigned freeId) {
  std::vector<LayoutEntry> layouts = AllIdsTakenFrom(0xc0);
  layouts.erase(layouts.begin() + (freeId - 0xc0));
  return layouts;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChooseLayoutIdTest,
    testing::Values(
        ChooseCase{"NothingInstalled", {}, "00c0"},
        ChooseCase{"OnlyLayoutsWithoutIds", {{"00000409", ""}, {"00000419", ""}}, "00c0"},
        ChooseCase{"LowIdsDoNotCount", {{"00010409", "0001"}, {"00020409", "00bf"}}, "00c0"},
        ChooseCase{"SkipsUsedIds",
                   {{"00010409", "00c0"}, {"00020409", "00C1"}, {"00030409", "00c3"}},
                   "00c2"},
        ChooseCase{"UnorderedAndUpperCaseIds",
                   {{"x3", "00C2"}, {"x1", "00c0"}, {"x2", "C1"}},
                   "00c3"},
        ChooseCase{"MalformedIdsAreIgnored", {{"x1", "zzzz"}, {"x2", "100c0"}}, "00c0"},
        ChooseCase{"KeepsOwnId", {{"x1", "00c0"}, {"a0010419", "00d5"}}, "00d5"},
        ChooseCase{"KeepsOwnIdWhateverTheKeyNameCase", {{"A0010419", "00D5"}}, "00d5"},
        ChooseCase{"OwnIdDoesNotBlockItself", {{"a0010419", "00c0"}}, "00c0"},
        ChooseCase{"ReplacesOwnIdThatAnotherLayoutUses",
                   {{"a0010419", "00c0"}, {"x1", "00c0"}, {"x2", "00c1"}},
                   "00c2"},
        ChooseCase{"ReplacesOwnIdBelowTheRange", {{"a0010419", "0005"}}, "00c0"},
        ChooseCase{"ReplacesMalformedOwnId", {{"a0010419", "xyz"}, {"x1", "00c0"}}, "00c1"},
        ChooseCase{"OtherKeysIdsNeverChosen", {{"a0010420", "00c0"}}, "00c1"},
        ChooseCase{"LastFreeIdIsFound", AllButOneTaken(0xfffe), "fffe"},
        ChooseCase{"NoneFree", AllIdsTakenFrom(0xc0), std::nullopt}),
    [](const testing::TestParamInfo<ChooseCase>& info) { return std::string(info.param.name); });

// ---- Substitutes ----

TEST(SubstitutesToRemove, NamesEveryValueWhoseDataIsTheLayout) {
  std::vector<NamedValue> substitutes = {{"d0010419", "a0010419"},
                                         {"00000409", "00020409"},
                                         {"d0020419", "A0010419"},
                                         {"a0010419", "00000419"}};
  EXPECT_EQ(registrar::SubstitutesToRemove(substitutes, "a0010419"),
            (std::vector<std::string>{"d0010419", "d0020419"}));
  EXPECT_TRUE(registrar::SubstitutesToRemove({{"00000409", "00020409"}}, "a0010419").empty());
}

// ---- Preload ----

struct PreloadCase {
  const char* name;
  std::vector<NamedValue> preload;
  std::vector<NamedValue> substitutes;
  std::vector<NamedValue> write;
  std::vector<std::string> remove;
};
void PrintTo(const PreloadCase& c, std::ostream* os) { *os << c.name; }

class PlanPreloadRemovalTest : public testing::TestWithParam<PreloadCase> {};


TEST_P(PlanPreloadRemovalTest, RemovesTheLayoutAndKeepsTheListDense) {
  const PreloadCase& c = GetParam();
  registrar::PreloadPlan plan = registrar::PlanPreloadRemoval(c.preload, c.substitutes, "a0010419");
  EXPECT_EQ(plan.write, c.write);
  EXPECT_EQ(plan.remove, c.remove);
}

// Applies a plan to a list the way the registrar applies it to the registry.
std::vector<NamedValue> Apply(std::vector<NamedValue> values, const registrar::PreloadPlan& plan) {
  for (const NamedValue& w : plan.write) {
    bool found = false;
    for (NamedValue& v : values) {
      if (v.name == w.name) v.data = w.data, found = true;
    }
    if (!found) values.push_back(w);
  }
  for (const std::string& name : plan.remove) {
    std::erase_if(values, [&](const NamedValue& v) { return v.name == name; });
  }
  return values;
}

TEST_P(PlanPreloadRemovalTest, ResultIsNumberedOneToNWithoutTheLayout) {
  const PreloadCase& c = GetParam();
  std::vector<NamedValue> after =
      Apply(c.preload, registrar::PlanPreloadRemoval(c.preload, c.substitutes, "a0010419"));
  // The numbered entries ("1", "2", ... without leading zeros) are the list.
  std::vector<int> numbers;
  for (const NamedValue& v : after) {
    if (v.name.empty() || v.name[0] < '1' || v.name[0] > '9') continue;
    if (v.name.find_first_not_of("0123456789") != std::string::npos) continue;
    EXPECT_NE(v.data, "a0010419") << v.name;
    EXPECT_NE(v.data, "d0010419") << v.name;  // the substitute used in the table
    numbers.push_back(std::stoi(v.name));
  }
  std::sort(numbers.begin(), numbers.end());
  if (!registrar::PlanPreloadRemoval(c.preload, c.substitutes, "a0010419").Empty()) {
    for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], static_cast<int>(i + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlanPreloadRemovalTest,
    testing::Values(
        PreloadCase{"Empty", {}, {}, {}, {}},
        PreloadCase{"NotListed", {{"1", "00000409"}, {"2", "00000419"}}, {}, {}, {}},
        PreloadCase{"OnlyEntry", {{"1", "a0010419"}}, {}, {}, {"1"}},
        PreloadCase{"Last", {{"1", "00000409"}, {"2", "a0010419"}}, {}, {}, {"2"}},
        PreloadCase{"First",
                    {{"1", "a0010419"}, {"2", "00000409"}, {"3", "00000419"}},
                    {},
                    {{"1", "00000409"}, {"2", "00000419"}},
                    {"3"}},
        PreloadCase{"Middle",
                    {{"1", "00000409"}, {"2", "a0010419"}, {"3", "00000419"}, {"4", "00000407"}},
                    {},
                    {{"2", "00000419"}, {"3", "00000407"}},
                    {"4"}},
        PreloadCase{"UpperCaseData",
                    {{"1", "A0010419"}, {"2", "00000409"}},
                    {},
                    {{"1", "00000409"}},
                    {"2"}},
        PreloadCase{"ListedTwice",
                    {{"1", "a0010419"}, {"2", "00000409"}, {"3", "a0010419"}},
                    {},
                    {{"1", "00000409"}},
                    {"2", "3"}},
        PreloadCase{"ThroughSubstitute",
                    {{"1", "00000409"}, {"2", "d0010419"}, {"3", "00000419"}},
                    {{"d0010419", "a0010419"}, {"d0000409", "00020409"}},
                    {{"2", "00000419"}},
                    {"3"}},
        PreloadCase{"OtherSubstitutesStay",
                    {{"1", "d0000409"}, {"2", "a0010419"}},
                    {{"d0000409", "00020409"}},
                    {},
                    {"2"}},
        PreloadCase{"NumericOrderNotTextOrder",
                    {{"10", "00000407"}, {"2", "a0010419"}, {"1", "00000409"}, {"9", "00000419"}},
                    {},
                    {{"2", "00000419"}, {"3", "00000407"}},
                    {"9", "10"}},
        PreloadCase{"ExistingGapClosedOnRemoval",
                    {{"1", "00000409"}, {"3", "a0010419"}, {"5", "00000419"}},
                    {},
                    {{"2", "00000419"}},
                    {"3", "5"}},
        PreloadCase{"ExistingGapLeftWhenNothingRemoved",
                    {{"1", "00000409"}, {"3", "00000419"}},
                    {},
                    {},
                    {}},
        PreloadCase{"NonNumberedValuesIgnored",
                    {{"Default", "a0010419"}, {"01", "a0010419"}, {"0", "a0010419"}, {"1", "00000409"}},
                    {},
                    {},
                    {}}),
    [](const testing::TestParamInfo<PreloadCase>& info) { return std::string(info.param.name); });

// ---- failure text ----

TEST(FailureLine, OneLineWithReasonAndCode) {
  struct Case {
    const char* systemText;
    long code;
    const char* expected;
  } cases[] = {
      {"Access denied.\r\n", 5, "load32: cannot create X: Access denied (error 5)"},
      {"Line one\r\nline two.\r\n", 87, "load32: cannot create X: Line one  line two (error 87)"},
      {"", 1234, "load32: cannot create X: (error 1234)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registrar::FailureLine("load32", "cannot create X", c.systemText, c.code), c.expected);
  }
}

}  // namespace
