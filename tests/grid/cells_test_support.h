// A stand-in for the grid and its columns, as the cell store sees them.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "grid/nx_cells.h"

class TFakeCellsHost : public TCellsHost {
 public:
  std::vector<TCellColumnInfo> Columns;
  std::map<std::pair<Integer, Integer>, WideString> VirtualText;
  Integer VirtualWrites = 0;

  Integer CellColumnCount() const override { return static_cast<Integer>(Columns.size()); }
  TCellColumnInfo CellColumnInfo(Integer Index) const override { return Columns.at(static_cast<size_t>(Index)); }
  TColor CellDisplayColor(Integer ACol, Integer ARow) const override { return ACol * 1000 + ARow; }
  TColor CellDisplayFontColor(Integer ACol, Integer ARow) const override { return -(ACol * 1000 + ARow); }
  WideString GetVirtualCellText(TObject*, Integer ACol, Integer ARow) const override {
    auto it = VirtualText.find({ACol, ARow});
    return it == VirtualText.end() ? WideString() : it->second;
  }
  void SetVirtualCellText(TObject*, Integer ACol, Integer ARow, const WideString& Value) override {
    VirtualText[{ACol, ARow}] = Value;
    ++VirtualWrites;
  }

  // Adds a column of the kind, as the grid does, and tells the store.
  void AddColumn(TCells& Store, TCellKind Kind, TColor Color = clWindow, TColor FontColor = clWindowText,
                 TFontStyles Style = {}) {
    TCellColumnInfo Info;
    Info.Kind = Kind;
    Info.Color = Color;
    Info.FontColor = FontColor;
    Info.FontStyle = Style;
    Columns.push_back(Info);
    Store.AddColumn();
  }
};
