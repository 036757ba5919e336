#include "ui/foundation/system_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/menus.h"
#include "platform/win/win32.h"
#include "window_helpers_fixture.h"

namespace {

using window_helpers_test::TWindowTest;

std::vector<UINT> ItemIds(HMENU AMenu) {
  std::vector<UINT> Ids;
  for (int I = 0; I < GetMenuItemCount(AMenu); ++I) Ids.push_back(GetMenuItemID(AMenu, I));
  return Ids;
}

HBITMAP ItemBitmap(HMENU AMenu, UINT ACommand) {
  MENUITEMINFOA Info{};
  Info.cbSize = sizeof Info;
  Info.fMask = MIIM_BITMAP;
  return GetMenuItemInfoA(AMenu, ACommand, FALSE, &Info) ? Info.hbmpItem : nullptr;
}

bool Grayed(HMENU AMenu, UINT ACommand) { return (GetMenuState(AMenu, ACommand, MF_BYCOMMAND) & MF_GRAYED) != 0; }

TEST_F(TWindowTest, SystemMenuTemplatesCarryCheckOrBitmapStyleAndCaptionGlyphs) {
  for (Integer Index = 0; Index < 3; ++Index) {
    HMENU Menu = cxLoadSystemMenuTemplate(Index);
    ASSERT_NE(Menu, nullptr) << Index;
    HMENU Popup = GetSubMenu(Menu, 0);
    ASSERT_NE(Popup, nullptr) << Index;
    for (HMENU M : {Menu, Popup}) {
      MENUINFO Info{};
      Info.cbSize = sizeof Info;
      Info.fMask = MIM_STYLE;
      ASSERT_TRUE(GetMenuInfo(M, &Info));
      EXPECT_TRUE(Info.dwStyle & MNS_CHECKORBMP) << Index;
    }
    EXPECT_EQ(ItemBitmap(Menu, SC_CLOSE), HBMMENU_POPUP_CLOSE) << Index;
    if (Index != 2) {
      EXPECT_EQ(ItemBitmap(Menu, SC_MINIMIZE), HBMMENU_POPUP_MINIMIZE) << Index;
      EXPECT_EQ(ItemBitmap(Menu, SC_MAXIMIZE), HBMMENU_POPUP_MAXIMIZE) << Index;
      EXPECT_EQ(ItemBitmap(Menu, SC_RESTORE), HBMMENU_POPUP_RESTORE) << Index;
    }
    DestroyMenu(Menu);
  }
  EXPECT_EQ(cxLoadSystemMenuTemplate(3), nullptr);
}

TEST_F(TWindowTest, ADialogsSystemMenuLosesTheSizingCommandsAndTheSeparatorsAtPositionsSevenAndFive) {
  HWND W = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(10, 10, 300, 200));
  HMENU Template = cxLoadSystemMenuTemplate(1);
  HMENU Menu = GetSubMenu(Template, 0);
  ASSERT_EQ(GetMenuItemID(Menu, 5), 0u);
  ASSERT_EQ(GetMenuItemID(Menu, 7), 0u);
  const std::vector<UINT> Before = ItemIds(Menu);

  cxAdjustSystemMenu(Menu, W, true, TBorderIcons{biMinimize}, wsNormal);
  EXPECT_EQ(ItemIds(Menu), Before) << "no system menu among the border icons";

  cxAdjustSystemMenu(Menu, W, false, TBorderIcons{biSystemMenu}, wsNormal);
  EXPECT_EQ(ItemIds(Menu), Before) << "not a dialog";
  EXPECT_TRUE(Grayed(Menu, SC_RESTORE));

  cxAdjustSystemMenu(Menu, W, true, TBorderIcons{biSystemMenu}, wsNormal, true);
  EXPECT_EQ(ItemIds(Menu), (std::vector<UINT>{SC_MOVE, SC_CLOSE, SC_NEXTWINDOW}));
  EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), static_cast<UINT>(SC_CLOSE));
  // The window-update lock is released: another window can take it.
  HWND Other = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10));
  EXPECT_TRUE(LockWindowUpdate(Other));
  LockWindowUpdate(nullptr);
  DestroyMenu(Template);
}

struct TEnableCase {
  const char* Name;
  DWORD Style;
  int Show;
  bool SizeGrayed, MinimizeGrayed, MaximizeGrayed, RestoreGrayed, MoveGrayed;
  UINT Default;
};

