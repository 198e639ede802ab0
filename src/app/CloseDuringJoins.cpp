#include "app/CloseDuringJoins.h"

#include <algorithm>
#include <utility>

namespace folianto {

namespace {

// How long the wait after a close lasted, as the message that ends it says it.
std::wstring Duration(UINT milliseconds) {
  const UINT seconds = (milliseconds + 999) / 1000;
  if (seconds < 120) return std::to_wstring(seconds) + L" seconds";
  return std::to_wstring(seconds / 60) + L" minutes";
}

}  // namespace

CloseDuringJoins::CloseDuringJoins(DialogHost& dialogs, std::function<bool()> waiting)
    : dialogs_(dialogs), waiting_(std::move(waiting)) {}

bool CloseDuringJoins::OnClose(bool joinsRunning) {
  if (!joinsRunning) {
    if (!leftBehind_.empty()) dialogs_.ShowMessage(nullptr, std::exchange(leftBehind_, L""));
    return false;
  }
  if (closing_) return true;
  closing_ = true;
  ::ShowWindow(window_, SW_HIDE);
  UpdateWait();
  return true;
}

void CloseDuringJoins::OnJoinsEnded() {
  // The close waited for the last join to end.
  if (closing_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool CloseDuringJoins::GivenUp() const {
  return ::WaitForSingleObject(giveUp_.Get(), 0) == WAIT_OBJECT_0;
}

void CloseDuringJoins::UpdateWait() {
  const bool counts = closing_ && !GivenUp() && telling_ == 0 && waiting_();
  if (counts == (waitSince_ != 0)) return;
  const ULONGLONG now = ::GetTickCount64();
  if (counts) {
    waitSince_ = now;
    ::SetTimer(window_, kLimitTimer, limitMs_ - static_cast<UINT>(waited_), nullptr);
  } else {
    waited_ = std::min<ULONGLONG>(waited_ + now - waitSince_, limitMs_ - 1);
    waitSince_ = 0;
    ::KillTimer(window_, kLimitTimer);
  }
}

void CloseDuringJoins::OnLimit() {
  ::KillTimer(window_, kLimitTimer);
  waitSince_ = 0;
  ::SetEvent(giveUp_.Get());
}

void CloseDuringJoins::LeaveBehind(const std::wstring& output, bool toolRuns,
                                   const std::wstring& what,
                                   const std::vector<std::wstring>& left) {
  std::wstring text = L"The join into " + output + L" has not ended " + Duration(limitMs_) +
                      L" after the window was closed, and Folianto ends without it.";
  if (toolRuns) {
    text += L" pdftk.exe is still running (" + what + L"); it is not stopped.";
  } else if (!what.empty()) {
    text += L" Its " + what + L" had not ended, and ends with Folianto.";
  } else {
    text += L" Its next run of pdftk.exe was not started.";
  }
  if (!left.empty()) {
    text += toolRuns ? L" These were made for the join and stay until Folianto next starts after "
                       L"pdftk.exe has ended, which removes them:"
                     : L" These were made for the join and stay until Folianto next starts, which "
                       L"removes them:";
    for (const std::wstring& path : left)
      text += L"\n" + path;
  }
  leftBehind_ += (leftBehind_.empty() ? L"" : L"\n\n") + text;
}

CloseDuringJoins::TellingOutcome::TellingOutcome(CloseDuringJoins& close) : close_(close) {
  ++close_.telling_;
  close_.UpdateWait();
}

CloseDuringJoins::TellingOutcome::~TellingOutcome() {
  --close_.telling_;
  close_.UpdateWait();
}

}  // namespace folianto
