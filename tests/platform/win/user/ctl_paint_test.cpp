// How the controls paint when someone else runs the paint cycle: a WM_PAINT
// that brings a DC paints into it (as WM_PRINTCLIENT does) and leaves the
// window's own update region owed; a parent that paints over its children
// (no WS_CLIPCHILDREN) is followed by the children's own paint.
#include "tests/platform/win/ctl_test_support.h"
#include "tests/common/dib_canvas.h"

namespace {

using namespace ctl_test;

// A 32-bit memory surface of a given size, filled with one colour.
struct TMemorySurface {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  int Width = 0, Height = 0;

  TMemorySurface(int w, int h, COLORREF fill) : Width(w), Height(h) {
    Bitmap = TestDib32(w, h, &Bits);
    Dc = CreateCompatibleDC(nullptr);
    Old = SelectObject(Dc, Bitmap);
    RECT all(0, 0, w, h);
    rtl::detail::FillSolid(Dc, all, fill);
  }
  ~TMemorySurface() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    DeleteObject(Bitmap);
  }
  COLORREF At(int x, int y) const {
    uint32_t p = Bits[static_cast<size_t>(y) * Width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

class CtlPaintTest : public TCtlTest {};

struct TPaintCase {
  const char* Class;
  const char* Text;
  DWORD Style;
  // Puts content into the control so that its picture is not plain.
  void (*Fill)(HWND);
};

void NoFill(HWND) {}
void FillList(HWND h) {
  for (const char* s : {"PNG", "JPG", "GIF"}) SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(h, LB_SETCURSEL, 1, 0);
}
void FillCombo(HWND h) {
  for (const char* s : {"PNG", "JPG"}) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(h, CB_SETCURSEL, 0, 0);
}
void FillTabs(HWND h) {
  for (const char* s : {"Conversions", "Misc"}) {
    TCITEMA it{};
    it.mask = TCIF_TEXT;
    it.pszText = const_cast<LPSTR>(s);
    SendMessageA(h, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&it));
  }
}
void FillTree(HWND h) {
  TVINSERTSTRUCTA is{};
  is.hParent = TVI_ROOT;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT;
  is.item.pszText = const_cast<LPSTR>("Toolbars");
  auto root = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
  is.hParent = root;
  is.item.pszText = const_cast<LPSTR>("File");
  SendMessageA(h, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is));
  SendMessageA(h, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
}
void FillProgress(HWND h) { SendMessageA(h, PBM_SETPOS, 40, 0); }
void FillScroll(HWND h) { SendMessageA(h, SBM_SETRANGE, 0, 10); }

TEST_F(CtlPaintTest, APaintMessageWithADcPaintsIntoItAndLeavesTheWindowOwingItsPaint) {
  const TPaintCase cases[] = {
      {"BUTTON", "&Open output folder", BS_PUSHBUTTON, NoFill},
      {"BUTTON", "Don't ask me again", BS_AUTOCHECKBOX, NoFill},
      {"STATIC", "Converting...", SS_LEFT, NoFill},
      {"EDIT", "120", 0, NoFill},
      {"LISTBOX", "", WS_VSCROLL, FillList},
      {"COMBOBOX", "", CBS_DROPDOWNLIST, FillCombo},
      {"SCROLLBAR", "", SBS_HORZ, FillScroll},
      {PROGRESS_CLASS, "", PBS_SMOOTH, FillProgress},
      {TRACKBAR_CLASS, "", TBS_AUTOTICKS, NoFill},
      {UPDOWN_CLASS, "", 0, NoFill},
      {WC_TABCONTROL, "", 0, FillTabs},
      {WC_TREEVIEW, "", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, FillTree},
  };
  const COLORREF sentinel = RGB(1, 2, 3);
  for (const TPaintCase& c : cases) {
    SCOPED_TRACE(std::string(c.Class) + " " + c.Text);
    HWND h = Ctl(c.Class, c.Text, c.Style, RECT(10, 10, 190, 60));
    ASSERT_TRUE(h);
    c.Fill(h);
    RunUntilIdle();
    TPicture own = Capture(h);
    ASSERT_GT(own.Width, 0);

    InvalidateRect(h, nullptr, FALSE);
    TMemorySurface mem(own.Width, own.Height, sentinel);
    SendMessageA(h, WM_PAINT, reinterpret_cast<WPARAM>(mem.Dc), 0);
    int differ = 0;
    for (int y = 0; y < own.Height; ++y)
      for (int x = 0; x < own.Width; ++x)
        if (mem.At(x, y) != own.At(x, y)) ++differ;
    EXPECT_EQ(differ, 0) << "the picture in the DC is the window's own";
    RECT owed{};
    EXPECT_TRUE(GetUpdateRect(h, &owed, FALSE)) << "the window still owes its paint";
    DestroyWindow(h);
    RunUntilIdle();
  }
}

// A parent without WS_CLIPCHILDREN that fills its whole client in WM_PAINT
// paints over its children; they paint themselves again afterwards.
TEST_F(CtlPaintTest, ChildrenRepaintAfterAParentThatPaintsOverThem) {
  const COLORREF red = RGB(255, 0, 0);
  ParentHook() = [red](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT c;
    GetClientRect(h, &c);
    rtl::detail::FillSolid(dc, c, red);
    EndPaint(h, &ps);
    r = 0;
    return true;
  };
  ASSERT_FALSE(GetWindowLongA(Dialog, GWL_STYLE) & WS_CLIPCHILDREN);
  HWND bar = Ctl(PROGRESS_CLASS, "", PBS_SMOOTH, RECT(20, 20, 220, 40));
  HWND button = Ctl("BUTTON", "&Cancel", BS_PUSHBUTTON, RECT(20, 60, 120, 85), 2);
  SendMessageA(bar, PBM_SETPOS, 50, 0);
  RunUntilIdle();

  struct TInvalid {
    const char* Name;
    bool Whole;
    RECT Part;  // dialog client coordinates
  };
  const TInvalid invalids[] = {
      {"the whole parent", true, RECT()},
      {"a part across both children", false, RECT(100, 30, 160, 70)},
  };
  for (const TInvalid& inv : invalids) {
    SCOPED_TRACE(inv.Name);
    InvalidateRect(Dialog, inv.Whole ? nullptr : &inv.Part, TRUE);
    RunUntilIdle();
    TPicture p = Capture(Dialog);
    EXPECT_EQ(p.Count(red, RECT(20, 20, 220, 40)), 0) << "the bar painted itself after the parent";
    EXPECT_EQ(p.Count(red, RECT(20, 60, 120, 85)), 0) << "the button painted itself after the parent";
    EXPECT_EQ(p.At(60, 30), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(p.At(200, 30), GetSysColor(COLOR_3DFACE));
    if (inv.Whole) {
      EXPECT_EQ(p.At(300, 200), red);
    }
    EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
  }
}

}  // namespace
