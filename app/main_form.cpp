// The main window's composition, its creation and closing, and the
// appearance commands.
#include "app/main_form.h"

#include "app/about_form.h"
#include "app/globals.h"
#include "app/main_window_standins.h"
#include "app/options_form.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/forms/actions.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/image_list.h"
#include "platform/forms/menus.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/trace.h"
#include "platform/win/user/user.h"
#include "support/file_finder.h"

namespace {

// The grid's colours: lines and the inactive selection light blue, the
// selection dark blue.
constexpr TColor kLightBlue = static_cast<TColor>(15850188);
constexpr TColor kDarkBlue = static_cast<TColor>(10114859);

// What the main window's placement needs of the form.
class TFormPlacement : public IPlacementWindow {
  TCustomForm* FForm;

 public:
  explicit TFormPlacement(TCustomForm* Form) : FForm(Form) {}
  TRect Bounds() const override { return FForm->BoundsRect(); }
  TRect NormalBounds() const override {
    if (!FForm->HandleAllocated() || FForm->WindowState() != wsMaximized) return Bounds();
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    if (!GetWindowPlacement(FForm->Handle(), &P)) return Bounds();
    return TRect(P.rcNormalPosition);
  }
  void SetBounds(const TRect& R) override { FForm->SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  bool Maximized() const override { return FForm->WindowState() == wsMaximized; }
  void SetMaximized(bool Value) override { FForm->SetWindowState(Value ? wsMaximized : wsNormal); }
  TRect WorkArea(const TRect& R) const override {
    TMonitor* M = Screen->MonitorFromRect(R, mdNearest);
    return M ? M->WorkareaRect() : Screen->WorkAreaRect();
  }
  TSize MinimumSize() const override {
    return TSize(FForm->Constraints()->MinWidth(), FForm->Constraints()->MinHeight());
  }
  // The stand-in draws no caption of its own.
  Integer RibbonExtraCaptionHeight() const override { return 0; }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TFormMain)

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormMain");
  BuildComponents();
  OnCreate = TNotifyEvent(this, &TFormMain::FormCreate);
  OnClose = TCloseEvent(this, &TFormMain::FormClose);
}

TFormMain::~TFormMain() = default;

void TFormMain::DoCreate() {
  // Made here and not in the constructor, so that a derived window's bars
  // are the ones made.
  if (!FBars) FBars = CreateBars();
  TForm::DoCreate();
}

std::unique_ptr<IMainWindowBars> TFormMain::CreateBars() {
  auto Bars = std::make_unique<TStandInBars>(this, dxBarPopupMenu);
  AddStripCommands(*Bars);
  return Bars;
}

void TFormMain::AddStripCommands(TStandInBars& Bars) {
  // The strip carries the commands of the file list, the options and the
  // conversions, in the order the ribbon's first tab shows them, then the
  // help tab's About and links, and Exit.
  Bars.AddCommand(acAddFiles);
  Bars.AddCommand(acAddFolder);
  Bars.AddCommand(actPaste, true);
  Bars.AddCommand(acRemove, true);
  Bars.AddCommand(acRemoveAll);
  Bars.AddCommand(acMoveDown, true);
  Bars.AddCommand(acMoveUp);
  Bars.AddCommand(acOpenSelectFileFolder, true);
  Bars.AddCommand(acOpenOutputFolder);
  Bars.AddCommand(acOptions, true);
  Bars.AddCommand(actZelvoWord, true);
  Bars.AddCommand(actZelvoExcel);
  Bars.AddCommand(actZelvoHTML);
  Bars.AddCommand(actZelvoImage);
  Bars.AddCommand(actZelvoTIFF);
  Bars.AddCommand(actAbout, true);
  Bars.AddCommand(actHomePage);
  Bars.AddCommand(actCheckforUpdates);
  Bars.AddCommand(actContactSupport);
  Bars.AddCommand(actMoreFreeTools);
  Bars.AddCommand(acExit, true);
}

TAction* TFormMain::NewAction(const char* Name, const char* Caption, const char* Hint, Integer ImageIndex,
                              TShortCut ShortCut, void (TFormMain::*Execute)(TObject*)) {
  auto* A = new TAction(this);
  A->SetName(Name);
  A->SetCaption(Caption);
  A->SetHint(Hint);
  A->SetImageIndex(ImageIndex);
  A->SetShortCut(ShortCut);
  A->SetActionList(alActions);
  A->SetOnExecute(TNotifyEvent(this, Execute));
  return A;
}

void TFormMain::BuildComponents() {
  SetBounds(339, 149, 901, 551);
  Font()->SetName("Tahoma");
  Font()->SetHeight(-11);
  SetKeyPreview(true);
  OnKeyDown = TKeyEvent(this, &TFormMain::FormKeyDown);

  cxImageList = new TImageList(this);
  cxImageList->SetName("cxImageList");
  cxImageList->SetWidth(120);
  cxImageList->SetHeight(80);
  LoadStatePictures();

  alActions = new TActionList(this);
  alActions->SetName("alActions");
  alActions->OnUpdate = TActionEvent(this, &TFormMain::alActionsUpdate);
  const TShortCut None = scNone;
  acAddFiles = NewAction("acAddFiles", "&Add File(s)", "Add File(s)", 0, scAlt | 'A', &TFormMain::acAddFilesExecute);
  acAddFolder = NewAction("acAddFolder", "Add &Folder", "Add Folder", 1, scAlt | 'D', &TFormMain::acAddFolderExecute);
  actPaste = NewAction("actPaste", "&Paste", "Paste", 26, scCtrl | 'V', &TFormMain::actPasteExecute);
  acRemove = NewAction("acRemove", "&Remove", "Remove", 3, VK_DELETE, &TFormMain::acRemoveExecute);
  acRemoveAll = NewAction("acRemoveAll", "R&emove All", "Remove All", 4, None, &TFormMain::acRemoveAllExecute);
  acMoveUp = NewAction("acMoveUp", "Move &Up", "Move Up", 5, None, &TFormMain::acMoveUpExecute);
  acMoveDown = NewAction("acMoveDown", "Move &Down", "Move Down", 6, None, &TFormMain::acMoveDownExecute);
  acOpenSelectFileFolder = NewAction("acOpenSelectFileFolder", "&Open Source Folder", "Open Source Folder", 7, None,
                                     &TFormMain::acOpenSelectFileFolderExecute);
  acOpenOutputFolder = NewAction("acOpenOutputFolder", "O&pen Output Folder", "Open Output Folder", 8, None,
                                 &TFormMain::acOpenOutputFolderExecute);
  acOptions = NewAction("acOptions", "Op&tions", "Options", 9, None, &TFormMain::acOptionsExecute);
  actZelvoWord = NewAction("actZelvoWord", "PD&F to Word", "PDF to Word", 10, VK_F3, &TFormMain::actZelvoWordExecute);
  actZelvoExcel =
      NewAction("actZelvoExcel", "PDF to &Excel", "PDF to Excel", 17, VK_F4, &TFormMain::actZelvoExcelExecute);
  actZelvoHTML = NewAction("actZelvoHTML", "PDF to &HTML", "PDF to HTML", 18, VK_F6, &TFormMain::actZelvoHTMLExecute);
  actZelvoImage =
      NewAction("actZelvoImage", "PDF to &Image", "PDF to Image", 19, VK_F7, &TFormMain::actZelvoImageExecute);
  actZelvoTIFF = NewAction("actZelvoTIFF", "PDF to &Multipage TIFF", "PDF to Multipage TIFF", 27, VK_F8,
                           &TFormMain::actZelvoTIFFExecute);
  actRibbonForm = NewAction("actRibbonForm", "Ribbon &Form", "", 13, None, &TFormMain::actRibbonFormExecute);
  actApplicationButton = NewAction("actApplicationButton", "&Application Button", "Application Button", 14, None,
                                   &TFormMain::actApplicationButtonExecute);
  actTouchMode = NewAction("actTouchMode", "Touch &Mode", "Touch Mode", 11, None, &TFormMain::actTouchModeExecute);
  actVisible = NewAction("actVisible", "&Visible", "Visible", 12, None, &TFormMain::actVisibleExecute);
  acQATAboveRibbon =
      NewAction("acQATAboveRibbon", "Ab&ove the Ribbon", "", -1, None, &TFormMain::acQATBelowRibbonExecute);
  acQATBelowRibbon =
      NewAction("acQATBelowRibbon", "B&elow the Ribbon", "", -1, None, &TFormMain::acQATBelowRibbonExecute);
  acQATBelowRibbon->SetTag(1);
  for (TAction* A : {acQATAboveRibbon, acQATBelowRibbon}) {
    A->SetGroupIndex(3);
    A->OnUpdate = TNotifyEvent(this, &TFormMain::acQATAboveRibbonUpdate);
  }
  actRadialMenu = NewAction("actRadialMenu", "&Radial Menu", "Radial Menu", 15, None, &TFormMain::actRadialMenuExecute);
  actMiniToolbar =
      NewAction("actMiniToolbar", "Mini &Toolbar", "Mini Toolbar", 16, None, &TFormMain::actMiniToolbarExecute);
  // The check buttons of the ribbon turn over before their command runs;
  // the actions do the same for the stand-in's buttons.
  for (TAction* A : {actRibbonForm, actApplicationButton, actTouchMode, actVisible}) A->SetAutoCheck(true);
  for (TAction* A : {actRadialMenu, actMiniToolbar}) {
    A->SetGroupIndex(2);
    A->SetAutoCheck(true);
  }
  actRadialMenu->SetChecked(true);
  actHelpContent =
      NewAction("actHelpContent", "Help &Content", "Help &Content", 20, VK_F1, &TFormMain::actHelpContentExecute);
  actHomePage = NewAction("actHomePage", "Home &Page", "Home Page", 21, None, &TFormMain::actHomePageExecute);
  actCheckforUpdates = NewAction("actCheckforUpdates", "Check for &Updates", "Check for Updates", 23, None,
                                 &TFormMain::actCheckforUpdatesExecute);
  actContactSupport = NewAction("actContactSupport", "Contact Technical &Support", "Contact Technical Support", 24,
                                None, &TFormMain::actContactSupportExecute);
  actMoreFreeTools =
      NewAction("actMoreFreeTools", "More Free &Tools", "More Free Tools", 25, None, &TFormMain::actMoreFreeToolsExecute);
  actAbout = NewAction("actAbout", "A&bout", "", 22, None, &TFormMain::actAboutExecute);
  acExit = NewAction("acExit", "E&xit", "Exit", -1, scAlt | VK_F4, &TFormMain::acExitExecute);

  OpenDialog = new TOpenDialog(this);
  OpenDialog->SetName("OpenDialog");
  OpenDialog->SetFilter("PDF Files|*.pdf|All Files|*.*");
  // Only files that are there can be added: a name typed wrong is told
  // in the dialog, not dropped after it.
  OpenDialog->SetOptions(
      TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofPathMustExist, ofFileMustExist, ofEnableSizing});

