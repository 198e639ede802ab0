#include "join/DiskWorkspace.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Process.h"
#include "support/LinuxFixture.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;

void WaitWithMessages(HANDLE handle) {
  WaitRunningMessages(handle);
}

// The names in folder, "." and ".." left out.
std::vector<std::wstring> Listed(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

// What the join makes where the tool cannot read a name: a folder of its own with a hard link
// beside the file, a copy in the private folder, and the joined file named from another volume.
TEST(DiskWorkspace, MakesLinksAndCopiesAndNamesTheJoinedFileFromAnotherVolume) {
  const std::wstring other = testing::OtherVolumeRoot();
  ASSERT_FALSE(other.empty()) << "no Linux fixture";
  TempFolder temp;
  const std::wstring input = temp.WriteFile(L"\u03a3.pdf", "input");
  const std::wstring output = temp.WriteFile(L"\u03a9.pdf", "an older file");
  {
    DiskWorkspace workspace(other, WaitWithMessages);
    const std::wstring own = workspace.MakeFolder(temp.Path());
    ASSERT_TRUE(IsFolder(own) && SurvivesAnsiCodePage(own)) << ::testing::PrintToString(own);
    EXPECT_EQ(ReadFileBytes(workspace.MakeHardLink(own, L"A.pdf", input)), "input");
    const std::wstring private_ = workspace.PrivateFolder();
    ASSERT_TRUE(private_.starts_with(other)) << ::testing::PrintToString(private_);
    EXPECT_EQ(workspace.MakeHardLink(private_, L"A.pdf", input), L"") << "a link to another volume";
    EXPECT_EQ(ReadFileBytes(workspace.MakeCopy(private_, L"A.pdf", input)), "input");
    EXPECT_EQ(workspace.MakeCopy(private_, L"A.pdf", input), L"") << "over a file";

    const std::wstring joined = workspace.MakeFile(private_, "joined");
    EXPECT_TRUE(workspace.GiveName(joined, output).named);
    EXPECT_EQ(ReadFileBytes(output), "joined");
    EXPECT_TRUE(workspace.RemoveAll().empty());
    EXPECT_TRUE(workspace.Left().empty());
  }
  EXPECT_EQ(Listed(temp.Path()), (std::vector<std::wstring>{L"\u03a3.pdf", L"\u03a9.pdf"}));
  EXPECT_EQ(Listed(other), std::vector<std::wstring>{}) << "nor a record";
  EXPECT_EQ(ReadFileBytes(input), "input");
}

// Each name goes however read-only the file is, and the user's original keeps its attributes.
TEST(DiskWorkspace, RemovesALinkAndACopyOfAReadOnlyFileAndLeavesTheOriginalAsItWas) {
  TempFolder temp;
  const std::wstring original = temp.WriteFile(L"\u03a3.pdf", "input");
  ASSERT_TRUE(::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD attributes = ::GetFileAttributesW(original.c_str());
  DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
  const std::wstring own = workspace.MakeFolder(temp.Path());
  const std::wstring link = workspace.MakeHardLink(own, L"A.pdf", original);
  const std::wstring copy = workspace.MakeCopy(workspace.PrivateFolder(), L"B.pdf", original);
  ASSERT_NE(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
      << "a link shares the original's attributes";
  EXPECT_TRUE(workspace.RemoveAll().empty());
  for (const std::wstring& made : {link, copy, own})
    EXPECT_FALSE(FileExists(made)) << ::testing::PrintToString(made);
  EXPECT_EQ(::GetFileAttributesW(original.c_str()), attributes);
  EXPECT_EQ(ReadFileBytes(original), "input");
  ::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_NORMAL);
}

HANDLE g_source = nullptr;
int g_parts = 0;

// The copy's source is a pipe that only a timer of this thread feeds, so the copy goes on only
// while messages run; after three parts it breaks off, as a stick pulled out would.
TEST(DiskWorkspace, ACopyLetsTheWindowRunAndLeavesNothingWhenCutShort) {
  TempFolder temp;
  const std::wstring source =
      L"\\\\.\\pipe\\folianto-copy-" + std::to_wstring(::GetCurrentProcessId());
  g_source = ::CreateNamedPipeW(source.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096,
                                0, nullptr);
  ASSERT_NE(g_source, INVALID_HANDLE_VALUE);
  g_parts = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    DWORD written = 0;
    if (g_parts < 3 && ::WriteFile(g_source, "part", 4, &written, nullptr)) ++g_parts;
    if (g_parts == 3 && g_source) ::CloseHandle(std::exchange(g_source, nullptr));
  });
  DiskWorkspace workspace(temp.Path(), WaitWithMessages);
  const std::wstring folder = workspace.PrivateFolder();
  EXPECT_EQ(workspace.MakeCopy(folder, L"copy.pdf", source), L"");
  ::KillTimer(nullptr, timer);
  if (g_source) ::CloseHandle(g_source);
  EXPECT_EQ(g_parts, 3) << "the timer fed the copy while it ran";
  EXPECT_EQ(Listed(folder), std::vector<std::wstring>{}) << "what was copied is removed";
  EXPECT_EQ(workspace.Left(), std::vector<std::wstring>{folder});
}

