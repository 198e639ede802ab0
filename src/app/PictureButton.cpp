#include "app/PictureButton.h"

#include <algorithm>

namespace folianto {

namespace {

constexpr int kGap = 2;

}  // namespace

HWND PictureButton::Create(HWND parent, int id, const std::wstring& caption, bool tabStop,
                           const RECT& place) {
  const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0);
  window_ = ::CreateWindowExW(
      0, L"BUTTON", caption.c_str(), style, place.left, place.top, place.right - place.left,
      place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  return window_;
}

void PictureButton::SetPicture(UniqueIcon picture, int pictureSize) {
  picture_ = std::move(picture);
  pictureSize_ = pictureSize;
  if (window_) ::InvalidateRect(window_, nullptr, TRUE);
}

void PictureButton::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  if (onClick_) onClick_();
  // Every handler puts the button back to 0 at once: it is redrawn only when left in another state
  // than the one drawn, so a press costs no drawing before its work, however long that runs.
  if (window_ && value_ != drawnValue_) ::InvalidateRect(window_, nullptr, TRUE);
}

void PictureButton::Draw(const DRAWITEMSTRUCT& item, HBRUSH faceBrush) const {
  const HDC dc = item.hDC;
  RECT face = item.rcItem;
  drawnValue_ = value_;
  const bool sunken = value_ == 1 || (item.itemState & ODS_SELECTED);

  ::FillRect(dc, &face, faceBrush);
  ::DrawEdge(dc, &face, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const int shift = sunken ? 1 : 0;

  wchar_t caption[128] = {};
  ::GetWindowTextW(window_, caption, static_cast<int>(std::size(caption)));
  // The font the window gave the button with WM_SETFONT.
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
  const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;

  // Picture and caption stand together in the middle; a caption too tall for the button is
  // clipped at the bottom rather than pushing the picture out of sight.
  const int width = face.right - face.left;
  const int height = face.bottom - face.top;
  RECT textBox{face.left + 3, 0, face.right - 3, 0};
  ::DrawTextW(dc, caption, -1, &textBox, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
  const int textHeight = textBox.bottom - textBox.top;
  const int block = pictureSize_ + kGap + textHeight;
  const int top = face.top + std::max(3, (height - block) / 2) + shift;

  if (picture_) {
    ::DrawIconEx(dc, face.left + (width - pictureSize_) / 2 + shift, top, picture_.Get(),
                 pictureSize_, pictureSize_, 0, nullptr, DI_NORMAL);
  }
  RECT text{face.left + 3 + shift, top + pictureSize_ + kGap, face.right - 3 + shift,
            face.bottom - 2};
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_WORDBREAK);
  if (oldFont) ::SelectObject(dc, oldFont);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = face;
    ::InflateRect(&focus, -4, -4);
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace folianto