  dxBarPopupMenu = new TPopupMenu(this);
  dxBarPopupMenu->SetName("dxBarPopupMenu");
  dxBarPopupMenu->SetAutoPopup(false);
  auto AddItem = [this](TAction* A) {
    auto* Item = new TMenuItem(this);
    if (A)
      Item->SetAction(A);
    else
      Item->SetCaption("-");
    dxBarPopupMenu->Items()->Add(Item);
  };
  for (TAction* A : {acAddFiles, actPaste, static_cast<TAction*>(nullptr), acRemove, acRemoveAll,
                     static_cast<TAction*>(nullptr), acOpenSelectFileFolder, acOpenOutputFolder,
                     static_cast<TAction*>(nullptr), acOptions})
    AddItem(A);

  DIWildFileFinder = new TDIWildFileFinder(this);
  DIWildFileFinder->SetName("DIWildFileFinder");
  DIWildFileFinder->OnProgress = TDIFileFinderProgress(this, &TFormMain::DIWildFileFinderProgress);

  FileGrid = new TNxGrid(this);
  FileGrid->SetName("FileGrid");
  FileGrid->SetAppearanceOptions(TAppearanceOptions{aoAlphaBlendedSelection});
  FileGrid->SetGridStyle(gsSlides);
  FileGrid->SetSlideSize(90);
  FileGrid->SetGridLinesColor(kLightBlue);
  FileGrid->SetInactiveSelectionColor(kLightBlue);
  FileGrid->SetSelectionColor(kDarkBlue);
  FileGrid->SetSlideSelectionColor(clWhite);
  FileGrid->SetBorderStyle(bsNone);
  FileGrid->SetOptions(TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow});
  FileGrid->SetReadOnly(true);
  FileGrid->SetShowHint(true);
  FileGrid->SetAlign(alClient);
  FileGrid->SetParent(this);
  FileGrid->OnDblClick = TNotifyEvent(this, &TFormMain::FileGridDblClick);
  FileGrid->OnAfterRowMove = decltype(FileGrid->OnAfterRowMove)(this, &TFormMain::FileGridAfterRowMove);
  // By default the slides view hides the selection (every slide in the
  // window's colour, only the current one framed), and the selected-slide
  // colour is the window's too: every selected slide is tinted light blue
  // instead, with the focus and without, so that a selection can be seen.
  FileGrid->SetSlidesOptions(TGridSlideOptions{soFrame});
  FileGrid->OnSlideColoring = [this](TObject*, Integer Index, TColor& SlideColor, TColor&, TSlideState) {
    if (FileGrid->GetSelected(Index)) SlideColor = kLightBlue;
  };
  // The cells on a slide take its tint, so that it reads as one.
  FileGrid->OnCellColoring = [this](TObject*, Integer, Integer Row, TColor& CellColor, TColor&, TCellState) {
    if (FileGrid->GetSelected(Row)) CellColor = kLightBlue;
  };
  FileGrid->OnMouseDown = TMouseEvent(this, &TFormMain::FileGridMouseDown);

  NxImageColumnImage = new TNxImageColumn(this);
  NxImageColumnImage->SetName("NxImageColumnImage");
  NxImageColumnImage->SetImages(cxImageList);
  NxImageColumnImage->SetSortType(stNumeric);
  NxImageColumnImage->SlideBounds()->SetTop(6);
  NxImageColumnImage->SlideBounds()->SetWidth(120);
  NxImageColumnImage->SlideBounds()->SetHeight(80);
  FileGrid->Columns()->Add(NxImageColumnImage);

  // Text columns: name, slide left, top (-1: as made), width, width in
  // the report view, bold, the text shown before the value.
  struct TTextColumn {
    const char* Name;
    Integer Left, Top, SlideWidth, Width;
    bool Bold;
    const char16_t* TextBefore;
  };
  auto SetUp = [this](TNxTextColumn* C, const TTextColumn& D) {
    C->SetName(D.Name);
    C->SetWidth(D.Width);
    C->SlideBounds()->SetLeft(D.Left);
    if (D.Top >= 0) C->SlideBounds()->SetTop(D.Top);
    C->SlideBounds()->SetWidth(D.SlideWidth);
    C->SetTextBefore(D.TextBefore);
    C->SetParentFont(false);
    C->Font()->SetName("Tahoma");
    C->Font()->SetHeight(-11);
    if (D.Bold) C->Font()->SetStyle(TFontStyles{fsBold});
    FileGrid->Columns()->Add(C);
  };
  NxTextColumnFileName = new TNxTextColumn(this);
  SetUp(NxTextColumnFileName, {"NxTextColumnFileName", 136, -1, 464, 400, true, u"File to Convert:   "});
  NxTextColumnPath = new TNxTextColumn(this);
  SetUp(NxTextColumnPath, {"NxTextColumnPath", 136, 33, 464, 400, false, u"Containing Folder:   "});
  NxTextColumnSize = new TNxTextColumn(this);
  SetUp(NxTextColumnSize, {"NxTextColumnSize", 136, 49, 464, 280, false, u"Size (KB):   "});
  NxTextColumnDate2 = new TNxDateColumn(this);
  SetUp(NxTextColumnDate2, {"NxTextColumnDate2", 384, 65, 216, 280, false, u"Date Modified:   "});
  NxTextColumnDate = new TNxDateColumn(this);
  SetUp(NxTextColumnDate, {"NxTextColumnDate", 136, 65, 216, 280, false, u"Date Created:   "});
  for (TNxDateColumn* C : {NxTextColumnDate2, NxTextColumnDate}) {
    C->SetSortType(stDate);
    C->SetNoneCaption(u"None");
    C->SetTodayCaption(u"Today");
  }
}

