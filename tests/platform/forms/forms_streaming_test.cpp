// Fonts, bitmaps, pictures and actions in form descriptions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/actions.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/image_list.h"
#include "platform/forms/picture.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"

namespace {

// A form-like root: its components without a parent are its children.
class TStreamRoot : public TComponent {
  RTL_CLASS(TStreamRoot, TComponent)

 public:
  explicit TStreamRoot(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent*) override {
    for (Integer i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
};

class TActionForm : public TStreamRoot {
  RTL_CLASS(TActionForm, TStreamRoot)

 public:
  TActionList* alActions = nullptr;
  TAction* acOpen = nullptr;
  TImageList* imgSmall = nullptr;
  std::vector<std::string> Log;
  explicit TActionForm(TComponent* AOwner) : TStreamRoot(AOwner) {}
  void acOpenExecute(TObject*) { Log.push_back("execute"); }
  void alActionsUpdate(TBasicAction*, bool&) { Log.push_back("update"); }
};

class TGlyphHolder : public TStreamRoot {
  RTL_CLASS(TGlyphHolder, TStreamRoot)
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();

 public:
  explicit TGlyphHolder(TComponent* AOwner) : TStreamRoot(AOwner) {}
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
};

RTL_IMPLEMENT_CLASS(TStreamRoot)
RTL_IMPLEMENT_PUBLISHED(TActionForm,
                        RTL_FIELD(alActions),
                        RTL_FIELD(acOpen),
                        RTL_FIELD(imgSmall),
                        RTL_HANDLER(acOpenExecute),
                        RTL_HANDLER(alActionsUpdate))
RTL_IMPLEMENT_PUBLISHED(TGlyphHolder, RTL_PROP(Font), RTL_PROP(Glyph), RTL_PROP(Picture))

AnsiString WriteToText(TComponent* Root) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(Root, nullptr);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}

void ReadFromText(const AnsiString& Text, TComponent* Root) {
  TStringStream input(Text);
  ReadComponentText(&input, Root);
}

const char* const kActionForm =
    "object ActionForm: TActionForm\n"
    "  object alActions: TActionList\n"
    "    OnUpdate = alActionsUpdate\n"
    "    object acOpen: TAction\n"
    "      Category = 'File'\n"
    "      Caption = '&Open'\n"
    "      Hint = 'Open a file'\n"
    "      ImageIndex = 3\n"
    "      ShortCut = 16463\n"
    "      OnExecute = acOpenExecute\n"
    "    end\n"
    "    object acRadio: TAction\n"
    "      Checked = True\n"
    "      GroupIndex = 1\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(FormsStreamingTest, ActionListsComeFromFormDescriptions) {
  TActionForm form(nullptr);
  ReadFromText(kActionForm, &form);
  ASSERT_NE(form.alActions, nullptr);
  ASSERT_NE(form.acOpen, nullptr);
  ASSERT_EQ(form.alActions->ActionCount(), 2);
  EXPECT_EQ(form.alActions->Actions(0), form.acOpen);
  EXPECT_EQ(form.acOpen->Owner(), &form);
  EXPECT_EQ(form.acOpen->Caption(), "&Open");
  EXPECT_EQ(form.acOpen->Category(), "File");
  EXPECT_EQ(form.acOpen->ImageIndex(), 3);
  EXPECT_EQ(ShortCutToText(form.acOpen->ShortCut()), "Ctrl+O");
  auto* radio = static_cast<TAction*>(form.alActions->Actions(1));
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(radio->GroupIndex(), 1);
  EXPECT_TRUE(radio->Enabled());

  EXPECT_TRUE(form.acOpen->Execute());
  EXPECT_EQ(form.Log, (std::vector<std::string>{"update", "execute"}));
  EXPECT_EQ(WriteToText(&form), kActionForm);
}

TEST(FormsStreamingTest, ActionListsReferToImageListsThatCarryTheirImages) {
  TActionForm form(nullptr);
  form.SetName("ActionForm");
  auto* images = new TImageList(&form);
  images->SetName("imgSmall");
  TBitmap glyph(16, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
  images->Add(&glyph, nullptr);
  auto* list = new TActionList(&form);
  list->SetName("alActions");
  list->SetImages(images);
  AnsiString text = WriteToText(&form);
  EXPECT_NE(text.find("Images = imgSmall"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Bitmap = {"), AnsiString::npos) << text;

  TActionForm back(nullptr);
  ReadFromText(text, &back);
  ASSERT_NE(back.imgSmall, nullptr);
  ASSERT_NE(back.alActions, nullptr);
  EXPECT_EQ(back.alActions->Images(), back.imgSmall);
  EXPECT_EQ(back.imgSmall->Count(), 1);
  TBitmap out;
  back.imgSmall->GetBitmap(0, &out);
  EXPECT_EQ(out.Canvas()->Pixels(8, 8), clRed);
}

TEST(FormsStreamingTest, FontsBitmapsAndPicturesTravelAsPropertiesAndData) {
  TGlyphHolder holder(nullptr);
  holder.SetName("Holder");
  holder.Font()->SetStyle({fsBold});
  holder.Font()->SetColor(clBtnText);
  holder.Glyph()->SetPixelFormat(pf32bit);
  holder.Glyph()->SetSize(2, 2);
  static_cast<uint32_t*>(holder.Glyph()->ScanLine(0))[1] = 0x80102030u;
  holder.Picture()->Bitmap()->SetSize(1, 1);
  AnsiString text = WriteToText(&holder);
  EXPECT_NE(text.find("Font.Charset = DEFAULT_CHARSET"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Font.Color = clBtnText"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Font.Name = 'Tahoma'"), AnsiString::npos) << text;
  EXPECT_NE(text.find("Font.Style = [fsBold]"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("Font.Size"), AnsiString::npos) << "Size is not stored";
  // 2 x 2 at 32 bits: a length of 46 (70) bytes, then "BM".
  EXPECT_NE(text.find("Glyph.Data = {\n    46000000424D"), AnsiString::npos) << text;
  // The class name as a short string, then the bitmap's data.
  EXPECT_NE(text.find("Picture.Data = {\n    07544269746D6170"), AnsiString::npos) << text;

  TGlyphHolder back(nullptr);
  ReadFromText(text, &back);
  EXPECT_EQ(back.Font()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(back.Font()->Color(), clBtnText);
  EXPECT_EQ(back.Font()->Height(), holder.Font()->Height());
  EXPECT_EQ(back.Glyph()->PixelFormat(), pf32bit);
  EXPECT_EQ(static_cast<uint32_t*>(back.Glyph()->ScanLine(0))[1], 0x80102030u);
  ASSERT_NE(dynamic_cast<TBitmap*>(back.Picture()->Graphic()), nullptr);
  EXPECT_EQ(back.Picture()->Width(), 1);

  TGlyphHolder empty(nullptr);
  empty.SetName("Empty");
  AnsiString none = WriteToText(&empty);
  EXPECT_EQ(none.find("Glyph.Data"), AnsiString::npos) << "an empty graphic writes no data";
  EXPECT_EQ(none.find("Picture.Data"), AnsiString::npos);
}

}  // namespace
