#include "app/PointerState.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

using S = PointerSetting;
using T = HoverTarget;

TEST(PointerState, HoverFollowsTheTableAndNeverOverwritesTheHourglass) {
  const struct {
    S from;
    T over;
    S to;
  } cases[] = {
      {S::PlatformDefault, T::PictureButton, S::Custom},
      {S::Arrow, T::PictureButton, S::Custom},
      {S::Custom, T::PictureButton, S::Custom},
      {S::PlatformDefault, T::FileList, S::Arrow},
      {S::Custom, T::FileList, S::Arrow},
      {S::Custom, T::Background, S::Arrow},
      {S::Arrow, T::Background, S::Arrow},
      {S::Custom, T::Other, S::Custom},
      {S::PlatformDefault, T::Other, S::PlatformDefault},
      {S::Busy, T::PictureButton, S::Busy},
      {S::Busy, T::FileList, S::Busy},
      {S::Busy, T::Background, S::Busy},
      {S::Busy, T::Other, S::Busy},
  };
  for (const auto& c : cases) {
    PointerState state;
    state.Set(c.from);
    state.OnHover(c.over);
    EXPECT_EQ(state.Setting(), c.to)
        << static_cast<int>(c.from) << " over " << static_cast<int>(c.over);
  }
}

TEST(PointerState, AJoinBringsTheArrowBackAfterItsHourglass) {
  PointerState state;
  EXPECT_EQ(state.Setting(), S::PlatformDefault);
  state.OnHover(T::PictureButton);
  state.Set(S::Busy);
  state.OnHover(T::PictureButton);
  state.OnHover(T::Background);
  EXPECT_EQ(state.Setting(), S::Busy);
  state.Set(S::Arrow);
  state.OnHover(T::Other);
  EXPECT_EQ(state.Setting(), S::Arrow);
  state.OnHover(T::PictureButton);
  EXPECT_EQ(state.Setting(), S::Custom);
}

TEST(PointerState, ShowsTheArrowForTheCustomSettingWithoutAnImage) {
  const struct {
    S setting;
    bool hasImage;
    ShownPointer shown;
  } cases[] = {
      {S::PlatformDefault, true, ShownPointer::PlatformDefault},
      {S::Arrow, true, ShownPointer::Arrow},
      {S::Busy, false, ShownPointer::Hourglass},
      {S::Custom, true, ShownPointer::CustomImage},
      {S::Custom, false, ShownPointer::Arrow},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PointerToShow(c.setting, c.hasImage), c.shown) << static_cast<int>(c.setting);
  }
}

}  // namespace
}  // namespace folianto