TEST_F(TWindowTest, SystemMenuItemsFollowTheWindowsStylesAndState) {
  const TEnableCase Cases[] = {
      {"normal sizable", WS_OVERLAPPEDWINDOW, SW_SHOWNORMAL, false, false, false, true, false, SC_CLOSE},
      {"maximized sizable", WS_OVERLAPPEDWINDOW, SW_MAXIMIZE, true, false, true, false, true, SC_CLOSE},
      {"minimized", WS_OVERLAPPEDWINDOW, SW_MINIMIZE, true, true, false, false, false, SC_RESTORE},
      {"fixed without boxes", WS_POPUP | WS_CAPTION | WS_SYSMENU, SW_SHOWNORMAL, true, true, true, true, false,
       SC_CLOSE},
  };
  for (const TEnableCase& C : Cases) {
    HWND W = MakeWindow(C.Style, TRect(50, 50, 400, 300));
    ShowWindow(W, C.Show);
    Pump();
    HMENU Template = cxLoadSystemMenuTemplate(0);
    HMENU Menu = GetSubMenu(Template, 0);
    cxEnableSystemMenuItems(W, Menu);
    EXPECT_EQ(Grayed(Menu, SC_SIZE), C.SizeGrayed) << C.Name;
    EXPECT_EQ(Grayed(Menu, SC_MINIMIZE), C.MinimizeGrayed) << C.Name;
    EXPECT_EQ(Grayed(Menu, SC_MAXIMIZE), C.MaximizeGrayed) << C.Name;
    EXPECT_EQ(Grayed(Menu, SC_RESTORE), C.RestoreGrayed) << C.Name;
    EXPECT_EQ(Grayed(Menu, SC_MOVE), C.MoveGrayed) << C.Name;
    EXPECT_EQ(GetMenuDefaultItem(Menu, FALSE, 0), C.Default) << C.Name;
    DestroyMenu(Template);
    DestroyWindow(W);
  }
}

struct TItem {
  UINT Id;
  UINT State;
  std::string Text;
  bool HasSubMenu;
  ULONG_PTR Data;
  HBITMAP Bitmap;
  bool operator==(const TItem&) const = default;
};

std::vector<TItem> Items(HMENU AMenu) {
  std::vector<TItem> Result;
  for (int I = 0; I < GetMenuItemCount(AMenu); ++I) {
    char Text[128] = {};
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA | MIIM_BITMAP;
    Info.dwTypeData = Text;
    Info.cch = sizeof Text;
    GetMenuItemInfoA(AMenu, static_cast<UINT>(I), TRUE, &Info);
    Result.push_back({Info.wID, Info.fState & (MFS_GRAYED | MFS_CHECKED), Text, Info.hSubMenu != nullptr,
                      Info.dwItemData, Info.hbmpItem});
  }
  return Result;
}

TEST_F(TWindowTest, CopiedMenusMatchTheSourceAndCopyingAgainKeepsSharedSubmenusAlive) {
  HMENU Src = CreatePopupMenu();
  HMENU Sub = CreatePopupMenu();
  AppendMenuA(Sub, MF_STRING, 301, "Inner");
  AppendMenuA(Src, MF_STRING | MF_CHECKED, 101, "&First");
  AppendMenuA(Src, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(Src, MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), "More");
  AppendMenuA(Src, MF_STRING | MF_GRAYED, SC_CLOSE, "Close");
  MENUITEMINFOA Extra{};
  Extra.cbSize = sizeof Extra;
  Extra.fMask = MIIM_DATA | MIIM_BITMAP;
  Extra.dwItemData = 77;
  Extra.hbmpItem = HBMMENU_POPUP_MAXIMIZE;
  SetMenuItemInfoA(Src, 101, FALSE, &Extra);

  HMENU Dst = CreatePopupMenu();
  HMENU OwnSub = CreatePopupMenu();
  AppendMenuA(Dst, MF_STRING, 900, "Old");
  AppendMenuA(Dst, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(Dst, MF_POPUP, reinterpret_cast<UINT_PTR>(OwnSub), "Old sub");

  cxCopyMenuItems(Src, Dst);
  std::vector<TItem> Expected = Items(Src);
  Expected[3].State = 0;  // Close is enabled again in the copy
  EXPECT_EQ(Items(Dst), Expected);
  EXPECT_EQ(GetSubMenu(Dst, 2), Sub);

  // Copying again replaces every item (separators and submenu items too)
  // and leaves the submenu the source shares alive.
  cxCopyMenuItems(Src, Dst);
  EXPECT_EQ(Items(Dst), Expected);
  EXPECT_TRUE(IsMenu(Sub));

  cxCopyMenuItems(Src, Src);
  cxCopyMenuItems(Src, nullptr);
  EXPECT_EQ(Items(Src).size(), 4u);
  DestroyMenu(Dst);
  DestroyMenu(OwnSub);
  DestroyMenu(Src);
}

// ---- Context menus ---------------------------------------------------------------------

class TLibraryMenu : public TComponent, public IcxContextMenuSupport {
 public:
  explicit TLibraryMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<TPoint> Shown;
  int ShortCutQuestions = 0;
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IcxContextMenuSupport) || IsEqualIID(riid, IID_IUnknown)) {
      *ppv = static_cast<IcxContextMenuSupport*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  bool IsShortCutKey(TMessage&) override {
    ++ShortCutQuestions;
    return true;
  }
  void Popup(Integer X, Integer Y) override { Shown.push_back(TPoint(X, Y)); }
};

