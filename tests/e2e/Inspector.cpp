// Looks at the running Folianto window from outside, for the end-to-end driver: it reads the
// controls another process owns the way any Win32 program can, and changes nothing.
//
// Reads one command per line from standard input and answers each with one line of JSON:
//   main         the main window: found, process id, window and client rectangles on screen
//   controls     every control of the main window: id, class, text, rectangle on screen
//   state        list entries, selected entry (1-based, 0 none), progress position, focused
//                control, the caption of the foreground window
//   itemrect N   the screen rectangle of list entry N (1-based)
//   listparts    the screen rectangles of the list's header and of its vertical scroll bar (null
//                when it shows none)
//   dialogs      the other visible top-level windows of the program: handle, class, caption,
//                message text, whether it stays on top of other windows, and their visible
//                controls: id, class, text, rectangle, style, check state
//   windows      every visible top-level window of any program: class, caption, process id,
//                rectangle
//   tips         the texts of the program's tooltips shown now
//   syscommand N posts WM_SYSCOMMAND N to the main window, as the task bar or a shortcut does
//   screen       the size of the primary screen
//   hold PATH    opens the file without sharing it, as a viewer that locks what it shows
//   release      closes the file held
//   quit         ends the inspector
// Screen coordinates are those of the X root window under Wine with unmanaged windows. With
// several Folianto programs running, the main window is the one shown.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/UniqueHandle.h"
#include "resource.h"

namespace {

using folianto::UniqueKernelHandle;

constexpr wchar_t kMainClass[] = L"FoliantoForm1";
constexpr wchar_t kMainCaption[] = L"Folianto";
constexpr int kMessageTextId = 0xFFFF;
constexpr size_t kRemoteTextChars = 4096;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
  return bytes;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (const char c : Utf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string Json(const RECT& r) {
  std::ostringstream out;
  out << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
  return out.str();
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT is copied across processes by the system, unlike the list view's messages.
  const auto length = static_cast<int>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = static_cast<int>(
      ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

HWND FindMainWindow() {
  HWND hidden = nullptr;
  for (HWND window = nullptr;
       (window = ::FindWindowExW(nullptr, window, kMainClass, kMainCaption));) {
    if (::IsWindowVisible(window)) return window;
    hidden = window;
  }
  return hidden;
}

// Memory inside the program's process: the list view's messages take pointers that must be valid
// there, so the request and the answer travel through it.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size) : process_(process), size_(size) {
    address_ = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  explicit operator bool() const { return address_ != nullptr; }
  char* Address() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return offset + size <= size_ &&
           ::WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return offset + size <= size_ &&
           ::ReadProcessMemory(process_, Address() + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  size_t size_;
  void* address_ = nullptr;
};

class ProgramView {
 public:
  bool Attach() {
    main_ = FindMainWindow();
    if (!main_) return false;
    DWORD processId = 0;
    thread_ = ::GetWindowThreadProcessId(main_, &processId);
    if (processId != processId_) {
      processId_ = processId;
      process_.Reset(::OpenProcess(
          PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
          FALSE, processId));
    }
    return static_cast<bool>(process_);
  }

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return processId_; }
  DWORD Thread() const { return thread_; }
  HWND List() const { return ::GetDlgItem(main_, IDC_LISTVIEW1); }

  std::vector<std::wstring> Items() const {
    std::vector<std::wstring> items;
    const HWND list = List();
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    RemoteBuffer remote(process_.Get(), sizeof(LVITEMW) + kRemoteTextChars * sizeof(wchar_t));
    if (!remote) return items;
    for (int index = 0; index < count; ++index) {
      LVITEMW item{};
      item.iSubItem = 0;
      item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(LVITEMW));
      item.cchTextMax = static_cast<int>(kRemoteTextChars);
      remote.Write(0, &item, sizeof(item));
      const auto length =
          static_cast<size_t>(::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(remote.Address())));
      std::wstring text(length, L'\0');
      if (length > 0) remote.Read(sizeof(LVITEMW), text.data(), length * sizeof(wchar_t));
      items.push_back(std::move(text));
    }
    return items;
  }

  bool ItemRect(int position, RECT& rect) const {
    RemoteBuffer remote(process_.Get(), sizeof(RECT));
    if (!remote) return false;
    RECT request{};
    request.left = LVIR_BOUNDS;
    remote.Write(0, &request, sizeof(request));
    const HWND list = List();
    if (!::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(position - 1),
                        reinterpret_cast<LPARAM>(remote.Address()))) {
      return false;
    }
    if (!remote.Read(0, &rect, sizeof(rect))) return false;
    ::MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return true;
  }

