// The tree view driven by injected input: expanding by the button, by keys
// and by double clicks; selecting by mouse and keys with the parent asked
// first; hit tests; deleting with notices and stale handles refused;
// sorting, callbacks, scrolling and what it draws; labels edited in an
// edit child, begun by message or by a click on the chosen label.
#include <functional>
#include <map>
#include <string>

#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;

struct TTreeNote {
  UINT Code;
  UINT Action;
  HTREEITEM Old;
  HTREEITEM New;
};

class TreeViewTest : public TCtlTest {
 protected:
  HWND Tree = nullptr;
  std::vector<TTreeNote> Notes;
  bool RefuseSelection = false;
  bool RefuseExpansion = false;

  void SetUp() override {
    TCtlTest::SetUp();
    ParentHook() = [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT& r) {
      if (m != WM_NOTIFY) return false;
      auto* hdr = reinterpret_cast<const NMHDR*>(l);
      if (hdr->hwndFrom != Tree) return false;
      UINT code = hdr->code;
      if (code == TVN_GETDISPINFOA) {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(l);
        if (di->item.mask & TVIF_TEXT) std::snprintf(di->item.pszText, di->item.cchTextMax, "item %d", static_cast<int>(di->item.lParam));
        r = 0;
        return true;
      }
      TTreeNote n{code, 0, nullptr, nullptr};
      if (code == TVN_SELCHANGINGA || code == TVN_SELCHANGEDA || code == TVN_ITEMEXPANDINGA ||
          code == TVN_ITEMEXPANDEDA || code == TVN_DELETEITEMA) {
        auto* nm = reinterpret_cast<const NMTREEVIEWA*>(l);
        n.Action = nm->action;
        n.Old = nm->itemOld.hItem;
        n.New = nm->itemNew.hItem;
      }
      if (code == NM_CUSTOMDRAW || code == NM_SETFOCUS || code == NM_KILLFOCUS || code == TVN_KEYDOWN) return false;
      Notes.push_back(n);
      r = (code == TVN_SELCHANGINGA && RefuseSelection) || (code == TVN_ITEMEXPANDINGA && RefuseExpansion);
      return true;
    };
    Tree = Ctl(WC_TREEVIEW, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_VSCROLL | WS_TABSTOP,
               RECT(10, 10, 250, 250), 99, WS_EX_CLIENTEDGE);
  }

  HTREEITEM Add(HTREEITEM parent, const char* text, HTREEITEM after = TVI_LAST, LPARAM param = 0) {
    TVINSERTSTRUCTA is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT | TVIF_PARAM;
    is.item.pszText = const_cast<LPSTR>(text);
    is.item.lParam = param;
    return reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
  }
  bool ItemRect(HTREEITEM item, RECT& r, bool label = true) {
    return TreeView_GetItemRect(Tree, item, &r, label) != 0;
  }
  HTREEITEM Selected() { return reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_CARET, 0)); }
  UINT State(HTREEITEM item) { return static_cast<UINT>(SendMessageA(Tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), 0xFFFF)); }
  std::vector<UINT> Codes() const {
    std::vector<UINT> r;
    for (auto& n : Notes) r.push_back(n.Code);
    return r;
  }
  TVHITTESTINFO Hit(int x, int y) {
    TVHITTESTINFO hti{POINT(x, y), 0, nullptr};
    SendMessageA(Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hti));
    return hti;
  }
};