void TFormMain::LoadStatePictures() {
  // Waiting, processed and failed, in the order of the state column's
  // values.
  for (const char* Name : {"FILESTATEWAITING", "FILESTATEPROCESSED", "FILESTATEFAILED"}) {
    TBitmap Picture;
    Picture.LoadFromResourceName(HInstance, Name);
    cxImageList->Add(&Picture, nullptr);
  }
}

void TFormMain::Guarded(const std::function<void()>& Step) {
  try {
    Step();
  } catch (Exception&) {
    Application->HandleException(this);
  }
}

void TFormMain::FormCreate(TObject*) {
  const AnsiString Title = Application->Title();
  // Before anything that can fail: the conversion commands need it.
  if (!Driver) Driver = new TConversionDriver(this, *this, nullptr);
  // Each step that can fail is reported and the others still run: a
  // settings file that cannot be written must not cost the window its
  // drops, its clipboard watching or its placement.
  Guarded([&] { ReadBranding(*this, Title, BrandingFilePath()); });
  Guarded([&] { InitializeSettings(Title); });
  Guarded([&] {
    if (!LoadSettings(Title)) {
      const Integer Offered = GlobalVars.ToWord + GlobalVars.ToExcel + GlobalVars.ToHTML + GlobalVars.ToImage +
                              GlobalVars.ToTIFF;
      if (Offered > 0) SetWidth(700 + 50 * Offered);
      // Centred in the work area of the monitor the window is on, so that
      // neither a panel nor the screen's edge hides its frame.
      TMonitor* M = Screen->MonitorFromRect(BoundsRect(), mdNearest);
      const TRect Work = M ? M->WorkareaRect() : Screen->WorkAreaRect();
      SetTop(Work.Top + (Work.Height() - Height()) / 2);
      SetLeft(Work.Left + (Work.Width() - Width()) / 2);
    }
  });
  Guarded([&] {
    TFormPlacement Placement(this);
    LoadWindowPlacement(Title, "Form", Placement);
  });

  TRibbonAppearance Look = FBars->Appearance();
  Look.ColorSchemeName = GlobalVars.ASkinName;
  Look.SupportNonClientDrawing = GlobalVars.RibbonForm;
  Look.ApplicationButtonVisible = GlobalVars.ApplicationButton;
  Look.TouchMode = GlobalVars.TouchMode;
  Look.QATVisible = GlobalVars.Visible;
  FBars->SetAppearance(Look);
  Look = FBars->Appearance();
  actRibbonForm->SetChecked(Look.SupportNonClientDrawing);
  actApplicationButton->SetChecked(Look.ApplicationButtonVisible);
  actTouchMode->SetChecked(Look.TouchMode);
  actVisible->SetChecked(Look.QATVisible);
  FBars->SetRadialMenuDown(GlobalVars.RadialMenu);
  actRadialMenu->SetChecked(GlobalVars.RadialMenu);
  actMiniToolbar->SetChecked(!GlobalVars.RadialMenu);
  if (actTouchMode->Checked()) actTouchModeExecute(actTouchMode);

  actZelvoImage->SetCaption(Format("PDF to &%s", {GlobalVars.ImageFormat}));
  actZelvoImage->SetHint(Format("PDF to %s", {GlobalVars.ImageFormat}));

  Searching = false;
  FileGrid->SetDoubleBuffered(true);
  Guarded([&] { JoinDesktop(); });
  // The keys go to the list from the start.
  Guarded([&] { SetActiveControl(FileGrid); });
}

