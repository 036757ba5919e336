// Menu objects: items with their types, states, ids, submenus and data;
// lookups by command (through submenus) or by position; the system menu
// templates and each window's system menu.
#include "platform/win/user/user_menu.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu_internal.h"

namespace rtl::detail {
namespace {

THandleTable<TMenu>& Menus() {
  static THandleTable<TMenu> menus(THandleKind::Menu);
  return menus;
}

constexpr DWORD kErrorInvalidMenuHandle = ERROR_INVALID_MENU_HANDLE;
constexpr DWORD kErrorMenuItemNotFound = 1456;

// Finds an item by command (searching submenus) or position.
bool Locate(HMENU menu, UINT item, bool byPosition, THandleRef<TMenu>& owner, size_t& index) {
  auto m = MenuOf(menu);
  if (!m) return false;
  if (byPosition) {
    if (item >= m->Items.size()) return false;
    owner = m;
    index = item;
    return true;
  }
  for (size_t i = 0; i < m->Items.size(); ++i) {
    TMenuItem& it = m->Items[i];
    if (!it.SubMenu && it.Id == item) {
      owner = m;
      index = i;
      return true;
    }
    if (it.SubMenu && Locate(it.SubMenu, item, false, owner, index)) return true;
    if (it.SubMenu && it.Id == item) {
      owner = m;
      index = i;
      return true;
    }
  }
  return false;
}

// Fills an item from the MF_ flags of AppendMenu and its kin.
bool FromFlags(TMenuItem& it, UINT flags, UINT_PTR id, LPCSTR text) {
  it.Type = flags & (MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_RIGHTJUSTIFY | MFT_RIGHTORDER);
  it.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP) {
    it.SubMenu = reinterpret_cast<HMENU>(id);
    if (!MenuOf(it.SubMenu)) return false;
    it.Id = static_cast<UINT>(id);
  } else {
    it.SubMenu = nullptr;
    it.Id = static_cast<UINT>(id);
  }
  if (flags & MF_SEPARATOR) {
    it.Type |= MFT_SEPARATOR;
  } else if (flags & MF_BITMAP) {
    it.Type |= MFT_BITMAP;
    it.Bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  } else if (flags & MF_OWNERDRAW) {
    it.Type |= MFT_OWNERDRAW;
    it.Data = reinterpret_cast<ULONG_PTR>(text);
  } else {
    it.Text = text ? text : "";
  }
  return true;
}

struct TTemplateItem {
  UINT Id;  // 0: separator
  const char* Text;
  UINT State;
};

HMENU Build(std::initializer_list<TTemplateItem> items) {
  HMENU popup = CreatePopupMenu();
  for (const TTemplateItem& t : items) {
    if (!t.Id)
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(popup, MF_STRING | t.State, t.Id, t.Text);
  }
  return popup;
}

// The system menu templates; each is a menu holding one popup.
HMENU SystemTemplate(int id) {
  HMENU popup = nullptr;
  switch (id) {
    case 16:
      popup = Build({{SC_RESTORE, "&Restore", 0},
                     {SC_MOVE, "&Move", 0},
                     {SC_SIZE, "&Size", 0},
                     {SC_MINIMIZE, "Mi&nimize", 0},
                     {SC_MAXIMIZE, "Ma&ximize", 0},
                     {0, nullptr, 0},
                     {SC_CLOSE, "&Close\tAlt+F4", MF_DEFAULT}});
      break;
    case 32:
      popup = Build({{SC_RESTORE, "&Restore", 0},
                     {SC_MOVE, "&Move", 0},
                     {SC_SIZE, "&Size", 0},
                     {SC_MINIMIZE, "Mi&nimize", 0},
                     {SC_MAXIMIZE, "Ma&ximize", 0},
                     {0, nullptr, 0},
                     {SC_CLOSE, "&Close\tCtrl+F4", MF_DEFAULT},
                     {0, nullptr, 0},
                     {SC_NEXTWINDOW, "Nex&t\tCtrl+F6", 0}});
      break;
    case 48:
      popup = Build({{SC_MOVE, "&Move", 0}, {0, nullptr, 0}, {SC_CLOSE, "&Close\tAlt+F4", MF_DEFAULT}});
      break;
    default:
      return nullptr;
  }
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "");
  return bar;
}

