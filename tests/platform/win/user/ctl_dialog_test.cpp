// A dialog holding every standard and common control in normal, focused
// and disabled states, written out as pictures to look at; the checks pin
// what a person would look for first.
#include "tests/platform/win/ctl_test_support.h"
#include "tests/common/pictures.h"

namespace {

using namespace ctl_test;

class DialogPictureTest : public TCtlTest {
 protected:
  HWND Box = nullptr;

  HWND Add(const char* cls, const char* text, DWORD style, RECT r, int id = 0, DWORD ex = 0) {
    HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(), Box,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    EXPECT_NE(h, nullptr) << cls;
    return h;
  }
};

TEST_F(DialogPictureTest, EveryControlInEveryState) {
  // The dialog clips its children, so that its own painting leaves their
  // frames alone.
  Box = MakeTop(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN, RECT(60, 40, 830, 620), WS_EX_DLGMODALFRAME,
                "CtlTestParent");
  SetWindowTextA(Box, "Options");
  // Buttons
  Add("BUTTON", "Buttons", BS_GROUPBOX, RECT(10, 8, 250, 120));
  HWND ok = Add("BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, RECT(22, 30, 102, 53), IDOK);
  HWND focusedPush = Add("BUTTON", "&Change", BS_PUSHBUTTON | WS_TABSTOP, RECT(110, 30, 190, 53), 2);
  Add("BUTTON", "Disabled", BS_PUSHBUTTON | WS_DISABLED, RECT(22, 60, 102, 83), 3);
  Add("BUTTON", "Pushed", BS_PUSHBUTTON, RECT(110, 60, 190, 83), 4);
  SendMessageA(GetDlgItem(Box, 4), BM_SETSTATE, TRUE, 0);
  Add("BUTTON", "Push-like", BS_AUTOCHECKBOX | BS_PUSHLIKE, RECT(22, 90, 102, 113), 5);
  SendMessageA(GetDlgItem(Box, 5), BM_SETCHECK, BST_CHECKED, 0);
  // Check boxes and radio buttons
  Add("BUTTON", "&Other Options", BS_GROUPBOX, RECT(10, 128, 250, 300));
  HWND check = Add("BUTTON", "Play a sound when finished", BS_AUTOCHECKBOX | WS_TABSTOP, RECT(22, 148, 240, 166), 10);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  HWND focusedCheck = Add("BUTTON", "Don't ask me again", BS_AUTOCHECKBOX | WS_TABSTOP, RECT(22, 168, 240, 186), 11);
  Add("BUTTON", "Three states", BS_AUTO3STATE, RECT(22, 188, 240, 206), 12);
  SendMessageA(GetDlgItem(Box, 12), BM_SETCHECK, BST_INDETERMINATE, 0);
  Add("BUTTON", "Disabled and checked", BS_AUTOCHECKBOX | WS_DISABLED, RECT(22, 208, 240, 226), 13);
  SendMessageA(GetDlgItem(Box, 13), BM_SETCHECK, BST_CHECKED, 0);
  Add("BUTTON", "Original directory", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, RECT(22, 232, 240, 250), 14);
  Add("BUTTON", "Select directory", BS_AUTORADIOBUTTON, RECT(22, 252, 240, 270), 15);
  Add("BUTTON", "Disabled radio", BS_AUTORADIOBUTTON | WS_DISABLED, RECT(22, 272, 240, 290), 16);
  SendMessageA(GetDlgItem(Box, 15), BM_SETCHECK, BST_CHECKED, 0);
  // Statics
  Add("BUTTON", "Static", BS_GROUPBOX, RECT(10, 306, 250, 420));
  HWND icon = Add("STATIC", "", SS_ICON, RECT(22, 326, 54, 358), 20);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ASTERISK)), 0);
  Add("STATIC", "Conversion is complete. Do you want to open the output folder?", SS_LEFT, RECT(64, 326, 240, 360), 21);
  Add("STATIC", "Disabled label", SS_LEFT | WS_DISABLED, RECT(22, 366, 240, 382), 22);
  Add("STATIC", "", SS_ETCHEDHORZ, RECT(22, 390, 240, 392), 23);
  Add("STATIC", "C:\\a\\very\\long\\path\\that\\does\\not\\fit.pdf", SS_LEFT | SS_PATHELLIPSIS, RECT(22, 398, 240, 414),
      24);
  // Edits
  Add("BUTTON", "Edit", BS_GROUPBOX, RECT(10, 428, 250, 568));
  HWND edit = Add("EDIT", "Focused with a selection", ES_AUTOHSCROLL | WS_TABSTOP, RECT(22, 448, 240, 469), 30,
                  WS_EX_CLIENTEDGE);
  Add("EDIT", "Disabled", ES_AUTOHSCROLL | WS_DISABLED, RECT(22, 474, 240, 495), 31, WS_EX_CLIENTEDGE);
  Add("EDIT", "Read-only", ES_AUTOHSCROLL | ES_READONLY, RECT(22, 500, 240, 521), 32, WS_EX_CLIENTEDGE);
  Add("EDIT", "secret", ES_AUTOHSCROLL | ES_PASSWORD, RECT(22, 526, 130, 547), 33, WS_EX_CLIENTEDGE);
  HWND number = Add("EDIT", "120", ES_AUTOHSCROLL | ES_NUMBER | ES_RIGHT, RECT(140, 526, 222, 547), 34, WS_EX_CLIENTEDGE);
  HWND spin = Add(UPDOWN_CLASS, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, RECT(0, 0, 16, 21), 35);
  SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(number), 0);
  SendMessageA(spin, UDM_SETRANGE32, 10, 600);
  SendMessageA(spin, UDM_SETPOS32, 0, 120);
  // Lists
  HWND list = Add("LISTBOX", "", LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL | WS_TABSTOP, RECT(262, 14, 452, 150), 40,
                  WS_EX_CLIENTEDGE);
  for (const char* s : {"document.pdf", "invoice.pdf", "report.pdf", "scan 01.pdf", "scan 02.pdf", "slides.pdf",
                        "summary.pdf", "thesis.pdf", "zeta.pdf", "zulu.pdf"})
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(list, LB_SETSEL, TRUE, 1);
  SendMessageA(list, LB_SETSEL, TRUE, 2);
  HWND disabledList = Add("LISTBOX", "", WS_DISABLED, RECT(262, 156, 452, 210), 41, WS_EX_CLIENTEDGE);
  SendMessageA(disabledList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Disabled list"));
  SendMessageA(disabledList, LB_SETCURSEL, 0, 0);
  HWND combo = Add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, RECT(262, 218, 452, 400), 42);
  for (const char* s : {"PNG", "JPG", "GIF", "BMP", "TIFF"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  HWND combo2 = Add("COMBOBOX", "", CBS_DROPDOWN | WS_TABSTOP, RECT(262, 246, 452, 400), 43);
  SendMessageA(combo2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Truecolor"));
  SetWindowTextA(combo2, "Grayscale 24-bit");
  HWND combo3 = Add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_DISABLED, RECT(262, 274, 452, 400), 44);
  SendMessageA(combo3, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("(None)"));
  SendMessageA(combo3, CB_SETCURSEL, 0, 0);
  HWND simple = Add("COMBOBOX", "", CBS_SIMPLE, RECT(262, 302, 452, 400), 45);
  for (const char* s : {"CCITT3", "CCITT4", "LZW", "RLE"}) SendMessageA(simple, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  SendMessageA(simple, CB_SETCURSEL, 2, 0);
  // Progress, trackbar, scroll bars
  HWND progress = Add(PROGRESS_CLASS, "", 0, RECT(262, 410, 452, 428), 50);
  SendMessageA(progress, PBM_SETPOS, 60, 0);
  HWND smooth = Add(PROGRESS_CLASS, "", PBS_SMOOTH, RECT(262, 434, 452, 452), 51);
  SendMessageA(smooth, PBM_SETPOS, 35, 0);
  HWND track = Add(TRACKBAR_CLASS, "", TBS_AUTOTICKS | WS_TABSTOP, RECT(262, 458, 452, 490), 52);
  SendMessageA(track, TBM_SETTICFREQ, 10, 0);
  SendMessageA(track, TBM_SETPOS, TRUE, 40);
  HWND hbar = Add("SCROLLBAR", "", SBS_HORZ, RECT(262, 498, 452, 515), 53);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 20, 30, 0};
  SendMessageA(hbar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  Add("SCROLLBAR", "", SBS_HORZ | WS_DISABLED, RECT(262, 522, 452, 539), 54);
  // Tabs and tree
  HWND tabs = Add(WC_TABCONTROL, "", WS_TABSTOP | WS_CLIPSIBLINGS, RECT(464, 10, 754, 260), 60);
  for (const char* s : {"Conversions", "Misc", "Word Options"}) {
    TCITEMA it{};
    it.mask = TCIF_TEXT;
    it.pszText = const_cast<LPSTR>(s);
    SendMessageA(tabs, TCM_INSERTITEMA, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&it));
  }
  RECT page;
  GetClientRect(tabs, &page);
  SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  HWND inner = CreateWindowExA(0, "BUTTON", "O&utput Directory", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, page.Left + 4,
                               page.Top + 4, page.Width() - 8, 90, tabs, nullptr, nullptr, nullptr);
  ASSERT_NE(inner, nullptr);
  HWND tree = Add(WC_TREEVIEW, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_VSCROLL,
                  RECT(464, 270, 754, 520), 61, WS_EX_CLIENTEDGE);
  auto node = [&](HTREEITEM parent, const char* text) {
    TVINSERTSTRUCTA is{};
    is.hParent = parent;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT;
    is.item.pszText = const_cast<LPSTR>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
  };
  HTREEITEM bars = node(TVI_ROOT, "Toolbars");
  node(bars, "Quick Access Toolbar");
  HTREEITEM file = node(bars, "File");
  node(file, "Add File");
  node(file, "Add Folder");
  node(bars, "Convert");
  HTREEITEM help = node(TVI_ROOT, "Help");
  node(help, "About");
  node(TVI_ROOT, "Key Tips");
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(bars));
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(file));
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(file));
  Add("BUTTON", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, RECT(674, 530, 754, 553), IDCANCEL);

  // Focus in the edit, with part of its text selected.
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, 7);
  RunUntilIdle();
  AnsiString dir = PictureDir();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Box, dir + "controls_dialog.png", true));
  TPicture p = Capture(Box);
  POINT e(22 + 4, 448 + 10);
  EXPECT_EQ(p.At(e.X, e.Y - 6), GetSysColor(COLOR_HIGHLIGHT));  // the selection
  // The disabled button has a caption, and none of it in the text colour.
  RECT disabledInk = p.Ink(GetSysColor(COLOR_3DFACE), RECT(30, 64, 95, 80));
  EXPECT_FALSE(IsRectEmpty(&disabledInk));
  EXPECT_EQ(p.Count(GetSysColor(COLOR_BTNTEXT), RECT(30, 64, 95, 80)), 0);
  // The edits wear their sunken edges.
  EXPECT_EQ(p.At(22, 458), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(p.At(23, 458), GetSysColor(COLOR_3DDKSHADOW));

  // Then on a check box and a push button: their focus rectangles.
  SetFocus(focusedCheck);
  RunUntilIdle();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Box, dir + "controls_dialog_check_focused.png", true));
  SetFocus(focusedPush);
  RunUntilIdle();
  EXPECT_TRUE(SendMessageA(focusedPush, BM_GETSTATE, 0, 0) & BST_FOCUS);
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Box, dir + "controls_dialog_button_focused.png", true));
  (void)ok;
  (void)check;
}

}  // namespace
