// The keyboard: key messages with their key data, the synchronous key
// state (as of the last retrieved message) and the asynchronous one (as of
// now), TranslateMessage, and the US keyboard layout that ToAscii,
// MapVirtualKey and VkKeyScan answer for. Text that the native layout
// produced for a key wins over the layout table.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

std::atomic<uint8_t> g_async[256];
std::atomic<uint8_t> g_asyncPressed[256];
// Lock toggles a new thread starts with.
std::atomic<uint8_t> g_toggles[256];

struct TScan {
  UINT Vk;
  UINT Scan;
  bool Extended;
};

// Scan codes (set 1) of the PC keyboard.
const TScan kScans[] = {
    {VK_ESCAPE, 0x01, false}, {'1', 0x02, false}, {'2', 0x03, false}, {'3', 0x04, false}, {'4', 0x05, false},
    {'5', 0x06, false}, {'6', 0x07, false}, {'7', 0x08, false}, {'8', 0x09, false}, {'9', 0x0A, false},
    {'0', 0x0B, false}, {VK_OEM_MINUS, 0x0C, false}, {VK_OEM_PLUS, 0x0D, false}, {VK_BACK, 0x0E, false},
    {VK_TAB, 0x0F, false}, {'Q', 0x10, false}, {'W', 0x11, false}, {'E', 0x12, false}, {'R', 0x13, false},
    {'T', 0x14, false}, {'Y', 0x15, false}, {'U', 0x16, false}, {'I', 0x17, false}, {'O', 0x18, false},
    {'P', 0x19, false}, {VK_OEM_4, 0x1A, false}, {VK_OEM_6, 0x1B, false}, {VK_RETURN, 0x1C, false},
    {VK_LCONTROL, 0x1D, false}, {'A', 0x1E, false}, {'S', 0x1F, false}, {'D', 0x20, false}, {'F', 0x21, false},
    {'G', 0x22, false}, {'H', 0x23, false}, {'J', 0x24, false}, {'K', 0x25, false}, {'L', 0x26, false},
    {VK_OEM_1, 0x27, false}, {VK_OEM_7, 0x28, false}, {VK_OEM_3, 0x29, false}, {VK_LSHIFT, 0x2A, false},
    {VK_OEM_5, 0x2B, false}, {'Z', 0x2C, false}, {'X', 0x2D, false}, {'C', 0x2E, false}, {'V', 0x2F, false},
    {'B', 0x30, false}, {'N', 0x31, false}, {'M', 0x32, false}, {VK_OEM_COMMA, 0x33, false},
    {VK_OEM_PERIOD, 0x34, false}, {VK_OEM_2, 0x35, false}, {VK_RSHIFT, 0x36, false}, {VK_MULTIPLY, 0x37, false},
    {VK_LMENU, 0x38, false}, {VK_SPACE, 0x39, false}, {VK_CAPITAL, 0x3A, false}, {VK_F1, 0x3B, false},
    {VK_F2, 0x3C, false}, {VK_F3, 0x3D, false}, {VK_F4, 0x3E, false}, {VK_F5, 0x3F, false}, {VK_F6, 0x40, false},
    {VK_F7, 0x41, false}, {VK_F8, 0x42, false}, {VK_F9, 0x43, false}, {VK_F10, 0x44, false},
    {VK_NUMLOCK, 0x45, false}, {VK_SCROLL, 0x46, false}, {VK_NUMPAD7, 0x47, false}, {VK_NUMPAD8, 0x48, false},
    {VK_NUMPAD9, 0x49, false}, {VK_SUBTRACT, 0x4A, false}, {VK_NUMPAD4, 0x4B, false}, {VK_NUMPAD5, 0x4C, false},
    {VK_NUMPAD6, 0x4D, false}, {VK_ADD, 0x4E, false}, {VK_NUMPAD1, 0x4F, false}, {VK_NUMPAD2, 0x50, false},
    {VK_NUMPAD3, 0x51, false}, {VK_NUMPAD0, 0x52, false}, {VK_DECIMAL, 0x53, false}, {VK_OEM_102, 0x56, false},
    {VK_F11, 0x57, false}, {VK_F12, 0x58, false},
    // Extended keys (E0 prefix)
    {VK_RCONTROL, 0x1D, true}, {VK_RMENU, 0x38, true}, {VK_DIVIDE, 0x35, true}, {VK_HOME, 0x47, true},
    {VK_UP, 0x48, true}, {VK_PRIOR, 0x49, true}, {VK_LEFT, 0x4B, true}, {VK_RIGHT, 0x4D, true}, {VK_END, 0x4F, true},
    {VK_DOWN, 0x50, true}, {VK_NEXT, 0x51, true}, {VK_INSERT, 0x52, true}, {VK_DELETE, 0x53, true},
    {VK_LWIN, 0x5B, true}, {VK_RWIN, 0x5C, true}, {VK_APPS, 0x5D, true}, {VK_SNAPSHOT, 0x37, true},
    {VK_PAUSE, 0x45, true},
};

