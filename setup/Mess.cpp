#include "Mess.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() {
    SetStayOnTop(true);
    SetBorder(ui::BorderStyle::Single);
    SetColor(ui::Form::kBtnFace);
    SetCaption("");
    // Stored client size 375 x 100; the show handler replaces it.
    SetWidth(381);
    SetHeight(129);

    ui::Font font;
    font.name = mess_text::kFontName;
    font.height = mess_text::kFontHeight;
    font.bold = true;
    Label1.SetBounds(0, 0, 320, 31);
    Label1.SetFont(font);
    Label1.SetCaption(mess_text::kInstalling);

    OnShow = [this] { FormShow(); };
}

// Sizes the window around its label; truncation, not rounding, as the
// window's stored arithmetic always did.
void TForm2::FormShow() {
    SetWidth(static_cast<int>(Label1.Width() * 1.5));
    Label1.SetLeft(static_cast<int>((Width() - Label1.Width()) * 0.5));
    SetHeight(Label1.Height() * 3);
    Label1.SetTop(static_cast<int>((Height() - Label1.Height() - 40) * 0.5));
}
