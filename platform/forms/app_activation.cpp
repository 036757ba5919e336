#include "platform/forms/app_activation.h"

#include <vector>

#include "platform/forms/controls.h"

namespace {

void Collect(TWinControl* Parent, std::vector<TControlLink>& Links) {
  for (Integer I = 0; I < Parent->ControlCount(); ++I) {
    TControl* C = Parent->Controls(I);
    Links.push_back(C->Link());
    if (auto* W = dynamic_cast<TWinControl*>(C)) Collect(W, Links);
  }
}

}  // namespace

void NotifyAppActivationChanged(TWinControl* Root, bool Active) {
  if (!Root) return;
  // The tree is taken first: a handler may free controls or add new ones.
  std::vector<TControlLink> Links;
  Collect(Root, Links);
  for (const TControlLink& L : Links)
    if (TControl* C = L.Get()) C->Perform(CM_APPACTIVATECHANGED, Active ? 1 : 0, 0);
}