class TRecordingPopupMenu : public TPopupMenu {
 public:
  explicit TRecordingPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
  std::vector<TPoint> Shown;
  void Popup(Integer X, Integer Y) override { Shown.push_back(TPoint(X, Y)); }
};

TEST_F(TWindowTest, ContextMenusShowThroughTheLibrarysInterfaceOrTheFrameworksAutoPopup) {
  TForm* Form = MakeForm();
  TLibraryMenu Library(nullptr);
  TRecordingPopupMenu Framework(nullptr);
  TComponent Plain(nullptr);

  EXPECT_TRUE(cxPopupContextMenu(Form, &Library, 10, 20));
  EXPECT_EQ(Library.Shown, (std::vector<TPoint>{TPoint(10, 20)}));

  EXPECT_TRUE(cxPopupContextMenu(Form, &Framework, 30, 40));
  EXPECT_EQ(Framework.Shown, (std::vector<TPoint>{TPoint(30, 40)}));
  EXPECT_EQ(Framework.PopupComponent(), Form);
  Framework.SetAutoPopup(false);
  EXPECT_FALSE(cxPopupContextMenu(Form, &Framework, 50, 60));
  EXPECT_EQ(Framework.Shown.size(), 1u);

  EXPECT_FALSE(cxPopupContextMenu(Form, &Plain, 0, 0));
  EXPECT_FALSE(cxPopupContextMenu(Form, nullptr, 0, 0));

  EXPECT_TRUE(cxIsPopupMenuComponent(&Library));
  EXPECT_TRUE(cxIsPopupMenuComponent(&Framework));
  EXPECT_FALSE(cxIsPopupMenuComponent(&Plain));
  EXPECT_FALSE(cxIsPopupMenuComponent(nullptr));
  Framework.SetPopupComponent(nullptr);
}

TEST_F(TWindowTest, PopupMenuShortCutsRunThroughTheMenu) {
  TLibraryMenu Library(nullptr);
  TPopupMenu Framework(nullptr);
  TMenuItem* Item = new TMenuItem(&Framework);
  Item->SetCaption("Seven");
  Item->SetShortCut(ShortCut(VK_F7, TShiftState()));
  int Clicks = 0;
  Item->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  Framework.Items()->Add(Item);

  TMessage Key{WM_KEYDOWN, VK_F7, 0, 0};
  EXPECT_TRUE(cxPopupMenuIsShortCut(&Library, Key));
  EXPECT_EQ(Library.ShortCutQuestions, 1);
  EXPECT_TRUE(cxPopupMenuIsShortCut(&Framework, Key));
  EXPECT_EQ(Clicks, 1);
  TMessage Other{WM_KEYDOWN, VK_F8, 0, 0};
  EXPECT_FALSE(cxPopupMenuIsShortCut(&Framework, Other));
  TComponent Plain(nullptr);
  EXPECT_FALSE(cxPopupMenuIsShortCut(&Plain, Key));
}

}  // namespace
