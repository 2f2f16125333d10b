// Shared fixture for tests of the tray program's window: fresh globals, a fake
// platform with a fake notification area, pictures that tell the two state
// icons apart, a recorder for pop-up menus, and FormMain created as start-up
// creates it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/fake/fake_ports.h"
#include "core/fake/fake_tray.h"
#include "core/ui.h"
#include "core/ui_tray.h"
#include "tray/traymain.h"

class TrayWindow : public ::testing::Test {
protected:
    static constexpr port::Handle kWindow = 0x4F10;
    fake::Platform os;
    fake::TrayShell tray;
    struct Popup {
        ui::PopupMenu* menu;
        int x, y;
        ui::Control* component;
    };
    std::vector<Popup> popups;
    // Every picture gets an image of its own, so handles differ per picture.
    std::vector<std::string> loadedPictures;

    void SetUp() override {
        ui::App().DestroyForms();
        FormMain = nullptr;
        moduleInstance = 0;
        aboutFolder.clear();
        ui::App().Initialize(nullptr, &os.dialogs, "Qvtray");
        tray.Install();
        windowHandleOf = [](const ui::Form& f) { return &f == FormMain ? kWindow : port::Handle(0); };
        ui::SetPictureLoader([this](const std::string& name, int w, int h) {
            loadedPictures.push_back(name);
            ui::Picture p;
            p.width = w;
            p.height = h;
            p.image = std::make_shared<std::string>(name);
            return p;
        });
        ui::SetPopupPresenter([this](ui::PopupMenu& menu, int x, int y) {
            popups.push_back({&menu, x, y, menu.PopupComponent()});
        });
    }
    void TearDown() override {
        ui::App().DestroyForms();
        FormMain = nullptr;
        windowHandleOf = nullptr;
        ui::SetPictureLoader(nullptr);
        ui::SetPopupPresenter(nullptr);
    }
    void Create() {
        moduleInstance = 0x400000;
        ui::App().CreateForm(FormMain);
    }
    static port::Handle IconOf(const ui::Image& image) { return ui::PictureHandle(image.Picture()); }
    // The callback message as the shell sends it.
    static ui::Message Callback(std::intptr_t mouse) {
        ui::Message m;
        m.Msg = tray_message::kTrayCallback;
        m.WParam = kTrayIconId;
        m.LParam = mouse;
        return m;
    }
};