void TFormMain::FormClose(TObject*, TCloseAction&) {
  // A search or a batch that runs ends with the window; the converter goes
  // with its batch.
  if (Searching) CancelSearch();
  if (Driver && Driver->BatchRunning()) Driver->ButtonStopClick(this);
  static const bool Trace = rtl::detail::TraceOn("list");
  if (Trace) rtl::detail::Trace("list", "closing with %d rows", FileGrid->RowCount());
  const TRibbonAppearance Look = FBars->Appearance();
  GlobalVars.ASkinName = Look.ColorSchemeName;
  GlobalVars.RibbonForm = Look.SupportNonClientDrawing;
  GlobalVars.ApplicationButton = Look.ApplicationButtonVisible;
  GlobalVars.TouchMode = Look.TouchMode;
  GlobalVars.Visible = Look.QATVisible;
  GlobalVars.RadialMenu = FBars->RadialMenuDown();
  const AnsiString Title = Application->Title();
  // Either write may fail; the error is shown and the window still closes.
  Guarded([&] { SaveSettings(Title); });
  Guarded([&] {
    TFormPlacement Placement(this);
    SaveWindowPlacement(Title, "Form", Placement);
  });
}

void TFormMain::SetCaption(const AnsiString& Caption) { TForm::SetCaption(Caption); }

