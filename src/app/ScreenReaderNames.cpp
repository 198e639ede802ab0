#include "app/ScreenReaderNames.h"

namespace folianto {

namespace {

constexpr wchar_t kWayInName[] = L"Folianto: joins PDF files";
constexpr wchar_t kWayInDescription[] = L"Press Tab to reach the buttons and the list";

}  // namespace

void ScreenReaderNames::Name() {
  if (annotation_ && *annotation_ != Annotation::Failed) return;
  // Some screen readers ask while the window is being made; the controls are named once they
  // exist.
  if (!wayIn_ || !list_) return;
  annotation_ =
      AnnotateForScreenReaders({{wayIn_, kWayInName, kWayInDescription}, {list_, L"PDF File(s)"}});
}

void ScreenReaderNames::Clear() {
  if (annotation_ && *annotation_ != Annotation::Unsupported) {
    ClearScreenReaderAnnotations({wayIn_, list_});
  }
  annotation_.reset();
}

}  // namespace folianto
