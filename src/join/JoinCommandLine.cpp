#include "join/JoinCommandLine.h"

#include <cassert>
#include <cmath>

#include "filelist/PdfTest.h"

namespace folianto {

std::wstring ToolCommand(std::wstring_view applicationFolder) {
  return L"\"" + std::wstring(applicationFolder) + L"\\pdftk.exe\" ";
}

wchar_t HandleLetter(int position) {
  assert(position >= 1 && position <= kMaxJoinEntries);
  return static_cast<wchar_t>(L'@' + position);
}

std::wstring BuildJoinCommandLine(std::wstring_view applicationFolder,
                                  std::span<const std::wstring> entries,
                                  std::span<const std::wstring> toolForms,
                                  std::wstring_view outputPath) {
  assert(toolForms.size() == entries.size());
  std::wstring line = ToolCommand(applicationFolder);
  std::wstring pageList = L"cat ";
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!PassesPdfTest(entries[i])) continue;
    const wchar_t letter = HandleLetter(static_cast<int>(i) + 1);
    line.append(1, letter).append(L"=\"").append(toolForms[i]).append(L"\" ");
    pageList.append(1, letter).append(L" ");
  }
  line.append(pageList).append(L"output \"").append(outputPath).append(L"\"");
  return line;
}

int JoinProgress(int position, int count) {
  assert(count > 0);
  const float percent = static_cast<float>(position) / static_cast<float>(count) * 100.0f;
  return static_cast<int>(std::lround(percent));
}

}  // namespace folianto
