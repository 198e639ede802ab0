// What Explorer's Properties and the system read from the built folianto.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/WinTestSupport.h"
#include "version.h"

namespace folianto {
namespace {

const std::wstring kProgram = testing::TestProgramFolder() + L"\\folianto.exe";

TEST(Release, TheProgramCarriesItsVersionAndNames) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(kProgram.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version resource in folianto.exe";
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(kProgram.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD version = (FOLIANTO_VERSION_MAJOR << 16) | FOLIANTO_VERSION_MINOR;
  EXPECT_EQ(fixed->dwFileVersionMS, version);
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(FOLIANTO_VERSION_PATCH << 16));
  EXPECT_EQ(fixed->dwProductVersionMS, version);

  const std::string text = FOLIANTO_VERSION_TEXT;
  const struct {
    const wchar_t* name;
    std::wstring value;
  } strings[] = {
      {L"ProductName", L"Folianto"},
      {L"FileDescription", L"Folianto - joins PDF files into one"},
      {L"FileVersion", std::wstring(text.begin(), text.end())},
      {L"ProductVersion", std::wstring(text.begin(), text.end())},
      {L"LegalCopyright", L"Copyright (c) 2026 the Folianto developers. MIT License."},
      {L"OriginalFilename", L"folianto.exe"},
  };
  for (const auto& s : strings) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + s.name;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << ::testing::PrintToString(std::wstring(s.name));
    EXPECT_EQ(std::wstring(value), s.value);
  }
}

TEST(Release, TheManifestOptsIntoLongPathsNamesItsSystemsAndCarriesTheVersion) {
  const HMODULE program =
      ::LoadLibraryExW(kProgram.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(program);
  const HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(found);
  const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(program, found)));
  const std::string manifest(bytes, ::SizeofResource(program, found));
  ::FreeLibrary(program);
  for (const std::string& part :
       {std::string("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                    "WindowsSettings\">true</longPathAware>"),
        std::string("name=\"Folianto\" version=\"") + FOLIANTO_VERSION_TEXT + ".0\"",
        std::string(">PerMonitorV2</dpiAwareness>"),
        // Windows 7, the oldest system whose functions the program imports.
        std::string("<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>")}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace folianto