// The workspace removes a thing only while it is the very file or folder it made: a link put in
// its place (a Unix symbolic link stands in for a junction here), or another file under its name,
// is left as it is, and so is everything it leads to. What it made is F (a folder), I (a file in
// it), L (a hard link in it to the user's A.pdf), T (a file beside it), P (the private folder)
// and D (a file in it that the tool writes, as it writes a decrypted copy).
TEST(DiskWorkspace, RemovesOnlyWhatIsStillTheVeryThingItMade) {
  struct Made {
    std::wstring F, I, L, T, P, D;
  };
  const struct {
    const char* name;
    std::function<bool(const Made&, const std::wstring& user)> tamper;
    const char* reported;  // what RemoveAll names as left
    const char* stays;     // what of it still stands at its path
  } cases[] = {
      {"nothing changed", [](const Made&, const std::wstring&) { return true; }, "", ""},
      {"its folder renamed, and a link to the user's folder in its place",
       [](const Made& made, const std::wstring& user) {
         return ::MoveFileW(made.F.c_str(), (made.F + L"-moved").c_str()) &&
                testing::LinkUnix(made.F, user);
       },
       "", "FI"},
      {"the file in its folder replaced by a link to the user's file",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.I.c_str()) && testing::LinkUnix(made.I, user + L"\\A.pdf");
       },
       "F", "FI"},
      // Under Wine, removing what was opened through a link to a file removes the file itself.
      {"the link in its folder replaced by a link to the user's file it is a link to",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.L.c_str()) && testing::LinkUnix(made.L, user + L"\\A.pdf");
       },
       "F", "FL"},
      // The tool may make its file anew: the workspace takes the new one as its own, but no link.
      {"the file the tool wrote in the private folder replaced by a link to the user's file",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.D.c_str()) && testing::LinkUnix(made.D, user + L"\\A.pdf");
       },
       "P", "PD"},
      // Moved in, as a file made after the removal could take the freed inode on a Linux file
      // system (NTFS counts a reused file id up).
      {"its file replaced by a file of another's",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.T.c_str()) &&
                ::MoveFileW((user + L"\\notes.pdf").c_str(), made.T.c_str()) &&
                ::CopyFileW(made.T.c_str(), (user + L"\\notes.pdf").c_str(), TRUE);
       },
       "", "T"},
      {"its file replaced by a hard link to the user's file",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.T.c_str()) &&
                ::CreateHardLinkW(made.T.c_str(), (user + L"\\A.pdf").c_str(), nullptr);
       },
       "", "T"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::wstring user = temp.MakeFolder(L"user");
    temp.WriteFile(L"user\\A.pdf", "the user's A");
    temp.WriteFile(L"user\\notes.pdf", "the user's notes");
    DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
    Made made;
    made.F = workspace.MakeFolder(temp.Path());
    made.I = workspace.MakeNamedFile(made.F, L"A.pdf");
    made.L = workspace.MakeHardLink(made.F, L"B.pdf", user + L"\\A.pdf");
    made.T = workspace.MakeFile(temp.Path(), "joined");
    made.P = workspace.PrivateFolder();
    made.D = workspace.MakeNamedFile(made.P, L"A.pdf");
    ASSERT_TRUE(c.tamper(made, user));
    workspace.Wrote(made.D);

    const std::pair<char, std::wstring> all[] = {{'F', made.F}, {'I', made.I}, {'L', made.L},
                                                 {'T', made.T}, {'P', made.P}, {'D', made.D}};
    const auto roles = [&](const std::vector<std::wstring>& paths) {
      std::string found;
      for (const auto& [role, path] : all) {
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) found += role;
      }
      return found;
    };
    EXPECT_EQ(roles(workspace.RemoveAll()), c.reported);
    std::vector<std::wstring> standing;
    for (const auto& [role, path] : all) {
      if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) standing.push_back(path);
    }
    EXPECT_EQ(roles(standing), c.stays);
    EXPECT_EQ(Listed(user), (std::vector<std::wstring>{L"A.pdf", L"notes.pdf"}));
    EXPECT_EQ(ReadFileBytes(user + L"\\A.pdf"), "the user's A");
    EXPECT_EQ(ReadFileBytes(user + L"\\notes.pdf"), "the user's notes");
  }
}

