#include "platform/rtl/mask_text.h"

#include <vector>

#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"

namespace {

enum class TCase { Keep, Upper, Lower };

struct TElement {
  // 0 for a literal, else the mask character of the position.
  WideChar Kind = 0;
  WideChar Literal = 0;
  TCase Case = TCase::Keep;
};

struct TMask {
  std::vector<TElement> Elements;
  bool SaveLiterals = true;
  WideChar Blank = u'_';
  bool LeadingBlanks = false;
};

bool IsDigit(WideChar C) { return C >= u'0' && C <= u'9'; }

bool IsLetter(WideChar C) {
  if ((C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z')) return true;
  if (C < 0xC0) return false;
  const WideString S(1, C);
  return WideUpperCase(S) != WideLowerCase(S);
}

bool IsOptional(WideChar Kind) {
  return Kind == u'9' || Kind == u'#' || Kind == u'l' || Kind == u'a' || Kind == u'c';
}

bool Fits(WideChar Kind, WideChar C) {
  if (C == u' ' && IsOptional(Kind)) return true;
  switch (Kind) {
    case u'0':
    case u'9':
      return IsDigit(C);
    case u'#':
      return IsDigit(C) || C == u'+' || C == u'-';
    case u'L':
    case u'l':
      return IsLetter(C);
    case u'A':
    case u'a':
      return IsLetter(C) || IsDigit(C);
    default:
      return true;  // C and c
  }
}

WideChar Cased(WideChar C, TCase Case) {
  if (Case == TCase::Keep || !IsLetter(C)) return C;
  const WideString S(1, C);
  const WideString R = Case == TCase::Upper ? WideUpperCase(S) : WideLowerCase(S);
  return R.size() == 1 ? R[0] : C;
}

// The positions of the ';' that are not taken literally by a '\'.
std::vector<size_t> SectionBreaks(const WideString& EditMask) {
  std::vector<size_t> Breaks;
  for (size_t I = 0; I < EditMask.size(); ++I) {
    if (EditMask[I] == u'\\') {
      ++I;
    } else if (EditMask[I] == u';') {
      Breaks.push_back(I);
    }
  }
  return Breaks;
}

TMask Parse(const WideString& EditMask) {
  TMask M;
  const std::vector<size_t> Breaks = SectionBreaks(EditMask);
  size_t MaskEnd = EditMask.size();
  if (Breaks.size() >= 2) {
    // The last two sections are the options; any earlier ';' belongs to
    // the mask as a literal.
    const size_t Save = Breaks[Breaks.size() - 2], Blank = Breaks.back();
    MaskEnd = Save;
    M.SaveLiterals = EditMask.substr(Save + 1, Blank - Save - 1) != u"0";
    if (Blank + 1 < EditMask.size()) M.Blank = EditMask[Blank + 1];
  } else if (Breaks.size() == 1) {
    MaskEnd = Breaks[0];
    M.SaveLiterals = EditMask.substr(MaskEnd + 1) != u"0";
  }
  TCase Case = TCase::Keep;
  for (size_t I = 0; I < MaskEnd; ++I) {
    const WideChar C = EditMask[I];
    TElement E;
    switch (C) {
      case u'\\':
        if (++I >= MaskEnd) continue;
        E.Literal = EditMask[I];
        break;
      case u'>':
        if (I + 1 < MaskEnd && EditMask[I + 1] == u'<') {
          Case = TCase::Keep;
          ++I;
        } else {
          Case = TCase::Upper;
        }
        continue;
      case u'<':
        if (I + 1 < MaskEnd && EditMask[I + 1] == u'>') {
          Case = TCase::Keep;
          ++I;
        } else {
          Case = TCase::Lower;
        }
        continue;
      case u'!':
        M.LeadingBlanks = true;
        continue;
      case u'_':
        E.Literal = u' ';
        break;
      case u'0':
      case u'9':
      case u'#':
      case u'L':
      case u'l':
      case u'A':
      case u'a':
      case u'C':
      case u'c':
        E.Kind = C;
        E.Case = Case;
        break;
      default:
        E.Literal = C;
        break;
    }
    M.Elements.push_back(E);
  }
  return M;
}

// One pass over the mask; the first Skip positions stay blank and take
// nothing from the value. Filled counts the positions the value filled.
WideString Apply(const TMask& M, const WideString& Value, size_t Skip, size_t& Filled) {
  WideString Out;
  size_t V = 0;
  Filled = 0;
  size_t Position = 0;
  for (const TElement& E : M.Elements) {
    if (E.Kind == 0) {
      if (M.SaveLiterals && V < Value.size() && Value[V] == E.Literal) ++V;
      Out += E.Literal;
      continue;
    }
    if (Position++ < Skip) {
      Out += M.Blank;
      continue;
    }
    while (V < Value.size() && !Fits(E.Kind, Value[V])) ++V;
    if (V < Value.size()) {
      Out += Cased(Value[V++], E.Case);
      ++Filled;
    } else {
      Out += M.Blank;
    }
  }
  return Out;
}

}  // namespace

WideString FormatMaskText(const WideString& EditMask, const WideString& Value) {
  const TMask M = Parse(EditMask);
  size_t Filled = 0;
  WideString Out = Apply(M, Value, 0, Filled);
  if (M.LeadingBlanks) {
    size_t Positions = 0;
    for (const TElement& E : M.Elements)
      if (E.Kind != 0) ++Positions;
    if (Filled < Positions) Out = Apply(M, Value, Positions - Filled, Filled);
  }
  return Out;
}

AnsiString FormatMaskText(const AnsiString& EditMask, const AnsiString& Value) {
  return WideToAnsi(FormatMaskText(AnsiToWide(EditMask), AnsiToWide(Value)));
}
