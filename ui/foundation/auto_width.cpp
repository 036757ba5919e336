#include "ui/foundation/auto_width.h"

#include "platform/rtl/mathutils.h"

RTL_IMPLEMENT_CLASS(TcxAutoWidthItem)
RTL_IMPLEMENT_CLASS(TcxAutoWidthObject)

TcxAutoWidthObject::TcxAutoWidthObject(Integer ACapacity) : FItems(false, ACapacity) {}

TcxAutoWidthObject::~TcxAutoWidthObject() {
  for (Integer i = FItems.Count() - 1; i >= 0; --i) delete Items(i);
}

TcxAutoWidthItem* TcxAutoWidthObject::NewItem() {
  auto* item = new TcxAutoWidthItem;
  FItems.Add(item);
  return item;
}

Integer TcxAutoWidthObject::TotalWidth() const {
  Integer total = 0;
  for (Integer i = 0; i < Count(); ++i) total += Items(i)->DesiredWidth;
  return total;
}

namespace {

// MulDiv answers -1 for a zero divisor; with nothing left to share out the
// share is 0.
Integer Portion(Integer running, Integer space, Integer width) {
  return width == 0 ? 0 : MulDiv(running, space, width);
}

}  // namespace

void TcxAutoWidthObject::Calculate() {
  Integer remainingSpace = SpaceToFill;
  Integer remainingWidth = TotalWidth();
  for (Integer i = 0; i < Count(); ++i) {
    TcxAutoWidthItem* item = Items(i);
    item->ComputedWidth = -1;
    if (item->Fixed) {
      item->ComputedWidth = item->DesiredWidth;
      remainingSpace -= item->ComputedWidth;
      remainingWidth -= item->DesiredWidth;
    }
  }
  bool lastPass = false;
  for (;;) {
    Integer space = remainingSpace;
    Integer width = remainingWidth;
    Integer running = 0;
    bool pinned = false;
    for (Integer i = 0; i < Count(); ++i) {
      TcxAutoWidthItem* item = Items(i);
      if (item->ComputedWidth != -1) continue;
      Integer share =
          Portion(running + item->DesiredWidth, space, width) - Portion(running, space, width);
      if (lastPass)
        item->ComputedWidth = share;
      else if (item->MinimumWidth >= share) {
        item->ComputedWidth = item->MinimumWidth;
        remainingSpace -= item->MinimumWidth;
        remainingWidth -= item->DesiredWidth;
        pinned = true;
      }
      running += item->DesiredWidth;
    }
    if (!pinned) lastPass = !lastPass;
    if (remainingWidth == 0 || (!pinned && !lastPass)) break;
  }
  // An item the passes never reached (the remaining width ran out first)
  // gets its minimum, never the "not computed" mark.
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->ComputedWidth == -1) Items(i)->ComputedWidth = Items(i)->MinimumWidth < 0 ? 0 : Items(i)->MinimumWidth;
}