TEST_F(TreeViewTest, ButtonExpandsAndLabelSelects) {
  HTREEITEM docs = Add(TVI_ROOT, "Documents");
  HTREEITEM a = Add(docs, "a.pdf");
  Add(docs, "b.pdf");
  HTREEITEM pics = Add(TVI_ROOT, "Pictures");
  EXPECT_EQ(SendMessageA(Tree, TVM_GETCOUNT, 0, 0), 4);
  RECT r;
  EXPECT_FALSE(ItemRect(a, r));  // inside a collapsed item
  ASSERT_TRUE(ItemRect(docs, r));
  RunUntilIdle();
  Notes.clear();

  // The button sits left of the label.
  TVHITTESTINFO hti = Hit(r.Left - 12, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(hti.hItem, docs);
  EXPECT_EQ(hti.flags, static_cast<UINT>(TVHT_ONITEMBUTTON));
  Click(Tree, r.Left - 12, (r.Top + r.Bottom) / 2);
  EXPECT_TRUE(State(docs) & TVIS_EXPANDED);
  EXPECT_TRUE(ItemRect(a, r));
  ASSERT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
  EXPECT_EQ(Notes[0].Action, static_cast<UINT>(TVE_EXPAND));
  EXPECT_EQ(Notes[0].New, docs);

  Notes.clear();
  ItemRect(pics, r);
  rtl::testing::AdvanceClock(1000);
  Click(Tree, r.Left + 3, r.Top + 3);
  EXPECT_EQ(Selected(), pics);
  EXPECT_TRUE(State(pics) & TVIS_SELECTED);
  ASSERT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_SELCHANGEDA, NM_CLICK}));
  EXPECT_EQ(Notes[0].Action, static_cast<UINT>(TVC_BYMOUSE));
  EXPECT_EQ(Notes[1].Old, nullptr);
  EXPECT_EQ(Notes[1].New, pics);
  EXPECT_EQ(GetFocus(), Tree);

  // The parent may keep the selection where it is.
  RefuseSelection = true;
  ItemRect(a, r);
  rtl::testing::AdvanceClock(1000);
  Click(Tree, r.Left + 3, r.Top + 3);
  EXPECT_EQ(Selected(), pics);
}

TEST_F(TreeViewTest, KeysWalkExpandAndCollapse) {
  HTREEITEM docs = Add(TVI_ROOT, "Documents");
  HTREEITEM a = Add(docs, "a.pdf");
  HTREEITEM b = Add(docs, "b.pdf");
  HTREEITEM pics = Add(TVI_ROOT, "Pictures");
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(docs));
  SetFocus(Tree);
  RunUntilIdle();
  Notes.clear();
  Press(VK_DOWN);
  EXPECT_EQ(Selected(), pics);  // the children are hidden
  Press(VK_UP);
  Press(VK_RIGHT);  // opens
  EXPECT_TRUE(State(docs) & TVIS_EXPANDED);
  EXPECT_EQ(Selected(), docs);
  Press(VK_RIGHT);  // goes to the first child
  EXPECT_EQ(Selected(), a);
  Press(VK_DOWN);
  EXPECT_EQ(Selected(), b);
  Press(VK_LEFT);  // to the parent
  EXPECT_EQ(Selected(), docs);
  Press(VK_LEFT);  // closes
  EXPECT_FALSE(State(docs) & TVIS_EXPANDED);
  Press(VK_END);
  EXPECT_EQ(Selected(), pics);
  for (const TTreeNote& n : Notes) {
    if (n.Code == TVN_SELCHANGEDA) {
      EXPECT_EQ(n.Action, static_cast<UINT>(TVC_BYKEYBOARD));
    }
  }

  // Collapsing an item that holds the selection moves it up.
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b));
  EXPECT_TRUE(State(docs) & TVIS_EXPANDED);  // selecting opened the way
  SendMessageA(Tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(docs));
  EXPECT_EQ(Selected(), docs);

  // A refused expansion stays closed.
  RefuseExpansion = true;
  EXPECT_FALSE(SendMessageA(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(docs)));
  EXPECT_FALSE(State(docs) & TVIS_EXPANDED);
}

