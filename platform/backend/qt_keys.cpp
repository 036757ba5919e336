// Qt key codes to virtual keys: letters and digits by their ASCII codes,
// the rest through a table; the scan code from the X11 key code (PC set 1
// = evdev code, X key code = evdev code + 8).
#include "platform/backend/qt_keys.h"

#include <Qt>

namespace rtl::backend {
namespace {

struct TMap {
  int Key;
  uint32_t Vk;
  bool Extended;
};

// The values of the window system's virtual keys this file produces.
enum : uint32_t {
  kBack = 0x08, kTab = 0x09, kClear = 0x0C, kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kMenu = 0x12,
  kPause = 0x13, kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23,
  kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kSnapshot = 0x2C, kInsert = 0x2D,
  kDelete = 0x2E, kHelp = 0x2F, kLWin = 0x5B, kApps = 0x5D, kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B,
  kSubtract = 0x6D, kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kNumLock = 0x90, kScroll = 0x91,
  kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD, kOemPeriod = 0xBE, kOem2 = 0xBF,
  kOem3 = 0xC0, kOem4 = 0xDB, kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE, kPacket = 0xE7,
};

const TMap kKeys[] = {
    {Qt::Key_Backspace, kBack, false}, {Qt::Key_Tab, kTab, false},       {Qt::Key_Backtab, kTab, false},
    {Qt::Key_Clear, kClear, false},    {Qt::Key_Return, kReturn, false}, {Qt::Key_Enter, kReturn, true},
    {Qt::Key_Shift, kShift, false},    {Qt::Key_Control, kControl, false}, {Qt::Key_Alt, kMenu, false},
    {Qt::Key_AltGr, kMenu, true},      {Qt::Key_Pause, kPause, false},   {Qt::Key_CapsLock, kCapital, false},
    {Qt::Key_Escape, kEscape, false},  {Qt::Key_Space, kSpace, false},   {Qt::Key_PageUp, kPrior, true},
    {Qt::Key_PageDown, kNext, true},   {Qt::Key_End, kEnd, true},        {Qt::Key_Home, kHome, true},
    {Qt::Key_Left, kLeft, true},       {Qt::Key_Up, kUp, true},          {Qt::Key_Right, kRight, true},
    {Qt::Key_Down, kDown, true},       {Qt::Key_Print, kSnapshot, true}, {Qt::Key_Insert, kInsert, true},
    {Qt::Key_Delete, kDelete, true},   {Qt::Key_Help, kHelp, false},     {Qt::Key_Meta, kLWin, true},
    {Qt::Key_Menu, kApps, true},       {Qt::Key_NumLock, kNumLock, false}, {Qt::Key_ScrollLock, kScroll, false},
    {Qt::Key_Semicolon, kOem1, false}, {Qt::Key_Colon, kOem1, false},    {Qt::Key_Equal, kOemPlus, false},
    {Qt::Key_Plus, kOemPlus, false},   {Qt::Key_Comma, kOemComma, false}, {Qt::Key_Less, kOemComma, false},
    {Qt::Key_Minus, kOemMinus, false}, {Qt::Key_Underscore, kOemMinus, false}, {Qt::Key_Period, kOemPeriod, false},
    {Qt::Key_Greater, kOemPeriod, false}, {Qt::Key_Slash, kOem2, false}, {Qt::Key_Question, kOem2, false},
    {Qt::Key_QuoteLeft, kOem3, false}, {Qt::Key_AsciiTilde, kOem3, false}, {Qt::Key_BracketLeft, kOem4, false},
    {Qt::Key_BraceLeft, kOem4, false}, {Qt::Key_Backslash, kOem5, false}, {Qt::Key_Bar, kOem5, false},
    {Qt::Key_BracketRight, kOem6, false}, {Qt::Key_BraceRight, kOem6, false}, {Qt::Key_Apostrophe, kOem7, false},
    {Qt::Key_QuoteDbl, kOem7, false},
};

// Shifted digit-row characters name the digit key they sit on.
uint32_t DigitRow(int key) {
  switch (key) {
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
  }
  return 0;
}

}  // namespace

TKeyCode QtKeyToVk(int key, bool keypad, uint32_t nativeScan) {
  TKeyCode k;
  // Below 0x59 the evdev codes are the PC's set-1 scan codes; the right
  // Control and Alt keys are the extended forms of the left ones.
  constexpr uint32_t kXRightControl = 105, kXRightAlt = 108;
  if (nativeScan >= 8 && nativeScan < 8 + 0x59) k.Scan = nativeScan - 8;
  if (nativeScan == kXRightControl || nativeScan == kXRightAlt) {
    k.Scan = nativeScan == kXRightControl ? 0x1D : 0x38;
    k.Extended = true;
  }
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
      k.Vk = kNumpad0 + static_cast<uint32_t>(key - Qt::Key_0);
      return k;
    }
    switch (key) {
      case Qt::Key_Asterisk: k.Vk = kMultiply; return k;
      case Qt::Key_Plus: k.Vk = kAdd; return k;
      case Qt::Key_Minus: k.Vk = kSubtract; return k;
      case Qt::Key_Period:
      case Qt::Key_Comma: k.Vk = kDecimal; return k;
      case Qt::Key_Slash:
        k.Vk = kDivide;
        k.Extended = true;
        return k;
      case Qt::Key_Enter:
        k.Vk = kReturn;
        k.Extended = true;
        return k;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    k.Vk = static_cast<uint32_t>(key);
    return k;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    k.Vk = static_cast<uint32_t>(key);
    return k;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    k.Vk = kF1 + static_cast<uint32_t>(key - Qt::Key_F1);
    return k;
  }
  if (uint32_t d = DigitRow(key)) {
    k.Vk = d;
    return k;
  }
  for (const TMap& m : kKeys)
    if (m.Key == key) {
      k.Vk = m.Vk;
      k.Extended = k.Extended || m.Extended;
      return k;
    }
  // A key the table does not know (a letter of another layout): the text
  // it typed will say what it was.
  k.Vk = kPacket;
  return k;
}

int VkToQtKey(uint32_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  if (vk >= kF1 && vk < kF1 + 24) return Qt::Key_F1 + static_cast<int>(vk - kF1);
  for (const TMap& m : kKeys)
    if (m.Vk == vk) return m.Key;
  return Qt::Key_unknown;
}

}  // namespace rtl::backend