// Reads the menu templates of resources: 16-bit little-endian fields,
// UTF-16 texts.
class TTemplateReader {
 public:
  explicit TTemplateReader(const BYTE* p) : p_(p) {}
  WORD Word() {
    WORD v = static_cast<WORD>(p_[0] | (p_[1] << 8));
    p_ += 2;
    return v;
  }
  DWORD Dword() {
    DWORD lo = Word();
    return lo | (static_cast<DWORD>(Word()) << 16);
  }
  AnsiString Text() {
    WideString w;
    while (WORD c = Word()) w.push_back(static_cast<char16_t>(c));
    return WideToAnsi(w);
  }
  void AlignDword(const BYTE* base) {
    while ((p_ - base) % 4) ++p_;
  }
  const BYTE* Pos() const { return p_; }

 private:
  const BYTE* p_;
};

// Items of one level of a standard template, up to the one marked MF_END.
void ReadStandard(TTemplateReader& r, HMENU menu, int depth) {
  for (;;) {
    WORD option = r.Word();
    UINT flags = option & ~static_cast<UINT>(MF_END);
    if (option & MF_POPUP) {
      AnsiString text = r.Text();
      HMENU sub = CreatePopupMenu();
      if (depth < 16) ReadStandard(r, sub, depth + 1);
      AppendMenuA(menu, flags, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      WORD id = r.Word();
      AnsiString text = r.Text();
      // A separator is an item with neither an id nor a text.
      if (!id && text.empty() && !(flags & (MF_BITMAP | MF_OWNERDRAW)))
        AppendMenuA(menu, MF_SEPARATOR | flags, 0, nullptr);
      else
        AppendMenuA(menu, flags, id, text.c_str());
    }
    if (option & MF_END) return;
  }
}

// Items of one level of an extended template (each DWORD-aligned).
void ReadExtended(TTemplateReader& r, const BYTE* base, HMENU menu, int depth) {
  for (;;) {
    r.AlignDword(base);
    MENUITEMINFOA ii{};
    ii.cbSize = sizeof ii;
    ii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    ii.fType = r.Dword();
    ii.fState = r.Dword();
    ii.wID = r.Dword();
    WORD resInfo = r.Word();
    AnsiString text = r.Text();
    if (!(ii.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))) {
      ii.fMask |= MIIM_STRING;
      ii.dwTypeData = text.data();
    }
    HMENU sub = nullptr;
    if (resInfo & 0x01) {
      r.AlignDword(base);
      r.Dword();  // the popup's help id
      sub = CreatePopupMenu();
      if (depth < 16) ReadExtended(r, base, sub, depth + 1);
      ii.fMask |= MIIM_SUBMENU;
      ii.hSubMenu = sub;
    }
    InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &ii);
    if (resInfo & 0x80) return;
  }
}

}  // namespace

THandleRef<TMenu> MenuOf(HMENU menu) { return THandleRef<TMenu>(Menus().Get(reinterpret_cast<uintptr_t>(menu))); }

