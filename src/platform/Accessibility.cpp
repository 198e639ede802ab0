#include "platform/Accessibility.h"

#include <objbase.h>
// The property and class ids of Direct Annotation are defined here, not imported from a library.
#include <initguid.h>
#include <oleacc.h>

#include <iterator>
#include <utility>

#include "platform/SystemLibrary.h"
#include "platform/UiThread.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// Null where the component or COM is missing.
UniqueComPointer<IAccPropServices> CreateAccPropServices() {
  static const auto create =
      SystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  UniqueComPointer<IAccPropServices> services;
  if (create && StartComOnUiThread()) {
    create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
           reinterpret_cast<void**>(services.Put()));
  }
  return services;
}

}  // namespace

Annotation AnnotateForScreenReaders(std::initializer_list<AccessibleText> controls) {
  const auto services = CreateAccPropServices();
  if (!services) return Annotation::Unsupported;
  Annotation outcome = Annotation::Done;
  for (const AccessibleText& text : controls) {
    const std::pair<MSAAPROPID, const wchar_t*> properties[] = {
        {PROPID_ACC_NAME, text.name}, {PROPID_ACC_DESCRIPTION, text.description}};
    for (const auto& [property, value] : properties) {
      if (!value) continue;
      const HRESULT result = services->SetHwndPropStr(
          text.control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, value);
      if (result == E_NOTIMPL) return Annotation::Unsupported;
      if (FAILED(result)) outcome = Annotation::Failed;
    }
  }
  return outcome;
}

void ClearScreenReaderAnnotations(std::initializer_list<HWND> controls) {
  const auto services = CreateAccPropServices();
  if (!services) return;
  const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
  for (HWND control : controls) {
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                             static_cast<int>(std::size(properties)));
  }
}

bool ScreenReaderRunning() {
  BOOL running = FALSE;
  return ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

}  // namespace folianto
