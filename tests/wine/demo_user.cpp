// Acts as the user for the demo when there is no display to click on:
//   demo_user wait <title> [seconds]       waits until a window with that title shows
//   demo_user click <title> <button>       presses a button of that window
//   demo_user report                       prints what an install left behind
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver.h"

namespace {

int Wait(const std::string& title, int seconds) {
    HWND w = e2e::WaitForWindow(title, 0, static_cast<DWORD>(seconds) * 1000);
    if (!w) {
        std::fprintf(stderr, "no window titled \"%s\" within %d s\n", title.c_str(), seconds);
        return 1;
    }
    std::printf("window \"%s\" is showing\n", title.c_str());
    return 0;
}

int Click(const std::string& title, const std::string& button) {
    HWND w = e2e::FindTopWindow(title);
    HWND b = w ? e2e::FindChild(w, "Button", button) : nullptr;
    if (!b) {
        std::fprintf(stderr, "no button \"%s\" in \"%s\"\n", button.c_str(), title.c_str());
        return 1;
    }
    e2e::Click(b);
    std::printf("clicked \"%s\"\n", button.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "wait" && argc >= 3) return Wait(argv[2], argc >= 4 ? std::atoi(argv[3]) : 30);
    if (verb == "click" && argc >= 4) return Click(argv[2], argv[3]);
    std::fprintf(stderr, "usage: demo_user wait <title> [seconds] | click <title> <button>\n");
    return 2;
}