TEST_F(TreeViewTest, DoubleClickTogglesAndHitTestsNameThePlace) {
  HTREEITEM docs = Add(TVI_ROOT, "Documents");
  Add(docs, "a.pdf");
  RECT r;
  ItemRect(docs, r);
  RunUntilIdle();
  InjectClick(ClientPoint(Tree, r.Left + 3, r.Top + 3));
  InjectClick(ClientPoint(Tree, r.Left + 3, r.Top + 3));
  RunUntilIdle();
  EXPECT_TRUE(State(docs) & TVIS_EXPANDED);
  int y = (r.Top + r.Bottom) / 2;
  EXPECT_EQ(Hit(r.Left + 2, y).flags, static_cast<UINT>(TVHT_ONITEMLABEL));
  EXPECT_EQ(Hit(r.Right + 10, y).flags, static_cast<UINT>(TVHT_ONITEMRIGHT));
  EXPECT_EQ(Hit(1, y).flags, static_cast<UINT>(TVHT_ONITEMINDENT));
  EXPECT_EQ(Hit(5, 200).flags, static_cast<UINT>(TVHT_NOWHERE));
  EXPECT_EQ(Hit(5, -3).flags, static_cast<UINT>(TVHT_ABOVE));
  EXPECT_EQ(Hit(5, 200).hItem, nullptr);
}

TEST_F(TreeViewTest, DeletingTellsForEachItemAndRefusesStaleHandles) {
  HTREEITEM docs = Add(TVI_ROOT, "Documents");
  HTREEITEM a = Add(docs, "a.pdf");
  HTREEITEM b = Add(docs, "b.pdf");
  HTREEITEM other = Add(TVI_ROOT, "Other");
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
  Notes.clear();
  EXPECT_TRUE(SendMessageA(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(docs)));
  ASSERT_EQ(Codes(), (std::vector<UINT>{TVN_DELETEITEMA, TVN_DELETEITEMA, TVN_DELETEITEMA}));
  EXPECT_EQ(Notes[0].Old, a);
  EXPECT_EQ(Notes[1].Old, b);
  EXPECT_EQ(Notes[2].Old, docs);
  EXPECT_EQ(SendMessageA(Tree, TVM_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(Selected(), nullptr);
  char text[8];
  TVITEMA it{};
  it.mask = TVIF_TEXT;
  it.hItem = a;
  it.pszText = text;
  it.cchTextMax = sizeof text;
  EXPECT_FALSE(SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_FALSE(SendMessageA(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(docs)));
  EXPECT_FALSE(SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b)));
  it.hItem = other;
  EXPECT_TRUE(SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_STREQ(text, "Other");
  EXPECT_TRUE(SendMessageA(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  EXPECT_EQ(SendMessageA(Tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewTest, SortingNavigationAndCallbackText) {
  Add(TVI_ROOT, "pear", TVI_SORT);
  Add(TVI_ROOT, "Apple", TVI_SORT);
  HTREEITEM m = Add(TVI_ROOT, "mango", TVI_SORT);
  HTREEITEM first = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  char text[16];
  TVITEMA it{};
  it.mask = TVIF_TEXT;
  it.pszText = text;
  it.cchTextMax = sizeof text;
  it.hItem = first;
  SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(text, "Apple");
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(first))), m);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_PREVIOUS, reinterpret_cast<LPARAM>(first))),
            nullptr);
  HTREEITEM cb = Add(m, LPSTR_TEXTCALLBACKA, TVI_LAST, 7);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(cb))), m);
  it.hItem = cb;
  SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(text, "item 7");
}

