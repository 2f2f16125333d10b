// The tray widgets' own rules: which changes raise events, the radio group,
// menu commands, and the raw-message pass of a form.
#include <gtest/gtest.h>

#include "core/fake/fake_ports.h"
#include "core/ui.h"
#include "core/ui_tray.h"

namespace {

class TrayWidgets : public ::testing::Test {
protected:
    fake::Dialogs dialogs;
    void SetUp() override {
        ui::App().DestroyForms();
        ui::App().Initialize(nullptr, &dialogs, "Test");
    }
    void TearDown() override {
        ui::App().DestroyForms();
        ui::SetPopupPresenter(nullptr);
    }
};

TEST_F(TrayWidgets, TabIndexFromCodeRaisesNothingAndTheUsersChoiceRaisesOnce) {
    ui::Form form;
    ui::TabControl tabs(&form);
    tabs.SetTabs({"A", "B", "C"});
    int changes = 0;
    tabs.OnChange = [&] { ++changes; };
    tabs.SetTabIndex(2);
    EXPECT_EQ(tabs.TabIndex(), 2);
    EXPECT_EQ(changes, 0);

    tabs.UserSelect(0);
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_EQ(changes, 1);
    tabs.UserSelect(0);  // the tab already shown: no change
    EXPECT_EQ(changes, 1);
    for (int bad : {-1, 3, 99}) {
        tabs.UserSelect(bad);
        tabs.SetTabIndex(bad == -1 ? 7 : bad);
        EXPECT_EQ(tabs.TabIndex(), 0) << bad;
    }
    EXPECT_EQ(changes, 1);
    tabs.SetTabIndex(-1);  // no tab selected
    EXPECT_EQ(tabs.TabIndex(), -1);
}

TEST_F(TrayWidgets, AnExceptionFromOnChangeIsShownAndTheSelectionStays) {
    ui::TabControl tabs(nullptr);
    tabs.SetTabs({"A", "B"});
    tabs.OnChange = [] { throw ui::Exception("broken"); };
    tabs.UserSelect(1);
    EXPECT_EQ(tabs.TabIndex(), 1);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "broken");
}

TEST_F(TrayWidgets, CheckBoxRaisesOnlyForTheUsersChanges) {
    ui::CheckBox box(nullptr);
    std::vector<bool> seen;
    box.OnClick = [&] { seen.push_back(box.Checked()); };
    box.SetChecked(true);
    box.SetChecked(false);
    EXPECT_TRUE(seen.empty());
    box.UserClick();
    box.UserSetChecked(true);  // already checked
    box.UserSetChecked(false);
    box.UserClick();
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

TEST_F(TrayWidgets, RadioButtonsOfOneFormAreOneGroup) {
    ui::Form form, other;
    ui::RadioButton a(&form), b(&form), c(&form), elsewhere(&other);
    int clicksA = 0, clicksB = 0;
    a.OnClick = [&] { ++clicksA; };
    b.OnClick = [&] { ++clicksB; };
    elsewhere.SetChecked(true);
    a.SetChecked(true);
    EXPECT_EQ(clicksA, 0);  // from code

    b.UserClick();
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_FALSE(c.Checked());
    EXPECT_TRUE(elsewhere.Checked());  // another form's group
    EXPECT_EQ(clicksB, 1);

    b.UserClick();  // already checked: nothing
    EXPECT_EQ(clicksB, 1);
    EXPECT_TRUE(b.Checked());

    a.UserClick();
    EXPECT_EQ(clicksA, 1);
    EXPECT_TRUE(a.Checked());
    EXPECT_FALSE(b.Checked());
}

TEST_F(TrayWidgets, MenuCommandsAreNumberedPerFormAndFoundByNumber) {
    ui::Form form, other;
    ui::PopupMenu first(&form), second(&form), third(&other);
    ui::MenuItem a(&first), b(&first), c(&second), d(&third);
    EXPECT_EQ(a.Command(), ui::kFirstMenuCommand);
    EXPECT_EQ(b.Command(), ui::kFirstMenuCommand + 1);
    EXPECT_EQ(c.Command(), ui::kFirstMenuCommand + 2);
    EXPECT_EQ(d.Command(), ui::kFirstMenuCommand);
    EXPECT_EQ(ui::FindMenuItem(form, ui::kFirstMenuCommand + 2), &c);
    EXPECT_EQ(ui::FindMenuItem(other, ui::kFirstMenuCommand), &d);
    EXPECT_EQ(ui::FindMenuItem(other, ui::kFirstMenuCommand + 1), nullptr);
    EXPECT_EQ(ui::FindMenuItem(form, 1), nullptr);  // IDOK from the dialog keys is no item
}

TEST_F(TrayWidgets, PopupGoesThroughThePresenterAndTheFormMenuEndsWithTheMenu) {
    ui::Form form;
    std::vector<std::pair<int, int>> shown;
    {
        ui::PopupMenu menu(&form);
        menu.Popup(1, 2);  // no presenter: nothing, and no failure
        ui::SetPopupPresenter([&](ui::PopupMenu& m, int x, int y) {
            EXPECT_EQ(&m, &menu);
            shown.push_back({x, y});
        });
        menu.Popup(30, 40);
        ui::SetFormPopupMenu(form, &menu);
        EXPECT_EQ(ui::FormPopupMenu(form), &menu);
    }
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{30, 40}}));
    EXPECT_EQ(ui::FormPopupMenu(form), nullptr);
}

struct CountingForm : ui::MessageForm {
    std::vector<unsigned> seen;
    void Dispatch(ui::Message& m) override {
        seen.push_back(m.Msg);
        if (m.Msg == 7) {
            m.Result = 42;  // handled here only
            return;
        }
        MessageForm::Dispatch(m);
    }
};

TEST_F(TrayWidgets, MessageFormPassesOnWhatItDoesNotKeep) {
    CountingForm form;
    ui::Message kept, passed;
    kept.Msg = 7;
    passed.Msg = 8;
    form.Dispatch(kept);
    form.Dispatch(passed);
    EXPECT_EQ(kept.passedOn, 0);
    EXPECT_EQ(kept.Result, 42);
    EXPECT_EQ(passed.passedOn, 1);
    EXPECT_EQ(form.seen, (std::vector<unsigned>{7, 8}));
}

TEST_F(TrayWidgets, LinkLabelSizesToItsCaptionOnlyWhenItCanMeasure) {
    ui::LinkLabel link(nullptr);
    link.SetBounds(1, 2, 78, 14);
    link.SetCaption("a caption much longer than seventy-eight pixels");
    EXPECT_EQ(link.Width(), 78);  // nothing can measure it
    EXPECT_EQ(link.Height(), 14);
    link.measure = [](const std::string& text, int* w, int* h) {
        *w = static_cast<int>(text.size()) * 6;
        *h = 13;
    };
    link.SetCaption("www.example.com");
    EXPECT_EQ(link.Width(), 90);
    EXPECT_EQ(link.Height(), 13);
    EXPECT_EQ(link.Left(), 1);
    EXPECT_EQ(link.Font().name, "Arial");
    EXPECT_TRUE(link.Font().underline);
    EXPECT_EQ(link.Cursor(), ui::Cursor::HandPoint);
    EXPECT_EQ(link.ActiveColor(), ui::LinkLabel::kBlue);
    int clicks = 0;
    link.OnClick = [&] { ++clicks; };
    link.Click();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
