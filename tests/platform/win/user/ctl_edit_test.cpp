// The "EDIT" class driven by injected keys and mouse: typing and its
// notifications, selection by keys, words and the mouse, the clipboard and
// undo, the limit, the character styles, margins, alignment, scrolling and
// the basics of multi-line editing.
#include "tests/common/pictures.h"
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

class EditTest : public TCtlTest {
 protected:
  HWND Edit(DWORD style = ES_AUTOHSCROLL, const char* text = "", RECT r = RECT(10, 10, 210, 31)) {
    HWND e = Ctl("EDIT", text, style, r, 50, WS_EX_CLIENTEDGE);
    SetFocus(e);
    RunUntilIdle();
    Log.Clear();
    return e;
  }
  static std::pair<DWORD, DWORD> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
  }
  // The x of a character; the end of the text (which EM_POSFROMCHAR does
  // not answer) is the last character's x plus its width.
  static int X(HWND e, size_t pos) {
    LRESULT r = SendMessageA(e, EM_POSFROMCHAR, pos, 0);
    if (r != -1 || pos == 0) return static_cast<short>(LOWORD(r));
    std::string text = CtlText(e);
    char last = text[pos - 1];
    if (LRESULT pw = SendMessageA(e, EM_GETPASSWORDCHAR, 0, 0)) last = static_cast<char>(pw);
    HDC dc = GetDC(e);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(e, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, &last, 1, &size);
    SelectObject(dc, old);
    ReleaseDC(e, dc);
    return X(e, pos - 1) + size.cx;
  }
};

TEST_F(EditTest, TypingInsertsAndNotifiesEachChange) {
  HWND e = Ctl("EDIT", "", ES_AUTOHSCROLL, RECT(10, 10, 210, 31), 50);
  SetFocus(e);
  RunUntilIdle();
  Type("Hi!");
  EXPECT_EQ(CtlText(e), "Hi!");
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{50, EN_SETFOCUS},
                                               {50, EN_UPDATE},
                                               {50, EN_CHANGE},
                                               {50, EN_UPDATE},
                                               {50, EN_CHANGE},
                                               {50, EN_UPDATE},
                                               {50, EN_CHANGE}}));
  EXPECT_TRUE(SendMessageA(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(Sel(e), std::make_pair(3u, 3u));
  Log.Clear();
  SetFocus(Dialog);
  RunUntilIdle();
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{50, EN_KILLFOCUS}}));
}

TEST_F(EditTest, SetTextNotifiesAndResetsModifyAndUndo) {
  HWND e = Edit();
  Type("abc");
  SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new text"));
  EXPECT_EQ(Commands(), (std::vector<TCommand>{{50, EN_UPDATE}, {50, EN_CHANGE}, {50, EN_UPDATE}, {50, EN_CHANGE},
                                               {50, EN_UPDATE}, {50, EN_CHANGE}, {50, EN_UPDATE}, {50, EN_CHANGE}}));
  EXPECT_FALSE(SendMessageA(e, EM_GETMODIFY, 0, 0));
  EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
  EXPECT_EQ(Sel(e), std::make_pair(0u, 0u));
  char buf[5];
  EXPECT_EQ(GetWindowTextA(e, buf, sizeof buf), 4);
  EXPECT_STREQ(buf, "new ");
}

struct TKeyCase {
  const char* Name;
  std::vector<std::pair<UINT, UINT>> Keys;  // (modifier or 0, key)
  DWORD SelStart, SelEnd;
};

