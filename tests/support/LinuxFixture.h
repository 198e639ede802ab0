#pragma once

// The folders that folder-fixture.sh makes on the Linux side before the Wine tests run.
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
  std::wstring path = Environment(L"FOLIANTO_FOLDER_FIXTURE");
  if (path.empty()) return path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + path;
}

// The root of the drive that the fixture maps to its "drive" folder ("Y:\").
inline std::wstring FixtureDriveRoot() {
  const std::wstring letter = Environment(L"FOLIANTO_FIXTURE_DRIVE");
  return letter.empty() ? letter : letter + L":\\";
}

}  // namespace folianto::testing
