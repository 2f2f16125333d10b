// Draws every named picture of the programs and saves each as a 24-bit .bmp
// into the folder given on the command line, to look at the drawings without
// starting the programs:
//     render_pictures.exe <folder>
// Icons are drawn over a light grey square of their size. Exit status 1 when
// a picture could not be drawn or saved.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "winapi/pictures_win32.h"
#include "winapi/ui_win32.h"

namespace {

// Reads a picture back as 24-bit rows, bottom row first, as .bmp stores them.
bool PixelsOf(const ui::Picture& picture, std::vector<std::uint8_t>* rows, int* stride) {
    const win32::NativeImage* native = win32::NativeOf(picture);
    if (!native || (!native->bitmap && !native->icon)) return false;
    const int w = picture.width, h = picture.height;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, w, h};
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    bool ok = true;
    if (native->bitmap) {
        HDC source = CreateCompatibleDC(screen);
        HGDIOBJ oldSource = SelectObject(source, native->bitmap);
        ok = BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY) != 0;
        SelectObject(source, oldSource);
        DeleteDC(source);
    } else {
        ok = DrawIconEx(dc, 0, 0, native->icon, w, h, 0, nullptr, DI_NORMAL) != 0;
    }
    SelectObject(dc, old);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as the file wants
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    *stride = (w * 3 + 3) & ~3;
    rows->assign(static_cast<std::size_t>(*stride) * h, 0);
    ok = ok && GetDIBits(dc, canvas, 0, h, rows->data(), &info, DIB_RGB_COLORS) == h;
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveBmp(const std::string& path, int w, int h, const std::vector<std::uint8_t>& rows) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER head = {};
    head.biSize = sizeof head;
    head.biWidth = w;
    head.biHeight = h;
    head.biPlanes = 1;
    head.biBitCount = 24;
    head.biCompression = BI_RGB;
    head.biSizeImage = static_cast<DWORD>(rows.size());
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof head;
    file.bfSize = file.bfOffBits + head.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&head, sizeof head, 1, f) == 1 &&
              std::fwrite(rows.data(), 1, rows.size(), f) == rows.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_pictures <folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    CreateDirectoryA(folder.c_str(), nullptr);
    int failures = 0;
    auto render = [&](const std::string& name, int w, int h, const std::string& suffix) {
        ui::Picture p = win32::DrawPicture(name, w, h);
        std::vector<std::uint8_t> rows;
        int stride = 0;
        std::string path = folder + "\\" + name + suffix + ".bmp";
        bool ok = p.width == w && p.height == h && PixelsOf(p, &rows, &stride) && SaveBmp(path, w, h, rows);
        std::printf("%-20s %4d x %-4d %s\n", name.c_str(), w, h, ok ? path.c_str() : "FAILED");
        if (!ok) ++failures;
    };
    for (const win32::NamedPicture& n : win32::kNamedPictures) render(n.name, n.width, n.height, "");
    // The state icons as the window's larger holders would show them, and a
    // name nobody draws.
    render("tray.state1", 48, 48, "-48");
    render("tray.state2", 48, 48, "-48");
    render("no.such.picture", 120, 40, "");
    return failures == 0 ? 0 : 1;
}
