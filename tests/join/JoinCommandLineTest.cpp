#include "join/JoinCommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace folianto {
namespace {

using Paths = std::vector<std::wstring>;

TEST(JoinCommandLine, IsBuiltPieceByPieceFromTheFolderTheEntriesAndTheOutput) {
  const struct {
    const char* name;
    const wchar_t* folder;
    Paths entries;
    const wchar_t* output;
    const wchar_t* expected;
  } cases[] = {
      {"three entries",
       L"C:\\Tools",
       {L"D:\\in\\one.pdf", L"D:\\in\\two.pdf", L"D:\\in\\three.pdf"},
       L"D:\\out\\all.pdf",
       LR"("C:\Tools\pdftk.exe" A="D:\in\one.pdf" B="D:\in\two.pdf" C="D:\in\three.pdf" )"
       LR"(cat A B C output "D:\out\all.pdf")"},
      {"one entry",
       L"C:\\Tools",
       {L"D:\\in\\one.pdf"},
       L"D:\\all.pdf",
       LR"("C:\Tools\pdftk.exe" A="D:\in\one.pdf" cat A output "D:\all.pdf")"},
      {"drive root as the application folder",
       L"C:\\",
       {L"D:\\one.pdf"},
       L"D:\\all.pdf",
       LR"("C:\\pdftk.exe" A="D:\one.pdf" cat A output "D:\all.pdf")"},
      {"spaces in the paths",
       L"C:\\Program Files\\Folianto",
       {L"D:\\my files\\a b.pdf"},
       L"D:\\out put\\all of it.pdf",
       LR"("C:\Program Files\Folianto\pdftk.exe" A="D:\my files\a b.pdf" )"
       LR"(cat A output "D:\out put\all of it.pdf")"},
      {"an entry failing the PDF test keeps no letter, the others keep theirs",
       L"C:\\Tools",
       {L"D:\\a.pdf", L"D:\\notes.txt", L"D:\\c.PDF"},
       L"D:\\all.pdf",
       LR"("C:\Tools\pdftk.exe" A="D:\a.pdf" C="D:\c.PDF" cat A C output "D:\all.pdf")"},
      {"no entry passing",
       L"C:\\Tools",
       {L"D:\\a.txt", L"D:\\b.doc"},
       L"D:\\all.pdf",
       LR"("C:\Tools\pdftk.exe" cat output "D:\all.pdf")"},
      {"an output name typed without an ending stays as typed",
       L"C:\\Tools",
       {L"D:\\in\\xpdf"},
       L"D:\\all",
       LR"("C:\Tools\pdftk.exe" A="D:\in\xpdf" cat A output "D:\all")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BuildJoinCommandLine(c.folder, c.entries, c.output), c.expected);
  }
}

TEST(JoinCommandLine, TwentyFiveEntriesAreLetteredAToY) {
  Paths entries;
  std::wstring assignments;
  std::wstring pageList;
  for (int i = 1; i <= kMaxJoinEntries; ++i) {
    entries.push_back(L"D:\\" + std::to_wstring(i) + L".pdf");
    const wchar_t letter = static_cast<wchar_t>(L'A' + i - 1);
    assignments += std::wstring(1, letter) + L"=\"D:\\" + std::to_wstring(i) + L".pdf\" ";
    pageList += std::wstring(1, letter) + L" ";
  }
  EXPECT_EQ(BuildJoinCommandLine(L"C:\\T", entries, L"D:\\o.pdf"),
            L"\"C:\\T\\pdftk.exe\" " + assignments + L"cat " + pageList + L"output \"D:\\o.pdf\"");
  EXPECT_EQ(HandleLetter(25), L'Y');
}

TEST(JoinProgress, StepsThroughTheWholeRangeAsEntriesAreAdded) {
  const struct {
    int position;
    int count;
    int progress;
  } cases[] = {
      {1, 4, 25},  {2, 4, 50},  {3, 4, 75}, {4, 4, 100},  {1, 3, 33},    {2, 3, 67},
      {3, 3, 100}, {1, 1, 100}, {1, 25, 4}, {24, 25, 96}, {25, 25, 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinProgress(c.position, c.count), c.progress) << c.position << " of " << c.count;
  }
}

}  // namespace
}  // namespace folianto
