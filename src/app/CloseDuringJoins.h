#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// What closing the window does while joins run: the window goes at once, each join goes on to its
// end (so that no joined file is left under a temporary name and nothing made for the tool is left
// behind), and the program ends after the last of them. The wait has a limit, counted only while a
// tool runs or a copy goes on and no outcome is being told; at the limit the joins give up: every
// wait for a tool or a copy ends and no tool starts any more, the tools left to themselves; each
// join still goes to its end, and what the given-up joins leave is said before the program ends.
class CloseDuringJoins {
 public:
  // One of the window's timers; the list's scrolling during a drag has the other.
  static constexpr UINT_PTR kLimitTimer = 2;

  // waiting tells whether a join waits for a tool or a copy.
  CloseDuringJoins(DialogHost& dialogs, std::function<bool()> waiting);
  void Attach(HWND window) { window_ = window; }
  void SetLimit(UINT milliseconds) { limitMs_ = milliseconds; }

  // The window's close: true when it waits for the joins, hidden meanwhile. Without joins
  // running, what the given-up joins leave is said first.
  bool OnClose(bool joinsRunning);
  // The last join has ended.
  void OnJoinsEnded();
  bool Closing() const { return closing_; }
  // A join begins or ends its wait for a tool or a copy.
  void OnWaitingChanged() { UpdateWait(); }
  // On the limit's timer.
  void OnLimit();

  // Signalled once the joins give up: every wait for a tool or a copy ends then.
  HANDLE GiveUpEvent() const { return giveUp_.Get(); }
  // A join given up at the limit, said once the last join has ended: whether its tool still runs,
  // what it was doing ("joining the files"), or the copy that goes on till Folianto ends (what,
  // without a tool), or neither (no tool was started); and what it leaves.
  void LeaveBehind(const std::wstring& output, bool toolRuns, const std::wstring& what,
                   const std::vector<std::wstring>& left);

  // While it lives an outcome is being told, and the wait does not count: a box the user has not
  // answered yet is never taken for a join that does not end.
  class [[nodiscard]] TellingOutcome {
   public:
    explicit TellingOutcome(CloseDuringJoins& close);
    ~TellingOutcome();
    TellingOutcome(const TellingOutcome&) = delete;
    TellingOutcome& operator=(const TellingOutcome&) = delete;

   private:
    CloseDuringJoins& close_;
  };

 private:
  bool GivenUp() const;
  void UpdateWait();

  DialogHost& dialogs_;
  std::function<bool()> waiting_;
  HWND window_ = nullptr;
  bool closing_ = false;
  UINT limitMs_ = 10 * 60 * 1000;
  // How long the wait has counted, and since when it counts (0: not now).
  ULONGLONG waited_ = 0;
  ULONGLONG waitSince_ = 0;
  int telling_ = 0;
  UniqueKernelHandle giveUp_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::wstring leftBehind_;
};

}  // namespace folianto