// The unshifted and shifted characters of the US layout.
struct TChar {
  UINT Vk;
  char Plain;
  char Shifted;
};
const TChar kChars[] = {
    {'0', '0', ')'}, {'1', '1', '!'}, {'2', '2', '@'}, {'3', '3', '#'}, {'4', '4', '$'}, {'5', '5', '%'},
    {'6', '6', '^'}, {'7', '7', '&'}, {'8', '8', '*'}, {'9', '9', '('}, {VK_OEM_1, ';', ':'},
    {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'}, {VK_OEM_3, '`', '~'}, {VK_OEM_4, '[', '{'}, {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'}, {VK_OEM_7, '\'', '"'}, {VK_OEM_102, '\\', '|'}, {VK_SPACE, ' ', ' '},
    {VK_MULTIPLY, '*', '*'}, {VK_ADD, '+', '+'}, {VK_SUBTRACT, '-', '-'}, {VK_DECIMAL, '.', '.'},
    {VK_DIVIDE, '/', '/'}, {VK_NUMPAD0, '0', '0'}, {VK_NUMPAD1, '1', '1'}, {VK_NUMPAD2, '2', '2'},
    {VK_NUMPAD3, '3', '3'}, {VK_NUMPAD4, '4', '4'}, {VK_NUMPAD5, '5', '5'}, {VK_NUMPAD6, '6', '6'},
    {VK_NUMPAD7, '7', '7'}, {VK_NUMPAD8, '8', '8'}, {VK_NUMPAD9, '9', '9'},
};

UINT Generic(UINT vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
  }
  return vk;
}

// The left or right key a generic modifier stands for.
UINT Specific(UINT vk, UINT scan, bool extended) {
  switch (vk) {
    case VK_SHIFT: return scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
  }
  return vk;
}

void SetState(BYTE* state, UINT vk, bool down, bool toggle) {
  if (down) {
    if (toggle && !(state[vk] & 0x80)) state[vk] ^= 0x01;
    state[vk] |= 0x80;
  } else {
    state[vk] &= static_cast<BYTE>(~0x80);
  }
}

bool Down(const BYTE* s, UINT vk) { return (s[vk] & 0x80) != 0; }

// The character of a key on the US layout for a key state; 0 for none.
int LayoutChar(UINT vk, const BYTE* ks) {
  bool shift = Down(ks, VK_SHIFT);
  bool ctrl = Down(ks, VK_CONTROL);
  bool alt = Down(ks, VK_MENU);
  if (ctrl && alt) return 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return static_cast<int>(vk - 'A' + 1);
    bool upper = shift != ((ks[VK_CAPITAL] & 1) != 0);
    return upper ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
  }
  switch (vk) {
    case VK_RETURN: return ctrl ? '\n' : '\r';
    case VK_BACK: return ctrl ? 0x7F : 0x08;
    case VK_TAB: return ctrl ? 0 : '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_CANCEL: return ctrl ? 0x03 : 0;
  }
  if (ctrl) {
    switch (vk) {
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5:
      case VK_OEM_102: return 0x1C;
      case VK_OEM_6: return 0x1D;
      case VK_SPACE: return ' ';
    }
    if (shift && vk == '2') return 0;
    if (shift && vk == '6') return 0x1E;
    if (shift && vk == VK_OEM_MINUS) return 0x1F;
    return 0;
  }
  for (const TChar& c : kChars)
    if (c.Vk == vk) return shift ? c.Shifted : c.Plain;
  return 0;
}

}  // namespace

void SetAsyncKey(UINT vk, bool down) {
  if (vk >= 256) return;
  auto set = [down](UINT k) {
    if (down) {
      if (!(g_async[k] & 0x80)) g_asyncPressed[k] = 1;
      g_async[k] = 0x80;
    } else {
      g_async[k] = 0;
    }
  };
  set(vk);
  UINT g = Generic(vk);
  if (g != vk) {
    set(g);
    if (!down) {
      // The generic key stays down while its twin is.
      UINT l = g == VK_SHIFT ? VK_LSHIFT : g == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
      if ((g_async[l] & 0x80) || (g_async[l + 1] & 0x80)) g_async[g] = 0x80;
    }
  } else if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
    set(Specific(vk, 0, false));
  }
}

bool AsyncKeyDown(UINT vk) { return vk < 256 && (g_async[vk] & 0x80) != 0; }

void UpdateSyncKeyState(TThreadQueue& q, UINT vk, bool down) {
  if (vk >= 256) return;
  SetState(q.KeyState, vk, down, true);
}

bool KeyToMessage(TThreadQueue& q, const TRawInput& in, MSG& m) {
  UINT vk = Generic(in.Vk);
  bool down = in.Kind == rkKeyDown;
  const BYTE* ks = q.KeyState;
  bool altBefore = Down(ks, VK_MENU);
  bool ctrlBefore = Down(ks, VK_CONTROL);
  bool altAfter = vk == VK_MENU ? down : altBefore;
  bool ctrlAfter = vk == VK_CONTROL ? down : ctrlBefore;
  bool altHeld = down ? altAfter : altBefore;
  bool ctrlHeld = down ? ctrlAfter : ctrlBefore;
  TWnd* target = GetWndNoError(q.Focus);
  bool sys = (altHeld && !ctrlHeld) || vk == VK_F10;
  if (!target) {
    target = GetWndNoError(q.Active);
    sys = true;
  }
  if (!target) return false;
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  DWORD data = 1 | ((in.Scan & 0xFF) << 16);
  if (in.Extended) data |= 1u << 24;
  if (sys && altAfter) data |= 1u << 29;
  if (!down || in.Repeat || Down(ks, vk)) data |= 1u << 30;
  if (!down) data |= 1u << 31;
  m = MSG{target->Handle, msg, vk, static_cast<LPARAM>(static_cast<LONG>(data)), in.Time, CursorPosition()};
  return true;
}

void KeyRetrieved(TThreadQueue& q, const TRawInput& in, const MSG& m) {
  KeyStateFollows(q, in);
  if (in.Kind == rkKeyDown) {
    q.LastKeyMsg = m;
    q.LastKeyText = in.Text;
    q.LastKeyHasText = in.HasText;
  }
}

void KeyStateFollows(TThreadQueue& q, const TRawInput& in) {
  bool down = in.Kind == rkKeyDown;
  UINT vk = Generic(in.Vk);
  UINT specific = in.Vk != vk ? in.Vk : Specific(vk, in.Scan, in.Extended);
  BYTE* ks = q.KeyState;
  if (specific != vk) {
    // The generic modifier is down while either of its keys is.
    bool wasDown = Down(ks, vk);
    SetState(ks, specific, down, true);
    UINT left = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    bool nowDown = Down(ks, left) || Down(ks, left + 1);
    if (nowDown && !wasDown) ks[vk] ^= 0x01;
    ks[vk] = static_cast<BYTE>(nowDown ? (ks[vk] | 0x80) : (ks[vk] & ~0x80));
  } else {
    SetState(ks, vk, down, true);
  }
}

void InitKeyToggles(BYTE* state) {
  for (int i = 0; i < 256; ++i)
    if (g_toggles[i]) state[i] |= 1;
}

}  // namespace rtl::detail

using namespace rtl::detail;

SHORT GetKeyState(int virtKey) {
  if (virtKey < 0 || virtKey > 255) return 0;
  BYTE b = CurrentQueue().KeyState[virtKey];
  return static_cast<SHORT>(((b & 0x80) ? 0xFF80 : 0) | (b & 1));
}

SHORT GetAsyncKeyState(int virtKey) {
  if (virtKey < 0 || virtKey > 255) return 0;
  UINT vk = static_cast<UINT>(virtKey);
  // The mouse buttons are physical: with swapped buttons the left one
  // reports the right button.
  if (ButtonsSwapped() && (vk == VK_LBUTTON || vk == VK_RBUTTON)) vk = vk == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
  bool down = (g_async[vk] & 0x80) != 0;
  bool pressed = g_asyncPressed[vk].exchange(0) != 0;
  return static_cast<SHORT>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
}

BOOL GetKeyboardState(BYTE* keyState) {
  if (!keyState) return FALSE;
  std::memcpy(keyState, CurrentQueue().KeyState, 256);
  return TRUE;
}

BOOL SetKeyboardState(BYTE* keyState) {
  if (!keyState) return FALSE;
  std::memcpy(CurrentQueue().KeyState, keyState, 256);
  return TRUE;
}

int ToAscii(UINT virtKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT) {
  if (!keyState || !chars || (scanCode & 0x8000) || virtKey > 255) return 0;
  int c = LayoutChar(virtKey, keyState);
  if (!c) return 0;
  chars[0] = static_cast<WORD>(c);
  return 1;
}

int ToUnicode(UINT virtKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT) {
  if (!keyState || !buffer || bufferSize <= 0 || (scanCode & 0x8000) || virtKey > 255) return 0;
  int c = LayoutChar(virtKey, keyState);
  if (!c) return 0;
  buffer[0] = static_cast<WCHAR>(c);
  if (bufferSize > 1) buffer[1] = 0;
  return 1;
}

UINT MapVirtualKeyA(UINT code, UINT mapType) {
  switch (mapType) {
    case MAPVK_VK_TO_VSC:
    case MAPVK_VK_TO_VSC_EX: {
      UINT vk = code;
      if (vk == VK_SHIFT) vk = VK_LSHIFT;
      if (vk == VK_CONTROL) vk = VK_LCONTROL;
      if (vk == VK_MENU) vk = VK_LMENU;
      for (const TScan& s : kScans)
        if (s.Vk == vk) return s.Scan | ((s.Extended && mapType == MAPVK_VK_TO_VSC_EX) ? 0xE000 : 0);
      return 0;
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX: {
      bool extended = (code & 0xFF00) == 0xE000;
      UINT scan = code & 0xFF;
      for (const TScan& s : kScans)
        if (s.Scan == scan && s.Extended == extended) {
          UINT vk = s.Vk;
          if (mapType == MAPVK_VSC_TO_VK) vk = Generic(vk);
          return vk;
        }
      if (!extended)
        for (const TScan& s : kScans)
          if (s.Scan == scan) return mapType == MAPVK_VSC_TO_VK ? Generic(s.Vk) : s.Vk;
      return 0;
    }
    case MAPVK_VK_TO_CHAR: {
      if (code >= 'A' && code <= 'Z') return code;
      for (const TChar& c : kChars)
        if (c.Vk == code) return static_cast<UINT>(static_cast<unsigned char>(c.Plain));
      switch (code) {
        case VK_RETURN: return '\r';
        case VK_BACK: return 0x08;
        case VK_TAB: return '\t';
        case VK_ESCAPE: return 0x1B;
      }
      return 0;
    }
  }
  return 0;
}

SHORT VkKeyScanA(CHAR ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<SHORT>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<SHORT>(0x100 | c);
  if (c >= 1 && c <= 26 && c != '\b' && c != '\t' && c != '\r' && c != '\n')
    return static_cast<SHORT>(0x200 | (c - 1 + 'A'));
  switch (c) {
    case '\r': return VK_RETURN;
    case '\n': return static_cast<SHORT>(0x200 | VK_RETURN);
    case '\b': return VK_BACK;
    case '\t': return VK_TAB;
    case 0x1B: return VK_ESCAPE;
    case ' ': return VK_SPACE;
  }
  for (const TChar& t : kChars) {
    if (t.Vk >= VK_NUMPAD0 && t.Vk <= VK_DIVIDE) continue;
    if (t.Plain == static_cast<char>(c)) return static_cast<SHORT>(t.Vk);
    if (t.Shifted == static_cast<char>(c)) return static_cast<SHORT>(0x100 | t.Vk);
  }
  return -1;
}

HANDLE GetKeyboardLayout(DWORD) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x04090409)); }

int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  UINT scan = (static_cast<DWORD>(lParam) >> 16) & 0xFF;
  bool extended = (static_cast<DWORD>(lParam) >> 24) & 1;
  UINT vk = MapVirtualKeyA(scan | (extended ? 0xE000 : 0), MAPVK_VSC_TO_VK_EX);
  // Without bit 25 ("don't care") left and right keys have their names.
  bool dontCare = (static_cast<DWORD>(lParam) >> 25) & 1;
  AnsiString name;
  switch (vk) {
    case VK_LSHIFT: name = "Shift"; break;
    case VK_RSHIFT: name = dontCare ? "Shift" : "Right Shift"; break;
    case VK_LCONTROL: name = "Ctrl"; break;
    case VK_RCONTROL: name = dontCare ? "Ctrl" : "Right Ctrl"; break;
    case VK_LMENU: name = "Alt"; break;
    case VK_RMENU: name = dontCare ? "Alt" : "Right Alt"; break;
    case VK_ESCAPE: name = "Esc"; break;
    case VK_BACK: name = "Backspace"; break;
    case VK_TAB: name = "Tab"; break;
    case VK_RETURN: name = "Enter"; break;
    case VK_SPACE: name = "Space"; break;
    case VK_CAPITAL: name = "Caps Lock"; break;
    case VK_NUMLOCK: name = "Num Lock"; break;
    case VK_SCROLL: name = "Scroll Lock"; break;
    case VK_INSERT: name = "Insert"; break;
    case VK_DELETE: name = "Delete"; break;
    case VK_HOME: name = "Home"; break;
    case VK_END: name = "End"; break;
    case VK_PRIOR: name = "Page Up"; break;
    case VK_NEXT: name = "Page Down"; break;
    case VK_LEFT: name = "Left"; break;
    case VK_RIGHT: name = "Right"; break;
    case VK_UP: name = "Up"; break;
    case VK_DOWN: name = "Down"; break;
    case VK_MULTIPLY: name = "Num *"; break;
    case VK_ADD: name = "Num +"; break;
    case VK_SUBTRACT: name = "Num -"; break;
    case VK_DECIMAL: name = "Num Del"; break;
    case VK_DIVIDE: name = "Num /"; break;
    case VK_APPS: name = "Application"; break;
    default:
      if (vk >= VK_F1 && vk <= VK_F24) {
        name = "F" + std::to_string(vk - VK_F1 + 1);
      } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        name = "Num " + std::to_string(vk - VK_NUMPAD0);
      } else if (UINT c = MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR)) {
        name = AnsiString(1, static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
      }
  }
  int n = std::min<int>(static_cast<int>(name.size()), size - 1);
  std::memcpy(buffer, name.data(), static_cast<size_t>(n));
  buffer[n] = 0;
  return n;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return (m == WM_KEYUP || m == WM_SYSKEYUP) ? TRUE : FALSE;
  TThreadQueue& q = CurrentQueue();
  // F1 alone asks for help.
  if (m == WM_KEYDOWN && msg->wParam == VK_F1 && !(q.KeyState[VK_CONTROL] & 0x80) && !(q.KeyState[VK_SHIFT] & 0x80) &&
      !(q.KeyState[VK_MENU] & 0x80))
    PostTo(CurrentQueuePtr(), msg->hwnd, WM_KEYF1, 0, 0);
  UINT charMsg = m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  AnsiString text;
  const MSG& last = q.LastKeyMsg;
  if (q.LastKeyHasText && last.hwnd == msg->hwnd && last.message == m && last.wParam == msg->wParam &&
      last.lParam == msg->lParam) {
    text = q.LastKeyText;
  } else {
    WORD c = 0;
    UINT scan = (static_cast<DWORD>(msg->lParam) >> 16) & 0xFF;
    if (ToAscii(static_cast<UINT>(msg->wParam), scan, q.KeyState, &c, 0) == 1) text = AnsiString(1, static_cast<char>(c));
  }
  // A character beyond ASCII arrives as its bytes in the system code page
  // (UTF-8), one message each, as double-byte characters do.
  for (char c : text) PostTo(CurrentQueuePtr(), msg->hwnd, charMsg, static_cast<unsigned char>(c), msg->lParam);
  return TRUE;
}

namespace rtl::detail {

void SetStartKeyToggle(int virtKey, bool on) {
  if (virtKey < 0 || virtKey > 255) return;
  g_toggles[virtKey] = on ? 1 : 0;
}

}  // namespace rtl::detail