TEST_F(TreeViewTest, SelectingFarDownScrollsAndTheListIsDrawn) {
  std::vector<std::string> names;
  HTREEITEM last = nullptr, firstItem = nullptr;
  for (int i = 0; i < 40; ++i) {
    names.push_back("file " + std::to_string(i));
    last = Add(TVI_ROOT, names.back().c_str());
    if (!firstItem) firstItem = last;
  }
  HTREEITEM child = Add(firstItem, "child");
  SendMessageA(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(firstItem));
  SetFocus(Tree);
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));
  EXPECT_NE(reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)), firstItem);
  RECT r;
  ASSERT_TRUE(ItemRect(last, r));
  RECT client;
  GetClientRect(Tree, &client);
  EXPECT_LE(r.Bottom, client.Bottom);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(Tree, SB_VERT, &si);
  EXPECT_EQ(si.nMax, 40);
  EXPECT_GT(si.nPos, 0);
  RunUntilIdle();
  TPicture p = Capture(Tree);
  EXPECT_EQ(p.At(r.Left + 1, r.Top + 1), GetSysColor(COLOR_HIGHLIGHT));
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(firstItem));
  RunUntilIdle();
  p = Capture(Tree);
  ItemRect(firstItem, r);
  // The button of the expanded first item: a framed box with a minus.
  TVHITTESTINFO hti = Hit(r.Left - 12, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(hti.flags, static_cast<UINT>(TVHT_ONITEMBUTTON));
  EXPECT_EQ(p.At(r.Left - 12, (r.Top + r.Bottom) / 2), GetSysColor(COLOR_WINDOWTEXT));
  RECT c;
  ItemRect(child, c);
  EXPECT_GT(c.Left, r.Left);  // indented
}

TEST_F(TreeViewTest, CheckBoxesToggleByClickAndSpace) {
  DestroyWindow(Tree);
  Tree = Ctl(WC_TREEVIEW, "", TVS_CHECKBOXES | TVS_HASBUTTONS | TVS_LINESATROOT, RECT(10, 10, 250, 250), 99);
  HTREEITEM a = Add(TVI_ROOT, "Play a sound");
  Add(TVI_ROOT, "Prompt");
  EXPECT_EQ(State(a) & TVIS_STATEIMAGEMASK, 1u << 12);  // unchecked
  RECT r;
  ItemRect(a, r);
  int y = (r.Top + r.Bottom) / 2;
  TVHITTESTINFO hti = Hit(r.Left - 8, y);
  EXPECT_EQ(hti.flags, static_cast<UINT>(TVHT_ONITEMSTATEICON));
  Click(Tree, r.Left - 8, y);
  EXPECT_EQ(State(a) & TVIS_STATEIMAGEMASK, 2u << 12);  // checked
  RunUntilIdle();
  TPicture p = Capture(Tree);
  EXPECT_GT(p.Count(GetSysColor(COLOR_WINDOWTEXT), RECT(r.Left - 16, r.Top, r.Left - 3, r.Bottom)), 4);
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
  SetFocus(Tree);
  Press(VK_SPACE);
  EXPECT_EQ(State(a) & TVIS_STATEIMAGEMASK, 1u << 12);
}

// ---- Type-ahead ----

// One step of typing: text typed at once, a pause longer than the search
// lasts, or a key pressed.
struct TTypeStep {
  enum { Text, Pause, Key } Kind;
  const char* Typed = "";
  UINT Vk = 0;
};
TTypeStep Typed(const char* t) { return {TTypeStep::Text, t}; }
TTypeStep Pause() { return {TTypeStep::Pause}; }
TTypeStep Key(UINT vk) { return {TTypeStep::Key, "", vk}; }

struct TTypeAheadCase {
  const char* Name;
  const char* Start;
  std::vector<TTypeStep> Steps;
  const char* Lands;
  const char* SearchText;  // what the tree says it is looking for at the end
};

void PrintTo(const TTypeAheadCase& c, std::ostream* os) { *os << c.Name; }

class TreeTypeAheadTest : public TreeViewTest, public ::testing::WithParamInterface<TTypeAheadCase> {};

