#include "join/RunResult.h"

namespace folianto {

namespace {

// The system's error numbers that have run-time counterparts.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;  // the current folder given is not there
constexpr int32_t kStillActive = 259;

int RunTimeErrorNumber(uint32_t systemError) {
  switch (systemError) {
    case kErrorFileNotFound:
      return 53;
    case kErrorPathNotFound:
    case kErrorInvalidName:
    case kErrorDirectory:
      return 76;
    case kErrorAccessDenied:
      return 70;
    default:
      return 5;
  }
}

}  // namespace

int RunResult::StartErrorNumber() const {
  return static_cast<int>(static_cast<uint32_t>(code) - kStartFailureBase);
}

RunResult ExitedWith(uint32_t exitCode) {
  return {true, true, static_cast<int32_t>(exitCode), 0, false};
}

RunResult StartFailedWith(uint32_t systemError) {
  const auto number = static_cast<uint32_t>(RunTimeErrorNumber(systemError));
  return {false, false, static_cast<int32_t>(kStartFailureBase + number), systemError, false};
}

RunResult EndUnknown(uint32_t systemError) {
  return {true, false, kStillActive, systemError, false};
}

RunResult GivenUp(bool started) {
  return {started, false, kStillActive, 0, true};
}

void CorrectWindowStyle(int& windowStyle) {
  if (windowStyle < 0 || windowStyle > 6) windowStyle = kDefaultWindowStyle;
}

}  // namespace folianto
