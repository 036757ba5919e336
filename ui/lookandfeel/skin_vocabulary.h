// The names skins are written in: control groups and their elements, form
// elements, colour and layout property names, and the name parts that
// elements look their text colours and alternate images up by.
#pragma once

#include "ui/lookandfeel/skin_types.h"

// Text-colour property names by index (1 normal, 2 hot, 3 pressed, 4
// disabled; index 0 has none), after the caller's prefix.
extern const char* const dxSkinTextColorNames[5];
// The element states in state order, as alternate image names end.
extern const char* const dxSkinElementStateNames[dxSkinElementStateCount];

struct TdxSkinVocabularyTable {
  const char* Name;  // the control group's name, or null for a list of names alone
  const char* const* Names;
  int Count;
};

extern const TdxSkinVocabularyTable dxSkinCommonGroup;
extern const TdxSkinVocabularyTable dxSkinEditorsGroup;
extern const TdxSkinVocabularyTable dxSkinGridGroup;
extern const TdxSkinVocabularyTable dxSkinVerticalGridGroup;
extern const TdxSkinVocabularyTable dxSkinFormElements;
extern const TdxSkinVocabularyTable dxSkinColorPropertyNames;
extern const TdxSkinVocabularyTable dxSkinLayoutPropertyNames;
