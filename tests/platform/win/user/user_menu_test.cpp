// Menus: the item API, the system menu and its templates, and popup menus
// tracked by the keyboard and the mouse, with the owner's notifications.
#include <functional>
#include <ostream>

#include "platform/win/modules.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::InjectClick;
using rtl::testing::InjectKey;
using rtl::testing::InjectKeyPress;
using rtl::testing::InjectMouseMove;
using rtl::testing::RunUntilIdle;

std::string ItemText(HMENU m, UINT item, UINT flags) {
  char buf[64] = {};
  GetMenuStringA(m, item, buf, sizeof buf, flags);
  return buf;
}

TEST(UserMenuItemTest, AppendInsertAndFindByCommandOrPosition) {
  HMENU m = CreatePopupMenu();
  ASSERT_TRUE(IsMenu(m));
  EXPECT_TRUE(AppendMenuA(m, MF_STRING, 10, "&Open"));
  EXPECT_TRUE(AppendMenuA(m, MF_SEPARATOR, 0, nullptr));
  EXPECT_TRUE(AppendMenuA(m, MF_STRING | MF_GRAYED, 30, "E&xit"));
  EXPECT_TRUE(InsertMenuA(m, 30, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 20, "&Save"));
  EXPECT_TRUE(InsertMenuA(m, 0, MF_BYPOSITION | MF_STRING, 5, "&New"));
  ASSERT_EQ(GetMenuItemCount(m), 5);
  EXPECT_EQ(GetMenuItemID(m, 0), 5u);
  EXPECT_EQ(GetMenuItemID(m, 1), 10u);
  EXPECT_EQ(GetMenuItemID(m, 3), 20u);
  EXPECT_EQ(GetMenuItemID(m, 4), 30u);
  EXPECT_EQ(ItemText(m, 3, MF_BYPOSITION), "&Save");
  EXPECT_EQ(ItemText(m, 30, MF_BYCOMMAND), "E&xit");
  EXPECT_EQ(GetMenuState(m, 20, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(m, 30, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(m, 99, MF_BYCOMMAND), 0xFFFFFFFFu);
  EXPECT_TRUE(DestroyMenu(m));
  EXPECT_FALSE(IsMenu(m));
}

TEST(UserMenuItemTest, SubmenusAreSearchedByCommandAndDestroyedWithTheirItem) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 100, "&Open");
  AppendMenuA(file, MF_STRING, 101, "&Close");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  EXPECT_EQ(GetSubMenu(bar, 0), file);
  EXPECT_EQ(GetMenuItemID(bar, 0), 0xFFFFFFFFu);
  // A popup item's state: its flags below, its item count in the high byte.
  EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (2 << 8)));
  EXPECT_EQ(CheckMenuItem(bar, 101, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(GetMenuState(file, 101, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(bar, 999, MF_BYCOMMAND | MF_ENABLED), -1);

  // RemoveMenu keeps the submenu, DeleteMenu destroys it.
  EXPECT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(file));
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(file));
  EXPECT_EQ(GetMenuItemCount(bar), 0);
  DestroyMenu(bar);
}

