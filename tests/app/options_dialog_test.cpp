// The Options dialog: what it loads and stores, Cancel, the pages offered,
// the enabling rules, the key filter, the check of the numbers before OK
// stores anything, and its layout at two screen resolutions.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "../common/pictures.h"
#include "app/globals.h"
#include "app/options_form.h"
#include "app_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/strutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/user/mmsystem.h"
#include "platform/win/user/standard_classes.h"

namespace {

namespace fs = std::filesystem;

// Every setting the dialog edits, read as text so that one table can
// compare records and name what differs.
struct TSetting {
  const char* Name;
  std::function<AnsiString(const TGlobalVars&)> Get;
};

#define BOOL_SETTING(F) {#F, [](const TGlobalVars& g) { return AnsiString(g.F ? "true" : "false"); }}
#define INT_SETTING(F) {#F, [](const TGlobalVars& g) { return IntToStr(g.F); }}
#define TEXT_SETTING(F) {#F, [](const TGlobalVars& g) { return g.F; }}

const std::vector<TSetting>& Settings() {
  static const std::vector<TSetting> all = {
      BOOL_SETTING(OutputSameAsInput), TEXT_SETTING(OutputFolder),     BOOL_SETTING(OverwriteFile),
      BOOL_SETTING(PromptRemove),      BOOL_SETTING(PromptOpenOuput),  BOOL_SETTING(PlayASoundWhenFinished),
      BOOL_SETTING(WordAllPages),      INT_SETTING(WordFromPage),      INT_SETTING(WordToPage),
      TEXT_SETTING(WordRenderMode),    BOOL_SETTING(ExcelAllPages),    INT_SETTING(ExcelFromPage),
      INT_SETTING(ExcelToPage),        INT_SETTING(ExcelLeftIndent),   INT_SETTING(ExcelTopIndent),
      TEXT_SETTING(ExcelRenderMode),   BOOL_SETTING(ExcelPutAllToSign), INT_SETTING(ExcelSpacing),
      BOOL_SETTING(HTMLAllPages),      INT_SETTING(HTMLFromPage),      INT_SETTING(HTMLToPage),
      BOOL_SETTING(HTMLPreserveImages), BOOL_SETTING(HTMLIncludeImage), INT_SETTING(HTMLQuality),
      BOOL_SETTING(HTMLTitleUseFileName), TEXT_SETTING(HTMLTitleCustom), TEXT_SETTING(ImageFormat),
      INT_SETTING(ImageDPI),           TEXT_SETTING(ImageColorDepth),  TEXT_SETTING(ImageResizingMode),
      INT_SETTING(ImageResizeTo),      INT_SETTING(TIFFDPI),           TEXT_SETTING(TIFFColorDepth),
      TEXT_SETTING(TIFFCompressType),
  };
  return all;
}

// The settings that differ between two records, as "name: before -> after".
std::vector<AnsiString> Differences(const TGlobalVars& a, const TGlobalVars& b) {
  std::vector<AnsiString> r;
  for (const TSetting& s : Settings())
    if (s.Get(a) != s.Get(b)) r.push_back(AnsiString(s.Name) + ": " + s.Get(a) + " -> " + s.Get(b));
  return r;
}

class OptionsDialog : public AppFolders {
 protected:
  TGlobalVars Saved;
  TForm* Main = nullptr;
  std::vector<AnsiString> Boxes;  // "caption|text"
  std::vector<rtl::detail::TSoundCall> Sounds;
  std::vector<std::vector<AnsiString>> Spawned;
  AnsiString SavedTitle;

  void SetUp() override {
    AppFolders::SetUp();
    Saved = GlobalVars;
    GlobalVars = TGlobalVars();
    SavedTitle = Application->Title();
    Application->SetTitle("Options Test");
    Main = TCustomForm::Create<TForm>(nullptr);
    Main->SetCaption("Main");
    Main->SetBounds(100, 60, 900, 600);
    Main->Show();
    SetMessageBoxHandler([this](const AnsiString& Text, const AnsiString& Caption, Integer) {
      Boxes.push_back(Caption + "|" + Text);
      return IDOK;
    });
    rtl::detail::SetSoundHook([this](const rtl::detail::TSoundCall& c) { Sounds.push_back(c); });
    rtl::detail::SetShellSpawnHook([this](const std::vector<AnsiString>& argv) {
      Spawned.push_back(argv);
      return 0;
    });
  }
  void TearDown() override {
    Application->OnIdle = nullptr;
    rtl::detail::SetBrowseForFolderHook(nullptr);
    rtl::detail::SetShellSpawnHook(nullptr);
    rtl::detail::SetSoundHook(nullptr);
    SetMessageBoxHandler(nullptr);
    Main->Free();
    Application->SetTitle(SavedTitle);
    GlobalVars = Saved;
    AppFolders::TearDown();
  }

  // A dialog made and loaded as the Options command makes it, shown
  // without its modal loop.
  TFormOptions* Open() {
    auto* F = TCustomForm::Create<TFormOptions>(Main);
    F->LoadFromSettings();
    F->Show();
    Application->ProcessMessages();
    return F;
  }