class EditKeyTest : public EditTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(EditKeyTest, KeysMoveAndSelect) {
  HWND e = Edit(ES_AUTOHSCROLL, "one two  three");
  SendMessageA(e, EM_SETSEL, 5, 5);  // inside "two"
  for (auto [mod, key] : GetParam().Keys) {
    if (mod)
      WithKey(mod, key);
    else
      Press(key);
  }
  EXPECT_EQ(Sel(e), std::make_pair(GetParam().SelStart, GetParam().SelEnd));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditKeyTest,
    ::testing::Values(TKeyCase{"Left", {{0, VK_LEFT}}, 4, 4}, TKeyCase{"Right", {{0, VK_RIGHT}}, 6, 6},
                      TKeyCase{"Home", {{0, VK_HOME}}, 0, 0}, TKeyCase{"End", {{0, VK_END}}, 14, 14},
                      TKeyCase{"ShiftHome", {{VK_SHIFT, VK_HOME}}, 0, 5},
                      TKeyCase{"ShiftEnd", {{VK_SHIFT, VK_END}}, 5, 14},
                      TKeyCase{"ShiftLeftTwice", {{VK_SHIFT, VK_LEFT}, {VK_SHIFT, VK_LEFT}}, 3, 5},
                      TKeyCase{"CtrlRight", {{VK_CONTROL, VK_RIGHT}}, 9, 9},
                      TKeyCase{"CtrlLeft", {{VK_CONTROL, VK_LEFT}}, 4, 4},
                      TKeyCase{"CtrlLeftTwice", {{VK_CONTROL, VK_LEFT}, {VK_CONTROL, VK_LEFT}}, 0, 0},
                      TKeyCase{"SelectionThenLeft", {{VK_SHIFT, VK_END}, {0, VK_LEFT}}, 5, 5},
                      TKeyCase{"SelectAll", {{VK_CONTROL, 'A'}}, 0, 14}),
    [](const auto& info) { return info.param.Name; });

TEST_F(EditTest, DeleteAndBackspaceTakeWholeCharacters) {
  HWND e = Edit(ES_AUTOHSCROLL, "");
  Type("a\xC3\xA9z");  // a, e acute, z
  EXPECT_EQ(CtlText(e), "a\xC3\xA9z");
  Press(VK_LEFT);
  Press(VK_BACK);
  EXPECT_EQ(CtlText(e), "az");
  Press(VK_HOME);
  Press(VK_DELETE);
  EXPECT_EQ(CtlText(e), "z");
}

TEST_F(EditTest, MouseSelectsByDraggingAndWordsByDoubleClick) {
  HWND e = Edit(ES_AUTOHSCROLL, "alpha beta gamma");
  int y = 10;
  int xBeta = X(e, 6) + 2, xGamma = X(e, 13);
  InjectMouseMove(ClientPoint(e, xBeta, y));
  InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(e, X(e, 6), y));
  InjectMouseMove(ClientPoint(e, xGamma, y));
  InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(e, xGamma, y));
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(6u, 13u));
  EXPECT_EQ(GetCapture(), nullptr);

  // Shift+click extends from the anchor.
  rtl::testing::AdvanceClock(1000);
  InjectKey(VK_SHIFT, true);
  InjectClick(ClientPoint(e, X(e, 16) + 5, y));
  InjectKey(VK_SHIFT, false);
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(6u, 16u));

  rtl::testing::AdvanceClock(1000);
  InjectClick(ClientPoint(e, xBeta, y));
  InjectClick(ClientPoint(e, xBeta, y));
  RunUntilIdle();
  EXPECT_EQ(Sel(e), std::make_pair(6u, 10u));
}

