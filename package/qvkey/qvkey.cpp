// Qvkey.dll: the keyboard layout library that the layout's registry key names
// ("Layout File" = "qvkey.dll").
//
// STAND-IN: the tables below describe a plain US-style 101/102-key layout
// (Latin letters, digits and punctuation with Shift and Ctrl), not the
// phonetic Russian assignments. They are a complete, valid KBDTABLES so that
// Windows can load and use the library; the phonetic character tables replace
// aVkToWch2/aVkToWch3 when they are ready.
//
// Windows may map and call a layout library in a context without the C
// runtime, so the library is pure data plus one function: it is linked without
// startup files or imports, and every table is initialised at compile time
// (constinit). The tables are writable data, as in the system's own layout
// libraries, so that the loader may adjust their pointers in place.

#include "kbd_tables.h"

namespace {

using kbd::VK_TO_WCHARS;

constexpr USHORT kNoKey = 0x00FF;

constinit kbd::VK_TO_BIT aVkToBits[] = {
    {VK_SHIFT, kbd::kShift},
    {VK_CONTROL, kbd::kCtrl},
    {VK_MENU, kbd::kAlt},
    {0, 0},
};

// Shift-state bits -> column: none 0, Shift 1, Ctrl 2, Shift+Ctrl unused.
constinit kbd::MODIFIERS CharModifiers = {aVkToBits, 3, {0, 1, 2, kbd::kShiftInvalid}};

// Scan code -> virtual key for scan codes 0x00..0x7F (US 101/102-key set).
constinit USHORT ausVSCtoVK[] = {
    /* 00 */ kNoKey, VK_ESCAPE, '1', '2', '3', '4', '5', '6',
    /* 08 */ '7', '8', '9', '0', VK_OEM_MINUS, VK_OEM_PLUS, VK_BACK, VK_TAB,
    /* 10 */ 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I',
    /* 18 */ 'O', 'P', VK_OEM_4, VK_OEM_6, VK_RETURN, VK_LCONTROL, 'A', 'S',
    /* 20 */ 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1,
    /* 28 */ VK_OEM_7, VK_OEM_3, VK_LSHIFT, VK_OEM_5, 'Z', 'X', 'C', 'V',
    /* 30 */ 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2, VK_RSHIFT | kbd::kExtended,
    /* 37 */ VK_MULTIPLY | kbd::kMultiVk,
    /* 38 */ VK_LMENU, VK_SPACE, VK_CAPITAL, VK_F1, VK_F2, VK_F3, VK_F4, VK_F5,
    /* 40 */ VK_F6, VK_F7, VK_F8, VK_F9, VK_F10,
    /* 45 */ VK_NUMLOCK | kbd::kExtended | kbd::kMultiVk,
    /* 46 */ VK_SCROLL | kbd::kMultiVk,
    /* 47 */ VK_HOME | kbd::kSpecial | kbd::kNumpad,
    /* 48 */ VK_UP | kbd::kSpecial | kbd::kNumpad,
    /* 49 */ VK_PRIOR | kbd::kSpecial | kbd::kNumpad,
    /* 4A */ VK_SUBTRACT,
    /* 4B */ VK_LEFT | kbd::kSpecial | kbd::kNumpad,
    /* 4C */ VK_CLEAR | kbd::kSpecial | kbd::kNumpad,
    /* 4D */ VK_RIGHT | kbd::kSpecial | kbd::kNumpad,
    /* 4E */ VK_ADD,
    /* 4F */ VK_END | kbd::kSpecial | kbd::kNumpad,
    /* 50 */ VK_DOWN | kbd::kSpecial | kbd::kNumpad,
    /* 51 */ VK_NEXT | kbd::kSpecial | kbd::kNumpad,
    /* 52 */ VK_INSERT | kbd::kSpecial | kbd::kNumpad,
    /* 53 */ VK_DELETE | kbd::kSpecial | kbd::kNumpad,
    /* 54 */ VK_SNAPSHOT, kNoKey, VK_OEM_102, VK_F11,
    /* 58 */ VK_F12, VK_CLEAR, VK_OEM_WSCTRL, VK_OEM_FINISH, VK_OEM_JUMP, VK_EREOF, VK_OEM_BACKTAB,
    /* 5F */ VK_OEM_AUTO,
    /* 60 */ kNoKey, kNoKey, VK_ZOOM, VK_HELP, VK_F13, VK_F14, VK_F15, VK_F16,
    /* 68 */ VK_F17, VK_F18, VK_F19, VK_F20, VK_F21, VK_F22, VK_F23, VK_OEM_PA3,
    /* 70 */ kNoKey, VK_OEM_RESET, kNoKey, 0xC1 /* ABNT C1 */, kNoKey, kNoKey, VK_F24, kNoKey,
    /* 78 */ kNoKey, kNoKey, kNoKey, VK_OEM_PA1, VK_TAB, kNoKey, 0xC2 /* ABNT C2 */, VK_OEM_PA2,
};
static_assert(sizeof ausVSCtoVK / sizeof ausVSCtoVK[0] == 0x80, "one entry per scan code 00..7F");

// Keys sent with the E0 prefix.
constinit kbd::VSC_VK aE0VscToVk[] = {
    {0x10, VK_MEDIA_PREV_TRACK | kbd::kExtended},
    {0x19, VK_MEDIA_NEXT_TRACK | kbd::kExtended},
    {0x1C, VK_RETURN | kbd::kExtended},
    {0x1D, VK_RCONTROL | kbd::kExtended},
    {0x20, VK_VOLUME_MUTE | kbd::kExtended},
    {0x22, VK_MEDIA_PLAY_PAUSE | kbd::kExtended},
    {0x24, VK_MEDIA_STOP | kbd::kExtended},
    {0x2E, VK_VOLUME_DOWN | kbd::kExtended},
    {0x30, VK_VOLUME_UP | kbd::kExtended},
    {0x35, VK_DIVIDE | kbd::kExtended},
    {0x37, VK_SNAPSHOT | kbd::kExtended},
    {0x38, VK_RMENU | kbd::kExtended},
    {0x46, VK_CANCEL | kbd::kExtended},
    {0x47, VK_HOME | kbd::kExtended},
    {0x48, VK_UP | kbd::kExtended},
    {0x49, VK_PRIOR | kbd::kExtended},
    {0x4B, VK_LEFT | kbd::kExtended},
    {0x4D, VK_RIGHT | kbd::kExtended},
    {0x4F, VK_END | kbd::kExtended},
    {0x50, VK_DOWN | kbd::kExtended},
    {0x51, VK_NEXT | kbd::kExtended},
    {0x52, VK_INSERT | kbd::kExtended},
    {0x53, VK_DELETE | kbd::kExtended},
    {0x5B, VK_LWIN | kbd::kExtended},
    {0x5C, VK_RWIN | kbd::kExtended},
    {0x5D, VK_APPS | kbd::kExtended},
    {0, 0},
};

// Pause arrives as E1 1D 45.
constinit kbd::VSC_VK aE1VscToVk[] = {
    {0x1D, VK_PAUSE},
    {0, 0},
};

// Columns: none, Shift.
constinit VK_TO_WCHARS<2> aVkToWch2[] = {
    {'1', 0, {'1', '!'}},
    {'2', 0, {'2', '@'}},
    {'3', 0, {'3', '#'}},
    {'4', 0, {'4', '$'}},
    {'5', 0, {'5', '%'}},
    {'6', 0, {'6', '^'}},
    {'7', 0, {'7', '&'}},
    {'8', 0, {'8', '*'}},
    {'9', 0, {'9', '('}},
    {'0', 0, {'0', ')'}},
    {VK_OEM_MINUS, 0, {'-', '_'}},
    {VK_OEM_PLUS, 0, {'=', '+'}},
    {'A', kbd::kCapLock, {'a', 'A'}},
    {'B', kbd::kCapLock, {'b', 'B'}},
    {'C', kbd::kCapLock, {'c', 'C'}},
    {'D', kbd::kCapLock, {'d', 'D'}},
    {'E', kbd::kCapLock, {'e', 'E'}},
    {'F', kbd::kCapLock, {'f', 'F'}},
    {'G', kbd::kCapLock, {'g', 'G'}},
    {'H', kbd::kCapLock, {'h', 'H'}},
    {'I', kbd::kCapLock, {'i', 'I'}},
    {'J', kbd::kCapLock, {'j', 'J'}},
    {'K', kbd::kCapLock, {'k', 'K'}},
    {'L', kbd::kCapLock, {'l', 'L'}},
    {'M', kbd::kCapLock, {'m', 'M'}},
    {'N', kbd::kCapLock, {'n', 'N'}},
    {'O', kbd::kCapLock, {'o', 'O'}},
    {'P', kbd::kCapLock, {'p', 'P'}},
    {'Q', kbd::kCapLock, {'q', 'Q'}},
    {'R', kbd::kCapLock, {'r', 'R'}},
    {'S', kbd::kCapLock, {'s', 'S'}},
    {'T', kbd::kCapLock, {'t', 'T'}},
    {'U', kbd::kCapLock, {'u', 'U'}},
    {'V', kbd::kCapLock, {'v', 'V'}},
    {'W', kbd::kCapLock, {'w', 'W'}},
    {'X', kbd::kCapLock, {'x', 'X'}},
    {'Y', kbd::kCapLock, {'y', 'Y'}},
    {'Z', kbd::kCapLock, {'z', 'Z'}},
    {VK_OEM_1, 0, {';', ':'}},
    {VK_OEM_7, 0, {'\'', '"'}},
    {VK_OEM_3, 0, {'`', '~'}},
    {VK_OEM_COMMA, 0, {',', '<'}},
    {VK_OEM_PERIOD, 0, {'.', '>'}},
    {VK_OEM_2, 0, {'/', '?'}},
    {VK_TAB, 0, {'\t', '\t'}},
    {VK_ADD, 0, {'+', '+'}},
    {VK_DECIMAL, 0, {'.', '.'}},
    {VK_DIVIDE, 0, {'/', '/'}},
    {VK_MULTIPLY, 0, {'*', '*'}},
    {VK_SUBTRACT, 0, {'-', '-'}},
    {0, 0, {0, 0}},
};

// Columns: none, Shift, Ctrl (keys that also give a control character).
constinit VK_TO_WCHARS<3> aVkToWch3[] = {
    {VK_OEM_4, 0, {'[', '{', 0x1B}},
    {VK_OEM_6, 0, {']', '}', 0x1D}},
    {VK_OEM_5, 0, {'\\', '|', 0x1C}},
    {VK_OEM_102, 0, {'\\', '|', 0x1C}},
    {VK_BACK, 0, {0x08, 0x08, 0x7F}},
    {VK_ESCAPE, 0, {0x1B, 0x1B, 0x1B}},
    {VK_RETURN, 0, {'\r', '\r', '\n'}},
    {VK_SPACE, 0, {' ', ' ', ' '}},
    {VK_CANCEL, 0, {0x03, 0x03, 0x03}},
    {0, 0, {0, 0, 0}},
};

// Numeric keypad with Num Lock on: one column.
constinit VK_TO_WCHARS<1> aVkToWch1[] = {
    {VK_NUMPAD0, 0, {'0'}}, {VK_NUMPAD1, 0, {'1'}}, {VK_NUMPAD2, 0, {'2'}}, {VK_NUMPAD3, 0, {'3'}},
    {VK_NUMPAD4, 0, {'4'}}, {VK_NUMPAD5, 0, {'5'}}, {VK_NUMPAD6, 0, {'6'}}, {VK_NUMPAD7, 0, {'7'}},
    {VK_NUMPAD8, 0, {'8'}}, {VK_NUMPAD9, 0, {'9'}}, {0, 0, {0}},
};

// The system searches these in order; the numpad table comes last.
constinit kbd::VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    {aVkToWch3, 3, sizeof(VK_TO_WCHARS<3>)},
    {aVkToWch2, 2, sizeof(VK_TO_WCHARS<2>)},
    {aVkToWch1, 1, sizeof(VK_TO_WCHARS<1>)},
    {nullptr, 0, 0},
};