  // Runs the Options command; each step acts on the dialog in an idle turn
  // of its own once it shows, so that the modal loop looks at its result
  // between steps (the last must end the loop, with a button or a close).
  using TStep = std::function<void(TFormOptions*)>;
  TOptionsDialogResult RunCommand(std::vector<TStep> Steps) {
    size_t next = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
      if (next == Steps.size()) return;
      for (Integer i = 0; i < Main->ComponentCount(); ++i) {
        auto* d = dynamic_cast<TFormOptions*>(Main->Components(i));
        if (!d || !d->Visible() || d->ModalResult() != mrNone) continue;
        Steps[next++](d);
        Done = false;
        break;
      }
    };
    TOptionsDialogResult r = ShowOptionsDialog(Main);
    Application->OnIdle = nullptr;
    EXPECT_EQ(next, Steps.size()) << "every step ran";
    return r;
  }
  TOptionsDialogResult RunCommand(TStep Script) { return RunCommand(std::vector<TStep>{std::move(Script)}); }

  static void Pump() {
    Application->ProcessMessages();
    rtl::testing::RunUntilIdle();
    Application->ProcessMessages();
  }
};

// ---- Loading and storing -----------------------------------------------------------

TEST_F(OptionsDialog, EverySettingGoesThroughTheDialogUnchanged) {
  // Each row moves one setting away from its default (or to an edge) and
  // the dialog must hand it back as it was.
  struct TCase {
    const char* Name;
    std::function<void(TGlobalVars&)> Set;
  };
  const TCase cases[] = {
      {"defaults", [](TGlobalVars&) {}},
      {"OutputSameAsInput", [](TGlobalVars& g) { g.OutputSameAsInput = false; }},
      {"OutputFolder", [](TGlobalVars& g) { g.OutputFolder = "/tmp/out dir/it's \"here\"/"; }},
      {"OverwriteFile", [](TGlobalVars& g) { g.OverwriteFile = true; }},
      {"PromptRemove", [](TGlobalVars& g) { g.PromptRemove = true; }},
      {"PromptOpenOuput", [](TGlobalVars& g) { g.PromptOpenOuput = false; }},
      {"PlayASoundWhenFinished", [](TGlobalVars& g) { g.PlayASoundWhenFinished = false; }},
      {"WordAllPages", [](TGlobalVars& g) { g.WordAllPages = false; }},
      {"WordFromPage", [](TGlobalVars& g) { g.WordFromPage = INT_MAX; }},
      {"WordToPage", [](TGlobalVars& g) { g.WordToPage = INT_MIN; }},
      {"WordRenderMode Flowing", [](TGlobalVars& g) { g.WordRenderMode = "Flowing"; }},
      {"WordRenderMode Exact", [](TGlobalVars& g) { g.WordRenderMode = "Exact"; }},
      {"ExcelAllPages", [](TGlobalVars& g) { g.ExcelAllPages = false; }},
      {"ExcelFromPage", [](TGlobalVars& g) { g.ExcelFromPage = 7; }},
      {"ExcelToPage", [](TGlobalVars& g) { g.ExcelToPage = 3; }},
      {"ExcelLeftIndent", [](TGlobalVars& g) { g.ExcelLeftIndent = -5; }},
      {"ExcelTopIndent", [](TGlobalVars& g) { g.ExcelTopIndent = 12; }},
      {"ExcelRenderMode", [](TGlobalVars& g) { g.ExcelRenderMode = "WithoutFormatting"; }},
      {"ExcelPutAllToSign", [](TGlobalVars& g) { g.ExcelPutAllToSign = true; }},
      {"ExcelSpacing", [](TGlobalVars& g) { g.ExcelSpacing = 0; }},
      {"HTMLAllPages", [](TGlobalVars& g) { g.HTMLAllPages = false; }},
      {"HTMLFromPage", [](TGlobalVars& g) { g.HTMLFromPage = 4; }},
      {"HTMLToPage", [](TGlobalVars& g) { g.HTMLToPage = 9; }},
      {"HTMLPreserveImages", [](TGlobalVars& g) { g.HTMLPreserveImages = false; }},
      {"HTMLIncludeImage", [](TGlobalVars& g) { g.HTMLIncludeImage = true; }},
      {"HTMLQuality", [](TGlobalVars& g) { g.HTMLQuality = 0; }},
      {"HTMLTitleUseFileName", [](TGlobalVars& g) { g.HTMLTitleUseFileName = false; }},
      {"HTMLTitleCustom", [](TGlobalVars& g) { g.HTMLTitleCustom = "  50% & \"more\"  "; }},
      {"ImageFormat", [](TGlobalVars& g) { g.ImageFormat = "TIFF"; }},
      {"ImageDPI", [](TGlobalVars& g) { g.ImageDPI = 300; }},
      {"ImageColorDepth", [](TGlobalVars& g) { g.ImageColorDepth = "Monochrome (Black and White)"; }},
      {"ImageResizingMode", [](TGlobalVars& g) { g.ImageResizingMode = "Height"; }},
      {"ImageResizeTo", [](TGlobalVars& g) { g.ImageResizeTo = 1; }},
      {"TIFFDPI", [](TGlobalVars& g) { g.TIFFDPI = 72; }},
      {"TIFFColorDepth", [](TGlobalVars& g) { g.TIFFColorDepth = "Grayscale 32-bit"; }},
      {"TIFFCompressType", [](TGlobalVars& g) { g.TIFFCompressType = "LZW"; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    GlobalVars = TGlobalVars();
    c.Set(GlobalVars);
    const TGlobalVars before = GlobalVars;
    if (std::string(c.Name) != "defaults")
      EXPECT_FALSE(Differences(TGlobalVars(), before).empty()) << "the row changes something";
    TFormOptions* F = Open();
    // Storing into a record that differs everywhere shows that every
    // setting is written, not left as it was.
    GlobalVars.OutputSameAsInput = !before.OutputSameAsInput;
    GlobalVars.WordFromPage = before.WordFromPage ^ 1;
    GlobalVars.HTMLTitleCustom = "stale";
    GlobalVars.TIFFCompressType = "stale";
    ASSERT_TRUE(F->StoreToSettings());
    EXPECT_EQ(Differences(before, GlobalVars), std::vector<AnsiString>());
    F->Free();
  }
}

TEST_F(OptionsDialog, ListsSelectTheStoredEntryWithoutRegardToCase) {
  struct TCase {
    const char* Stored;
    Integer Index;
    const char* StoredBack;
    const char* Caption;
    const char* Hint;
  };
  const TCase cases[] = {
      {"jpg", 1, "JPG", "PDF to &JPG", "PDF to JPG"},
      {"Tiff", 4, "TIFF", "PDF to &TIFF", "PDF to TIFF"},
      {"webp", -1, "", "PDF to &", "PDF to "},
      {"", -1, "", "PDF to &", "PDF to "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored);
    GlobalVars.ImageFormat = c.Stored;
    Integer shown = -2;
    const TOptionsDialogResult r = RunCommand([&](TFormOptions* d) {
      shown = d->ComboBoxImageFormat->ItemIndex();
      d->btnOK->Click();
    });
    EXPECT_EQ(shown, c.Index);
    EXPECT_TRUE(r.Accepted);
    EXPECT_EQ(GlobalVars.ImageFormat, c.StoredBack);
    EXPECT_EQ(r.ImageCaption, c.Caption);
    EXPECT_EQ(r.ImageHint, c.Hint);
  }
  // The other lists too, and an unknown text selects nothing.
  GlobalVars.TIFFCompressType = "ccitt4";
  GlobalVars.ImageColorDepth = "grayscale 24-BIT";
  GlobalVars.ImageResizingMode = "Diagonal";
  TFormOptions* F = Open();
  EXPECT_EQ(F->ComboBoxTIFFCompressionType->ItemIndex(), 2);
  EXPECT_EQ(F->ComboBoxColorDepth->ItemIndex(), 1);
  EXPECT_EQ(F->ComboBoxResizingMode->ItemIndex(), -1);
  ASSERT_TRUE(F->StoreToSettings());
  EXPECT_EQ(GlobalVars.TIFFCompressType, "CCITT4");
  EXPECT_EQ(GlobalVars.ImageColorDepth, "Grayscale 24-bit");
  EXPECT_EQ(GlobalVars.ImageResizingMode, "");
  F->Free();
}

TEST_F(OptionsDialog, AnUnknownRenderModeKeepsTheDesignChoice) {
  GlobalVars.WordRenderMode = "exact";  // case matters here
  GlobalVars.ExcelRenderMode = "Fancy";
  TFormOptions* F = Open();
  EXPECT_TRUE(F->RadioButtonContinuous->Checked());
  EXPECT_FALSE(F->RadioButtonExact->Checked());
  EXPECT_TRUE(F->RadioButtonExcelWithFormatting->Checked());
  ASSERT_TRUE(F->StoreToSettings());
  EXPECT_EQ(GlobalVars.WordRenderMode, "Continuous");
  EXPECT_EQ(GlobalVars.ExcelRenderMode, "WithFormatting");
  F->Free();
}

// ---- Cancel and the folder browser ---------------------------------------------------

TEST_F(OptionsDialog, CancelKeepsTheRecordButAChosenFolderHolds) {
  const AnsiString chosen = Root + "chosen";
  fs::create_directories(chosen);
  GlobalVars.OutputSameAsInput = false;
  GlobalVars.OutputFolder = Root;
  std::vector<AnsiString> asked;  // "start|prompt|flags"
  rtl::detail::SetBrowseForFolderHook([&](const BROWSEINFOA& bi) -> std::optional<AnsiString> {
    asked.push_back(AnsiString(reinterpret_cast<const char*>(bi.lParam)) + "|" + bi.lpszTitle + "|" +
                    IntToStr(bi.ulFlags));
    return chosen;
  });
  const TGlobalVars before = GlobalVars;
  AnsiString edited;
  const TOptionsDialogResult r = RunCommand([&](TFormOptions* d) {
    d->RadioButtonOverwritethefile->SetChecked(true);
    d->CheckBoxPromptRemove->SetChecked(true);
    d->EditWordfrompage->SetText("42");
    d->RadioButtonExact->SetChecked(true);
    d->ComboBoxImageFormat->SetItemIndex(3);
    d->EditTitleCustom->SetText("changed");
    d->btnChangeOutputDir->Click();
    edited = d->EditOutputDir->Text();
    d->btnCannel->Click();
  });
  EXPECT_FALSE(r.Accepted);
  EXPECT_EQ(r.ImageCaption, "");
  EXPECT_EQ(asked, (std::vector<AnsiString>{Root + "|Please select a folder|65"}));
  EXPECT_EQ(edited, chosen + "/");
  EXPECT_EQ(Differences(before, GlobalVars), (std::vector<AnsiString>{"OutputFolder: " + Root + " -> " + chosen + "/"}));

  // A cancelled browser changes nothing.
  rtl::detail::SetBrowseForFolderHook([](const BROWSEINFOA&) { return std::optional<AnsiString>(); });
  const TGlobalVars now = GlobalVars;
  RunCommand([&](TFormOptions* d) {
    d->btnChangeOutputDir->Click();
    edited = d->EditOutputDir->Text();
    d->btnCannel->Click();
  });
  EXPECT_EQ(edited, chosen + "/");
  EXPECT_TRUE(Differences(now, GlobalVars).empty());
}

// ---- Pages and enabling ---------------------------------------------------------------

TEST_F(OptionsDialog, OnlyTheOfferedConversionsHaveAPage) {
  struct TCase {
    const char* Name;
    bool Word, Excel, HTML, Image, TIFF;
    const char* Tabs;
  };
  const TCase cases[] = {
      {"all", true, true, true, true, true,
       "Conversions,Misc,\"Word Options\",\"Excel Options\",\"HTML Options\",\"Image Options\",\"TIFF Options\""},
      {"no image", true, true, true, false, true,
       "Conversions,Misc,\"Word Options\",\"Excel Options\",\"HTML Options\",\"TIFF Options\""},
      {"none", false, false, false, false, false, "Conversions,Misc"},
      {"word and tiff", true, false, false, false, true, "Conversions,Misc,\"Word Options\",\"TIFF Options\""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    GlobalVars.ToWord = c.Word;
    GlobalVars.ToExcel = c.Excel;
    GlobalVars.ToHTML = c.HTML;
    GlobalVars.ToImage = c.Image;
    GlobalVars.ToTIFF = c.TIFF;
    TFormOptions* F = Open();
    EXPECT_EQ(F->PageControl->Tabs()->CommaText(), c.Tabs);
    EXPECT_EQ(F->PageControl->ActivePage(), F->TabSheetConversions);
    F->Free();
  }
}

TEST_F(OptionsDialog, AHiddenImagePageStillStoresItsSettings) {
  GlobalVars.ToImage = false;
  GlobalVars.ImageFormat = "gif";
  GlobalVars.ImageDPI = 96;
  GlobalVars.ImageColorDepth = "Grayscale 32-bit";
  GlobalVars.ImageResizingMode = "Width";
  GlobalVars.ImageResizeTo = 640;
  const TOptionsDialogResult r = RunCommand([&](TFormOptions* d) {
    EXPECT_FALSE(d->TabSheetImageOptions->TabVisible());
    d->btnOK->Click();
  });
  ASSERT_TRUE(r.Accepted);
  EXPECT_EQ(GlobalVars.ImageFormat, "GIF");
  EXPECT_EQ(GlobalVars.ImageDPI, 96);
  EXPECT_EQ(GlobalVars.ImageColorDepth, "Grayscale 32-bit");
  EXPECT_EQ(GlobalVars.ImageResizingMode, "Width");
  EXPECT_EQ(GlobalVars.ImageResizeTo, 640);
  EXPECT_EQ(r.ImageCaption, "PDF to &GIF");
}

TEST_F(OptionsDialog, EnablingFollowsTheChoices) {
  // The record sets the state the dialog opens in; the row says what must
  // then be enabled (true) or disabled (false).
  using Ctl = std::function<TControl*(TFormOptions*)>;
  struct TCase {
    const char* Name;
    std::function<void(TGlobalVars&)> Set;
    std::function<void(TFormOptions*)> Act;  // after showing, through the control's own handler
    std::vector<Ctl> Controls;
    bool Enabled;
  };
#define CTL(F) [](TFormOptions* d) -> TControl* { return d->F; }
  const std::vector<Ctl> output = {CTL(EditOutputDir), CTL(btnChangeOutputDir)};
  const std::vector<Ctl> word = {CTL(LabelWordfrompage), CTL(EditWordfrompage), CTL(LabelWordtopage),
                                 CTL(EditWordtopage)};
  const std::vector<Ctl> excel = {CTL(LabelExcelFrompage), CTL(EditExcelFrompage), CTL(LabelExcelTopage),
                                  CTL(EditExcelTopage)};
  const std::vector<Ctl> html = {CTL(LabelHTMLFrompage), CTL(EditHTMLFrompage), CTL(LabelHTMLToPage),
                                 CTL(EditHTMLToPage)};
  const std::vector<Ctl> spacing = {CTL(LabelExcelSpacing), CTL(EditExcelSpacing)};
  const std::vector<Ctl> images = {CTL(RadioButtonHTMLIncludeImage), CTL(RadioButtonSaveimages),
                                   CTL(LabelHTMLQuality), CTL(EditHTMLQuality)};
  const std::vector<Ctl> title = {CTL(EditTitleCustom)};
  const std::vector<Ctl> resize = {CTL(LabelResizeto), CTL(EditResizeto)};
#undef CTL
  auto none = [](TFormOptions*) {};
  const TCase cases[] = {
      {"original folder", [](TGlobalVars& g) { g.OutputSameAsInput = true; }, none, output, false},
      {"selected folder", [](TGlobalVars& g) { g.OutputSameAsInput = false; }, none, output, true},
      {"select clicked", [](TGlobalVars& g) { g.OutputSameAsInput = true; },
       [](TFormOptions* d) { d->RadioButtonSelectdirectory->SetChecked(true); }, output, true},
      {"word all pages", [](TGlobalVars& g) { g.WordAllPages = true; }, none, word, false},
      {"word range", [](TGlobalVars& g) { g.WordAllPages = false; }, none, word, true},
      {"word range clicked", [](TGlobalVars&) {},
       [](TFormOptions* d) { d->RadioButtonWordCustomRange->SetChecked(true); }, word, true},
      {"excel all pages", [](TGlobalVars& g) { g.ExcelAllPages = true; }, none, excel, false},
      {"excel range", [](TGlobalVars& g) { g.ExcelAllPages = false; }, none, excel, true},
      {"html all pages", [](TGlobalVars& g) { g.HTMLAllPages = true; }, none, html, false},
      {"html range", [](TGlobalVars& g) { g.HTMLAllPages = false; }, none, html, true},
      {"html all pages clicked", [](TGlobalVars& g) { g.HTMLAllPages = false; },
       [](TFormOptions* d) { d->RadioButtonHTMLAllPages->SetChecked(true); }, html, false},
      {"one sheet", [](TGlobalVars& g) { g.ExcelPutAllToSign = true; }, none, spacing, true},
      {"sheet per page", [](TGlobalVars& g) { g.ExcelPutAllToSign = false; }, none, spacing, false},
      {"one sheet clicked", [](TGlobalVars& g) { g.ExcelPutAllToSign = true; },
       [](TFormOptions* d) { d->CheckBoxExcelPutAllPages->SetChecked(false); }, spacing, false},
      {"images kept", [](TGlobalVars& g) { g.HTMLPreserveImages = true; }, none, images, true},
      {"images dropped", [](TGlobalVars& g) { g.HTMLPreserveImages = false; }, none, images, false},
      {"images dropped clicked", [](TGlobalVars& g) { g.HTMLPreserveImages = true; },
       [](TFormOptions* d) { d->CheckBoxHTMLPreserveImages->SetChecked(false); }, images, false},
      {"file name title", [](TGlobalVars& g) { g.HTMLTitleUseFileName = true; }, none, title, false},
      {"custom title", [](TGlobalVars& g) { g.HTMLTitleUseFileName = false; }, none, title, true},
      {"custom title clicked", [](TGlobalVars&) {},
       [](TFormOptions* d) { d->RadioButtonTitleCustom->SetChecked(true); }, title, true},
      {"no resizing", [](TGlobalVars& g) { g.ImageResizingMode = "(None)"; }, none, resize, false},
      {"by width", [](TGlobalVars& g) { g.ImageResizingMode = "Width"; }, none, resize, true},
      {"by height", [](TGlobalVars& g) { g.ImageResizingMode = "height"; }, none, resize, true},
      {"no selection", [](TGlobalVars& g) { g.ImageResizingMode = "Sideways"; }, none, resize, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    GlobalVars = TGlobalVars();
    c.Set(GlobalVars);
    TFormOptions* F = Open();
    c.Act(F);
    Pump();
    for (const Ctl& m : c.Controls) EXPECT_EQ(m(F)->Enabled(), c.Enabled) << m(F)->Name();
    F->Free();
  }
  // The resizing list's handler follows the user's choice.
  TFormOptions* F = Open();
  F->PageControl->SetActivePage(F->TabSheetImageOptions);
  Pump();
  // Choices with the mouse: the arrow drops the list, a click takes an item.
  TComboBox* list = F->ComboBoxResizingMode;
  auto choose = [&](Integer item) {
    rtl::testing::AdvanceClock(GetDoubleClickTime() + 1);
    rtl::testing::InjectClick(list->ClientToScreen(TPoint(list->Width() - 8, 8)));
    Pump();
    ASSERT_TRUE(list->DroppedDown());
    RECT r;
    GetWindowRect(list->Handle(), &r);
    const Integer h = list->ItemHeight();
    rtl::testing::AdvanceClock(GetDoubleClickTime() + 1);
    rtl::testing::InjectClick(POINT(r.Left + 10, r.Bottom + 1 + item * h + h / 2));
    Pump();
  };
  choose(1);  // "(None)" -> "Width"
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_TRUE(F->EditResizeto->Enabled());
  choose(0);
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_FALSE(F->EditResizeto->Enabled());
  F->Free();
}

// ---- Typing numbers --------------------------------------------------------------------

TEST_F(OptionsDialog, NumberFieldsTakeOnlyDigitsAndBackspace) {
  TFormOptions* F = Open();
  F->PageControl->SetActivePage(F->TabSheetImageOptions);
  Pump();
  struct TCase {
    TEdit* Edit;
    TTabSheet* Page;
  };
  const TCase cases[] = {{F->EditDPI, F->TabSheetImageOptions},
                         {F->EditWordtopage, F->TabSheetWordOptions},
                         {F->EditTIFFDPI, F->TabSheetTIFFOptions}};
  GlobalVars.WordAllPages = false;
  F->RadioButtonWordCustomRange->SetChecked(true);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Edit->Name());
    F->PageControl->SetActivePage(c.Page);
    Pump();
    c.Edit->SetFocus();
    c.Edit->SetText("");
    Pump();
    Sounds.clear();
    const int beeps = rtl::testing::BeepCount();
    rtl::testing::InjectText("12");
    Pump();
    EXPECT_EQ(c.Edit->Text(), "12");
    EXPECT_EQ(rtl::testing::BeepCount(), beeps) << "digits pass quietly";
    rtl::testing::InjectText("a");
    Pump();
    EXPECT_EQ(c.Edit->Text(), "12") << "a letter is refused";
    EXPECT_EQ(rtl::testing::BeepCount(), beeps + 1);
    EXPECT_EQ(Sounds.size(), 1u) << "the refusal is heard";
    rtl::testing::InjectText("-. ");
    Pump();
    EXPECT_EQ(c.Edit->Text(), "12");
    EXPECT_EQ(rtl::testing::BeepCount(), beeps + 4);
    rtl::testing::InjectKeyPress(VK_BACK);
    Pump();
    EXPECT_EQ(c.Edit->Text(), "1") << "backspace passes";
    rtl::testing::InjectText("09");
    Pump();
    EXPECT_EQ(c.Edit->Text(), "109");
    EXPECT_EQ(rtl::testing::BeepCount(), beeps + 4);
  }
  // The custom title takes anything.
  F->PageControl->SetActivePage(F->TabSheetHTMLOptions);
  F->RadioButtonTitleCustom->SetChecked(true);
  Pump();
  F->EditTitleCustom->SetFocus();
  F->EditTitleCustom->SetText("");
  Pump();
  const int beeps = rtl::testing::BeepCount();
  rtl::testing::InjectText("Report 2a-b.");
  Pump();
  EXPECT_EQ(F->EditTitleCustom->Text(), "Report 2a-b.");
  EXPECT_EQ(rtl::testing::BeepCount(), beeps);
  F->Free();
}

TEST(OptionsNumbers, OnlyDecimal32BitIntegersAreNumbers) {
  const struct {
    const char* Text;
    bool Valid;
    Integer Value;
  } cases[] = {
      {"0", true, 0},
      {"120", true, 120},
      {"007", true, 7},
      {"-15", true, -15},
      {"+8", true, 8},
      {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999999", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"12a", false, 0},
      {" 12", false, 0},
      {"12 ", false, 0},
      {"$10", false, 0},
      {"0x10", false, 0},
      {"1e3", false, 0},
      {"1.5", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    Integer v = 12345;
    EXPECT_EQ(ParseDecimalInteger(c.Text, v), c.Valid);
    EXPECT_EQ(v, c.Valid ? c.Value : 12345) << "a refused text leaves the value alone";
  }
}

// ---- OK with a field that is not a number ---------------------------------------------

TEST_F(OptionsDialog, OKWithABadFieldStoresNothingAndPointsAtTheField) {
  struct TCase {
    const char* Name;
    TEdit* TFormOptions::*Field;
    const char* Text;
    const char* Named;  // what the message calls the field
    TTabSheet* TFormOptions::*Page;
  };
  const TCase cases[] = {
      {"pasted letters", &TFormOptions::EditWordfrompage, "12a", "\"from page\" on the \"Word Options\" page",
       &TFormOptions::TabSheetWordOptions},
      {"empty", &TFormOptions::EditHTMLQuality, "", "\"Quality for images (10-100)\" on the \"HTML Options\" page",
       &TFormOptions::TabSheetHTMLOptions},
      {"too large", &TFormOptions::EditTIFFDPI, "2147483648", "\"DPI\" on the \"TIFF Options\" page",
       &TFormOptions::TabSheetTIFFOptions},
      {"last of the record", &TFormOptions::EditResizeto, "9x", "\"Resize to (Pixels)\" on the \"Image Options\" page",
       &TFormOptions::TabSheetImageOptions},
  };
  GlobalVars.WordAllPages = false;  // the page fields can take the focus
  GlobalVars.ImageResizingMode = "Width";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TGlobalVars before = GlobalVars;
    Boxes.clear();
    bool stayed = false;
    TWinControl* focused = nullptr;
    TTabSheet* page = nullptr;
    const TOptionsDialogResult r = RunCommand({[&](TFormOptions* d) {
      // Changes before and after the field: none may be stored.
      d->CheckBoxPromptRemove->SetChecked(!before.PromptRemove);
      d->ComboBoxTIFFCompressionType->SetItemIndex(4);
      TEdit* field = d->*c.Field;
      // A paste goes past the key filter.
      rtl::testing::SetExternalClipboard({{"text/plain", c.Text}});
      field->SetText("");
      field->PasteFromClipboard();
      ASSERT_EQ(field->Text(), c.Text);
      d->PageControl->SetActivePage(d->TabSheetConversions);
      Pump();
      rtl::testing::InjectClick(d->btnOK->ClientToScreen(TPoint(10, 10)));
    }, [&](TFormOptions* d) {
      stayed = d->Visible() && d->ModalResult() == mrNone;
      focused = d->ActiveControl();
      page = d->PageControl->ActivePage();
      EXPECT_EQ(page, d->*c.Page);
      EXPECT_EQ(focused, d->*c.Field);
      d->btnCannel->Click();
    }});
    EXPECT_TRUE(stayed) << "the dialog stays open";
    EXPECT_FALSE(r.Accepted);
    EXPECT_EQ(r.ImageCaption, "");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find(c.Named), AnsiString::npos) << Boxes[0];
    EXPECT_NE(Boxes[0].find(AnsiString("\"") + c.Text + "\""), AnsiString::npos) << Boxes[0];
    EXPECT_TRUE(Differences(before, GlobalVars).empty());
  }
}

TEST_F(OptionsDialog, AFieldCorrectedAfterTheMessageIsStored) {
  GlobalVars.ExcelPutAllToSign = true;
  const TOptionsDialogResult r = RunCommand({[&](TFormOptions* d) {
                                               d->EditExcelSpacing->SetText("");
                                               d->btnOK->Click();
                                             },
                                             [&](TFormOptions* d) {
                                               EXPECT_EQ(Boxes.size(), 1u);
                                               d->EditExcelSpacing->SetText("3");
                                               d->CheckBoxPromptRemove->SetChecked(true);
                                               d->btnOK->Click();
                                             }});
  EXPECT_TRUE(r.Accepted);
  EXPECT_EQ(GlobalVars.ExcelSpacing, 3);
  EXPECT_TRUE(GlobalVars.PromptRemove);
  EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(OptionsDialog, AnOutputFolderWithALineBreakIsRefused) {
  for (const char* folder : {"/tmp/two\nlines/", "/tmp/ends\r"}) {
    SCOPED_TRACE(folder);
    GlobalVars = TGlobalVars();
    GlobalVars.OutputSameAsInput = false;
    GlobalVars.OutputFolder = folder;
    const TGlobalVars before = GlobalVars;
    Boxes.clear();
    bool stayed = false;
    const TOptionsDialogResult r = RunCommand({[&](TFormOptions* d) {
                                                 d->CheckBoxPromptRemove->SetChecked(true);
                                                 d->btnOK->Click();
                                               },
                                               [&](TFormOptions* d) {
                                                 stayed = d->Visible() && d->ModalResult() == mrNone;
                                                 d->btnCannel->Click();
                                               }});
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(r.Accepted);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("line break"), AnsiString::npos) << Boxes[0];
    EXPECT_TRUE(Differences(before, GlobalVars).empty());
  }
}

// An empty selected folder would send every output to the root folder;
// with "Original directory" the folder is not used and may stay empty.
TEST_F(OptionsDialog, AnEmptySelectedOutputFolderIsRefused) {
  struct TCase {
    const char* Folder;
    bool SameAsInput;
    bool Refused;
  } cases[] = {{"", false, true}, {"  ", false, true}, {"", true, false}, {"/tmp/out/", false, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.Folder + "\" " + (c.SameAsInput ? "original" : "selected"));
    GlobalVars = TGlobalVars();
    GlobalVars.OutputSameAsInput = c.SameAsInput;
    GlobalVars.OutputFolder = c.Folder;
    const TGlobalVars before = GlobalVars;
    Boxes.clear();
    bool stayed = false;
    TWinControl* focused = nullptr;
    std::vector<TStep> steps = {[&](TFormOptions* d) {
      d->CheckBoxPromptRemove->SetChecked(!before.PromptRemove);
      d->btnOK->Click();
    }};
    if (c.Refused)
      steps.push_back([&](TFormOptions* d) {
        stayed = d->Visible() && d->ModalResult() == mrNone;
        focused = d->ActiveControl();
        EXPECT_EQ(focused, d->btnChangeOutputDir) << "the way to choose one";
        d->btnCannel->Click();
      });
    const TOptionsDialogResult r = RunCommand(steps);
    EXPECT_EQ(r.Accepted, !c.Refused);
    if (!c.Refused) {
      EXPECT_TRUE(Boxes.empty());
      continue;
    }
    EXPECT_TRUE(stayed) << "the dialog stays open";
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find("No output folder is selected."), AnsiString::npos) << Boxes[0];
    EXPECT_TRUE(Differences(before, GlobalVars).empty());
  }
}

// ---- Placement, layout and pictures ------------------------------------------------------

TEST_F(OptionsDialog, TheDialogIsCentredOverTheMainWindow) {
  TRect main = Main->BoundsRect(), dialog;
  TPoint client;
  RunCommand([&](TFormOptions* d) {
    dialog = d->BoundsRect();
    client = TPoint(d->ClientWidth(), d->ClientHeight());
    EXPECT_EQ(d->Caption(), "Options");
    EXPECT_EQ(d->BorderStyle(), bsSingle);
    EXPECT_EQ(d->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_TRUE(d->btnOK->Default());
    EXPECT_EQ(d->btnCannel->ModalResult(), mrCancel);
    for (TComboBox* list : {d->ComboBoxImageFormat, d->ComboBoxColorDepth, d->ComboBoxResizingMode,
                            d->ComboBoxTIFFColorDepth, d->ComboBoxTIFFCompressionType})
      EXPECT_EQ(list->Style(), csDropDownList) << list->Name();
    d->btnCannel->Click();
  });
  EXPECT_EQ(client, TPoint(555, 401));
  EXPECT_EQ(dialog.Left, main.Left + (main.Width() - dialog.Width()) / 2);
  EXPECT_EQ(dialog.Top, main.Top + (main.Height() - dialog.Height()) / 2);
}

// No control sticks out of its parent's client area or overlaps a sibling
// (auto-sized labels take their text's width, so a text too long for its
// place shows as an overlap).
void ExpectTidy(TWinControl* Parent, const AnsiString& Where) {
  const TRect client = Parent->ClientRect();
  std::vector<TControl*> kids;
  for (Integer i = 0; i < Parent->ControlCount(); ++i) kids.push_back(Parent->Controls(i));
  for (TControl* c : kids) {
    const TRect r = c->BoundsRect();
    // A page is the page control's to place, and only the shown one has
    // its size: pages are looked at one by one.
    if (dynamic_cast<TTabSheet*>(c)) continue;
    {
      EXPECT_GE(r.Left, client.Left) << Where << " " << c->Name();
      EXPECT_GE(r.Top, client.Top) << Where << " " << c->Name();
      EXPECT_LE(r.Right, client.Right) << Where << " " << c->Name();
      EXPECT_LE(r.Bottom, client.Bottom) << Where << " " << c->Name();
      for (TControl* o : kids) {
        if (o == c || dynamic_cast<TTabSheet*>(o)) continue;
        const TRect b = o->BoundsRect();
        const bool overlap = r.Left < b.Right && b.Left < r.Right && r.Top < b.Bottom && b.Top < r.Bottom;
        EXPECT_FALSE(overlap) << Where << " " << c->Name() << " overlaps " << o->Name() << " " << r.Left << "," << r.Right << " / " << b.Left << "," << b.Right;
      }
    }
    if (auto* w = dynamic_cast<TWinControl*>(c)) ExpectTidy(w, Where + "/" + c->Name());
  }
}

class OptionsLayout : public OptionsDialog, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    OptionsDialog::SetUp();
    // Room for the dialog at 144 dots per inch.
    rtl::testing::SetScreens({{RECT(0, 0, 1920, 1080), RECT(0, 0, 1920, 1040), true, "test"}});
  }
  void TearDown() override {
    rtl::testing::SetDpi(96);
    rtl::testing::SetScreens({});
    OptionsDialog::TearDown();
  }
};