TEST_F(EditTest, CutCopyPasteAndUndoThroughTheClipboard) {
  HWND e = Edit(ES_AUTOHSCROLL, "hello world");
  SendMessageA(e, EM_SETSEL, 6, 11);
  WithKey(VK_CONTROL, 'X');
  EXPECT_EQ(CtlText(e), "hello ");
  AnsiString clip;
  ASSERT_TRUE(rtl::detail::ClipboardGetText(e, clip));
  EXPECT_EQ(clip, "world");
  Press(VK_HOME);
  WithKey(VK_CONTROL, 'V');
  EXPECT_EQ(CtlText(e), "worldhello ");
  EXPECT_EQ(Sel(e), std::make_pair(5u, 5u));
  EXPECT_TRUE(SendMessageA(e, EM_CANUNDO, 0, 0));
  WithKey(VK_CONTROL, 'Z');
  EXPECT_EQ(CtlText(e), "hello ");
  WithKey(VK_CONTROL, 'Z');  // undoing the undo
  EXPECT_EQ(CtlText(e), "worldhello ");

  // Typed characters are one undo step.
  Press(VK_END);
  Type("abc");
  SendMessageA(e, WM_UNDO, 0, 0);
  EXPECT_EQ(CtlText(e), "worldhello ");

  // Shift+Delete cuts, Shift+Insert pastes, Ctrl+Insert copies.
  SendMessageA(e, EM_SETSEL, 0, 5);
  WithKey(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(CtlText(e), "hello ");
  Press(VK_END);
  WithKey(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(CtlText(e), "hello world");
}

TEST_F(EditTest, ReadOnlyAndPasswordControlsGuardTheirText) {
  HWND ro = Edit(ES_AUTOHSCROLL | ES_READONLY, "fixed");
  rtl::detail::ClipboardSetText(ro, "pasted");
  SendMessageA(ro, EM_SETSEL, 0, 5);
  Type("x");
  WithKey(VK_CONTROL, 'V');
  Press(VK_DELETE);
  EXPECT_EQ(CtlText(ro), "fixed");
  WithKey(VK_CONTROL, 'C');  // copying is allowed
  AnsiString clip;
  rtl::detail::ClipboardGetText(ro, clip);
  EXPECT_EQ(clip, "fixed");
  EXPECT_TRUE(Commands(EN_CHANGE).empty());

  HWND pw = Edit(ES_AUTOHSCROLL | ES_PASSWORD);
  EXPECT_EQ(SendMessageA(pw, EM_GETPASSWORDCHAR, 0, 0), '*');
  Type("secret");
  EXPECT_EQ(CtlText(pw), "secret");
  SendMessageA(pw, EM_SETSEL, 0, -1);
  WithKey(VK_CONTROL, 'C');
  WithKey(VK_CONTROL, 'X');
  rtl::detail::ClipboardGetText(pw, clip);
  EXPECT_EQ(clip, "fixed");  // nothing of the password left the control
  EXPECT_EQ(CtlText(pw), "secret");
  // Each character shows as one password character.
  SIZE star{};
  HDC dc = GetDC(pw);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  GetTextExtentPoint32A(dc, "******", 6, &star);
  ReleaseDC(pw, dc);
  EXPECT_EQ(X(pw, 6) - X(pw, 0), star.cx);
  SendMessageA(pw, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_FALSE(GetWindowLongA(pw, GWL_STYLE) & ES_PASSWORD);
}

struct TStyleCase {
  const char* Name;
  DWORD Style;
  const char* Typed;
  const char* Result;
  int Beeps;
};

class EditStyleTest : public EditTest, public ::testing::WithParamInterface<TStyleCase> {};

TEST_P(EditStyleTest, TypedCharactersFollowTheStyle) {
  const TStyleCase& c = GetParam();
  HWND e = Edit(ES_AUTOHSCROLL | c.Style);
  int before = rtl::testing::BeepCount();
  Type(c.Typed);
  EXPECT_EQ(CtlText(e), c.Result);
  EXPECT_EQ(rtl::testing::BeepCount() - before, c.Beeps);
}

INSTANTIATE_TEST_SUITE_P(Styles, EditStyleTest,
                         ::testing::Values(TStyleCase{"Upper", ES_UPPERCASE, "aBc1", "ABC1", 0},
                                           TStyleCase{"Lower", ES_LOWERCASE, "aBc1", "abc1", 0},
                                           TStyleCase{"Number", ES_NUMBER, "1a2-3", "123", 2},
                                           TStyleCase{"Plain", 0, "aB", "aB", 0}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(EditTest, NumberStyleRefusesPastedLetters) {
  HWND e = Edit(ES_AUTOHSCROLL | ES_NUMBER);
  rtl::detail::ClipboardSetText(e, "12a");
  SendMessageA(e, WM_PASTE, 0, 0);
  EXPECT_EQ(CtlText(e), "");
  rtl::detail::ClipboardSetText(e, "42");
  SendMessageA(e, WM_PASTE, 0, 0);
  EXPECT_EQ(CtlText(e), "42");
}

TEST_F(EditTest, LimitCutsTypingAndPastingAndSaysSo) {
  HWND e = Edit();
  SendMessageA(e, EM_LIMITTEXT, 4, 0);
  EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 4);
  Type("abcdef");
  EXPECT_EQ(CtlText(e), "abcd");
  EXPECT_EQ(Commands(EN_MAXTEXT).size(), 2u);
  SendMessageA(e, EM_SETSEL, 0, 2);
  SendMessageA(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("xyz"));
  EXPECT_EQ(CtlText(e), "xycd");
  // WM_SETTEXT is not limited.
  SetWindowTextA(e, "longer than four");
  EXPECT_EQ(CtlText(e), "longer than four");
}

TEST_F(EditTest, MarginsAlignmentAndCharacterPositions) {
  HWND left = Edit(ES_AUTOHSCROLL, "abc");
  SendMessageA(left, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(7, 9));
  EXPECT_EQ(SendMessageA(left, EM_GETMARGINS, 0, 0), MAKELRESULT(7, 9));
  EXPECT_EQ(X(left, 0), 7);
  for (size_t i = 0; i <= 3; ++i) {
    LRESULT r = SendMessageA(left, EM_CHARFROMPOS, 0, MAKELPARAM(X(left, i), 8));
    EXPECT_EQ(LOWORD(r), i);
  }
  RECT client;
  HWND right = Edit(ES_RIGHT, "abc");
  GetClientRect(right, &client);
  EXPECT_NEAR(X(right, 3), client.Right - 1, 2);
  HWND center = Edit(ES_CENTER, "abc");
  int mid = (X(center, 0) + X(center, 3)) / 2;
  EXPECT_NEAR(mid, client.Width() / 2, 2);
}

TEST_F(EditTest, LongTextScrollsToTheCaretOrIsRefusedWithoutAutoScroll) {
  HWND scrolls = Edit(ES_AUTOHSCROLL, "", RECT(10, 10, 70, 31));
  Type("the quick brown fox jumps");
  RECT client;
  GetClientRect(scrolls, &client);
  EXPECT_EQ(CtlText(scrolls).size(), 25u);
  int caretX = X(scrolls, 25);
  EXPECT_GT(caretX, 0);
  EXPECT_LT(caretX, client.Right);
  EXPECT_LT(X(scrolls, 0), 0);  // the start scrolled out on the left
  Press(VK_HOME);
  EXPECT_EQ(X(scrolls, 0), 1);

  HWND fixed = Edit(0, "", RECT(10, 40, 70, 61));
  Type("the quick brown fox jumps");
  size_t kept = CtlText(fixed).size();
  EXPECT_GT(kept, 2u);
  EXPECT_LT(kept, 25u);
  EXPECT_FALSE(Commands(EN_MAXTEXT).empty());
}

TEST_F(EditTest, MultiLineEditsLinesAndWraps) {
  HWND e = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, "", RECT(10, 10, 150, 100));
  Type("one");
  Press(VK_RETURN);
  Type("two");
  EXPECT_EQ(CtlText(e), "one\r\ntwo");
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 1, 0), 5);
  EXPECT_EQ(SendMessageA(e, EM_LINEFROMCHAR, 6, 0), 1);
  EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, 5, 0), 3);
  char line[8] = {};
  *reinterpret_cast<WORD*>(line) = sizeof line;
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 3);
  EXPECT_EQ(std::string(line, 3), "one");
  Press(VK_UP);
  EXPECT_EQ(Sel(e), std::make_pair(3u, 3u));
  Press(VK_END);
  Press(VK_DELETE);  // joins the lines
  EXPECT_EQ(CtlText(e), "onetwo");

  SetWindowTextA(e, "a long line of words that has to wrap in the narrow box");
  EXPECT_GT(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 2);
  for (int li = 0; li < SendMessageA(e, EM_GETLINECOUNT, 0, 0); ++li) {
    int start = static_cast<int>(SendMessageA(e, EM_LINEINDEX, li, 0));
    int len = static_cast<int>(SendMessageA(e, EM_LINELENGTH, start, 0));
    EXPECT_LE(X(e, start + len) - X(e, start), 140) << "line " << li;
  }
  // A word wider than the box breaks where the line ends; nothing is lost.
  std::string word(80, 'w');
  SetWindowTextA(e, word.c_str());
  int lines = static_cast<int>(SendMessageA(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 1);
  int total = 0;
  for (int li = 0; li < lines; ++li)
    total += static_cast<int>(SendMessageA(e, EM_LINELENGTH, SendMessageA(e, EM_LINEINDEX, li, 0), 0));
  EXPECT_EQ(total, 80);
}