void TFormMain::SetConversionOffered(TConversionKind Kind, bool Offered) {
  TAction* Actions[] = {actZelvoWord, actZelvoExcel, actZelvoHTML, actZelvoImage, actZelvoTIFF};
  Actions[Kind]->SetVisible(Offered);
}

// ---- Conversions ------------------------------------------------------------------------

void TFormMain::SetProgressForm(TProgressForm* Progress) {
  if (Driver) Driver->SetProgress(Progress);
}

void TFormMain::actZelvoWordExecute(TObject*) { Driver->Execute(ckWord); }
void TFormMain::actZelvoExcelExecute(TObject*) { Driver->Execute(ckExcel); }
void TFormMain::actZelvoHTMLExecute(TObject*) { Driver->Execute(ckHTML); }
void TFormMain::actZelvoImageExecute(TObject*) { Driver->Execute(ckImage); }
void TFormMain::actZelvoTIFFExecute(TObject*) { Driver->Execute(ckTIFF); }

// ---- Appearance ----------------------------------------------------------------------

void TFormMain::actRibbonFormExecute(TObject*) {
  TRibbonAppearance Look = FBars->Appearance();
  Look.SupportNonClientDrawing = actRibbonForm->Checked();
  FBars->SetAppearance(Look);
}

void TFormMain::actApplicationButtonExecute(TObject*) {
  TRibbonAppearance Look = FBars->Appearance();
  Look.ApplicationButtonVisible = actApplicationButton->Checked();
  FBars->SetAppearance(Look);
}

