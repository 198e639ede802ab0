// Folianto ended at each step of a join that puts something on disk, for every kind of join that
// does: a later start leaves the user's files as they were (an existing output old or whole new)
// and nothing of Folianto's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "join/DiskWorkspace.h"
#include "join/RunAndWait.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::MakePdf;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::TestProgramFolder;
using Texts = std::vector<std::wstring>;

const std::string kOldOutput = "%PDF-1.4\n% the file the join replaces\n";

// A joined file as the tool writes it to its end; each join differs from the last (its /ID).
bool IsWholeJoin(const std::string& bytes) {
  const size_t end = bytes.find_last_not_of("\r\n");
  return bytes.starts_with("%PDF") && end != std::string::npos &&
         bytes.substr(0, end + 1).ends_with("%%EOF");
}

// The names in folder beginning with "folianto-".
Texts Made(const std::wstring& folder) {
  Texts names;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder + L"\\folianto-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

bool IsEmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  bool empty = true;
  if (search == INVALID_HANDLE_VALUE) return true;
  do {
    const std::wstring name = found.cFileName;
    empty = empty && (name == L"." || name == L"..");
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return empty;
}

// Runs the probe's join; its exit code.
DWORD RunProbe(const std::wstring& arguments) {
  const UniqueKernelHandle probe =
      testing::StartProgram(L"\"" + TestProgramFolder() + L"\\join_crash_probe.exe\" " + arguments);
  DWORD code = 0xFFFFFFFF;
  if (probe && ::WaitForSingleObject(probe.Get(), 120000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(probe.Get(), &code);
  return code;
}

std::wstring Quoted(const std::wstring& text) {
  return L"\"" + text + L"\"";
}

// A copy of plain that opens only with the password "secret", made by the real tool.
bool Lock(const std::wstring& plain, const std::wstring& locked) {
  int hidden = 0;
  const RunResult result =
      RunAndWait(Quoted(TestProgramFolder() + L"\\pdftk.exe") + L" A=" + Quoted(plain) +
                     L" cat A output " + Quoted(locked) + L" owner_pw owner-secret user_pw secret",
                 hidden);
  return result.Succeeded();
}

TEST(JoinCrash, AStartAfterAJoinEndedAtAnyStepLeavesTheUsersFilesAndNothingOfFoliantos) {
  ASSERT_TRUE(::GetFileAttributesW((TestProgramFolder() + L"\\pdftk.exe").c_str()) !=
              INVALID_FILE_ATTRIBUTES)
      << "no pdftk.exe next to the tests";
  const struct {
    const wchar_t* kind;
    Texts inputs;  // in the folder "in put"; "locked" ones open with the password
    std::wstring output;
  } cases[] = {
      {L"plain", {L"one.pdf", L"two.pdf"}, L"all.pdf"},
      {L"bookmarks", {L"one.pdf", L"two.pdf"}, L"all.pdf"},
      {L"password", {L"one.pdf", L"locked one.pdf", L"locked two.pdf"}, L"all.pdf"},
      {L"standin",
       {L"\u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.pdf", L"two.pdf"},
       L"\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.kind)));
    TempFolder folder;
    const std::wstring inputs = folder.MakeFolder(L"in put");
    const std::wstring outputs = folder.MakeFolder(L"out");
    const std::wstring temporary = folder.MakeFolder(L"temporary");
    std::wstring arguments;
    std::vector<std::string> contents;
    for (const std::wstring& name : c.inputs) {
      const std::wstring path = inputs + L"\\" + name;
      folder.WriteFile(L"in put\\plain", MakePdf({"page of " + std::to_string(contents.size())}));
      if (name.starts_with(L"locked")) {
        ASSERT_TRUE(Lock(inputs + L"\\plain", path));
      } else {
        ASSERT_TRUE(::MoveFileW((inputs + L"\\plain").c_str(), path.c_str()));
      }
      ::DeleteFileW((inputs + L"\\plain").c_str());
      contents.push_back(ReadFileBytes(path));
      arguments += L" " + Quoted(path);
    }
    const std::wstring output = outputs + L"\\" + c.output;
    const std::wstring outcome = folder.Path() + L"\\outcome.txt";
    const auto run = [&](int step) {
      folder.WriteFile(L"out\\" + c.output, kOldOutput);
      return RunProbe(Quoted(temporary) + L" " + std::to_wstring(step) + L" " + c.kind + L" " +
                      Quoted(outcome) + L" " + Quoted(output) + arguments);
    };

    // The whole join, to count its steps.
    const DWORD steps = run(0);
    const std::string told = ReadFileBytes(outcome);
    ASSERT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(told.data()), told.size() / 2),
              L"Join successful.");
    ASSERT_GT(steps, 2u);
    ASSERT_TRUE(IsWholeJoin(ReadFileBytes(output)));

    for (int step = 1; step <= static_cast<int>(steps); ++step) {
      SCOPED_TRACE(step);
      EXPECT_EQ(run(step), 9u) << "the probe did not end itself there";
      // Whatever is decrypted lies in the private folder alone, never beside the user's files:
      // beside the output is only the joined file under its temporary name.
      for (const std::wstring& name : Made(outputs))
        EXPECT_TRUE(name.ends_with(L".tmp")) << ::testing::PrintToString(name);
      if (std::wstring(c.kind) != L"standin") {
        EXPECT_EQ(Made(inputs), Texts{});
      }
      // The next start, once the tool it left has ended too.
      for (int wait = 0; wait < 300 && !IsEmptyFolder(temporary); ++wait) {
        RemoveWhatEndedJoinsLeft(temporary);
        if (!IsEmptyFolder(temporary)) ::Sleep(100);
      }
      EXPECT_TRUE(IsEmptyFolder(temporary)) << "the record or the private folder is left";
      EXPECT_EQ(Made(inputs), Texts{});
      EXPECT_EQ(Made(outputs), Texts{});
      for (size_t i = 0; i < c.inputs.size(); ++i)
        EXPECT_EQ(ReadFileBytes(inputs + L"\\" + c.inputs[i]), contents[i]);
      const std::string now = ReadFileBytes(output);
      EXPECT_TRUE(now == kOldOutput || IsWholeJoin(now))
          << "the output is neither old nor whole new";
    }
  }
}

}  // namespace
}  // namespace folianto
