// The width distributor: hands a space out among items in proportion to
// their desired widths, keeping fixed items at their width and items whose
// share would fall below their minimum at that minimum (status-bar panels).
#pragma once

#include "ui/foundation/fast_list.h"

class TcxAutoWidthItem : public TObject {
  RTL_CLASS(TcxAutoWidthItem, TObject)
  friend class TcxAutoWidthObject;
  Integer FMinimumWidth = 0;
  Integer FDesiredWidth = 0;
  bool FFixed = false;
  Integer FComputedWidth = -1;

 public:
  TcxAutoWidthItem() = default;
  Integer MinimumWidth() const { return FMinimumWidth; }
  void SetMinimumWidth(Integer Value) { FMinimumWidth = Value; }
  Integer DesiredWidth() const { return FDesiredWidth; }
  void SetDesiredWidth(Integer Value) { FDesiredWidth = Value; }
  bool Fixed() const { return FFixed; }
  void SetFixed(bool Value) { FFixed = Value; }
  // -1 until Calculate has run.
  Integer ComputedWidth() const { return FComputedWidth; }
};

class TcxAutoWidthObject : public TObject {
  RTL_CLASS(TcxAutoWidthObject, TObject)
  TdxFastObjectList FItems;
  Integer FSpaceToFill = 0;

 public:
  explicit TcxAutoWidthObject(Integer ACapacity = 0);
  ~TcxAutoWidthObject() override;

  Integer SpaceToFill() const { return FSpaceToFill; }
  void SetSpaceToFill(Integer Value) { FSpaceToFill = Value; }

  TcxAutoWidthItem* NewItem();
  // Fills every item's ComputedWidth.
  void Calculate();
  // The sum of the desired widths.
  Integer TotalWidth() const;
  Integer Count() const { return FItems.Count(); }
  TcxAutoWidthItem* Items(Integer Index) const { return static_cast<TcxAutoWidthItem*>(FItems.Items(Index)); }
};