void TFormMain::actTouchModeExecute(TObject*) {
  TRibbonAppearance Look = FBars->Appearance();
  Look.TouchMode = actTouchMode->Checked();
  FBars->SetAppearance(Look);
}

void TFormMain::actVisibleExecute(TObject*) {
  TRibbonAppearance Look = FBars->Appearance();
  Look.QATVisible = actVisible->Checked();
  FBars->SetAppearance(Look);
}

void TFormMain::acQATAboveRibbonUpdate(TObject*) {
  const bool Below = FBars->Appearance().QATBelowRibbon;
  acQATAboveRibbon->SetChecked(!Below);
  acQATBelowRibbon->SetChecked(Below);
}

void TFormMain::acQATBelowRibbonExecute(TObject* Sender) {
  auto* C = dynamic_cast<TComponent*>(Sender);
  TRibbonAppearance Look = FBars->Appearance();
  Look.QATBelowRibbon = C && C->Tag() != 0;
  FBars->SetAppearance(Look);
}

// The pressed state of the style buttons decides the context menu.
void TFormMain::actRadialMenuExecute(TObject*) { FBars->SetRadialMenuDown(actRadialMenu->Checked()); }
void TFormMain::actMiniToolbarExecute(TObject*) { FBars->SetRadialMenuDown(!actMiniToolbar->Checked()); }

void TFormMain::acExitExecute(TObject*) { Close(); }

// ---- Commands whose windows come with the options and the About box;
// they are wired there.

void TFormMain::acOptionsExecute(TObject*) {
  const TOptionsDialogResult Result = ShowOptionsDialog(this);
  if (!Result.Accepted) return;
  // The image command names the format the user just chose.
  actZelvoImage->SetCaption(Result.ImageCaption);
  actZelvoImage->SetHint(Result.ImageHint);
}
void TFormMain::actHelpContentExecute(TObject*) { OpenHelpContent(GlobalVars); }
void TFormMain::actHomePageExecute(TObject*) { OpenHomePage(GlobalVars); }
void TFormMain::actCheckforUpdatesExecute(TObject*) { OpenCheckForUpdates(GlobalVars); }
void TFormMain::actContactSupportExecute(TObject*) { OpenContactSupport(GlobalVars); }
void TFormMain::actMoreFreeToolsExecute(TObject*) { OpenMoreFreeTools(GlobalVars); }
void TFormMain::actAboutExecute(TObject*) { ShowAboutDialog(this); }
