// The width distributor: hands a space out among items in proportion to
// their desired widths, keeping fixed items at their width and items whose
// share would fall below their minimum at that minimum (status-bar panels).
#pragma once

#include "ui/foundation/fast_list.h"

class TcxAutoWidthItem : public TObject {
  RTL_CLASS(TcxAutoWidthItem, TObject)

 public:
  TcxAutoWidthItem() = default;
  Integer MinimumWidth = 0;
  Integer DesiredWidth = 0;
  bool Fixed = false;
  // -1 until Calculate has run.
  Integer ComputedWidth = -1;
};

class TcxAutoWidthObject : public TObject {
  RTL_CLASS(TcxAutoWidthObject, TObject)
  TdxFastObjectList FItems;

 public:
  explicit TcxAutoWidthObject(Integer ACapacity = 0);
  ~TcxAutoWidthObject() override;

  Integer SpaceToFill = 0;

  TcxAutoWidthItem* NewItem();
  // Fills every item's ComputedWidth.
  void Calculate();
  // The sum of the desired widths.
  Integer TotalWidth() const;
  Integer Count() const { return FItems.Count(); }
  TcxAutoWidthItem* Items(Integer Index) const { return static_cast<TcxAutoWidthItem*>(FItems.Items(Index)); }
};