TEST_P(TreeTypeAheadTest, LettersTypedQuicklySearchTogether) {
  const TTypeAheadCase& c = GetParam();
  // A folder tree's top as a file system shows it; "tmp" has children that
  // are not open, so they are not searched.
  std::map<std::string, HTREEITEM> items;
  for (const char* name : {"bin", "boot", "dev", "etc", "home", "proc", "root", "tmp", "Tools", "über", "usr", "var"})
    items[name] = Add(TVI_ROOT, name);
  Add(items["tmp"], "trash");
  SendMessageA(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[c.Start]));
  SetFocus(Tree);
  rtl::testing::AdvanceClock(5000);
  for (const TTypeStep& s : c.Steps) {
    switch (s.Kind) {
      case TTypeStep::Text: Type(s.Typed); break;
      case TTypeStep::Pause: rtl::testing::AdvanceClock(GetDoubleClickTime() * 2 + 1); break;
      case TTypeStep::Key: Press(s.Vk); break;
    }
  }
  std::string landed = "<none>";
  for (const auto& [name, item] : items)
    if (item == Selected()) landed = name;
  EXPECT_EQ(landed, c.Lands);
  char search[32] = {};
  const LRESULT n = SendMessageA(Tree, TVM_GETISEARCHSTRINGA, 0, reinterpret_cast<LPARAM>(search));
  EXPECT_EQ(std::string(search, static_cast<size_t>(n)), c.SearchText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeTypeAheadTest,
    ::testing::Values(
        TTypeAheadCase{"WholeNameTypedQuickly", "bin", {Typed("tmp")}, "tmp", "tmp"},
        TTypeAheadCase{"ANextLetterMovesOnWhenTheMatchNoLongerFits", "bin", {Typed("t"), Typed("o")}, "Tools", "to"},
        TTypeAheadCase{"CaseDoesNotMatter", "bin", {Typed("TOO")}, "Tools", "TOO"},
        TTypeAheadCase{"APauseStartsANewSearch", "bin", {Typed("t"), Pause(), Typed("p")}, "proc", "p"},
        TTypeAheadCase{"TheSameLetterAgainGoesToTheNext", "bin", {Typed("tt")}, "Tools", "tt"},
        TTypeAheadCase{"TheSameLetterWrapsAround", "Tools", {Typed("t")}, "tmp", "t"},
        TTypeAheadCase{"ArrowKeysStartAfresh", "bin", {Typed("t"), Key(VK_DOWN), Typed("u")}, "usr", "u"},
        TTypeAheadCase{"NoMatchAmongOpenItemsKeepsTheSelection", "bin", {Typed("tr")}, "tmp", "tr"},
        TTypeAheadCase{"CharactersOfSeveralBytes", "bin", {Typed("üb")}, "über", "üb"}),
    [](const auto& info) { return info.param.Name; });

// ---- Label editing ----

// What the parent heard of an edit: the text it was shown (null: the edit
// was cancelled), and whether the edit control existed by then.
struct TEditNote {
  UINT Code;
  HTREEITEM Item;
  bool HasText;
  std::string Text;
  HWND EditThen;
};

class TreeEditTest : public TreeViewTest {
 protected:
  std::vector<TEditNote> Edits;
  bool RefuseBegin = false;
  bool AcceptEnd = true;
  HTREEITEM Docs = nullptr, Pics = nullptr;

  void SetUp() override {
    TreeViewTest::SetUp();
    TParentHook inner = ParentHook();
    ParentHook() = [this, inner](HWND w, UINT m, WPARAM wp, LPARAM l, LRESULT& r) {
      if (m == WM_NOTIFY) {
        auto* di = reinterpret_cast<const NMTVDISPINFOA*>(l);
        UINT code = di->hdr.code;
        if (code == TVN_BEGINLABELEDITA || code == TVN_ENDLABELEDITA) {
          HWND edit = reinterpret_cast<HWND>(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0));
          Edits.push_back(TEditNote{code, di->item.hItem, di->item.pszText != nullptr,
                                    di->item.pszText ? di->item.pszText : "", edit});
          r = code == TVN_BEGINLABELEDITA ? RefuseBegin : AcceptEnd;
          return true;
        }
      }
      return inner(w, m, wp, l, r);
    };
    SetWindowLongA(Tree, GWL_STYLE, GetWindowLongA(Tree, GWL_STYLE) | TVS_EDITLABELS);
    Docs = Add(TVI_ROOT, "Documents");
    Pics = Add(TVI_ROOT, "Pictures");
    RunUntilIdle();
  }
  std::string Text(HTREEITEM item) {
    char buf[64] = {};
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  HWND EditControl() { return reinterpret_cast<HWND>(SendMessageA(Tree, TVM_GETEDITCONTROL, 0, 0)); }
  HWND StartEdit(HTREEITEM item) {
    SetFocus(Tree);
    HWND e = reinterpret_cast<HWND>(SendMessageA(Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item)));
    RunUntilIdle();
    return e;
  }
};