constinit kbd::VSC_LPWSTR aKeyNames[] = {
    {0x01, L"Esc"},        {0x0E, L"Backspace"},   {0x0F, L"Tab"},        {0x1C, L"Enter"},
    {0x1D, L"Ctrl"},       {0x2A, L"Shift"},       {0x36, L"Right Shift"}, {0x37, L"Num *"},
    {0x38, L"Alt"},        {0x39, L"Space"},       {0x3A, L"Caps Lock"},  {0x3B, L"F1"},
    {0x3C, L"F2"},         {0x3D, L"F3"},          {0x3E, L"F4"},         {0x3F, L"F5"},
    {0x40, L"F6"},         {0x41, L"F7"},          {0x42, L"F8"},         {0x43, L"F9"},
    {0x44, L"F10"},        {0x45, L"Pause"},       {0x46, L"Scroll Lock"}, {0x47, L"Num 7"},
    {0x48, L"Num 8"},      {0x49, L"Num 9"},       {0x4A, L"Num -"},      {0x4B, L"Num 4"},
    {0x4C, L"Num 5"},      {0x4D, L"Num 6"},       {0x4E, L"Num +"},      {0x4F, L"Num 1"},
    {0x50, L"Num 2"},      {0x51, L"Num 3"},       {0x52, L"Num 0"},      {0x53, L"Num Del"},
    {0x54, L"Sys Req"},    {0x57, L"F11"},         {0x58, L"F12"},        {0, nullptr},
};

