// Folianto ended at each step of a join that puts something on disk, for every kind of join that
// does: a later start leaves the user's files as they were (an existing output old or whole new)
// and nothing of Folianto's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "join/DiskWorkspace.h"
#include "join/RunAndWait.h"
#include "join/WorkspaceRecord.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "support/LinuxFixture.h"
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

// Everything under folder, each as its path below it.
Texts Tree(const std::wstring& folder, const std::wstring& below = L"") {
  Texts found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    found.push_back(below + name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const std::wstring& inner : Tree(folder + L"\\" + name, below + name + L"\\"))
        found.push_back(inner);
    }
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return found;
}

// Waits for the tools that the joins recorded in temporary started, as a later start does.
void WaitForTheirTools(const std::wstring& temporary) {
  const std::wstring records = temporary + L"\\folianto-joins";
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((records + L"\\*.join").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    for (const StartedTool& tool :
         ReadRecord(ReadFileBytes(records + L"\\" + found.cFileName)).tools) {
      const UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, tool.id));
      if (process) ::WaitForSingleObject(process.Get(), 60000);
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  // The system removes the captures of the tool's words once the tool's handles are closed, which
  // under Wine comes a moment after its process is seen to end.
  for (int wait = 0; wait < 100; ++wait) {
    const Texts made = Made(temporary);
    if (std::none_of(made.begin(), made.end(),
                     [](const std::wstring& name) { return name.ends_with(L".tmp"); }))
      break;
    ::Sleep(50);
  }
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

// A join of the probe's: its inputs in "in put", named as given ("locked" ones open with the
// password), its output in "out", which exists before the join, and its temporary folder, on
// another file system than the inputs where asked.
struct ProbeJoin {
  ProbeJoin(std::wstring kind, Texts names, std::wstring outputName,
            bool temporaryElsewhere = false)
      : temporary(temporaryElsewhere ? testing::OtherVolumeRoot() + MadeName(false)
                                     : folder.MakeFolder(L"temporary")),
        kind(std::move(kind)),
        names(std::move(names)),
        output(outputs + L"\\" + outputName),
        outputFolder(FolderOfPath(output)) {
    ::CreateDirectoryW(temporary.c_str(), nullptr);
    for (const std::wstring& name : this->names) {
      const std::wstring path = inputs + L"\\" + name;
      const std::wstring plain =
          folder.WriteFile(L"in put\\plain", MakePdf({"page " + std::to_string(contents.size())}));
      // Locked under a name the tool reads, then given the one asked for.
      const std::wstring locked = inputs + L"\\locked";
      ok = ok && (name.starts_with(L"locked")
                      ? Lock(plain, locked) && ::MoveFileW(locked.c_str(), path.c_str())
                      : ::MoveFileW(plain.c_str(), path.c_str()));
      ::DeleteFileW(plain.c_str());
      contents.push_back(ReadFileBytes(path));
      arguments += L" " + Quoted(path);
    }
  }

  // Runs the join, ended at that step (0: never); the probe's exit code.
  DWORD Run(int step) {
    folder.WriteFile(L"out\\" + NameOfOutput(), kOldOutput);
    return RunProbe(Quoted(temporary) + L" " + std::to_wstring(step) + L" " + kind + L" " +
                    Quoted(folder.Path() + L"\\outcome.txt") + L" " + Quoted(output) + arguments);
  }
  std::wstring Told() const {
    const std::string told = ReadFileBytes(folder.Path() + L"\\outcome.txt");
    return std::wstring(reinterpret_cast<const wchar_t*>(told.data()), told.size() / 2);
  }
  // A later start, once the tools the ended join left have ended too.
  void StartAgain() const {
    WaitForTheirTools(temporary);
    const std::atomic<bool> never{false};
    RemoveWhatEndedJoinsLeft(temporary, never);
  }
  bool InputsAsTheyWere() const {
    for (size_t i = 0; i < names.size(); ++i) {
      if (ReadFileBytes(inputs + L"\\" + names[i]) != contents[i]) return false;
    }
    return true;
  }
  std::wstring NameOfOutput() const { return output.substr(outputs.size() + 1); }

  ~ProbeJoin() { testing::RemoveTree(temporary); }

  TempFolder folder;
  const std::wstring inputs = folder.MakeFolder(L"in put");
  const std::wstring outputs = folder.MakeFolder(L"out");
  const std::wstring temporary;
  std::wstring kind;
  Texts names;
  std::wstring output;
  std::wstring outputFolder;
  std::wstring arguments;
  std::vector<std::string> contents;
  bool ok = true;
};

TEST(JoinCrash, AStartAfterAJoinEndedAtAnyStepLeavesTheUsersFilesAndNothingOfFoliantos) {
  ASSERT_TRUE(::GetFileAttributesW((TestProgramFolder() + L"\\pdftk.exe").c_str()) !=
              INVALID_FILE_ATTRIBUTES)
      << "no pdftk.exe next to the tests";
  const struct {
    const wchar_t* kind;
    Texts inputs;
    std::wstring output;
    bool temporaryElsewhere = false;
  } cases[] = {
      {L"plain", {L"one.pdf", L"two.pdf"}, L"all.pdf"},
      {L"bookmarks", {L"one.pdf", L"two.pdf"}, L"all.pdf"},
      {L"password", {L"one.pdf", L"locked one.pdf", L"locked two.pdf"}, L"all.pdf"},
      {L"standin",
       {L"\u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.pdf", L"two.pdf"},
       L"\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf"},
      // The tool cannot reach the output's folder: the joined file is copied there from the
      // private folder, and then takes its name.
      {L"standin", {L"one.pdf", L"two.pdf"}, L"\u03a3\u03cd\u03bd\u03bf\u03bb\u03b1\\all.pdf"},
      // A locked input without a name the tool reads, on another file system than the temporary
      // folder: its stand-in is a copy, which is opened with its password into another file.
      {L"standin",
       {L"locked \u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.pdf", L"two.pdf"},
       L"all.pdf",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.kind) + L" into " + c.output));
    ProbeJoin join(c.kind, c.inputs, c.output, c.temporaryElsewhere);
    ASSERT_TRUE(join.ok);
    // The whole join, to count its steps.
    const DWORD steps = join.Run(0);
    ASSERT_EQ(join.Told(), L"Join successful.");
    ASSERT_GT(steps, 2u);
    ASSERT_TRUE(IsWholeJoin(ReadFileBytes(join.output)));

    for (int step = 1; step <= static_cast<int>(steps); ++step) {
      SCOPED_TRACE(step);
      EXPECT_EQ(join.Run(step), 9u) << "the probe did not end itself there";
      // Whatever is decrypted, and every stand-in, lies in the join's own folder alone, never
      // beside the user's files: beside the output is only the joined file under its temporary
      // name.
      for (const std::wstring& name : Made(join.outputFolder))
        EXPECT_TRUE(name.ends_with(L".tmp")) << ::testing::PrintToString(name);
      EXPECT_EQ(Made(join.inputs), Texts{});
      join.StartAgain();
      EXPECT_EQ(Tree(join.temporary), Texts{}) << "the record or the private folder is left";
      EXPECT_EQ(Made(join.inputs), Texts{});
      EXPECT_EQ(Made(join.outputFolder), Texts{});
      EXPECT_TRUE(join.InputsAsTheyWere());
      const std::string now = ReadFileBytes(join.output);
      EXPECT_TRUE(now == kOldOutput || IsWholeJoin(now))
          << "the output is neither old nor whole new";
    }
  }
}

