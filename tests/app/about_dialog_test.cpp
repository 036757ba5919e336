// The About dialog and the Help tab's links: texts from the title and the
// branding values (never used as formats), the year from the clock, and
// each link opening exactly its own address.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "../common/pictures.h"
#include "app/about_form.h"
#include "app/globals.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/forms/icon.h"
#include "platform/forms/picture.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/mathutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/shell/shellapi.h"

namespace {

class AboutDialog : public ::testing::Test {
 protected:
  TGlobalVars Saved;
  AnsiString SavedTitle;
  TForm* Main = nullptr;
  std::vector<std::vector<AnsiString>> Spawned;

  void SetUp() override {
    Saved = GlobalVars;
    GlobalVars = TGlobalVars();
    GlobalVars.Version = "2.4.1";
    GlobalVars.Copyright = "Example Works Ltd.";
    GlobalVars.HelpHomePageLink = "https://example.com/";
    SavedTitle = Application->Title();
    Application->SetTitle("Batch PDF Tool");
    SetAboutClock([] { return EncodeDate(2031, 5, 17); });
    Main = TCustomForm::Create<TForm>(nullptr);
    Main->SetBounds(120, 90, 800, 500);
    Main->Show();
    rtl::detail::SetShellSpawnHook([this](const std::vector<AnsiString>& argv) {
      Spawned.push_back(argv);
      return 0;
    });
  }
  void TearDown() override {
    Application->OnIdle = nullptr;
    rtl::detail::SetShellSpawnHook(nullptr);
    SetAboutClock(nullptr);
    Main->Free();
    Application->SetTitle(SavedTitle);
    GlobalVars = Saved;
  }
  TFormAbout* Make() { return TCustomForm::Create<TFormAbout>(Main); }
};

TEST_F(AboutDialog, TextsComeFromTheTitleAndTheBranding) {
  TFormAbout* F = Make();
  EXPECT_EQ(F->Caption(), "About Batch PDF Tool");
  EXPECT_EQ(F->LabelAppName->Caption(), "Batch PDF Tool");
  EXPECT_EQ(F->LabelVersion->Caption(), "Version 2.4.1");
  EXPECT_EQ(F->LabelCopyRight->Caption(), "Copyright (C) 2031 Example Works Ltd.");
  EXPECT_EQ(F->LabelWeb->Caption(), "https://example.com/");
  EXPECT_FALSE(F->LabelWarning->Caption().empty());
  EXPECT_TRUE(F->LabelWarning->WordWrap());
  EXPECT_EQ(F->LabelWarning->Width(), 393);
  EXPECT_EQ(F->LabelWarning->Height(), 52);
  EXPECT_EQ(F->ClientWidth(), 426);
  EXPECT_EQ(F->ClientHeight(), 218);
  EXPECT_EQ(F->Font()->Name(), "Tahoma");
  EXPECT_EQ(F->Font()->Height(), -11);
  EXPECT_EQ(F->LabelAppName->Font()->Height(), -12);
  EXPECT_TRUE(F->LabelAppName->Font()->Style().Contains(fsBold));
  EXPECT_EQ(F->LabelWeb->Font()->Color(), clBlue);
  EXPECT_TRUE(F->LabelWeb->Font()->Style().Contains(fsUnderline));
  EXPECT_EQ(F->LabelWeb->Cursor(), crHandPoint);
  EXPECT_EQ(F->ButtonOK->Caption(), "OK");
  EXPECT_TRUE(F->ButtonOK->Default());
  EXPECT_EQ(F->ImageIcon->Width(), 33);
  F->Free();
}

TEST_F(AboutDialog, BrandingTextsAreShownAsTheyAre) {
  // Percent signs and ampersands are data: no format reads them and no
  // label turns them into accelerators.
  Application->SetTitle("100% & Co %s");
  GlobalVars.Version = "1%2";
  GlobalVars.Copyright = "%d%s & Sons";
  GlobalVars.HelpHomePageLink = "https://example.com/a%20b?x=1&y=2";
  TFormAbout* F = Make();
  EXPECT_EQ(F->Caption(), "About 100% & Co %s");
  EXPECT_EQ(F->LabelAppName->Caption(), "100% & Co %s");
  EXPECT_EQ(F->LabelVersion->Caption(), "Version 1%2");
  EXPECT_EQ(F->LabelCopyRight->Caption(), "Copyright (C) 2031 %d%s & Sons");
  EXPECT_EQ(F->LabelWeb->Caption(), "https://example.com/a%20b?x=1&y=2");
  for (TLabel* L : {F->LabelAppName, F->LabelVersion, F->LabelCopyRight, F->LabelWeb})
    EXPECT_FALSE(L->ShowAccelChar()) << L->Name();
  F->Free();
}

TEST_F(AboutDialog, TheYearIsTheClocks) {
  for (Word year : {Word(1999), Word(2031), Word(2100)}) {
    SCOPED_TRACE(year);
    SetAboutClock([year] { return EncodeDate(year, 12, 31) + 0.99; });
    TFormAbout* F = Make();
    EXPECT_EQ(F->LabelCopyRight->Caption(), "Copyright (C) " + std::to_string(year) + " Example Works Ltd.");
    F->Free();
  }
  // Without a clock of its own the dialog takes today's date.
  SetAboutClock(nullptr);
  TFormAbout* F = Make();
  EXPECT_EQ(F->LabelCopyRight->Caption(),
            "Copyright (C) " + std::to_string(YearOf(Now())) + " Example Works Ltd.");
  F->Free();
}

TEST_F(AboutDialog, TheWebLabelOpensTheHomePage) {
  TFormAbout* F = Make();
  F->Show();
  Application->ProcessMessages();
  // A real click on the link.
  rtl::testing::InjectClick(F->LabelWeb->ClientToScreen(TPoint(3, 5)));
  Application->ProcessMessages();
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", "https://example.com/"}}));
  F->Free();

  // No home page: an empty label that opens nothing, and so does the
  // Home Page command.
  Spawned.clear();
  GlobalVars.HelpHomePageLink = "";
  F = Make();
  EXPECT_EQ(F->LabelWeb->Caption(), "");
  F->LabelWebClick(F->LabelWeb);
  OpenHomePage(GlobalVars);
  EXPECT_TRUE(Spawned.empty());
  F->Free();
}

TEST_F(AboutDialog, EachLinkCommandOpensItsOwnAddress) {
  GlobalVars.HelpContectLink = "https://example.com/help";
  GlobalVars.HelpHomePageLink = "https://example.com/home";
  GlobalVars.HelpCheckForUpdatesLink = "https://example.com/updates?v=1%2";
  GlobalVars.HelpSupportLink = "mailto:support@example.com";
  GlobalVars.HelpMoreFreeToolsLink = "https://example.com/tools";
  const struct {
    const char* Name;
    void (*Command)(const TGlobalVars&);
    const char* Opens;
  } cases[] = {
      {"Help Content", &OpenHelpContent, "https://example.com/help"},
      {"Home Page", &OpenHomePage, "https://example.com/home"},
      {"Check for Updates", &OpenCheckForUpdates, "https://example.com/updates?v=1%2"},
      {"Contact Support", &OpenContactSupport, "mailto:support@example.com"},
      {"More Free Tools", &OpenMoreFreeTools, "https://example.com/tools"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Spawned.clear();
    c.Command(GlobalVars);
    EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", c.Opens}}));
  }
  // Each takes the record it is given; an empty address opens nothing.
  TGlobalVars empty;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Spawned.clear();
    c.Command(empty);
    EXPECT_TRUE(Spawned.empty());
  }
}

TEST_F(AboutDialog, TheCommandShowsItCentredAndOKClosesIt) {
  TRect dialog;
  AnsiString caption;
  bool seen = false;
  Application->OnIdle = [&](TObject*, bool& Done) {
    for (Integer i = 0; i < Main->ComponentCount(); ++i) {
      auto* d = dynamic_cast<TFormAbout*>(Main->Components(i));
      if (!d || !d->Visible() || seen) continue;
      seen = true;
      dialog = d->BoundsRect();
      caption = d->Caption();
      // A real click on the button.
      rtl::testing::InjectClick(d->ButtonOK->ClientToScreen(TPoint(10, 10)));
      Done = false;
    }
  };
  ShowAboutDialog(Main);
  Application->OnIdle = nullptr;
  ASSERT_TRUE(seen);
  EXPECT_EQ(caption, "About Batch PDF Tool");
  const TRect main = Main->BoundsRect();
  EXPECT_EQ(dialog.Left, main.Left + (main.Width() - dialog.Width()) / 2);
  EXPECT_EQ(dialog.Top, main.Top + (main.Height() - dialog.Height()) / 2);
  // The dialog is gone with the command.
  for (Integer i = 0; i < Main->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TFormAbout*>(Main->Components(i)), nullptr);
}

TEST_F(AboutDialog, OKSetsTheModalResult) {
  TFormAbout* F = Make();
  F->ButtonOKClick(F->ButtonOK);
  EXPECT_EQ(F->ModalResult(), mrOk);
  F->Free();
}

class AboutLayout : public AboutDialog, public ::testing::WithParamInterface<int> {
 protected:
  void TearDown() override {
    rtl::testing::SetDpi(96);
    AboutDialog::TearDown();
  }
};

TEST_P(AboutLayout, ItIsTidyAndPictured) {
  const int dpi = GetParam();
  rtl::testing::SetDpi(dpi);
  // The program's icon as the build writes it next to the executable.
  const AnsiString iconFile = ExtractFilePath(ParamStr(0)) + "../app/icon.ico";
  TIcon saved;
  saved.Assign(Application->Icon());
  ASSERT_TRUE(FileExists(iconFile)) << iconFile;
  Application->Icon()->LoadFromFile(iconFile);
  TFormAbout* F = Make();
  Application->Icon()->Assign(&saved);
  EXPECT_FALSE(F->ImageIcon->Picture()->Icon()->Empty()) << "a copy stays with the dialog";
  F->Show();
  Application->ProcessMessages();
  EXPECT_EQ(F->ClientWidth(), MulDiv(426, dpi, 96));
  EXPECT_EQ(F->ClientHeight(), MulDiv(218, dpi, 96));
  // Every control inside the dialog, none over another.
  const TRect client = F->ClientRect();
  for (Integer i = 0; i < F->ControlCount(); ++i) {
    const TRect r = F->Controls(i)->BoundsRect();
    EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= client.Right && r.Bottom <= client.Bottom)
        << F->Controls(i)->Name();
    for (Integer j = 0; j < F->ControlCount(); ++j) {
      if (i == j) continue;
      const TRect b = F->Controls(j)->BoundsRect();
      EXPECT_FALSE(r.Left < b.Right && b.Left < r.Right && r.Top < b.Bottom && b.Top < r.Bottom)
          << F->Controls(i)->Name() << " overlaps " << F->Controls(j)->Name();
    }
  }
  // The link is drawn in its blue somewhere along its text.
  bool blue = false;
  const TRect web = F->LabelWeb->BoundsRect();
  for (int x = web.Left; x < web.Right && !blue; ++x)
    for (int y = web.Top; y < web.Bottom && !blue; ++y)
      blue = rtl::testing::WindowPixel(F->Handle(), x, y) == RGB(0, 0, 255);
  EXPECT_TRUE(blue);
  const std::string name = PictureDir() + "about-" + std::to_string(dpi) + ".png";
  EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), name, true)) << name;
  F->Free();
}

INSTANTIATE_TEST_SUITE_P(Dpi, AboutLayout, ::testing::Values(96, 144));

}  // namespace
