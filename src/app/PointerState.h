#pragma once

namespace folianto {

// The one pointer setting of the main window, with the codes the join command also uses.
enum class PointerSetting : int { PlatformDefault = 0, Arrow = 1, Busy = 11, Custom = 99 };

// What the mouse moved over.
enum class HoverTarget { PictureButton, FileList, Background, Other };

// What the window shows for a setting.
enum class ShownPointer { PlatformDefault, Arrow, Hourglass, CustomImage };

// The pointer feedback: the hand over the picture buttons, the arrow over the list and the
// background, and the hourglass, once set, surviving every hover until the join takes it away.
class PointerState {
 public:
  PointerSetting Setting() const { return setting_; }
  void Set(PointerSetting setting) { setting_ = setting; }
  void OnHover(HoverTarget target);

 private:
  PointerSetting setting_ = PointerSetting::PlatformDefault;
};

// While the setting asks for the custom image and there is none, the arrow shows.
ShownPointer PointerToShow(PointerSetting setting, bool hasCustomImage);

}  // namespace folianto