// A multi-line edit made with a vertical scroll bar keeps it: grey while
// everything shows, working once there is more text than room.
TEST_F(EditTest, MultiLineScrollBarStaysAndGreysOut) {
  HWND e = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, "one", RECT(10, 10, 150, 100));
  auto barState = [&] {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    EXPECT_TRUE(GetScrollBarInfo(e, OBJID_VSCROLL, &sbi));
    return sbi.rgstate[0];
  };
  RECT wr, cr;
  GetWindowRect(e, &wr);
  auto clientWidth = [&] {
    GetClientRect(e, &cr);
    return cr.Width();
  };
  const int withBar = wr.Width() - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_TRUE(GetWindowLongA(e, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(clientWidth(), withBar);
  EXPECT_EQ(barState(), static_cast<DWORD>(STATE_SYSTEM_UNAVAILABLE));

  std::string text;
  for (int i = 0; i < 30; ++i) text += "line\r\n";
  SetWindowTextA(e, text.c_str());
  EXPECT_EQ(barState(), 0u);
  EXPECT_EQ(clientWidth(), withBar);
  RECT down;  // the bar's down arrow, in client coordinates
  GetClientRect(e, &down);
  Click(e, down.Right + GetSystemMetrics(SM_CXVSCROLL) / 2, down.Bottom - 3);
  EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), 1);

  SetWindowTextA(e, "short again");
  EXPECT_TRUE(GetWindowLongA(e, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(clientWidth(), withBar);
  EXPECT_EQ(barState(), static_cast<DWORD>(STATE_SYSTEM_UNAVAILABLE));
}

TEST_F(EditTest, ColoursComeFromTheParent) {
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  HBRUSH cyan = CreateSolidBrush(RGB(0, 255, 255));
  ParentHook() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m == WM_CTLCOLOREDIT) r = reinterpret_cast<LRESULT>(yellow);
    else if (m == WM_CTLCOLORSTATIC) r = reinterpret_cast<LRESULT>(cyan);
    else return false;
    return true;
  };
  HWND e = Edit(ES_AUTOHSCROLL, "x");
  HWND ro = Edit(ES_AUTOHSCROLL | ES_READONLY, "x", RECT(10, 40, 210, 61));
  RunUntilIdle();
  EXPECT_EQ(Capture(e).At(150, 5), RGB(255, 255, 0));
  EXPECT_EQ(Capture(ro).At(150, 5), RGB(0, 255, 255));
  ParentHook() = nullptr;
  DestroyWindow(e);
  DestroyWindow(ro);
  DeleteObject(yellow);
  DeleteObject(cyan);
}

