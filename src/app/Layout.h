#pragma once

#include <array>

#include "resource.h"

namespace folianto {

// Layout numbers are twips (1/1440 inch), as the window was designed; they are turned into pixels
// by the window's real dpi in one place, TwipsToPixels.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

enum class ControlKind { PushButton, PictureButton, ListView, ProgressBar, Label };

enum ControlId : int {
  kCommand1 = IDC_COMMAND1,
  kCheck1 = IDC_CHECK1,
  kCheck2 = IDC_CHECK2,
  kCheck3 = IDC_CHECK3,
  kCheck4 = IDC_CHECK4,
  kCheck5 = IDC_CHECK5,
  kListView1 = IDC_LISTVIEW1,
  kProgressBar1 = IDC_PROGRESSBAR1,
  kLabel1 = IDC_LABEL1,
};

struct ControlSpec {
  ControlId id;
  ControlKind kind;
  const wchar_t* text;
  TwipsRect twips;
  int fontCentipoints;  // "Arial" bold at this size / 100; 0 keeps the system font
  bool tabStop;
  int iconId;  // picture buttons only
};

inline constexpr int kForm1ClientWidthTwips = 7695;
inline constexpr int kForm1ClientHeightTwips = 3630;
inline constexpr int kFileListColumnTwips = 6000;
inline constexpr int kPictureTwips = 480;  // the 32 x 32 pictures at 96 dpi

// In the order of creation, which is the tab order. Label1 comes just before ProgressBar1, so that
// screen readers name the bar after it; neither takes the focus, so Tab is the same either way.
inline constexpr std::array<ControlSpec, 9> kForm1Controls{{
    {kCommand1, ControlKind::PushButton, L"Command1", {-720, 2640, 615, 495}, 0, true, 0},
    {kCheck1,
     ControlKind::PictureButton,
     L"Add PDF File(s)",
     {120, 2040, 2415, 1095},
     1125,
     true,
     IDI_ADD_FILES},
    {kCheck2, ControlKind::PictureButton, L"Join!", {5160, 2040, 2415, 1095}, 1125, true, IDI_JOIN},
    {kListView1, ControlKind::ListView, L"", {120, 120, 6495, 1815}, 900, true, 0},
    {kCheck4,
     ControlKind::PictureButton,
     L"Add All PDF File(s) In Folder",
     {2640, 2040, 2415, 1095},
     1125,
     true,
     IDI_ADD_FOLDER},
    {kLabel1, ControlKind::Label, L"Progress:", {120, 3240, 900, 255}, 975, false, 0},
    {kProgressBar1, ControlKind::ProgressBar, L"", {1200, 3240, 6375, 255}, 0, false, 0},
    {kCheck3,
     ControlKind::PictureButton,
     L"Move Up",
     {6720, 120, 855, 855},
     1125,
     true,
     IDI_MOVE_UP},
    {kCheck5,
     ControlKind::PictureButton,
     L"Move Down",
     {6720, 1080, 855, 855},
     1125,
     true,
     IDI_MOVE_DOWN},
}};

// Rounds to the nearest pixel, halves away from zero.
int TwipsToPixels(int twips, int dpi);

// The LOGFONT height (negative: character height) of a font of centipoints / 100 points.
int FontHeightForDpi(int centipoints, int dpi);

// Where a window of the outer size starts so that it stands in the middle of the screen: the
// exact half of the difference, turned into whole pixels.
int CenteredOffset(int screenSize, int outerSize);

}  // namespace folianto
