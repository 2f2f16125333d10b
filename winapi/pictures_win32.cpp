#include "winapi/pictures_win32.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "tray/layout_table.h"
#include "winapi/ui_win32.h"

namespace win32 {
namespace {

// ---- GDI helpers ----

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::wstring Wide(char32_t c) { return Wide(layout::Utf8(c)); }

// A memory DC drawing into a 32-bit top-down DIB section of exactly the
// requested size.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_) {
            old_ = SelectObject(dc_, bitmap_);
            SetBkMode(dc_, TRANSPARENT);
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        if (dc_) {
            if (old_) SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        if (bitmap_) DeleteObject(bitmap_);
    }

    bool Ok() const { return dc_ && bitmap_ && bits_; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t* Bits() {
        GdiFlush();
        return bits_;
    }

    // Hands over the bitmap. GDI leaves the alpha byte at zero; a picture
    // must be opaque wherever anything blends it.
    HBITMAP Release(bool opaque = true) {
        GdiFlush();
        if (opaque) {
            for (int i = 0; i < width_ * height_; ++i) bits_[i] |= 0xFF000000u;
        }
        SelectObject(dc_, old_);
        old_ = nullptr;
        DeleteDC(dc_);
        dc_ = nullptr;
        HBITMAP b = bitmap_;
        bitmap_ = nullptr;
        return b;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

class Font {
public:
    Font(int pixels, bool bold = false, bool underline = false, const wchar_t* face = L"Arial",
         DWORD quality = ANTIALIASED_QUALITY)
        : font_(CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                            DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                            DEFAULT_PITCH | FF_SWISS, face)) {}
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { if (font_) DeleteObject(font_); }
    HFONT Handle() const { return font_; }

private:
    HFONT font_;
};

// Selects an object into a DC for the scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    ~Selected() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

void Fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void RoundBox(HDC dc, const RECT& r, int radius, COLORREF fill, COLORREF edge, int edgeWidth = 1) {
    HPEN pen = CreatePen(PS_SOLID, edgeWidth, edge);
    HBRUSH brush = CreateSolidBrush(fill);
    {
        Selected p(dc, pen);
        Selected b(dc, brush);
        RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
    }
    DeleteObject(brush);
    DeleteObject(pen);
}

RECT Rect(int left, int top, int right, int bottom) {
    RECT r = {left, top, right, bottom};
    return r;
}

bool HasGlyphs(HDC dc, const std::wstring& text) {
    std::vector<WORD> glyphs(text.size());
    DWORD done = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                                  GGI_MARK_NONEXISTING_GLYPHS);
    if (done == GDI_ERROR) return true;  // cannot tell: trust the font
    return std::none_of(glyphs.begin(), glyphs.end(), [](WORD g) { return g == 0xFFFF; });
}

// The first of a few common faces that has every glyph of the text, so a sign
// that Arial lacks (the rouble sign on older systems, or where Arial stands
// for a look-alike font) is not drawn as a box. Arial when none has them all.
const wchar_t* FaceFor(HDC dc, const std::wstring& text, bool bold) {
    static const wchar_t* const kFaces[] = {L"Arial", L"Segoe UI", L"Segoe UI Symbol", L"Tahoma",
                                             L"Lucida Sans Unicode", L"DejaVu Sans"};
    for (const wchar_t* face : kFaces) {
        Font font(16, bold, false, face);
        Selected s(dc, font.Handle());
        if (HasGlyphs(dc, text)) return face;
    }
    return kFaces[0];
}

// Draws one short text (a key's character) on one line.
void DrawSymbol(HDC dc, const std::wstring& text, RECT r, int pixels, bool bold, COLORREF color, UINT format) {
    SetTextColor(dc, color);
    Font font(pixels, bold, false, FaceFor(dc, text, bold));
    Selected s(dc, font.Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX | DT_SINGLELINE);
}

ui::Picture PlainPicture(int width, int height, COLORREF color) {
    Canvas c(width, height);
    if (!c.Ok()) {
        ui::Picture p;
        p.width = width;
        p.height = height;
        return p;
    }
    Fill(c.Dc(), Rect(0, 0, width, height), color);
    return PictureFromBitmap(c.Release(), width, height);
}

// ---- text pictures ----

constexpr COLORREF kInk = RGB(34, 34, 34);
constexpr COLORREF kHeadingInk = RGB(22, 70, 140);
constexpr COLORREF kLinkInk = RGB(0, 70, 204);

// A heading stays close to the text it heads.
int GapAfter(layout::Paragraph::Style style, int size) {
    return style == layout::Paragraph::Style::Heading ? std::max(2, size / 4) : std::max(4, size * 2 / 3);
}

// Word-wrapped paragraphs within the top `height` rows, shrunk from the
// preferred size until they fit, centred vertically.
void DrawTextPicture(Canvas& c, const layout::TextSection& section, int height, int preferredSize, int marginX,
                     int marginY) {
    HDC dc = c.Dc();
    const int innerWidth = c.Width() - 2 * marginX;
    const int innerHeight = height - 2 * marginY;
    using S = layout::Paragraph::Style;
    struct Block {
        std::wstring text;
        S style;
        const wchar_t* face;
        int height;
    };
    std::vector<Block> blocks;
    for (const layout::Paragraph& p : section.paragraphs) {
        std::wstring text = Wide(layout::ExpandPlaceholders(p.text));
        const wchar_t* face = FaceFor(dc, text, p.style != S::Body);
        blocks.push_back({std::move(text), p.style, face, 0});
    }
    auto fontFor = [](const Block& b, int size) {
        if (b.style == S::Heading) return std::make_unique<Font>(size + size / 4, true, false, b.face);
        if (b.style == S::Link) return std::make_unique<Font>(size + 1, true, true, b.face);
        return std::make_unique<Font>(size, false, false, b.face);
    };
    const UINT kFormat = DT_WORDBREAK | DT_NOPREFIX;
    auto formatFor = [&](S style) { return kFormat | (style == S::Link ? DT_CENTER : DT_LEFT); };
    int size = preferredSize;
    int total = 0;
    for (;; --size) {
        total = 0;
        for (Block& b : blocks) {
            auto font = fontFor(b, size);
            Selected s(dc, font->Handle());
            RECT r = Rect(0, 0, innerWidth, 0);
            DrawTextW(dc, b.text.c_str(), -1, &r, formatFor(b.style) | DT_CALCRECT);
            b.height = r.bottom - r.top;
            total += b.height;
        }
        for (std::size_t i = 0; i + 1 < blocks.size(); ++i) total += GapAfter(blocks[i].style, size);
        if (total <= innerHeight || size <= 10) break;
    }
    int y = marginY + std::max(0, (innerHeight - total) / 2);
    for (const Block& b : blocks) {
        auto font = fontFor(b, size);
        Selected s(dc, font->Handle());
        SetTextColor(dc, b.style == S::Heading ? kHeadingInk : b.style == S::Link ? kLinkInk : kInk);
        RECT r = Rect(marginX, y, marginX + innerWidth, y + b.height);
        DrawTextW(dc, b.text.c_str(), -1, &r, formatFor(b.style));
        y += b.height + GapAfter(b.style, size);
    }
}

// visibleHeight: how many rows of the picture the window shows (0: all).
ui::Picture TextPicture(const std::vector<layout::TextSection>& texts, const char* section, int width,
                        int height, int visibleHeight, int preferredSize) {
    const layout::TextSection* s = layout::FindSection(texts, section);
    if (!s) return PlainPicture(width, height, RGB(211, 211, 211));
    Canvas c(width, height);
    if (!c.Ok()) return PlainPicture(width, height, RGB(211, 211, 211));
    Fill(c.Dc(), Rect(0, 0, width, height), RGB(255, 255, 255));
    const int textHeight = visibleHeight > 0 ? std::min(height, visibleHeight) : height;
    DrawTextPicture(c, *s, textHeight, preferredSize, std::max(8, width / 40), std::max(6, textHeight / 20));
    return PictureFromBitmap(c.Release(), width, height);
}

// ---- keyboard pictures ----

struct LevelLook {
    const wchar_t* name;
    COLORREF ink;
    COLORREF tint;
};
constexpr LevelLook kLevelLooks[layout::kLevelCount] = {
    {L"Base", RGB(20, 20, 20), RGB(226, 228, 232)},
    {L"Shift", RGB(0, 82, 204), RGB(212, 226, 250)},
    {L"Alt Ctrl", RGB(200, 24, 48), RGB(250, 214, 220)},
    {L"Shift Alt Ctrl", RGB(0, 130, 70), RGB(206, 240, 220)},
};

constexpr COLORREF kBackground = RGB(244, 246, 248);
constexpr COLORREF kCase = RGB(70, 76, 86);
constexpr COLORREF kKeyFace = RGB(252, 252, 252);
constexpr COLORREF kKeyEdge = RGB(150, 156, 164);
constexpr COLORREF kKeyShadow = RGB(36, 40, 46);
constexpr COLORREF kEmptyFace = RGB(218, 221, 226);
constexpr COLORREF kModifierFace = RGB(232, 234, 238);
constexpr COLORREF kLegendInk = RGB(110, 114, 120);

struct Geometry {
    int left;
    int top;
    double unit;  // pixels per quarter key
    int rowPitch;
    int keyHeight;
    int gap;
    int right() const { return left + static_cast<int>(std::lround(layout::kRowUnits * unit)) - gap; }
    int bottom() const { return top + (layout::kRowCount - 1) * rowPitch + keyHeight; }
    RECT Of(const layout::KeyCap& cap) const {
        int x0 = left + static_cast<int>(std::lround(cap.left * unit));
        int x1 = left + static_cast<int>(std::lround((cap.left + cap.width) * unit)) - gap;
        int y0 = top + cap.row * rowPitch;
        return Rect(x0, y0, x1, y0 + keyHeight);
    }
};

// Which modifier keys a level is typed with.
bool HeldFor(layout::CapKind kind, int level) {
    using K = layout::CapKind;
    bool shift = level == layout::kShift || level == layout::kShiftAltGr;
    bool altGr = level == layout::kAltGr || level == layout::kShiftAltGr;
    return (kind == K::Shift && shift) || (kind == K::AltGr && altGr);
}

std::wstring Printable(char32_t c) {
    // A combining mark alone would sit on nothing; show it on a dotted circle.
    if (c >= 0x0300 && c <= 0x036F) return Wide(U'\u25CC') + Wide(c);
    return Wide(c);
}

void DrawKeyBody(HDC dc, RECT r, COLORREF face, COLORREF edge, int edgeWidth = 1) {
    RECT shadow = r;
    OffsetRect(&shadow, 0, 2);
    RoundBox(dc, shadow, 9, kKeyShadow, kKeyShadow);
    RoundBox(dc, r, 9, face, edge, edgeWidth);
}

// One key showing all four levels, one per corner: base bottom left, Shift
// top left, AltGr bottom right, Shift+AltGr top right, as on printed caps.
void DrawAllLevels(HDC dc, RECT r, const layout::KeyAssignment& key, int size) {
    DrawKeyBody(dc, r, kKeyFace, kKeyEdge);
    RECT inner = r;
    InflateRect(&inner, -3, -3);
    int midX = (inner.left + inner.right) / 2;
    int midY = (inner.top + inner.bottom) / 2;
    const RECT corners[layout::kLevelCount] = {
        Rect(inner.left, midY, midX, inner.bottom),
        Rect(inner.left, inner.top, midX, midY),
        Rect(midX, midY, inner.right, inner.bottom),
        Rect(midX, inner.top, inner.right, midY),
    };
    for (int level = 0; level < layout::kLevelCount; ++level) {
        if (!key.levels[level]) continue;
        DrawSymbol(dc, Printable(key.levels[level]), corners[level], level == layout::kBase ? size + 2 : size,
                   level == layout::kBase, kLevelLooks[level].ink, DT_CENTER | DT_VCENTER);
    }
}

// One key showing one level big, with the Latin legend small in its corner.
void DrawOneLevel(HDC dc, RECT r, const layout::KeyAssignment& key, int level, int size) {
    char32_t c = key.levels[level];
    DrawKeyBody(dc, r, c ? kKeyFace : kEmptyFace, kKeyEdge);
    RECT corner = Rect(r.left + 5, r.top + 3, r.right - 4, r.top + 3 + size / 2 + 2);
    DrawSymbol(dc, Wide(key.legend), corner, size / 2, false, kLegendInk, DT_LEFT | DT_TOP);
    if (!c) return;
    RECT body = Rect(r.left + 4, r.top + size / 3, r.right - 2, r.bottom - 2);
    DrawSymbol(dc, Printable(c), body, size, true, kLevelLooks[level].ink, DT_CENTER | DT_VCENTER);
}

void DrawModifier(HDC dc, RECT r, const layout::KeyCap& cap, int level, int size) {
    bool held = level >= 0 && HeldFor(cap.kind, level);
    const LevelLook& look = kLevelLooks[held ? level : 0];
    DrawKeyBody(dc, r, held ? look.tint : kModifierFace, held ? look.ink : kKeyEdge, held ? 2 : 1);
    if (!cap.label || !*cap.label) return;
    RECT text = Rect(r.left + 7, r.top, r.right - 4, r.bottom);
    DrawSymbol(dc, Wide(cap.label), text, size, held, held ? look.ink : kLegendInk, DT_LEFT | DT_VCENTER);
}

// The colour key of the General picture: a sample key and the level names.
void DrawColourKey(HDC dc, RECT area, int size) {
    const layout::KeyAssignment* sample = layout::FindKey(layout::Table(), 0x1A);
    SetTextColor(dc, kInk);
    {
        Font title(size, true);
        Selected s(dc, title.Handle());
        RECT t = Rect(area.left, area.top, area.right, area.top + size + 8);
        DrawTextW(dc, L"Levels", -1, &t, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    int side = std::min<int>(area.right - area.left - 20, 76);
    int x = (area.left + area.right - side) / 2;
    int y = area.top + size + 14;
    if (sample) DrawAllLevels(dc, Rect(x, y, x + side, y + side), *sample, size + 2);
    y += side + 16;
    Font font(size - 1);
    Selected s(dc, font.Handle());
    for (int level = 0; level < layout::kLevelCount; ++level) {
        RECT swatch = Rect(area.left + 2, y + 2, area.left + 2 + size - 2, y + size);
        Fill(dc, swatch, kLevelLooks[level].ink);
        SetTextColor(dc, kLevelLooks[level].ink);
        RECT label = Rect(swatch.right + 6, y - 2, area.right, y + size + 4);
        DrawTextW(dc, kLevelLooks[level].name, -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        y += size + 10;
    }
}

// Beside a one-level picture: its name and the keys it is typed with.
void DrawLevelCaption(HDC dc, RECT area, int level, int size) {
    static const wchar_t* const kHow[layout::kLevelCount] = {
        L"Keys alone",
        L"Hold Shift",
        L"Hold AltGr (right Alt) or Ctrl+Alt",
        L"Hold Shift with AltGr (right Alt) or with Ctrl+Alt",
    };
    const LevelLook& look = kLevelLooks[level];
    int y = area.top;
    {
        Font title(size + 6, true);
        Selected s(dc, title.Handle());
        SetTextColor(dc, look.ink);
        RECT r = Rect(area.left, y, area.right, area.bottom);
        DrawTextW(dc, look.name, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r.right = area.right;
        DrawTextW(dc, look.name, -1, &r, DT_WORDBREAK | DT_NOPREFIX);
        y = r.bottom + 10;
    }
    Font body(size);
    Selected s(dc, body.Handle());
    SetTextColor(dc, kInk);
    RECT r = Rect(area.left, y, area.right, area.bottom);
    DrawTextW(dc, kHow[level], -1, &r, DT_WORDBREAK | DT_NOPREFIX);
}

// level < 0: the General picture with every level.
ui::Picture KeyboardPicture(int level, int width, int height) {
    Canvas c(width, height);
    if (!c.Ok()) return PlainPicture(width, height, RGB(211, 211, 211));
    HDC dc = c.Dc();
    Fill(dc, Rect(0, 0, width, height), kBackground);

    // The keyboard takes the left part, the caption or colour key the rest.
    const int margin = std::max(6, height / 30);
    const int captionWidth = std::max(100, width / 8);
    const int casePad = 6;
    Geometry g;
    g.gap = 4;
    g.left = margin + casePad;
    g.unit = (width - 2 * margin - 2 * casePad - captionWidth - 12 + g.gap) / static_cast<double>(layout::kRowUnits);
    g.rowPitch = (height - 2 * margin - 2 * casePad - 2 + g.gap) / layout::kRowCount;
    g.keyHeight = g.rowPitch - g.gap;
    g.top = margin + casePad + (height - 2 * margin - 2 * casePad - 2 - (layout::kRowCount * g.rowPitch - g.gap)) / 2;

    RECT keyboardCase = Rect(g.left - casePad, g.top - casePad, g.right() + casePad, g.bottom() + casePad + 2);
    RoundBox(dc, keyboardCase, 14, kCase, kCase);

    const int keyWidth = static_cast<int>(layout::kUnitsPerKey * g.unit) - g.gap;
    const int glyph = std::max(8, std::min(keyWidth, g.keyHeight) * (level < 0 ? 38 : 56) / 100);
    const int label = std::max(8, g.keyHeight * 2 / 9);
    for (const layout::KeyCap& cap : layout::KeyboardCaps()) {
        RECT r = g.Of(cap);
        if (cap.kind != layout::CapKind::Character) {
            DrawModifier(dc, r, cap, level, label);
            continue;
        }
        const layout::KeyAssignment* key = layout::FindKey(layout::Table(), cap.scanCode);
        if (!key) {
            DrawKeyBody(dc, r, kEmptyFace, kKeyEdge);
        } else if (level < 0) {
            DrawAllLevels(dc, r, *key, glyph);
        } else {
            DrawOneLevel(dc, r, *key, level, glyph);
        }
    }

    RECT caption = Rect(keyboardCase.right + 12, keyboardCase.top + 4, width - margin, keyboardCase.bottom);
    if (level < 0) {
        DrawColourKey(dc, caption, std::max(10, height / 22));
    } else {
        DrawLevelCaption(dc, caption, level, std::max(10, height / 22));
    }
    return PictureFromBitmap(c.Release(), width, height);
}

// ---- state icons ----

// State 1: white "Ру" on a filled red square; state 2: blue "Ру" on white
// in a blue outline, so the two tell apart even at a glance.
ui::Picture StateIcon(int state, int width, int height) {
    const COLORREF red = RGB(204, 20, 36);
    const COLORREF blue = RGB(0, 84, 200);
    const COLORREF white = RGB(255, 255, 255);
    const int radius = std::max(3, std::min(width, height) / 4);

    // The shape alone, to tell the icon's transparent corners.
    Canvas shape(width, height);
    Canvas color(width, height);
    if (!shape.Ok() || !color.Ok()) return PlainPicture(width, height, RGB(211, 211, 211));
    Fill(shape.Dc(), Rect(0, 0, width, height), RGB(0, 0, 0));
    RoundBox(shape.Dc(), Rect(0, 0, width, height), radius, white, white);

    HDC dc = color.Dc();
    Fill(dc, Rect(0, 0, width, height), RGB(0, 0, 0));
    if (state == 1) {
        RoundBox(dc, Rect(0, 0, width, height), radius, red, red);
    } else {
        RoundBox(dc, Rect(0, 0, width, height), radius, white, blue, std::max(1, width / 12));
    }
    const std::wstring text = L"\u0420\u0443";  // "Ру"
    int pixels = height * 3 / 4;
    for (; pixels > 6; --pixels) {
        Font probe(pixels, true);
        Selected s(dc, probe.Handle());
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        if (extent.cx <= width - std::max(2, width / 8)) break;
    }
    Font font(pixels, true);
    {
        Selected s(dc, font.Handle());
        SetTextColor(dc, state == 1 ? white : blue);
        RECT r = Rect(0, 0, width, height);
        OffsetRect(&r, 0, -1);  // the descender of "у" pulls the pair down
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    // Alpha and the AND mask from the shape: opaque inside, clear outside.
    const std::uint32_t* inside = shape.Bits();
    std::uint32_t* pixelsOut = color.Bits();
    const int stride = ((width + 15) / 16) * 2;  // monochrome rows are word-aligned
    std::vector<BYTE> mask(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t& p = pixelsOut[y * width + x];
            if (inside[y * width + x] & 0x00FFFFFFu) {
                p |= 0xFF000000u;
            } else {
                p = 0;
                mask[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    HBITMAP colorBitmap = color.Release(false);
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = maskBitmap;
    info.hbmColor = colorBitmap;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    DeleteObject(colorBitmap);
    if (!icon) return PlainPicture(width, height, RGB(211, 211, 211));
    return PictureFromIcon(icon, width, height);
}

}  // namespace

ui::Picture DrawPicture(const std::string& name, int width, int height) {
    if (width <= 0 || height <= 0) {
        ui::Picture p;
        p.width = width;
        p.height = height;
        return p;
    }
    try {
        struct TextPage {
            const char* name;
            bool about;
            const char* section;
            int visibleHeight;
            int preferredSize;
        };
        // The About tab shows its page in the keyboard pictures' area, 308
        // rows high, so the page keeps its text above that.
        static const TextPage kTextPages[] = {
            {"setup.head", false, "head", 0, 16},
            {"setup.foot", false, "foot", 0, 18},
            {"setup.head_rem", false, "head_rem", 0, 17},
            {"setup.foot_rem", false, "foot_rem", 0, 19},
            {"tray.about", true, "about", 308, 16},
        };
        for (const TextPage& page : kTextPages) {
            if (name == page.name) {
                return TextPicture(page.about ? layout::AboutTexts() : layout::SetupTexts(), page.section, width,
                                   height, page.visibleHeight, page.preferredSize);
            }
        }
        if (name == "tray.general") return KeyboardPicture(-1, width, height);
        if (name == "tray.base") return KeyboardPicture(layout::kBase, width, height);
        if (name == "tray.shift") return KeyboardPicture(layout::kShift, width, height);
        if (name == "tray.altctrl") return KeyboardPicture(layout::kAltGr, width, height);
        if (name == "tray.shiftaltctrl") return KeyboardPicture(layout::kShiftAltGr, width, height);
        if (name == "tray.state1") return StateIcon(1, width, height);
        if (name == "tray.state2") return StateIcon(2, width, height);
    } catch (const std::exception&) {
        // Data that does not parse must not keep a window from opening.
    }
    return PlainPicture(width, height, RGB(211, 211, 211));
}

}  // namespace win32