TEST(UserMenuItemTest, ItemInfoReadsAndWritesTheMaskedFields) {
  HMENU m = CreatePopupMenu();
  MENUITEMINFOA ii{};
  ii.cbSize = sizeof ii;
  ii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_FTYPE;
  ii.fType = MFT_RADIOCHECK;
  ii.fState = MFS_CHECKED | MFS_DEFAULT;
  ii.wID = 42;
  ii.dwItemData = 0x1234;
  ii.dwTypeData = const_cast<char*>("&Fit page");
  ASSERT_TRUE(InsertMenuItemA(m, 0, TRUE, &ii));

  MENUITEMINFOA out{};
  out.cbSize = sizeof out;
  out.fMask = MIIM_STRING;
  ASSERT_TRUE(GetMenuItemInfoA(m, 42, FALSE, &out));
  EXPECT_EQ(out.cch, 9u);  // a null buffer asks for the length
  char buf[4];
  out.dwTypeData = buf;
  out.cch = sizeof buf;
  ASSERT_TRUE(GetMenuItemInfoA(m, 42, FALSE, &out));
  EXPECT_STREQ(buf, "&Fi");
  EXPECT_EQ(out.cch, 3u);

  out = MENUITEMINFOA{};
  out.cbSize = sizeof out;
  out.fMask = MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(m, 0, TRUE, &out));
  EXPECT_EQ(out.wID, 42u);
  EXPECT_EQ(out.fState, static_cast<UINT>(MFS_CHECKED | MFS_DEFAULT));
  EXPECT_EQ(out.fType, static_cast<UINT>(MFT_RADIOCHECK));
  EXPECT_EQ(out.dwItemData, 0x1234u);
  EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 42u);

  MENUITEMINFOA change{};
  change.cbSize = sizeof change;
  change.fMask = MIIM_STATE;
  change.fState = MFS_GRAYED;
  ASSERT_TRUE(SetMenuItemInfoA(m, 42, FALSE, &change));
  EXPECT_EQ(GetMenuState(m, 42, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_FALSE(GetMenuItemInfoA(m, 43, FALSE, &out));
  DestroyMenu(m);
}

TEST(UserMenuItemTest, RadioItemsAndTheDefaultItem) {
  HMENU m = CreatePopupMenu();
  for (UINT id = 1; id <= 4; ++id) AppendMenuA(m, MF_STRING, id, "x");
  EXPECT_TRUE(CheckMenuRadioItem(m, 1, 3, 2, MF_BYCOMMAND));
  EXPECT_TRUE(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(CheckMenuRadioItem(m, 0, 2, 2, MF_BYPOSITION));  // position 2 is command 3
  EXPECT_FALSE(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(m, 3, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(SetMenuDefaultItem(m, 1, TRUE));
  EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 2u);
  EXPECT_EQ(GetMenuDefaultItem(m, TRUE, 0), 1u);
  DestroyMenu(m);
}

// A menu template, built word by word.
struct TTemplate {
  std::vector<WORD> Words;
  void W(WORD w) { Words.push_back(w); }
  void D(DWORD d) {
    W(LOWORD(d));
    W(HIWORD(d));
  }
  void Text(const char* s) {
    while (*s) W(static_cast<WORD>(static_cast<unsigned char>(*s++)));
    W(0);
  }
  void Align() {
    if (Words.size() % 2) W(0);
  }
};

TEST(UserMenuItemTest, StandardTemplatesLoad) {
  TTemplate t;
  t.W(0);  // version
  t.W(0);  // header size
  t.W(MF_POPUP);
  t.Text("&File");
  t.W(0);
  t.W(100);
  t.Text("&Open");
  t.W(0);  // separator
  t.W(0);
  t.Text("");
  t.W(MF_GRAYED | MF_END);
  t.W(101);
  t.Text("E&xit");
  t.W(MF_END | MF_CHECKED);
  t.W(200);
  t.Text("&Help");
  HMENU m = LoadMenuIndirectA(t.Words.data());
  ASSERT_TRUE(m);
  ASSERT_EQ(GetMenuItemCount(m), 2);
  HMENU file = GetSubMenu(m, 0);
  ASSERT_TRUE(file);
  EXPECT_EQ(ItemText(m, 0, MF_BYPOSITION), "&File");
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemID(file, 0), 100u);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(file, 101, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(m, 200, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
  DestroyMenu(m);
}

TEST(UserMenuItemTest, ExtendedTemplatesLoad) {
  TTemplate t;
  t.W(1);  // version
  t.W(4);  // offset past the help id
  t.D(0);  // help id
  t.D(MFT_STRING);
  t.D(0);
  t.D(0);
  t.W(0x01);  // a popup
  t.Text("&View");
  t.Align();
  t.D(0);  // the popup's help id
  t.D(MFT_RADIOCHECK);
  t.D(MFS_CHECKED);
  t.D(300);
  t.W(0);
  t.Text("&Large");
  t.Align();
  t.D(MFT_SEPARATOR);
  t.D(0);
  t.D(0);
  t.W(0);
  t.Text("");
  t.Align();
  t.D(MFT_STRING);
  t.D(MFS_GRAYED);
  t.D(301);
  t.W(0x80);  // the popup's last item
  t.Text("&Small");
  t.Align();
  t.D(MFT_STRING);
  t.D(0);
  t.D(400);
  t.W(0x80);  // the menu's last item
  t.Text("&Go");
  HMENU m = LoadMenuIndirectA(t.Words.data());
  ASSERT_TRUE(m);
  ASSERT_EQ(GetMenuItemCount(m), 2);
  HMENU view = GetSubMenu(m, 0);
  ASSERT_EQ(GetMenuItemCount(view), 3);
  EXPECT_EQ(ItemText(view, 300, MF_BYCOMMAND), "&Large");
  EXPECT_TRUE(GetMenuState(view, 300, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(GetMenuState(view, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_TRUE(GetMenuState(view, 301, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_EQ(GetMenuItemID(m, 1), 400u);
  DestroyMenu(m);
}

class UserMenuTest : public TUserTest {
 protected:
  static std::function<void(HWND owner, int spell)>& OnIdle() {
    static std::function<void(HWND, int)> f;
    return f;
  }
  static int& Spell() {
    static int n = 0;
    return n;
  }
  static LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Record(h, m, w, l);
    if (m == WM_ENTERIDLE && w == MSGF_MENU && OnIdle()) OnIdle()(h, Spell()++);
    return DefWindowProcA(h, m, w, l);
  }

  void SetUp() override {
    TUserTest::SetUp();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "UserMenuOwner", &wc)) {
      wc.lpfnWndProc = OwnerProc;
      wc.lpszClassName = "UserMenuOwner";
      wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      RegisterClassA(&wc);
    }
    Spell() = 0;
    OnIdle() = nullptr;
  }
  void TearDown() override {
    OnIdle() = nullptr;
    if (Menu) DestroyMenu(Menu);
    TUserTest::TearDown();
  }

  HWND MakeOwner(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    HWND h = MakeTop(style, RECT(100, 100, 400, 300), 0, "UserMenuOwner");
    SetForegroundWindow(h);
    SetFocus(h);
    RunUntilIdle();
    Log.Clear();
    return h;
  }
  // File-like popup: New, Open, separator, Recent >, Exit (grayed until asked).
  HMENU MakeMenu(bool exitGrayed = false) {
    Menu = CreatePopupMenu();
    AppendMenuA(Menu, MF_STRING, 1, "&New");
    AppendMenuA(Menu, MF_STRING, 2, "&Open\tCtrl+O");
    AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
    Recent = CreatePopupMenu();
    AppendMenuA(Recent, MF_STRING, 11, "&1 a.pdf");
    AppendMenuA(Recent, MF_STRING, 12, "&2 b.pdf");
    AppendMenuA(Menu, MF_POPUP, reinterpret_cast<UINT_PTR>(Recent), "&Recent");
    AppendMenuA(Menu, MF_STRING | (exitGrayed ? MF_GRAYED : 0), 3, "E&xit");
    return Menu;
  }
  static POINT Center(const RECT& r) { return POINT((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
  static HWND MenuWindow() { return FindWindowA("#32768", nullptr); }

  HMENU Menu = nullptr;
  HMENU Recent = nullptr;
};

TEST_F(UserMenuTest, KeysChooseAnItemAndTheOwnerHearsEachStep) {
  HWND owner = MakeOwner();
  MakeMenu();
  OnIdle() = [](HWND, int spell) {
    if (spell == 0) {
      InjectKeyPress(VK_DOWN);
      InjectKeyPress(VK_DOWN);
      InjectKeyPress(VK_RETURN);
    }
  };
  UINT cmd = TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
  EXPECT_EQ(cmd, 2u);
  EXPECT_EQ(MenuWindow(), nullptr);
  std::vector<TLogged> seq;
  for (const TLogged& l : Log.For(owner))
    if (l.Msg != WM_KEYDOWN && l.Msg != WM_KEYUP && l.Msg != WM_CHAR) seq.push_back(l);
  EXPECT_TRUE(MatchesSequence(seq, {WithW(WM_ENTERMENULOOP, TRUE), WithW(WM_INITMENU, reinterpret_cast<WPARAM>(Menu)),
                                    WithW(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Menu)),
                                    WithW(WM_ENTERIDLE, MSGF_MENU), WithW(WM_MENUSELECT, MAKEWPARAM(1, MF_HILITE)),
                                    WithW(WM_MENUSELECT, MAKEWPARAM(2, MF_HILITE)), Opt(WM_ENTERIDLE),
                                    WithW(WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(Menu)),
                                    WithW(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF)), WithW(WM_EXITMENULOOP, TRUE)}));
  // Without TPM_RETURNCMD the choice arrives as a posted WM_COMMAND.
  Log.Clear();
  Spell() = 0;
  EXPECT_TRUE(TrackPopupMenu(Menu, 0, 150, 150, 0, owner, nullptr));
  EXPECT_EQ(Log.Count(WM_COMMAND, owner), 0);
  RunUntilIdle();
  ASSERT_EQ(Log.Count(WM_COMMAND, owner), 1);
  for (const TLogged& l : Log.For(owner))
    if (l.Msg == WM_COMMAND) {
      EXPECT_EQ(l.WParam, 2u);
    }
}

struct TMenuEvent {
  DWORD Event;
  HWND Hwnd;
  LONG Object;
  bool operator==(const TMenuEvent&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TMenuEvent& e) {
  return os << "{0x" << std::hex << e.Event << std::dec << ", " << e.Hwnd << ", " << e.Object << "}";
}
std::vector<TMenuEvent> g_menuEvents;
std::vector<HWND> g_popups;  // the menu windows, in the order they opened

// The menu mode's start and end name the owner (OBJID_MENU, or
// OBJID_SYSMENU for the system menu); each popup's start and end name its
// own window, the end before the window goes and before the mode's end.
TEST_F(UserMenuTest, TrackingRaisesMenuAndPopupStartAndEndEvents) {
  HWND owner = MakeOwner();
  MakeMenu();
  HWINEVENTHOOK hook = SetWinEventHook(
      EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUPOPUPEND, nullptr,
      +[](HWINEVENTHOOK, DWORD e, HWND h, LONG obj, LONG child, DWORD, DWORD) {
        EXPECT_EQ(child, 0);
        EXPECT_TRUE(IsWindow(h));
        if (e == EVENT_SYSTEM_MENUPOPUPSTART) {
          EXPECT_TRUE(IsWindowVisible(h));
          g_popups.push_back(h);
        }
        g_menuEvents.push_back(TMenuEvent{e, h, obj});
      },
      0, 0, WINEVENT_INCONTEXT);
  struct {
    const char* Name;
    void (*Keys)();
    bool System;
    int Popups;  // opened, each closed in reverse order
  } cases[] = {
      {"escape", [] { InjectKeyPress(VK_ESCAPE); }, false, 1},
      {"submenu then choice",
       [] {
         for (int i = 0; i < 3; ++i) InjectKeyPress(VK_DOWN);
         InjectKeyPress(VK_RIGHT);
         InjectKeyPress(VK_RETURN);
       },
       false, 2},
      {"submenu closed with left",
       [] {
         for (int i = 0; i < 3; ++i) InjectKeyPress(VK_DOWN);
         InjectKeyPress(VK_RIGHT);
         InjectKeyPress(VK_LEFT);
         InjectKeyPress(VK_ESCAPE);
       },
       false, 2},
      {"system menu", [] { EndMenu(); }, true, 1},
  };
  for (const auto& k : cases) {
    g_menuEvents.clear();
    g_popups.clear();
    Spell() = 0;
    static void (*keys)();
    keys = k.Keys;
    OnIdle() = [](HWND, int spell) {
      if (spell == 0) keys();
    };
    if (k.System)
      SendMessageA(owner, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    else
      TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
    LONG obj = k.System ? OBJID_SYSMENU : OBJID_MENU;
    ASSERT_EQ(g_popups.size(), static_cast<size_t>(k.Popups)) << k.Name;
    std::vector<TMenuEvent> want = {{EVENT_SYSTEM_MENUSTART, owner, obj}};
    for (HWND p : g_popups) want.push_back({EVENT_SYSTEM_MENUPOPUPSTART, p, OBJID_CLIENT});
    for (auto it = g_popups.rbegin(); it != g_popups.rend(); ++it)
      want.push_back({EVENT_SYSTEM_MENUPOPUPEND, *it, OBJID_CLIENT});
    want.push_back({EVENT_SYSTEM_MENUEND, owner, obj});
    EXPECT_EQ(g_menuEvents, want) << k.Name;
    for (HWND p : g_popups) EXPECT_FALSE(IsWindow(p)) << k.Name;
  }
  UnhookWinEvent(hook);
  RunUntilIdle();
}

TEST_F(UserMenuTest, EscapeAndEndMenuChooseNothing) {
  HWND owner = MakeOwner();
  MakeMenu();
  OnIdle() = [](HWND, int spell) {
    if (spell == 0) InjectKeyPress(VK_ESCAPE);
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 0);
  Spell() = 0;
  OnIdle() = [](HWND, int) { EndMenu(); };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 0);
  EXPECT_FALSE(EndMenu());
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_COMMAND, owner), 0);
}

TEST_F(UserMenuTest, MnemonicsAndSubmenusFromTheKeyboard) {
  HWND owner = MakeOwner();
  MakeMenu();
  OnIdle() = [](HWND, int spell) {
    if (spell == 0) InjectKeyPress('X');
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 3);
  // Recent is the fourth item: Down x3 (the separator is skipped), Right
  // opens it on its first item, Down, Enter.
  Spell() = 0;
  OnIdle() = [](HWND, int spell) {
    if (spell != 0) return;
    for (int i = 0; i < 3; ++i) InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_RIGHT);
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_RETURN);
  };
  Log.Clear();
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 12);
  int popups = 0;
  for (const TLogged& l : Log.For(owner))
    if (l.Msg == WM_INITMENUPOPUP) {
      EXPECT_EQ(l.WParam, reinterpret_cast<WPARAM>(popups == 0 ? Menu : Recent));
      if (popups == 1) {
        EXPECT_EQ(LOWORD(l.LParam), 3);  // its position in the parent
      }
      ++popups;
    }
  EXPECT_EQ(popups, 2);
}

TEST_F(UserMenuTest, TheMouseChoosesWhereItIsReleasedAndAPressOutsideCancels) {
  HWND owner = MakeOwner();
  MakeMenu(true);
  static HMENU menu;
  menu = Menu;
  OnIdle() = [](HWND h, int spell) {
    if (spell != 0) return;
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(h, menu, 1, &r));
    EXPECT_EQ(MenuItemFromPoint(h, menu, Center(r)), 1);
    InjectMouseMove(Center(r));
    InjectClick(Center(r));
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 2);

  // A grey item does not end the loop; a press outside does.
  Spell() = 0;
  OnIdle() = [](HWND h, int spell) {
    if (spell != 0) return;
    RECT r;
    GetMenuItemRect(h, menu, 4, &r);
    InjectClick(Center(r));
    InjectClick(POINT(20, 20));
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 0);
}

TEST_F(UserMenuTest, HoveringAPopupItemOpensItsSubmenu) {
  HWND owner = MakeOwner();
  MakeMenu();
  static HMENU menu, recent;
  menu = Menu;
  recent = Recent;
  OnIdle() = [](HWND h, int spell) {
    RECT r;
    if (spell == 0) {
      GetMenuItemRect(h, menu, 3, &r);
      InjectMouseMove(Center(r));
    } else if (spell == 1) {
      ASSERT_TRUE(GetMenuItemRect(h, recent, 0, &r));
      InjectMouseMove(Center(r));
      InjectClick(Center(r));
    }
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 11);
  EXPECT_EQ(Log.Count(WM_INITMENUPOPUP, owner), 2);
  EXPECT_EQ(Log.Count(WM_UNINITMENUPOPUP, owner), 2);
}

TEST_F(UserMenuTest, APopupStaysOnTheWorkArea) {
  HWND owner = MakeOwner();
  MakeMenu();
  static RECT placed;
  OnIdle() = [](HWND, int spell) {
    if (spell != 0) return;
    GetWindowRect(MenuWindow(), &placed);
    EndMenu();
  };
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  TrackPopupMenu(Menu, TPM_RETURNCMD, work.Right - 2, work.Bottom - 2, 0, owner, nullptr);
  EXPECT_LE(placed.Right, work.Right);
  EXPECT_LE(placed.Bottom, work.Bottom);
  EXPECT_GT(placed.Width(), 0);
  // Right and bottom alignment put the point at the far corner.
  Spell() = 0;
  TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 300, 250, 0, owner, nullptr);
  EXPECT_EQ(placed.Right, 300);
  EXPECT_EQ(placed.Bottom, 250);
}

TEST_F(UserMenuTest, TheSelectedItemIsDrawnHighlighted) {
  HWND owner = MakeOwner();
  MakeMenu();
  static HMENU menu;
  static COLORREF before, after;
  menu = Menu;
  OnIdle() = [](HWND h, int spell) {
    RECT r;
    GetMenuItemRect(h, menu, 1, &r);
    HWND popup = MenuWindow();
    POINT p(r.Left + 4, (r.Top + r.Bottom) / 2);
    ScreenToClient(popup, &p);
    if (spell == 0) {
      before = rtl::testing::WindowPixel(popup, p.X, p.Y);
      InjectKeyPress(VK_DOWN);
      InjectKeyPress(VK_DOWN);
    } else if (spell == 1) {
      after = rtl::testing::WindowPixel(popup, p.X, p.Y);
      EndMenu();
    }
  };
  TrackPopupMenu(Menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
  EXPECT_EQ(before, GetSysColor(COLOR_MENU));
  EXPECT_EQ(after, GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(UserMenuTest, TheSystemMenuFollowsTheTemplatesAndTheWindowState) {
  HWND owner = MakeOwner();
  HMENU sys = GetSystemMenu(owner, FALSE);
  ASSERT_TRUE(IsMenu(sys));
  const UINT ids[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
  ASSERT_EQ(GetMenuItemCount(sys), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GetMenuItemID(sys, i), ids[i]) << i;
  EXPECT_EQ(GetMenuDefaultItem(sys, FALSE, 0), static_cast<UINT>(SC_CLOSE));
  MENUITEMINFOA ii{};
  ii.cbSize = sizeof ii;
  ii.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoA(sys, SC_CLOSE, FALSE, &ii));
  EXPECT_EQ(ii.hbmpItem, HBMMENU_POPUP_CLOSE);
  EXPECT_EQ(GetSystemMenu(owner, FALSE), sys);
  EXPECT_EQ(GetSystemMenu(owner, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(sys));

  HWND tool = MakeTop(WS_CAPTION | WS_SYSMENU, RECT(0, 0, 100, 100), WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetMenuItemCount(GetSystemMenu(tool, FALSE)), 3);

  HMENU loaded = LoadMenuA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCE(32));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(loaded, 0), 8), static_cast<UINT>(SC_NEXTWINDOW));
  DestroyMenu(loaded);
  EXPECT_EQ(LoadMenuA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCE(77)), nullptr);

  // Shown for a maximised window: Restore on, Move, Size and Maximize grey.
  ShowWindow(owner, SW_MAXIMIZE);
  RunUntilIdle();
  static UINT states[5];
  OnIdle() = [](HWND h, int) {
    HMENU s = GetSystemMenu(h, FALSE);
    for (int i = 0; i < 5; ++i) states[i] = GetMenuState(s, static_cast<UINT>(i), MF_BYPOSITION);
    EndMenu();
  };
  SendMessageA(owner, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  EXPECT_EQ(states[0] & MF_GRAYED, 0u);
  EXPECT_EQ(states[1] & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(states[2] & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(states[3] & MF_GRAYED, 0u);
  EXPECT_EQ(states[4] & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
}

TEST_F(UserMenuTest, AltSpaceOpensTheSystemMenuAndItsCommandRuns) {
  HWND owner = MakeOwner();
  OnIdle() = [](HWND, int spell) {
    if (spell == 0) InjectKeyPress('X');  // Ma&ximize
  };
  InjectKey(VK_MENU, true);
  InjectKeyPress(VK_SPACE);
  InjectKey(VK_MENU, false);
  RunUntilIdle();
  EXPECT_TRUE(IsZoomed(owner));
  int initPopups = 0;
  for (const TLogged& l : Log.For(owner))
    if (l.Msg == WM_INITMENUPOPUP) {
      EXPECT_EQ(HIWORD(l.LParam), 1);  // the system menu
      ++initPopups;
    }
  EXPECT_EQ(initPopups, 1);
}

TEST_F(UserMenuTest, ClickingTheSystemIconOpensTheMenuBelowIt) {
  HWND owner = MakeOwner();
  static RECT placed;
  static RECT wr;
  GetWindowRect(owner, &wr);
  OnIdle() = [](HWND h, int spell) {
    if (spell != 0) return;
    GetWindowRect(MenuWindow(), &placed);
    RECT r;
    GetMenuItemRect(h, GetSystemMenu(h, FALSE), 6, &r);  // Close
    InjectMouseMove(Center(r));
    InjectClick(Center(r));
  };
  int frame = GetSystemMetrics(SM_CXSIZEFRAME);
  InjectClick(POINT(wr.Left + frame + 4, wr.Top + frame + 4));
  RunUntilIdle();
  EXPECT_EQ(placed.Top, wr.Top + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYCAPTION));
  EXPECT_FALSE(IsWindow(owner));
}

TEST_F(UserMenuTest, PopupSystemMenuOpensItWhereAsked) {
  HWND owner = MakeOwner();
  static RECT placed;
  OnIdle() = [](HWND, int) {
    GetWindowRect(MenuWindow(), &placed);
    EndMenu();
  };
  SendMessageA(owner, WM_POPUPSYSTEMMENU, 0, MAKELPARAM(30, 40));
  EXPECT_EQ(placed.Left, 30);
  EXPECT_EQ(placed.Top, 40);
}

TEST_F(UserMenuTest, ARightClickOnTheCaptionShowsTheSystemMenu) {
  HWND owner = MakeOwner();
  RECT wr;
  GetWindowRect(owner, &wr);
  OnIdle() = [](HWND, int) { InjectKeyPress(VK_ESCAPE); };
  InjectClick(POINT(wr.Left + 120, wr.Top + 10), rtl::testing::ibRight);
  RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_CONTEXTMENU, owner), 1);
  EXPECT_EQ(Log.Count(WM_INITMENUPOPUP, owner), 1);
  EXPECT_TRUE(IsWindow(owner));
}

}  // namespace
