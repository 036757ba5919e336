// Component streaming: writing and reading a form of 2,000 components in
// the binary form, converting it to and from text, and reading its text.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"

RTL_ENUM(TBenchAlign, baNone, baTop, baBottom, baLeft, baRight, baClient)
RTL_ENUM(TBenchAnchor, baLeftAnchor, baTopAnchor, baRightAnchor, baBottomAnchor)
using TBenchAnchors = TSet<TBenchAnchor, 8>;

// A control with the usual kinds of properties and a parent.
class TBenchControl : public TComponent {
  RTL_CLASS(TBenchControl, TComponent)
  TBenchControl* FParent = nullptr;
  std::vector<TBenchControl*> FControls;
  Integer FLeft = 0, FTop = 0, FWidth = 64, FHeight = 24;
  AnsiString FCaption;
  TBenchAlign FAlign = baNone;
  TBenchAnchors FAnchors{baLeftAnchor, baTopAnchor};
  bool FVisible = true;
  double FScale = 0;
  TBenchControl* FLink = nullptr;

 protected:
  void SetParentComponent(TComponent* Value) override {
    FParent = dynamic_cast<TBenchControl*>(Value);
    if (FParent) FParent->FControls.push_back(this);
  }

 public:
  explicit TBenchControl(TComponent* AOwner) : TComponent(AOwner) {}
  bool HasParent() const override { return FParent != nullptr; }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (TBenchControl* c : FControls)
      if (c->Owner() == Root) Proc(c);
  }
  void Add(TBenchControl* Child) { Child->SetParentComponent(this); }

  TNotifyEvent OnClick;
  Integer Left() const { return FLeft; }
  void SetLeft(Integer Value) { FLeft = Value; }
  Integer Top() const { return FTop; }
  void SetTop(Integer Value) { FTop = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { FHeight = Value; }
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  TBenchAlign Align() const { return FAlign; }
  void SetAlign(TBenchAlign Value) { FAlign = Value; }
  TBenchAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TBenchAnchors Value) { FAnchors = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  double Scale() const { return FScale; }
  void SetScale(double Value) { FScale = Value; }
  TBenchControl* Link() const { return FLink; }
  void SetLink(TBenchControl* Value) { FLink = Value; }
};

class TBenchForm : public TBenchControl {
  RTL_CLASS(TBenchForm, TBenchControl)

 public:
  explicit TBenchForm(TComponent* AOwner) : TBenchControl(AOwner) {}
  void Click(TObject*) {}
};

RTL_IMPLEMENT_PUBLISHED(TBenchControl,
                        RTL_PROP(Left),
                        RTL_PROP(Top),
                        RTL_PROP(Width).Default(64),
                        RTL_PROP(Height).Default(24),
                        RTL_PROP(Caption),
                        RTL_PROP(Align).Default(baNone),
                        RTL_PROP(Anchors).Default({baLeftAnchor, baTopAnchor}),
                        RTL_PROP(Visible).Default(true),
                        RTL_PROP(Scale),
                        RTL_PROP(Link),
                        RTL_EVENT(OnClick))
RTL_IMPLEMENT_PUBLISHED(TBenchForm, RTL_HANDLER(Click))

namespace {

// 200 panels of 9 buttons, each button linked to its neighbour and bound
// to the form's handler: 2,000 components under the form.
std::unique_ptr<TBenchForm> BuildForm() {
  static const bool registered = [] {
    RegisterClasses({TBenchControl::StaticClass(), TBenchForm::StaticClass()});
    return true;
  }();
  (void)registered;
  auto form = std::make_unique<TBenchForm>(nullptr);
  form->SetName("BenchForm");
  int n = 0;
  for (int p = 0; p < 200; ++p) {
    auto* panel = new TBenchControl(form.get());
    panel->SetName("Panel" + std::to_string(p));
    panel->SetAlign(baTop);
    panel->SetTop(p * 30);
    form->Add(panel);
    TBenchControl* previous = nullptr;
    for (int b = 0; b < 9; ++b) {
      auto* button = new TBenchControl(form.get());
      button->SetName("Button" + std::to_string(n++));
      button->SetLeft(b * 70);
      button->SetTop(4);
      button->SetCaption("Button caption " + std::to_string(b));
      button->SetAnchors({baLeftAnchor, baRightAnchor});
      button->SetScale(1.5);
      button->SetLink(previous);
      button->OnClick = TNotifyEvent(form.get(), &TBenchForm::Click);
      panel->Add(button);
      previous = button;
    }
  }
  return form;
}

AnsiString Binary(TComponent* root) {
  TStringStream s;
  TWriter writer(&s, 4096);
  writer.WriteRootComponent(root);
  return s.DataString();
}

AnsiString Text(const AnsiString& binary) {
  TStringStream in(binary), out;
  ObjectBinaryToText(&in, &out);
  return out.DataString();
}

void BM_WriteBinary(benchmark::State& state) {
  auto form = BuildForm();
  for (auto _ : state) {
    TMemoryStream s;
    TWriter writer(&s, 4096);
    writer.WriteRootComponent(form.get());
    benchmark::DoNotOptimize(s.Size());
  }
  state.SetItemsProcessed(state.iterations() * form->ComponentCount());
}
BENCHMARK(BM_WriteBinary)->Unit(benchmark::kMillisecond);

void BM_ReadBinary(benchmark::State& state) {
  auto form = BuildForm();
  AnsiString binary = Binary(form.get());
  for (auto _ : state) {
    TStringStream s(binary);
    TReader reader(&s, 4096);
    std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
    benchmark::DoNotOptimize(root->ComponentCount());
  }
  state.SetItemsProcessed(state.iterations() * form->ComponentCount());
}
BENCHMARK(BM_ReadBinary)->Unit(benchmark::kMillisecond);

void BM_BinaryToText(benchmark::State& state) {
  auto form = BuildForm();
  AnsiString binary = Binary(form.get());
  for (auto _ : state) benchmark::DoNotOptimize(Text(binary).size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(binary.size()));
}
BENCHMARK(BM_BinaryToText)->Unit(benchmark::kMillisecond);

void BM_TextToBinary(benchmark::State& state) {
  auto form = BuildForm();
  AnsiString text = Text(Binary(form.get()));
  for (auto _ : state) {
    TStringStream in(text), out;
    ObjectTextToBinary(&in, &out);
    benchmark::DoNotOptimize(out.Size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextToBinary)->Unit(benchmark::kMillisecond);

void BM_ReadText(benchmark::State& state) {
  auto form = BuildForm();
  AnsiString text = Text(Binary(form.get()));
  for (auto _ : state) {
    TStringStream in(text);
    std::unique_ptr<TComponent> root(ReadComponentText(&in, nullptr));
    benchmark::DoNotOptimize(root->ComponentCount());
  }
  state.SetItemsProcessed(state.iterations() * form->ComponentCount());
}
BENCHMARK(BM_ReadText)->Unit(benchmark::kMillisecond);

}  // namespace