 private:
  HWND main_ = nullptr;
  DWORD thread_ = 0;
  DWORD processId_ = 0;
  UniqueKernelHandle process_;
};

std::string Describe(HWND control) {
  if (!control) return "null";
  RECT r{};
  ::GetWindowRect(control, &r);
  std::ostringstream out;
  out << "{\"id\":" << ::GetDlgCtrlID(control) << ",\"class\":" << Json(ClassOf(control))
      << ",\"text\":" << Json(WindowText(control)) << ",\"rect\":" << Json(r) << "}";
  return out.str();
}

std::string MainCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  RECT window{};
  ::GetWindowRect(view.Main(), &window);
  RECT client{};
  ::GetClientRect(view.Main(), &client);
  ::MapWindowPoints(view.Main(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  std::ostringstream out;
  out << "{\"found\":true,\"pid\":" << view.ProcessId()
      << ",\"visible\":" << (::IsWindowVisible(view.Main()) ? "true" : "false")
      << ",\"enabled\":" << (::IsWindowEnabled(view.Main()) ? "true" : "false")
      << ",\"zoomed\":" << (::IsZoomed(view.Main()) ? "true" : "false")
      << ",\"iconic\":" << (::IsIconic(view.Main()) ? "true" : "false")
      << ",\"caption\":" << Json(WindowText(view.Main())) << ",\"window\":" << Json(window)
      << ",\"client\":" << Json(client) << ",\"captionHeight\":" << ::GetSystemMetrics(SM_CYCAPTION)
      << ",\"captionButton\":" << ::GetSystemMetrics(SM_CXSIZE) << "}";
  return out.str();
}

std::string ControlsCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  std::string out = "{\"found\":true,\"controls\":[";
  bool first = true;
  for (HWND child = ::GetWindow(view.Main(), GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!first) out += ",";
    first = false;
    out += Describe(child);
  }
  return out + "]}";
}

std::string StateCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  const HWND list = view.List();
  const auto selected = static_cast<int>(
      ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  const auto progress = static_cast<int>(
      ::SendMessageW(::GetDlgItem(view.Main(), IDC_PROGRESSBAR1), PBM_GETPOS, 0, 0));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  const HWND focus = ::GetGUIThreadInfo(view.Thread(), &gui) ? gui.hwndFocus : nullptr;

  std::string out = "{\"found\":true,\"items\":[";
  bool first = true;
  for (const std::wstring& item : view.Items()) {
    if (!first) out += ",";
    first = false;
    out += Json(item);
  }
  std::ostringstream rest;
  rest << "],\"selected\":" << selected + 1 << ",\"progress\":" << progress
       << ",\"focus\":" << Describe(focus)
       << ",\"focusInMain\":" << (focus && ::IsChild(view.Main(), focus) ? "true" : "false")
       << ",\"foreground\":" << Json(WindowText(::GetForegroundWindow())) << "}";
  return out + rest.str();
}

std::string ItemRectCommand(ProgramView& view, int position) {
  if (!view.Attach()) return "{\"found\":false}";
  RECT rect{};
  if (!view.ItemRect(position, rect)) return "{\"found\":true,\"rect\":null}";
  return "{\"found\":true,\"rect\":" + Json(rect) + "}";
}

std::string ListPartsCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  RECT header{};
  ::GetWindowRect(ListView_GetHeader(view.List()), &header);
  // The vertical scroll bar lies between the client area and the right edge of the frame.
  std::string scrollBar = "null";
  const HWND list = view.List();
  if (::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) {
    RECT window{};
    ::GetWindowRect(list, &window);
    RECT client{};
    ::GetClientRect(list, &client);
    ::MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    scrollBar = Json(
        RECT{client.right, client.top, window.right - (client.left - window.left), client.bottom});
  }
  return "{\"found\":true,\"header\":" + Json(header) + ",\"scrollBar\":" + scrollBar + "}";
}

std::string SysCommand(ProgramView& view, unsigned command) {
  if (!view.Attach()) return "{\"found\":false}";
  const BOOL posted = ::PostMessageW(view.Main(), WM_SYSCOMMAND, command, 0);
  return std::string("{\"found\":true,\"posted\":") + (posted ? "true" : "false") + "}";
}