TEST_P(OptionsLayout, EveryPageIsTidyAndPictured) {
  const int dpi = GetParam();
  rtl::testing::SetDpi(dpi);
  GlobalVars.OutputSameAsInput = false;
  GlobalVars.OutputFolder = "/home/user/Documents/Converted/";
  TFormOptions* F = Open();
  EXPECT_EQ(F->ClientWidth(), MulDiv(555, dpi, 96));
  EXPECT_EQ(F->ClientHeight(), MulDiv(401, dpi, 96));
  EXPECT_EQ(-F->Font()->Height(), MulDiv(11, dpi, 96));
  ExpectTidy(F, "form");
  for (Integer i = 0; i < F->PageControl->PageCount(); ++i) {
    TTabSheet* page = F->PageControl->Pages(i);
    F->PageControl->SetActivePage(page);
    Pump();
    ExpectTidy(page, page->Name());
    AnsiString caption = page->Caption();
    for (char& ch : caption)
      if (ch == ' ') ch = '-';
    const std::string name =
        PictureDir() + "options-" + std::to_string(i) + "-" + caption + "-" + std::to_string(dpi) + ".png";
    EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), name, true)) << name;
  }
  F->Free();
}

INSTANTIATE_TEST_SUITE_P(Dpi, OptionsLayout, ::testing::Values(96, 144));

}  // namespace
