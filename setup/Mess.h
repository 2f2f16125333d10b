// Unit Mess: the please-wait window that stays on top while the sequence runs.
#pragma once

#include "core/ui.h"

class TForm2 : public ui::Form {
public:
    TForm2();

    ui::Label Label1{this};

    void FormShow();
};

extern TForm2* Form2;

namespace mess_text {
constexpr char kInstalling[] = "INSTALLING. PLEASE WAIT";
constexpr char kComplete[] = "COMPLETE";
// The label's own font; the Win32 side falls back to an installed font with
// Cyrillic when this one is missing.
constexpr char kFontName[] = "Arial Unicode MS";
constexpr int kFontHeight = -23;
}  // namespace mess_text
