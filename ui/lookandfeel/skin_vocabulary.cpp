#include "ui/lookandfeel/skin_vocabulary.h"

const char* const dxSkinTextColorNames[5] = {"", "TextColor", "TextColorHot", "TextColorPressed",
                                             "TextColorDisabled"};

const char* const dxSkinElementStateNames[dxSkinElementStateCount] = {
    "Normal",      "Hot",     "Pressed",  "Disabled",       "Active",      "Focused",
    "DroppedDown", "Checked", "HotCheck", "ActiveDisabled", "CheckPressed"};

namespace {

const char* const kCommon[] = {"Button",
                               "GroupPanel",
                               "GroupPanelBottom",
                               "GroupPanelCaptionBottom",
                               "GroupPanelCaptionLeft",
                               "GroupPanelCaptionRight",
                               "GroupPanelCaptionTop",
                               "GroupPanelLeft",
                               "GroupPanelRight",
                               "GroupPanelTop",
                               "ScrollButton",
                               "ScrollContentHorz",
                               "ScrollContentVert",
                               "ScrollThumbHorz",
                               "ScrollThumbVert",
                               "SizeGrip",
                               "SplitterHorz",
                               "Splitter"};

const char* const kEditors[] = {"Checkbox",          "CloseButton",         "ComboButtonGlyph",
                                "EditorButton",      "Navigator",           "ProgressBorder",
                                "ProgressBorderVert", "ProgressChunk",      "ProgressChunkVert",
                                "RadioButton",       "SpinDownGlyph",       "SpinLeftGlyph",
                                "SpinRightGlyph",    "SpinUpGlyph",         "TrackBarThumb",
                                "TrackBarThumbBoth", "TrackBarThumbUp",     "TrackBarThumbVert",
                                "TrackBarThumbVertBoth", "TrackBarThumbVertUp", "TrackBarTrack",
                                "TrackBarTrackVert"};

const char* const kGrid[] = {"FilterButton", "FilterButtonActive", "GridFilterPanel", "FooterCell", "FooterPanel",
                             "GridGroupPanel", "GroupRow", "Header", "HeaderLeft", "HeaderRight",
                             "HeaderSpecial", "IndicatorImages", "PlusMinus", "PlusMinusEx"};

const char* const kVerticalGrid[] = {"BandBorder", "GridLine", "RowHeader", "Category"};

const char* const kFormElements[] = {"FormFrameLeft",        "FormCaption",          "FormFrameRight",
                                     "FormFrameBottom",      "SmallFormFrameLeft",   "SmallFormCaption",
                                     "SmallFormFrameRight",  "SmallFormFrameBottom", "SmallFormButtonClose",
                                     "FormButtonClose",      "FormButtonMinimize",   "FormButtonMaximize",
                                     "FormButtonRestore",    "FormButtonHelp"};

const char* const kColorProperties[] = {"BackgroundColor",
                                        "BackgroundDisabledColor",
                                        "BackgroundInactiveColor",
                                        "BackgroundReadOnlyColor",
                                        "TextColor",
                                        "TextDisabledColor",
                                        "TextInactiveColor",
                                        "TextReadOnlyColor",
                                        "CalcEditArithmeticOperationTextColor",
                                        "CalcEditScientificOperationTextColor",
                                        "BreadcrumbEditBackgroundColor",
                                        "BreadcrumbEditBackgroundFocusedColor",
                                        "BreadcrumbEditBackgroundHotColor",
                                        "BreadcrumbEditBackgroundDisabledColor",
                                        "BreadcrumbEditBorderColor",
                                        "BreadcrumbEditBorderFocusedColor",
                                        "BreadcrumbEditBorderHotColor",
                                        "BreadcrumbEditBorderDisabledColor"};

const char* const kLayoutProperties[] = {"LayoutViewGroupPadding",
                                         "LayoutViewGroupWithoutBordersPadding",
                                         "LayoutViewTabbedGroupPadding",
                                         "LayoutViewRootGroupPadding",
                                         "LayoutViewRootGroupWithoutBordersPadding",
                                         "LayoutViewItemPadding",
                                         "LayoutViewGroupSpacing",
                                         "LayoutViewGroupWithoutBordersSpacing",
                                         "LayoutViewTabbedGroupSpacing",
                                         "LayoutViewRootGroupSpacing",
                                         "LayoutViewRootGroupWithoutBordersSpacing",
                                         "LayoutViewItemSpacing"};

template <size_t N>
constexpr TdxSkinVocabularyTable Table(const char* AName, const char* const (&ANames)[N]) {
  return {AName, ANames, static_cast<int>(N)};
}

}  // namespace

const TdxSkinVocabularyTable dxSkinCommonGroup = Table("Common", kCommon);
const TdxSkinVocabularyTable dxSkinEditorsGroup = Table("Editors", kEditors);
const TdxSkinVocabularyTable dxSkinGridGroup = Table("Grid", kGrid);
const TdxSkinVocabularyTable dxSkinVerticalGridGroup = Table("VerticalGrid", kVerticalGrid);
const TdxSkinVocabularyTable dxSkinFormElements = Table(nullptr, kFormElements);
const TdxSkinVocabularyTable dxSkinColorPropertyNames = Table(nullptr, kColorProperties);
const TdxSkinVocabularyTable dxSkinLayoutPropertyNames = Table(nullptr, kLayoutProperties);
