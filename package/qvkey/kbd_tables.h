// The records a Windows keyboard layout library hands to the system through
// its KbdLayerDescriptor export. mingw-w64 ships no kbd.h, so the few records
// the layout needs are declared here, in the documented order and packing.
// Used by the layout library and by the test that loads it.
#pragma once

#include <windows.h>

namespace kbd {

// Shift-state bits and the modification-number marker for an unused state.
constexpr BYTE kShift = 0x01;
constexpr BYTE kCtrl = 0x02;
constexpr BYTE kAlt = 0x04;
constexpr BYTE kShiftInvalid = 0x0F;

// Flags in the scan-code -> virtual-key tables.
constexpr USHORT kExtended = 0x0100;
constexpr USHORT kMultiVk = 0x0200;
constexpr USHORT kSpecial = 0x0400;
constexpr USHORT kNumpad = 0x0800;

// VK_TO_WCHARS attribute: Caps Lock acts like Shift on this key.
constexpr BYTE kCapLock = 0x01;
// A character slot that produces nothing.
constexpr WCHAR kNone = 0xF000;

// Version stored in the high word of fLocaleFlags.
constexpr DWORD kVersion = 1;
// dwType of a 101/102-key keyboard.
constexpr DWORD kType101 = 4;

struct VK_TO_BIT {
  BYTE Vk;
  BYTE ModBits;
};

// MODIFIERS ends in a variable-length ModNumber array; the layout uses four
// shift states (none, Shift, Ctrl, Shift+Ctrl).
struct MODIFIERS {
  const VK_TO_BIT* pVkToBit;
  WORD wMaxModBits;
  BYTE ModNumber[4];
};

template <int N>
struct VK_TO_WCHARS {
  BYTE VirtualKey;
  BYTE Attributes;
  WCHAR wch[N];
};

struct VK_TO_WCHAR_TABLE {
  const void* pVkToWchars;  // VK_TO_WCHARS<nModifications> rows, ended by a zero row
  BYTE nModifications;
  BYTE cbSize;  // size of one row
};

struct DEADKEY {
  DWORD dwBoth;
  WCHAR wchComposed;
  USHORT uFlags;
};

struct VSC_LPWSTR {
  BYTE vsc;
  const WCHAR* pwsz;
};

struct VSC_VK {
  BYTE Vsc;
  USHORT Vk;
};

struct KBDTABLES {
  const MODIFIERS* pCharModifiers;
  const VK_TO_WCHAR_TABLE* pVkToWcharTable;
  const DEADKEY* pDeadKey;
  const VSC_LPWSTR* pKeyNames;
  const VSC_LPWSTR* pKeyNamesExt;
  const WCHAR* const* pKeyNamesDead;
  const USHORT* pusVSCtoVK;
  BYTE bMaxVSCtoVK;
  const VSC_VK* pVSCtoVK_E0;
  const VSC_VK* pVSCtoVK_E1;
  DWORD fLocaleFlags;
  BYTE nLgMax;
  BYTE cbLgEntry;
  const void* pLigature;
  DWORD dwType;
  DWORD dwSubType;
};

}  // namespace kbd