struct DialogSearch {
  DWORD processId;
  HWND main;
  std::string out;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM parameter) {
  auto& out = *reinterpret_cast<std::string*>(parameter);
  if (!::IsWindowVisible(control)) return TRUE;
  RECT r{};
  ::GetWindowRect(control, &r);
  std::ostringstream item;
  item << "{\"id\":" << ::GetDlgCtrlID(control) << ",\"class\":" << Json(ClassOf(control))
       << ",\"text\":" << Json(WindowText(control)) << ",\"rect\":" << Json(r)
       << ",\"style\":" << ::GetWindowLongPtrW(control, GWL_STYLE)
       << ",\"checked\":" << ::SendMessageW(control, BM_GETCHECK, 0, 0) << "}";
  if (out.size() > 1) out += ",";
  out += item.str();
  return TRUE;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<DialogSearch*>(parameter);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || window == search.main || !::IsWindowVisible(window)) {
    return TRUE;
  }
  const std::wstring className = ClassOf(window);
  // The list's tooltip is a top-level window of the program too.
  if (className == TOOLTIPS_CLASSW) return TRUE;
  RECT r{};
  ::GetWindowRect(window, &r);
  const HWND message = ::GetDlgItem(window, kMessageTextId);
  if (!search.out.empty()) search.out += ",";
  std::string controls = "[";
  ::EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
  search.out += "{\"handle\":" + std::to_string(reinterpret_cast<uintptr_t>(window)) +
                ",\"class\":" + Json(className) + ",\"title\":" + Json(WindowText(window)) +
                ",\"text\":" + (message ? Json(WindowText(message)) : std::string("null")) +
                ",\"rect\":" + Json(r) + ",\"topmost\":" +
                ((::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "true" : "false") +
                ",\"controls\":" + controls + "]}";
  return TRUE;
}

BOOL CALLBACK CollectTip(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<DialogSearch*>(parameter);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == search.processId && ::IsWindowVisible(window) &&
      ClassOf(window) == TOOLTIPS_CLASSW) {
    if (!search.out.empty()) search.out += ",";
    search.out += Json(WindowText(window));
  }
  return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto& out = *reinterpret_cast<std::string*>(parameter);
  if (!::IsWindowVisible(window)) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  RECT r{};
  ::GetWindowRect(window, &r);
  if (out.size() > 1) out += ",";
  out += "{\"class\":" + Json(ClassOf(window)) + ",\"title\":" + Json(WindowText(window)) +
         ",\"pid\":" + std::to_string(processId) + ",\"rect\":" + Json(r) + "}";
  return TRUE;
}

std::string WindowsCommand() {
  std::string windows = "[";
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return "{\"windows\":" + windows + "]}";
}

std::string TipsCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  DialogSearch search{view.ProcessId(), view.Main(), {}};
  ::EnumWindows(CollectTip, reinterpret_cast<LPARAM>(&search));
  return "{\"found\":true,\"tips\":[" + search.out + "]}";
}

std::string DialogsCommand(ProgramView& view) {
  if (!view.Attach()) return "{\"found\":false}";
  DialogSearch search{view.ProcessId(), view.Main(), {}};
  ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return "{\"found\":true,\"dialogs\":[" + search.out + "]}";
}

std::wstring FromUtf8(const std::string& bytes) {
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
  return text;
}

}  // namespace

int wmain() {
  ProgramView view;
  folianto::UniqueFileHandle held;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string answer;
    if (command == "main") {
      answer = MainCommand(view);
    } else if (command == "controls") {
      answer = ControlsCommand(view);
    } else if (command == "state") {
      answer = StateCommand(view);
    } else if (command == "itemrect") {
      int position = 0;
      words >> position;
      answer = ItemRectCommand(view, position);
    } else if (command == "listparts") {
      answer = ListPartsCommand(view);
    } else if (command == "syscommand") {
      unsigned value = 0;
      words >> std::hex >> value;
      answer = SysCommand(view, value);
    } else if (command == "dialogs") {
      answer = DialogsCommand(view);
    } else if (command == "windows") {
      answer = WindowsCommand();
    } else if (command == "tips") {
      answer = TipsCommand(view);
    } else if (command == "screen") {
      answer = "{\"width\":" + std::to_string(::GetSystemMetrics(SM_CXSCREEN)) +
               ",\"height\":" + std::to_string(::GetSystemMetrics(SM_CYSCREEN)) + "}";
    } else if (command == "hold") {
      std::string path;
      std::getline(words >> std::ws, path);
      held.Reset(::CreateFileW(FromUtf8(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr));
      answer = held ? "{\"held\":true}" : "{\"held\":false}";
    } else if (command == "release") {
      held.Reset();
      answer = "{\"held\":false}";
    } else if (command == "quit") {
      break;
    } else {
      answer = "{\"error\":" + Json(std::wstring(line.begin(), line.end())) + "}";
    }
    std::cout << answer << std::endl;
  }
  return 0;
}