TEST_F(TreeEditTest, AnEditOverTheLabelTakesTheTextTheParentAccepts) {
  HWND e = StartEdit(Pics);
  ASSERT_TRUE(e);
  EXPECT_EQ(EditControl(), e);
  EXPECT_EQ(GetParent(e), Tree);
  EXPECT_TRUE(IsWindowVisible(e));
  EXPECT_EQ(GetFocus(), e);
  EXPECT_EQ(CtlText(e), "Pictures");
  EXPECT_EQ(Selected(), Pics) << "the edited item is chosen";
  // Over the label.
  RECT label, er;
  ItemRect(Pics, label);
  GetWindowRect(e, &er);
  MapWindowPoints(nullptr, Tree, reinterpret_cast<POINT*>(&er), 2);
  EXPECT_EQ(er.Left, label.Left);
  EXPECT_EQ(er.Top, label.Top);
  ASSERT_EQ(Edits.size(), 1u);
  EXPECT_EQ(Edits[0].Code, static_cast<UINT>(TVN_BEGINLABELEDITA));
  EXPECT_EQ(Edits[0].Item, Pics);
  EXPECT_EQ(Edits[0].Text, "Pictures");
  EXPECT_EQ(Edits[0].EditThen, e) << "the parent may adjust the edit while it is asked";

  Type("Photos");  // the whole text was selected: typing replaces it
  Press(VK_RETURN);
  ASSERT_EQ(Edits.size(), 2u);
  EXPECT_EQ(Edits[1].Code, static_cast<UINT>(TVN_ENDLABELEDITA));
  EXPECT_TRUE(Edits[1].HasText);
  EXPECT_EQ(Edits[1].Text, "Photos");
  EXPECT_EQ(Text(Pics), "Photos");
  EXPECT_EQ(EditControl(), nullptr);
  EXPECT_FALSE(IsWindow(e));
  EXPECT_EQ(GetFocus(), Tree);
}

