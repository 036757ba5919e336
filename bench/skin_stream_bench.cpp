// Reading skin streams: a control group of 2,000 elements with properties
// against a plain field-by-field read of the same bytes into locals
// ("ratio_plain", at most 5), and 20,000 elements against 2,000
// ("ratio_scale", at most 12: no list work that grows with the square).
#include <chrono>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/rtl/streams.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_persistent.h"
#include "ui/lookandfeel/skin_properties.h"
#include "ui/lookandfeel/skin_stream.h"
#include "ui/lookandfeel/skins_core.h"

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point AStart) { return std::chrono::duration<double>(TClock::now() - AStart).count(); }

template <class T>
T* Add(TdxSkinPersistent* AOwner, const AnsiString& AName) {
  return static_cast<T*>(AOwner->Properties()->AppendNew(AName, T::StaticClass()));
}

// The group's record after its name: elements named in no sorted order,
// each with four properties.
std::string GroupBytes(int ACount) {
  dx_skins_core_detail::StartSkinsCore();
  TdxSkinControlGroup group(nullptr, "Common");
  for (int i = 0; i < ACount; ++i) {
    auto* element = static_cast<TdxSkinElement*>(
        group.Elements()->AppendNew("Element" + std::to_string((i * 7919) % ACount), TdxSkinElement::StaticClass()));
    element->SetColor(i);
    Add<TdxSkinIntegerProperty>(element, "Indent")->SetValue(i);
    Add<TdxSkinColor>(element, "TextColorHot")->SetValue(i * 3);
    Add<TdxSkinStringProperty>(element, "Caption")->SetValue("Caption " + std::to_string(i));
    Add<TdxSkinRectProperty>(element, "Padding")->SetSide(2, i);
  }
  TStringStream s;
  group.SaveToSkinStream(&s);
  return s.DataString().substr(4 + group.Name().size());
}

double LibraryRead(const std::string& ABytes) {
  TStringStream s(ABytes);
  TdxSkinControlGroup group(nullptr, "Common");
  const auto start = TClock::now();
  group.LoadFromSkinStream(&s, 1.1);
  const double t = Since(start);
  benchmark::DoNotOptimize(group.Count());
  return t;
}

// The same fields read one by one into locals.
Integer Int(TStream* S) {
  Integer v;
  S->ReadBuffer(&v, 4);
  return v;
}
Byte Byte1(TStream* S) {
  Byte v;
  S->ReadBuffer(&v, 1);
  return v;
}
std::string Str(TStream* S) {
  const Integer n = Int(S);
  std::string v(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) S->ReadBuffer(v.data(), n);
  return v;
}
Int64 Image(TStream* S) {
  Int64 sum = 0;
  for (int k = 0; k < 4; ++k) sum += Int(S);
  sum += Byte1(S) + Int(S);
  Word states;
  S->ReadBuffer(&states, 2);
  sum += states + Byte1(S) + Int(S) + Int(S) + Byte1(S) + Int(S);
  return sum;
}

double PlainRead(const std::string& ABytes) {
  TStringStream s(ABytes);
  const auto start = TClock::now();
  Int64 sum = 0;
  size_t text = 0;
  const Integer elements = Int(&s);
  for (Integer e = 0; e < elements; ++e) {
    text += Str(&s).size();
    sum += Int(&s) + Byte1(&s);
    for (int k = 0; k < 4; ++k) sum += Int(&s);
    sum += Image(&s) + Image(&s);
    for (int k = 0; k < 8; ++k) sum += Int(&s);
    sum += Int(&s) + Int(&s) + Int(&s);
    const Integer properties = Int(&s);
    for (Integer p = 0; p < properties; ++p) {
      const std::string tag = Str(&s);
      text += Str(&s).size();
      if (tag == "TdxSkinStringProperty")
        text += Str(&s).size();
      else if (tag == "TdxSkinRectProperty")
        for (int k = 0; k < 4; ++k) sum += Int(&s);
      else
        sum += Int(&s);
    }
  }
  sum += Int(&s);  // the group's empty property list
  const double t = Since(start);
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(text);
  return t;
}

void BM_SkinStreamRead(benchmark::State& state) {
  const std::string small = GroupBytes(2000), large = GroupBytes(20000);
  double library = 0, plain = 0, scaled = 0;
  for (auto _ : state) {
    library += LibraryRead(small);
    plain += PlainRead(small);
    scaled += LibraryRead(large);
  }
  state.counters["ratio_plain"] = plain > 0 ? library / plain : 0;
  state.counters["ratio_scale"] = library > 0 ? scaled / library : 0;
}
BENCHMARK(BM_SkinStreamRead)->Unit(benchmark::kMillisecond);

}  // namespace
