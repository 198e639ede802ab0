#include "app/PointerState.h"

namespace folianto {

void PointerState::OnHover(HoverTarget target) {
  if (setting_ == PointerSetting::Busy) return;
  switch (target) {
    case HoverTarget::PictureButton:
      setting_ = PointerSetting::Custom;
      break;
    case HoverTarget::FileList:
    case HoverTarget::Background:
      setting_ = PointerSetting::Arrow;
      break;
    case HoverTarget::Other:
      break;
  }
}

ShownPointer PointerToShow(PointerSetting setting, bool hasCustomImage) {
  switch (setting) {
    case PointerSetting::Arrow:
      return ShownPointer::Arrow;
    case PointerSetting::Busy:
      return ShownPointer::Hourglass;
    case PointerSetting::Custom:
      return hasCustomImage ? ShownPointer::CustomImage : ShownPointer::Arrow;
    case PointerSetting::PlatformDefault:
      break;
  }
  return ShownPointer::PlatformDefault;
}

}  // namespace folianto
