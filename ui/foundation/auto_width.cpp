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
  for (Integer i = 0; i < Count(); ++i) total += Items(i)->FDesiredWidth;
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
  Integer remainingSpace = FSpaceToFill;
  Integer remainingWidth = TotalWidth();
  for (Integer i = 0; i < Count(); ++i) {
    TcxAutoWidthItem* item = Items(i);
    item->FComputedWidth = -1;
    if (item->FFixed) {
      item->FComputedWidth = item->FDesiredWidth;
      remainingSpace -= item->FComputedWidth;
      remainingWidth -= item->FDesiredWidth;
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
      if (item->FComputedWidth != -1) continue;
      Integer share =
          Portion(running + item->FDesiredWidth, space, width) - Portion(running, space, width);
      if (lastPass)
        item->FComputedWidth = share;
      else if (item->FMinimumWidth >= share) {
        item->FComputedWidth = item->FMinimumWidth;
        remainingSpace -= item->FMinimumWidth;
        remainingWidth -= item->FDesiredWidth;
        pinned = true;
      }
      running += item->FDesiredWidth;
    }
    if (!pinned) lastPass = !lastPass;
    if (remainingWidth == 0 || (!pinned && !lastPass)) break;
  }
  // An item the passes never reached (the remaining width ran out first)
  // gets its minimum, never the "not computed" mark.
  for (Integer i = 0; i < Count(); ++i) {
    TcxAutoWidthItem* item = Items(i);
    if (item->FComputedWidth == -1) item->FComputedWidth = item->FMinimumWidth < 0 ? 0 : item->FMinimumWidth;
  }
}