// How an edit ends decides what the parent hears and what the item keeps.
TEST_F(TreeEditTest, EscCancelsAndTheParentMayRefuseTheText) {
  struct TCase {
    const char* Name;
    bool Accept;
    std::function<void()> End;
    bool Told;  // the parent was shown the text
    const char* Kept;
  };
  const TCase cases[] = {
      {"Esc", true, [this] { Press(VK_ESCAPE); }, false, "Documents"},
      {"Enter refused", false, [this] { Press(VK_RETURN); }, true, "Documents"},
      {"end now, cancelled", true, [this] { EXPECT_TRUE(SendMessageA(Tree, TVM_ENDEDITLABELNOW, TRUE, 0)); }, false,
       "Documents"},
      {"end now, kept", true, [this] { EXPECT_TRUE(SendMessageA(Tree, TVM_ENDEDITLABELNOW, FALSE, 0)); }, true, "Docs"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    AcceptEnd = c.Accept;
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = Docs;
    it.pszText = const_cast<LPSTR>("Documents");
    SendMessageA(Tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    HWND e = StartEdit(Docs);
    ASSERT_TRUE(e);
    Type("Docs");
    Edits.clear();
    c.End();
    RunUntilIdle();
    ASSERT_EQ(Edits.size(), 1u);
    EXPECT_EQ(Edits[0].Code, static_cast<UINT>(TVN_ENDLABELEDITA));
    EXPECT_EQ(Edits[0].HasText, c.Told);
    if (c.Told) {
      EXPECT_EQ(Edits[0].Text, "Docs");
    }
    EXPECT_EQ(Text(Docs), c.Kept);
    EXPECT_FALSE(IsWindow(e));
    EXPECT_EQ(GetFocus(), Tree);
  }
  EXPECT_FALSE(SendMessageA(Tree, TVM_ENDEDITLABELNOW, FALSE, 0)) << "no edit to end";
}

TEST_F(TreeEditTest, TheParentMayRefuseToBeginAndLosingTheFocusAccepts) {
  RefuseBegin = true;
  SetFocus(Tree);
  EXPECT_EQ(SendMessageA(Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Docs)), 0);
  RunUntilIdle();
  EXPECT_EQ(EditControl(), nullptr);
  ASSERT_EQ(Edits.size(), 1u);
  EXPECT_EQ(Edits[0].Code, static_cast<UINT>(TVN_BEGINLABELEDITA));
  HWND orphan = FindWindowExA(Tree, nullptr, "EDIT", nullptr);
  EXPECT_EQ(orphan, nullptr) << "the refused edit is gone";

  // The focus going elsewhere keeps the text typed, and goes where it went.
  RefuseBegin = false;
  Edits.clear();
  HWND other = Ctl("BUTTON", "OK", BS_PUSHBUTTON, RECT(300, 10, 380, 35), 7);
  HWND e = StartEdit(Docs);
  ASSERT_TRUE(e);
  Type("Files");
  Click(other, 10, 10);
  EXPECT_EQ(GetFocus(), other);
  ASSERT_EQ(Edits.size(), 2u);
  EXPECT_EQ(Edits[1].Code, static_cast<UINT>(TVN_ENDLABELEDITA));
  EXPECT_EQ(Edits[1].Text, "Files");
  EXPECT_EQ(Text(Docs), "Files");
  EXPECT_FALSE(IsWindow(e));

  // An item deleted while edited cancels the edit.
  Edits.clear();
  e = StartEdit(Pics);
  ASSERT_TRUE(e);
  EXPECT_TRUE(SendMessageA(Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Pics)));
  RunUntilIdle();
  EXPECT_EQ(EditControl(), nullptr);
  EXPECT_FALSE(IsWindow(e));
  ASSERT_GE(Edits.size(), 2u);
  EXPECT_FALSE(Edits.back().HasText);
}

// A click on the label of the item already chosen edits it once the time
// of a double click has passed; a double click, another item or a tree
// without TVS_EDITLABELS does not.
TEST_F(TreeEditTest, AClickOnTheChosenLabelEditsItAfterTheDoubleClickTime) {
  RECT r;
  ItemRect(Docs, r);
  const int x = r.Left + 5, y = (r.Top + r.Bottom) / 2;
  const UINT wait = GetDoubleClickTime() + 1;
  rtl::testing::AdvanceClock(1000);
  Click(Tree, x, y);  // chooses it
  rtl::testing::AdvanceClock(wait);
  RunUntilIdle();
  EXPECT_EQ(EditControl(), nullptr) << "the click that chose it does not edit";

  rtl::testing::AdvanceClock(1000);
  Click(Tree, x, y);
  EXPECT_EQ(EditControl(), nullptr) << "not before the double-click time";
  Click(Tree, x, y);  // a double click
  rtl::testing::AdvanceClock(wait);
  RunUntilIdle();
  EXPECT_EQ(EditControl(), nullptr) << "a double click is no edit";

  rtl::testing::AdvanceClock(1000);
  Click(Tree, x, y);
  rtl::testing::AdvanceClock(wait);
  RunUntilIdle();
  HWND e = EditControl();
  ASSERT_TRUE(e);
  EXPECT_EQ(GetFocus(), e);
  Press(VK_ESCAPE);

  SetWindowLongA(Tree, GWL_STYLE, GetWindowLongA(Tree, GWL_STYLE) & ~TVS_EDITLABELS);
  rtl::testing::AdvanceClock(1000);
  Click(Tree, x, y);
  rtl::testing::AdvanceClock(wait);
  RunUntilIdle();
  EXPECT_EQ(EditControl(), nullptr) << "labels are not the user's to edit";
}

}  // namespace
