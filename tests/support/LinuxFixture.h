#pragma once

// What linux-fixture.sh makes on the Linux side before the Wine tests run.
#include <windows.h>

#include <string>

namespace folianto::testing {

inline std::wstring Environment(const wchar_t* name) {
  wchar_t value[2048];
  const DWORD length = ::GetEnvironmentVariableW(name, value, std::size(value));
  if (length == 0 || length >= std::size(value)) return {};
  return std::wstring(value, length);
}

// The fixture's folder as a Windows path ("Z:\..."), or the empty text when there is none.
inline std::wstring FixtureFolder() {
  std::wstring path = Environment(L"FOLIANTO_FIXTURE");
  if (path.empty()) return path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + path;
}

// The root of the drive mapped to the fixture's "drive" folder, for the folder walk.
inline std::wstring FixtureDriveRoot() {
  return FixtureFolder().empty() ? L"" : L"Y:\\";
}

// The root of the drive mapped to the fixture's "join" folder.
inline std::wstring JoinDriveRoot() {
  return FixtureFolder().empty() ? L"" : L"X:\\";
}

// The root of a small empty drive on another file system than the others.
inline std::wstring OtherVolumeRoot() {
  return FixtureFolder().empty() ? L"" : L"W:\\";
}

// The root of a small empty exFAT drive, which keeps no access lists.
inline std::wstring ExfatDriveRoot() {
  return FixtureFolder().empty() ? L"" : L"V:\\";
}

}  // namespace folianto::testing
