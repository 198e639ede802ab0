#include "platform/Accessibility.h"

#include <objbase.h>
// The property and class ids of Direct Annotation are defined here, not imported from a library.
#include <initguid.h>
#include <oleacc.h>

#include "platform/SystemLibrary.h"
#include "platform/UiThread.h"

namespace folianto {

namespace {

bool Annotate(IAccPropServices& services, std::initializer_list<AccessibleName> names,
              std::initializer_list<HWND> hidden) {
  bool all = true;
  for (const AccessibleName& named : names) {
    all &= SUCCEEDED(services.SetHwndPropStr(named.control, static_cast<DWORD>(OBJID_CLIENT),
                                             CHILDID_SELF, PROPID_ACC_NAME, named.name));
  }
  VARIANT state{};
  state.vt = VT_I4;
  state.lVal = STATE_SYSTEM_INVISIBLE;
  for (HWND control : hidden) {
    all &= SUCCEEDED(services.SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          PROPID_ACC_STATE, state));
  }
  return all;
}

}  // namespace

bool AnnotateForScreenReaders(std::initializer_list<AccessibleName> names,
                              std::initializer_list<HWND> hidden) {
  static const auto create =
      SystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  if (!create || !StartComOnUiThread()) return false;
  IAccPropServices* services = nullptr;
  if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                    reinterpret_cast<void**>(&services)))) {
    return false;
  }
  const bool annotated = Annotate(*services, names, hidden);
  services->Release();
  return annotated;
}

bool ScreenReaderRunning() {
  BOOL running = FALSE;
  return ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

}  // namespace folianto