TEST_F(EditTest, SelectionIsDrawnHighlightedWhileFocused) {
  HWND e = Edit(ES_AUTOHSCROLL, "select me");
  SendMessageA(e, EM_SETSEL, 0, 6);
  RunUntilIdle();
  TPicture p = Capture(e);
  RECT selected(X(e, 0), 4, X(e, 6), 13);
  EXPECT_GT(p.Count(GetSysColor(COLOR_HIGHLIGHT), selected), selected.Width() * selected.Height() / 3);
  EXPECT_EQ(p.At(X(e, 9) + 3, 9), GetSysColor(COLOR_WINDOW));
  SetFocus(Dialog);
  RunUntilIdle();
  EXPECT_EQ(Capture(e).Count(GetSysColor(COLOR_HIGHLIGHT), RECT(0, 0, 150, 15)), 0);
}

// WS_BORDER alone: a one-pixel frame in the window-frame colour around a
// client area inset by that pixel, which the text and its background fill;
// the same in every state and for multi-line edits with a scroll bar.
TEST_F(EditTest, BorderStyleDrawsAOnePixelFrameAroundTheClientArea) {
  const INT frameIndex = COLOR_WINDOWFRAME;
  const COLORREF oldFrame = GetSysColor(COLOR_WINDOWFRAME);
  const COLORREF frame = RGB(0, 128, 64);  // not black: the colour is the system's
  SetSysColors(1, &frameIndex, &frame);
  struct {
    const char* Name;
    DWORD Style;
    bool Disabled;
    COLORREF Fill;
  } cases[] = {
      {"plain", ES_AUTOHSCROLL, false, GetSysColor(COLOR_WINDOW)},
      {"read-only", ES_AUTOHSCROLL | ES_READONLY, false, GetSysColor(COLOR_3DFACE)},
      {"disabled", ES_AUTOHSCROLL, true, GetSysColor(COLOR_3DFACE)},
      {"multi-line", ES_MULTILINE | WS_VSCROLL, false, GetSysColor(COLOR_WINDOW)},
  };
  int y = 10;
  std::vector<HWND> edits;
  for (const auto& k : cases) {
    HWND e = Ctl("EDIT", "Wide", WS_BORDER | k.Style, RECT(10, y, 160, y + 40), 60);
    edits.push_back(e);
    if (k.Disabled) EnableWindow(e, FALSE);
    y += 50;
    RunUntilIdle();
    RECT client;
    GetClientRect(e, &client);
    POINT origin(0, 0);
    ClientToScreen(e, &origin);
    RECT window;
    GetWindowRect(e, &window);
    EXPECT_EQ(origin, POINT(window.Left + 1, window.Top + 1)) << k.Name;
    int scroll = (k.Style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    EXPECT_EQ(client, RECT(0, 0, 150 - 2 - scroll, 38)) << k.Name;
    TPicture p = Capture(e, true);
    int ring = 0;
    for (int x = 0; x < 150; ++x) ring += (p.At(x, 0) == frame) + (p.At(x, 39) == frame);
    for (int yy = 1; yy < 39; ++yy) ring += (p.At(0, yy) == frame) + (p.At(149, yy) == frame);
    EXPECT_EQ(ring, 2 * 150 + 2 * 38) << k.Name;
    // Inside the frame, the client's own fill; no second frame.
    EXPECT_EQ(p.At(1, 1), k.Fill) << k.Name;
    EXPECT_EQ(p.At(1, 38), k.Fill) << k.Name;
    EXPECT_EQ(p.Count(frame, RECT(1, 1, 149 - scroll, 39)), 0) << k.Name;
    // The text is drawn inside the client area.
    RECT ink = p.Ink(k.Fill, RECT(1, 1, 149 - scroll, 39));
    EXPECT_FALSE(IsRectEmpty(&ink)) << k.Name;
  }
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Dialog, PictureDir() + "edit_border_styles.png", true));
  SetSysColors(1, &frameIndex, &oldFrame);
}

}  // namespace