// The joined file is copied out of the private folder through the handle that was checked: a link
// put in its place meanwhile (here the moment the copy begins) gives the output nothing of where
// the link leads.
TEST(DiskWorkspace, CopiesTheJoinedFileItLookedAtToTheOutputsFolder) {
  TempFolder temp;
  const std::wstring secret = temp.WriteFile(L"user\\secret.pdf", "the user's secret");
  const std::wstring output = temp.WriteFile(L"out\\all.pdf", "an older file");
  DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
  const std::wstring joined = workspace.MakeFile(workspace.PrivateFolder(), "joined");
  bool swapped = false;
  DiskWorkspace::ObserveSteps([&](std::wstring_view step) {
    if (step != L"filling" || swapped) return;
    swapped = ::MoveFileW(joined.c_str(), (temp.Path() + L"\\moved").c_str()) &&
              testing::LinkUnix(joined, secret);
  });
  const JoinWorkspace::Naming naming = workspace.GiveName(joined, output);
  DiskWorkspace::ObserveSteps({});
  ASSERT_TRUE(swapped);
  EXPECT_TRUE(naming.named);
  EXPECT_EQ(ReadFileBytes(output), "joined");
  EXPECT_EQ(ReadFileBytes(secret), "the user's secret");
}

// A later start removes what an ended join's record names only once the tools it names have ended:
// a process that has the id now, but started at another time, is another program.
TEST(DiskWorkspace, ALaterStartWaitsOnlyForAToolOfTheRecordThatStillRuns) {
  const StartedTool running{ProcessIdOf(ThisProcess()), StartTimeOf(ThisProcess())};
  const struct {
    const char* name;
    std::vector<StartedTool> tools;
    bool removed;
  } cases[] = {
      {"no tool", {}, true},
      {"a tool that still runs", {running}, false},
      {"its id now another program's", {{running.id, running.start - 1}}, true},
      {"an ended tool and one that still runs", {{running.id, running.start + 1}, running}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::wstring made = temp.WriteFile(L"folianto-abcdefgh.tmp", "joined");
    const std::optional<FileIdentity> identity = IdentityOf(made);
    ASSERT_TRUE(identity);
    std::string record = RecordLine(MadeItem{false, *identity, made});
    for (const StartedTool& tool : c.tools)
      record += RecordLine(tool);
    temp.WriteFile(L"temporary\\folianto-joins\\ended.join", record);
    RemoveWhatEndedJoinsLeft(temp.Path() + L"\\temporary");
    EXPECT_EQ(FileExists(made), !c.removed);
    EXPECT_EQ(Listed(temp.Path() + L"\\temporary").empty(), c.removed) << "the record";
  }
}

// The system's text of what of path's security is asked for ("O:S-1-5-...", "D:P(A;OICI;FA;;;SY)").
std::wstring SecurityText(const std::wstring& path, SECURITY_INFORMATION what) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  wchar_t* text = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, what, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
    return L"unreadable";
  std::wstring told = L"untold";
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, what,
                                                             &text, nullptr)) {
    told = text;
    ::LocalFree(text);
  }
  ::LocalFree(descriptor);
  return told;
}

// The folder that holds what a join makes of the inputs, and the records' folder, only this user
// and the system can reach, and what is made in them inherits just that. (Wine keeps a file's
// access list as its Unix mode: the folders' is theirs alone, and inheritance is not shown.)
TEST(DiskWorkspace, ThePrivateFolderAndTheRecordsAreThisUsersAlone) {
  TempFolder temp;
  DiskWorkspace workspace(temp.Path(), WaitWithMessages);
  const std::wstring folder = workspace.PrivateFolder();
  ASSERT_FALSE(folder.empty());
  ASSERT_FALSE(workspace.MakeFile(folder, "opened with its password").empty());
  // This user: the owner of a file the test has just made ("O:" and the SID).
  const std::wstring user = SecurityText(temp.WriteFile(L"mine"), OWNER_SECURITY_INFORMATION);
  ASSERT_TRUE(user.starts_with(L"O:S-")) << ::testing::PrintToString(user);
  for (const std::wstring& path : {folder, temp.Path() + L"\\folianto-joins"}) {
    // These two entries and no other, in whichever order the system tells them.
    const std::wstring access = SecurityText(path, DACL_SECURITY_INFORMATION);
    EXPECT_EQ(std::count(access.begin(), access.end(), L'('), 2)
        << ::testing::PrintToString(access);
    for (const std::wstring& entry :
         {L"(A;OICI;FA;;;" + user.substr(2) + L")", std::wstring(L"(A;OICI;FA;;;SY)")})
      EXPECT_NE(access.find(entry), std::wstring::npos) << ::testing::PrintToString(access);
  }
}
}  // namespace
}  // namespace folianto
