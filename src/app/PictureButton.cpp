#include "app/PictureButton.h"

#include <algorithm>

namespace folianto {

namespace {

constexpr int kGap = 2;
// Between the face's edges and what it shows.
constexpr int kInset = 3;

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

  // Picture and caption stand together in the middle. Of a caption too tall for the button only
  // the lines that fit whole show, never the top of the next one cut by the edge, at any dpi; the
  // tooltip gives the whole caption.
  const int width = face.right - face.left;
  const int height = face.bottom - face.top;
  RECT textBox{face.left + kInset, 0, face.right - kInset, 0};
  ::DrawTextW(dc, caption, -1, &textBox, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const int lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
  const int room = height - 2 * kInset - pictureSize_ - kGap;
  const int captionLines = static_cast<int>(textBox.bottom - textBox.top) / lineHeight;
  const int lines = std::clamp(room / lineHeight, 0, captionLines);
  const int block = pictureSize_ + kGap + lines * lineHeight;
  const int top = face.top + std::max(kInset, (height - block) / 2) + shift;

  if (picture_) {
    ::DrawIconEx(dc, face.left + (width - pictureSize_) / 2 + shift, top, picture_.Get(),
                 pictureSize_, pictureSize_, 0, nullptr, DI_NORMAL);
  }
  const int textTop = top + pictureSize_ + kGap;
  RECT text{face.left + kInset + shift, textTop, face.right - kInset + shift,
            textTop + lines * lineHeight};
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  // Clipped to the box, which ends where the next line would begin.
  ::DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_WORDBREAK);
  if (oldFont) ::SelectObject(dc, oldFont);

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = face;
    ::InflateRect(&focus, -4, -4);
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace folianto