// Greys what the window's state does not allow, as the system does before
// the system menu shows.
void UpdateSystemMenu(TWnd* w, HMENU sys) {
  bool min = (w->Style & WS_MINIMIZE) != 0, max = (w->Style & WS_MAXIMIZE) != 0;
  EnableMenuItem(sys, SC_RESTORE, (min || max) ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(sys, SC_MOVE, max ? MF_GRAYED : MF_ENABLED);
  EnableMenuItem(sys, SC_SIZE, ((w->Style & WS_THICKFRAME) && !min && !max) ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(sys, SC_MINIMIZE, ((w->Style & WS_MINIMIZEBOX) && !min) ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(sys, SC_MAXIMIZE, ((w->Style & WS_MAXIMIZEBOX) && !max) ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(sys, SC_CLOSE, (w->Class->Style & CS_NOCLOSE) ? MF_GRAYED : MF_ENABLED);
}

}  // namespace rtl::detail

using namespace rtl::detail;

HMENU CreateMenu() { return reinterpret_cast<HMENU>(Menus().Add(std::make_unique<TMenu>())); }

HMENU CreatePopupMenu() {
  auto m = std::make_unique<TMenu>();
  m->Popup = true;
  return reinterpret_cast<HMENU>(Menus().Add(std::move(m)));
}

BOOL DestroyMenu(HMENU menu) {
  auto m = MenuOf(menu);
  if (!m) {
    SetLastError(kErrorInvalidMenuHandle);
    return FALSE;
  }
  std::vector<HMENU> subs;
  for (TMenuItem& it : m->Items)
    if (it.SubMenu) subs.push_back(it.SubMenu);
  Menus().Remove(reinterpret_cast<uintptr_t>(menu));
  for (HMENU s : subs) DestroyMenu(s);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return MenuOf(menu) ? TRUE : FALSE; }

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
  auto m = MenuOf(menu);
  if (!m) {
    SetLastError(kErrorInvalidMenuHandle);
    return FALSE;
  }
  TMenuItem it;
  if (!FromFlags(it, flags, idNewItem, newItem)) return FALSE;
  size_t at = m->Items.size();
  if (position != 0xFFFFFFFF) {
    THandleRef<TMenu> owner;
    size_t index = 0;
    if (Locate(menu, position, (flags & MF_BYPOSITION) != 0, owner, index)) {
      m = owner;
      at = index;
    }
  }
  m->Items.insert(m->Items.begin() + static_cast<std::ptrdiff_t>(at), it);
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
  return InsertMenuA(menu, 0xFFFFFFFF, flags | MF_BYPOSITION, idNewItem, newItem);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, position, (flags & MF_BYPOSITION) != 0, owner, index)) {
    SetLastError(kErrorMenuItemNotFound);
    return FALSE;
  }
  TMenuItem it;
  if (!FromFlags(it, flags, idNewItem, newItem)) return FALSE;
  owner->Items[index] = it;
  return TRUE;
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  auto m = MenuOf(menu);
  if (!m || !info) {
    SetLastError(kErrorInvalidMenuHandle);
    return FALSE;
  }
  size_t at = m->Items.size();
  THandleRef<TMenu> owner = m;
  size_t index = 0;
  if (Locate(menu, item, byPosition != FALSE, owner, index))
    at = index;
  else
    owner = m;
  owner->Items.insert(owner->Items.begin() + static_cast<std::ptrdiff_t>(at), TMenuItem());
  return SetMenuItemInfoA(menu, static_cast<UINT>(owner == m ? at : item), owner == m ? TRUE : byPosition, info);
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!info || !Locate(menu, item, byPosition != FALSE, owner, index)) {
    SetLastError(kErrorMenuItemNotFound);
    return FALSE;
  }
  TMenuItem& it = owner->Items[index];
  UINT mask = info->fMask;
  if (mask & MIIM_TYPE) {
    // The old way: type and text (or bitmap) together.
    it.Type = info->fType;
    if (info->fType & MFT_BITMAP)
      it.Bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
    else if (!(info->fType & (MFT_SEPARATOR | MFT_OWNERDRAW)))
      it.Text = info->dwTypeData ? info->dwTypeData : "";
  }
  if (mask & MIIM_FTYPE) it.Type = (it.Type & MFT_BITMAP) | (info->fType & ~static_cast<UINT>(MFT_BITMAP));
  if (mask & MIIM_STRING) it.Text = info->dwTypeData ? info->dwTypeData : "";
  if (mask & MIIM_STATE) it.State = info->fState;
  if (mask & MIIM_ID) it.Id = info->wID;
  if (mask & MIIM_SUBMENU) it.SubMenu = info->hSubMenu;
  if (mask & MIIM_CHECKMARKS) {
    it.Checked = info->hbmpChecked;
    it.Unchecked = info->hbmpUnchecked;
  }
  if (mask & MIIM_DATA) it.Data = info->dwItemData;
  if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA)) it.Bitmap = info->hbmpItem;
  return TRUE;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!info || !Locate(menu, item, byPosition != FALSE, owner, index)) {
    SetLastError(kErrorMenuItemNotFound);
    return FALSE;
  }
  const TMenuItem& it = owner->Items[index];
  UINT mask = info->fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.Type;
  if (mask & MIIM_STATE) info->fState = it.State;
  if (mask & MIIM_ID) info->wID = it.Id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = it.SubMenu;
  if (mask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.Checked;
    info->hbmpUnchecked = it.Unchecked;
  }
  if (mask & MIIM_DATA) info->dwItemData = it.Data;
  if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA)) info->hbmpItem = it.Bitmap;
  bool textWanted = (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(it.Type & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)));
  if ((mask & MIIM_TYPE) && (it.Type & MFT_BITMAP)) info->dwTypeData = reinterpret_cast<LPSTR>(it.Bitmap);
  if (textWanted) {
    if (info->dwTypeData && info->cch > 0) {
      size_t n = std::min<size_t>(it.Text.size(), info->cch - 1);
      std::memcpy(info->dwTypeData, it.Text.data(), n);
      info->dwTypeData[n] = 0;
      info->cch = static_cast<UINT>(n);
    } else {
      info->cch = static_cast<UINT>(it.Text.size());
    }
  }
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, position, (flags & MF_BYPOSITION) != 0, owner, index)) {
    SetLastError(kErrorMenuItemNotFound);
    return FALSE;
  }
  owner->Items.erase(owner->Items.begin() + static_cast<std::ptrdiff_t>(index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, position, (flags & MF_BYPOSITION) != 0, owner, index)) {
    SetLastError(kErrorMenuItemNotFound);
    return FALSE;
  }
  HMENU sub = owner->Items[index].SubMenu;
  owner->Items.erase(owner->Items.begin() + static_cast<std::ptrdiff_t>(index));
  if (sub) DestroyMenu(sub);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  auto m = MenuOf(menu);
  if (!m) {
    SetLastError(kErrorInvalidMenuHandle);
    return -1;
  }
  return static_cast<int>(m->Items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto m = MenuOf(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->Items.size()) return 0xFFFFFFFF;
  const TMenuItem& it = m->Items[static_cast<size_t>(position)];
  return it.SubMenu ? 0xFFFFFFFF : it.Id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  auto m = MenuOf(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->Items.size()) return nullptr;
  return m->Items[static_cast<size_t>(position)].SubMenu;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, id, (flags & MF_BYPOSITION) != 0, owner, index)) return 0xFFFFFFFF;
  const TMenuItem& it = owner->Items[index];
  UINT r = it.State | (it.Type & ~static_cast<UINT>(MFT_RADIOCHECK));
  if (it.SubMenu) {
    auto sub = MenuOf(it.SubMenu);
    r = MF_POPUP | (it.State & 0xFF) | (sub ? (static_cast<UINT>(sub->Items.size()) << 8) : 0);
  }
  return r;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, item, (flags & MF_BYPOSITION) != 0, owner, index)) return 0;
  const AnsiString& s = owner->Items[index].Text;
  if (!text || maxCount <= 0) return static_cast<int>(s.size());
  int n = std::min<int>(static_cast<int>(s.size()), maxCount - 1);
  std::memcpy(text, s.data(), static_cast<size_t>(n));
  text[n] = 0;
  return n;
}

BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, id, (enable & MF_BYPOSITION) != 0, owner, index)) return -1;
  TMenuItem& it = owner->Items[index];
  UINT previous = it.State & (MF_GRAYED | MF_DISABLED);
  it.State = (it.State & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(previous);
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
  THandleRef<TMenu> owner;
  size_t index = 0;
  if (!Locate(menu, id, (check & MF_BYPOSITION) != 0, owner, index)) return 0xFFFFFFFF;
  TMenuItem& it = owner->Items[index];
  DWORD previous = it.State & MF_CHECKED;
  it.State = (it.State & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  bool byPos = (flags & MF_BYPOSITION) != 0;
  auto m = MenuOf(menu);
  if (!m) return FALSE;
  bool found = false;
  for (size_t i = 0; i < m->Items.size(); ++i) {
    TMenuItem& it = m->Items[i];
    UINT key = byPos ? static_cast<UINT>(i) : it.Id;
    if (key < first || key > last) continue;
    if (key == check) {
      it.State |= MF_CHECKED;
      it.Type |= MFT_RADIOCHECK;
      found = true;
    } else {
      it.State &= ~static_cast<UINT>(MF_CHECKED);
    }
  }
  return found ? TRUE : FALSE;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  auto m = MenuOf(menu);
  if (!m) return FALSE;
  for (TMenuItem& it : m->Items) it.State &= ~static_cast<UINT>(MF_DEFAULT);
  if (item == 0xFFFFFFFF) return TRUE;
  for (size_t i = 0; i < m->Items.size(); ++i)
    if (byPosition ? i == item : m->Items[i].Id == item) {
      m->Items[i].State |= MF_DEFAULT;
      return TRUE;
    }
  return FALSE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
  auto m = MenuOf(menu);
  if (!m) return 0xFFFFFFFF;
  for (size_t i = 0; i < m->Items.size(); ++i)
    if (m->Items[i].State & MF_DEFAULT) return byPosition ? static_cast<UINT>(i) : m->Items[i].Id;
  return 0xFFFFFFFF;
}

BOOL GetMenuInfo(HMENU menu, LPMENUINFO info) {
  auto m = MenuOf(menu);
  if (!m || !info || info->cbSize != sizeof(MENUINFO)) return FALSE;
  if (info->fMask & MIM_STYLE) info->dwStyle = m->Style;
  if (info->fMask & MIM_MAXHEIGHT) info->cyMax = m->MaxHeight;
  if (info->fMask & MIM_BACKGROUND) info->hbrBack = m->Background;
  if (info->fMask & MIM_HELPID) info->dwContextHelpID = m->HelpId;
  if (info->fMask & MIM_MENUDATA) info->dwMenuData = m->MenuData;
  return TRUE;
}

BOOL SetMenuInfo(HMENU menu, LPCMENUINFO info) {
  auto m = MenuOf(menu);
  if (!m || !info || info->cbSize != sizeof(MENUINFO)) return FALSE;
  if (info->fMask & MIM_STYLE) m->Style = info->dwStyle;
  if (info->fMask & MIM_MAXHEIGHT) m->MaxHeight = info->cyMax;
  if (info->fMask & MIM_BACKGROUND) m->Background = info->hbrBack;
  if (info->fMask & MIM_HELPID) m->HelpId = info->dwContextHelpID;
  if (info->fMask & MIM_MENUDATA) m->MenuData = info->dwMenuData;
  if (info->fMask & MIM_APPLYTOSUBMENUS)
    for (TMenuItem& it : m->Items)
      if (it.SubMenu) SetMenuInfo(it.SubMenu, info);
  return TRUE;
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
  if (instance && instance == GetModuleHandleA("user32.dll")) {
    if (IS_INTRESOURCE(name))
      if (HMENU m = SystemTemplate(static_cast<int>(reinterpret_cast<uintptr_t>(name)))) return m;
    SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
    return nullptr;
  }
  HRSRC res = FindResource(instance, name, RT_MENU);
  if (!res) return nullptr;
  HGLOBAL data = LoadResource(instance, res);
  return data ? LoadMenuIndirectA(LockResource(data)) : nullptr;
}

HMENU LoadMenuIndirectA(const void* menuTemplate) {
  if (!menuTemplate) {
    SetLastError(87);
    return nullptr;
  }
  const BYTE* base = static_cast<const BYTE*>(menuTemplate);
  TTemplateReader r(base);
  WORD version = r.Word();
  WORD offset = r.Word();
  HMENU menu = CreateMenu();
  if (version == 0) {
    TTemplateReader items(base + 4 + offset);
    ReadStandard(items, menu, 0);
  } else if (version == 1) {
    // The offset counts from the end of the version field and its own.
    TTemplateReader items(base + 4 + offset);
    ReadExtended(items, base, menu, 0);
  } else {
    DestroyMenu(menu);
    SetLastError(87);
    return nullptr;
  }
  return menu;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  TWnd* w = GetWnd(hwnd);
  if (!w) return nullptr;
  if (revert) {
    if (w->SystemMenu) DestroyMenu(w->SystemMenu);
    w->SystemMenu = nullptr;
    return nullptr;
  }
  if (!w->SystemMenu || !IsMenu(w->SystemMenu)) {
    HMENU bar = SystemTemplate((w->ExStyle & WS_EX_TOOLWINDOW) ? 48 : 16);
    w->SystemMenu = GetSubMenu(bar, 0);
    RemoveMenu(bar, 0, MF_BYPOSITION);
    DestroyMenu(bar);
    if (auto m = MenuOf(w->SystemMenu)) {
      m->SysOwner = hwnd;
      // The window's own copy shows the caption glyphs beside its commands.
      for (TMenuItem& it : m->Items) {
        switch (it.Id) {
          case SC_RESTORE: it.Bitmap = HBMMENU_POPUP_RESTORE; break;
          case SC_MINIMIZE: it.Bitmap = HBMMENU_POPUP_MINIMIZE; break;
          case SC_MAXIMIZE: it.Bitmap = HBMMENU_POPUP_MAXIMIZE; break;
          case SC_CLOSE: it.Bitmap = HBMMENU_POPUP_CLOSE; break;
        }
      }
    }
  }
  return w->SystemMenu;
}

HMENU GetMenu(HWND hwnd) {
  TWnd* w = GetWnd(hwnd);
  if (!w || w->IsChild()) return nullptr;
  return reinterpret_cast<HMENU>(w->Id);
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  TWnd* w = GetWnd(hwnd);
  if (!w || w->IsChild() || (menu && !IsMenu(menu))) return FALSE;
  w->Id = reinterpret_cast<UINT_PTR>(menu);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) { return IsWindow(hwnd); }