constinit kbd::VSC_LPWSTR aKeyNamesExt[] = {
    {0x1C, L"Num Enter"}, {0x1D, L"Right Ctrl"}, {0x35, L"Num /"},   {0x37, L"Prnt Scrn"},
    {0x38, L"Right Alt"}, {0x45, L"Num Lock"},   {0x46, L"Break"},   {0x47, L"Home"},
    {0x48, L"Up"},        {0x49, L"Page Up"},    {0x4B, L"Left"},    {0x4D, L"Right"},
    {0x4F, L"End"},       {0x50, L"Down"},       {0x51, L"Page Down"}, {0x52, L"Insert"},
    {0x53, L"Delete"},    {0x5B, L"Left Windows"}, {0x5C, L"Right Windows"}, {0x5D, L"Application"},
    {0, nullptr},
};

constinit kbd::KBDTABLES KbdTables = {
    &CharModifiers,
    aVkToWcharTable,
    nullptr,  // no dead keys
    aKeyNames,
    aKeyNamesExt,
    nullptr,  // no dead-key names
    ausVSCtoVK,
    sizeof ausVSCtoVK / sizeof ausVSCtoVK[0],
    aE0VscToVk,
    aE1VscToVk,
    MAKELONG(0, kbd::kVersion),
    0,  // no ligatures
    0,
    nullptr,
    kbd::kType101,
    0,
};

}  // namespace

extern "C" {

// Entry point: nothing to set up or tear down.
BOOL WINAPI QvkeyEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// Exported by name through qvkey.def.
const kbd::KBDTABLES* KbdLayerDescriptor(void) { return &KbdTables; }

}  // extern "C"
