// The widget layer's own rules, which the windows' arithmetic relies on.
#include <gtest/gtest.h>

#include "core/fake/fake_ports.h"
#include "core/ui.h"

namespace {

struct CountingPeer : ui::Peer {
    int* syncs;
    explicit CountingPeer(int* s) : syncs(s) {}
    void Sync() override { ++*syncs; }
};

class Widgets : public ::testing::Test {
protected:
    fake::Dialogs dialogs;
    void SetUp() override {
        ui::App().DestroyForms();
        ui::App().Initialize(nullptr, &dialogs, "Test");
    }
    void TearDown() override { ui::App().DestroyForms(); }
};

TEST_F(Widgets, GaugeClampsToItsRange) {
    ui::Gauge g(nullptr);
    g.SetRange(0, 100);
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {55, 55}, {100, 100}, {250, 100}};
    for (auto [in, out] : cases) {
        g.SetValue(in);
        EXPECT_EQ(g.Value(), out) << in;
    }
}

TEST_F(Widgets, TimerSetToTheValueItHasChangesNothing) {
    ui::Timer t(nullptr);
    int syncs = 0;
    t.AttachPeer(std::make_unique<CountingPeer>(&syncs));
    syncs = 0;
    t.SetEnabled(true);  // already enabled by default
    t.SetInterval(1000);
    EXPECT_EQ(syncs, 0);
    t.SetEnabled(false);
    t.SetEnabled(false);
    EXPECT_EQ(syncs, 1);
    int fired = 0;
    t.OnTimer = [&] { ++fired; };
    t.Fire();
    EXPECT_EQ(fired, 0);  // a disabled timer does not fire
}

TEST_F(Widgets, AutoSizedImageTakesThePicturesSize) {
    ui::Image i(nullptr);
    i.SetBounds(0, 0, 105, 105);
    ui::Picture p;
    p.width = 950;
    p.height = 308;
    i.SetPicture(p);
    EXPECT_EQ(i.Width(), 105);  // not auto-sized: keeps its area
    i.SetAutoSize(true);
    EXPECT_EQ(i.Width(), 950);
    p.width = 731;
    p.height = 340;
    i.SetPicture(p);
    EXPECT_EQ(i.Height(), 340);
}

TEST_F(Widgets, ClosingTheMainFormEndsTheLoopAnotherHides) {
    ui::Form* main = nullptr;
    ui::Form* other = nullptr;
    ui::App().CreateForm(main);
    ui::App().CreateForm(other);
    EXPECT_EQ(ui::App().MainForm(), main);
    other->Show();
    other->Close();
    EXPECT_FALSE(other->Visible());
    EXPECT_FALSE(ui::App().Terminated());
    main->Close();
    EXPECT_TRUE(ui::App().Terminated());
}

TEST_F(Widgets, ShowRunsTheShowHandlerOnlyWhenTheFormBecomesVisible) {
    ui::Form f;
    int shows = 0;
    f.OnShow = [&] { ++shows; };
    f.Show();
    f.Show();
    EXPECT_EQ(shows, 1);
    f.Hide();
    f.Show();
    EXPECT_EQ(shows, 2);
}

TEST_F(Widgets, ExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    ui::Button b(nullptr);
    int after = 0;
    b.OnClick = [] { throw ui::Exception("Failed to set data for 'x'"); };
    b.Click();
    b.OnClick = [] { throw 42; };
    b.Click();
    b.OnClick = [&] { ++after; };
    b.Click();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, "Failed to set data for 'x'");
    EXPECT_EQ(dialogs.boxes[1].text, "");
    EXPECT_EQ(after, 1);
}

TEST_F(Widgets, LabelSizesItselfToItsCaption) {
    ui::Label l(nullptr);
    l.measure = [](const std::string& text, int* w, int* h) {
        *w = static_cast<int>(text.size()) * 10;
        *h = 20;
    };
    l.SetCaption("COMPLETE");
    EXPECT_EQ(l.Width(), 80);
    EXPECT_EQ(l.Height(), 20);
}

}  // namespace
