#include "join/SystemFileNames.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace folianto {

bool SystemFileNames::SurvivesCodePage(const std::wstring& text) {
  return SurvivesAnsiCodePage(text);
}

unsigned SystemFileNames::CodePage() {
  return AnsiCodePage();
}

std::optional<std::wstring> SystemFileNames::ShortForm(const std::wstring& path) {
  return ShortPathOf(path);
}

bool SystemFileNames::Exists(const std::wstring& path) {
  return FileExists(path);
}

}  // namespace folianto