// A join ended while its tool writes (with bookmarks: its temporary output beside the output, its
// private folder with a file in it), and then changed by another hand before the next start: that
// start touches nothing that is no longer what the join made, nor a record of another account's.
TEST(JoinCrash, ALaterStartTouchesNothingThatIsNoLongerWhatTheJoinMadeNorAnotherAccountsRecord) {
  constexpr int kWhileTheToolJoins = 4;  // made: the output's file, the private folder, a file
  const struct {
    const char* name;
    std::function<bool(ProbeJoin&, const std::wstring& user)> tamper;
    bool removed;  // what the ended join made is gone
  } cases[] = {
      // The user's folder holds files of the names the join's held.
      {"the private folder renamed, and a link to the user's folder in its place",
       [](ProbeJoin& join, const std::wstring& user) {
         // The private folder: not the records' folder, nor a capture of the tool's words.
         Texts made = Made(join.temporary);
         std::erase_if(made, [](const std::wstring& name) {
           return name == L"folianto-joins" || name.ends_with(L".tmp");
         });
         if (made.size() != 1) return false;
         const std::wstring own = join.temporary + L"\\" + made[0];
         for (const std::wstring& name : Made(own))
           join.folder.WriteFile(user.substr(join.folder.Path().size() + 1) + L"\\" + name,
                                 "the user's");
         return ::MoveFileW(own.c_str(), (join.folder.Path() + L"\\moved").c_str()) &&
                testing::LinkUnix(own, user);
       },
       true},
      {"its record given to another account",
       [](ProbeJoin& join, const std::wstring&) {
         WIN32_FIND_DATAW record;
         ::FindClose(
             ::FindFirstFileW((join.temporary + L"\\folianto-joins\\*.join").c_str(), &record));
         return testing::GiveAway(join.temporary + L"\\folianto-joins\\" + record.cFileName);
       },
       false},
      // Under Wine the record opened through the link, and removed, would be the user's file.
      {"a link among the records to a file of the user's",
       [](ProbeJoin& join, const std::wstring& user) {
         return testing::LinkUnix(join.temporary + L"\\folianto-joins\\linked.join",
                                  user + L"\\A.pdf");
       },
       true},
      {"the folder of the records moved, and a link to it in its place",
       [](ProbeJoin& join, const std::wstring&) {
         const std::wstring records = join.temporary + L"\\folianto-joins";
         const std::wstring moved = join.folder.Path() + L"\\records";
         return ::MoveFileW(records.c_str(), moved.c_str()) && testing::LinkUnix(records, moved);
       },
       false},
      {"a record of another account's naming a folder of the user's as one the join made",
       [](ProbeJoin& join, const std::wstring& user) {
         const std::wstring forged = join.temporary + L"\\folianto-joins\\forged.join";
         const std::wstring file = user + L"\\A.pdf";
         const auto identities = std::pair{IdentityOf(user), IdentityOf(file)};
         if (!identities.first || !identities.second) return false;
         join.folder.WriteFile(L"temporary\\folianto-joins\\forged.join",
                               RecordLine(MadeItem{true, *identities.first, user}) +
                                   RecordLine(MadeItem{false, *identities.second, file}));
         return testing::GiveAway(forged);
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProbeJoin join(L"bookmarks", {L"one.pdf", L"two.pdf"}, L"all.pdf");
    const std::wstring user = join.folder.MakeFolder(L"out\\folianto-abcdefgh");
    join.folder.WriteFile(L"out\\folianto-abcdefgh\\A.pdf", "the user's A");
    ASSERT_EQ(join.Run(kWhileTheToolJoins), 9u);
    // Once the tool is done: a folder of the user's put in the private folder's place while the
    // tool still ran would have the tool's writing, which only this user could have put there.
    WaitForTheirTools(join.temporary);
    ASSERT_TRUE(c.tamper(join, user));
    join.StartAgain();
    EXPECT_EQ(ReadFileBytes(user + L"\\A.pdf"), "the user's A");
    for (const std::wstring& name : Made(user))
      EXPECT_EQ(ReadFileBytes(user + L"\\" + name), "the user's");
    EXPECT_EQ(Made(join.outputs).size(), c.removed ? 1u : 2u)
        << "the user's folder, the join's file";
    EXPECT_EQ(ReadFileBytes(join.output), kOldOutput);
  }
}

}  // namespace
}  // namespace folianto
