#include "join/DiskWorkspace.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Process.h"
#include "platform/Paths.h"
#include "support/LinuxFixture.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::Listed;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteWhole;

bool WaitWithMessages(HANDLE handle, const std::wstring&) {
  return WaitRunningMessages(handle);
}

const std::atomic<bool> kNeverStop{false};

// An empty folder for the join's temporary things on the drive of root, removed afterwards.
struct TemporaryOn {
  explicit TemporaryOn(const std::wstring& root) : path(root + L"temporary") {
    ::CreateDirectoryW(path.c_str(), nullptr);
  }
  ~TemporaryOn() { testing::RemoveTree(path); }
  std::wstring path;
};

// A stand-in for an input the tool cannot name is a hard link in the join's own folder where the
// volume allows it, else a copy there; a joined file made there is named from there.
TEST(DiskWorkspace, MakesStandInsInItsOwnFolderAndNamesTheJoinedFileFromThere) {
  const std::wstring other = testing::OtherVolumeRoot();
  ASSERT_FALSE(other.empty()) << "no Linux fixture";
  for (const bool sameVolume : {true, false}) {
    SCOPED_TRACE(sameVolume ? "on the input's volume: a link" : "on another volume: a copy");
    TempFolder temp;
    const std::wstring input = temp.WriteFile(L"user\\\u03a3.pdf", "input");
    const std::wstring output = temp.WriteFile(L"user\\\u03a9.pdf", "an older file");
    const TemporaryOn temporary(sameVolume ? temp.Path() + L"\\" : other);
    {
      DiskWorkspace workspace(temporary.path, WaitWithMessages);
      const std::wstring standIn = workspace.MakeStandIn(input);
      const JoinWorkspace::Folder own = workspace.OwnFolder();
      EXPECT_TRUE(own.isPrivate);
      ASSERT_TRUE(standIn.starts_with(own.path + L"\\") && SurvivesAnsiCodePage(standIn))
          << ::testing::PrintToString(standIn);
      EXPECT_EQ(ReadFileBytes(standIn), "input");
      EXPECT_EQ(IdentityOf(standIn) == IdentityOf(input), sameVolume);
      EXPECT_TRUE(workspace.GiveName(workspace.MakeFile("joined"), output).named);
      EXPECT_EQ(ReadFileBytes(output), "joined");
      EXPECT_TRUE(workspace.RemoveAll().empty());
      EXPECT_TRUE(workspace.Left().empty());
    }
    EXPECT_EQ(Listed(temp.Path() + L"\\user"),
              (std::vector<std::wstring>{L"\u03a3.pdf", L"\u03a9.pdf"}));
    EXPECT_EQ(Listed(temporary.path), std::vector<std::wstring>{}) << "nor a record";
    EXPECT_EQ(ReadFileBytes(input), "input");
  }
}

// The stand-in for a read-only input goes, and the input keeps its flag: a link only where the
// system removes a read-only name without clearing it (not Wine 8), else a copy.
TEST(DiskWorkspace, TheStandInOfAReadOnlyInputGoesAndTheInputKeepsItsFlag) {
  TempFolder temp;
  const std::wstring original = temp.WriteFile(L"\u03a3.pdf", "input");
  ASSERT_TRUE(::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD attributes = ::GetFileAttributesW(original.c_str());
  DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
  const std::wstring standIn = workspace.MakeStandIn(original);
  ASSERT_EQ(ReadFileBytes(standIn), "input");
  EXPECT_TRUE(workspace.RemoveAll().empty());
  EXPECT_FALSE(FileExists(standIn));
  EXPECT_FALSE(FileExists(workspace.OwnFolder().path));
  EXPECT_EQ(::GetFileAttributesW(original.c_str()), attributes);
  EXPECT_EQ(ReadFileBytes(original), "input");
  ::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_NORMAL);
}

std::vector<HANDLE> g_sources;
int g_parts = 0;

// The copy's source is a pipe that only a timer of this thread feeds, so the copy goes on only
// while messages run; after three parts it breaks off, as a stick pulled out would. (A look at
// the source before the copy takes an instance of the pipe of its own.)
TEST(DiskWorkspace, ACopyLetsTheWindowRunAndLeavesNothingWhenCutShort) {
  TempFolder temp;
  const std::wstring source =
      L"\\\\.\\pipe\\folianto-copy-" + std::to_wstring(::GetCurrentProcessId());
  for (int i = 0; i < 4; ++i) {
    g_sources.push_back(::CreateNamedPipeW(source.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                           PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr));
    ASSERT_NE(g_sources.back(), INVALID_HANDLE_VALUE);
  }
  g_parts = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    DWORD written = 0;
    for (HANDLE instance : g_sources) {
      if (g_parts < 3 && ::WriteFile(instance, "part", 4, &written, nullptr)) ++g_parts;
    }
    if (g_parts == 3) {
      for (HANDLE instance : std::exchange(g_sources, {}))
        ::CloseHandle(instance);
    }
  });
  DiskWorkspace workspace(temp.Path(), WaitWithMessages);
  EXPECT_EQ(workspace.MakeStandIn(source), L"");
  ::KillTimer(nullptr, timer);
  for (HANDLE instance : std::exchange(g_sources, {}))
    ::CloseHandle(instance);
  EXPECT_EQ(g_parts, 3) << "the timer fed the copy while it ran";
  const std::wstring folder = workspace.OwnFolder().path;
  EXPECT_EQ(Listed(folder), std::vector<std::wstring>{}) << "what was copied is removed";
  EXPECT_EQ(workspace.Left(), std::vector<std::wstring>{folder});
}

// The files under folder that hold bytes, links left out.
std::vector<std::wstring> Holding(const std::wstring& folder, const std::string& bytes) {
  std::vector<std::wstring> found;
  for (const std::wstring& name : Listed(folder)) {
    const std::wstring path = folder + L"\\" + name;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      if (ReadFileBytes(path) == bytes) found.push_back(path);
      continue;
    }
    for (const std::wstring& inner : Holding(path, bytes))
      found.push_back(inner);
  }
  return found;
}

// The workspace removes a thing only while it is the very file or folder it made: a link put in
// its place (a Unix symbolic link stands in for a junction here), or another file under its name,
// is left as it is, and so is everything it leads to; what it cannot remove is named and stays
// the join's. What it made is P (its own folder), I (a file in it), L (a stand-in in it, a hard
// link to the user's A.pdf) and T (a file beside the output). The join goes on after the change
// with another stand-in and file: nothing lands beside the user's files, and what it made of their
// content is gone or named, wherever its folder went.
TEST(DiskWorkspace, RemovesOnlyWhatIsStillTheVeryThingItMade) {
  struct Made {
    std::wstring P, I, L, T;
  };
  UniqueFileHandle held;
  const struct {
    const char* name;
    std::function<bool(const Made&, const std::wstring& user)> tamper;
    const char* reported;  // what RemoveAll names as left
    const char* stays;     // what of it still stands at its path
  } cases[] = {
      {"nothing changed", [](const Made&, const std::wstring&) { return true; }, "", ""},
      // Its record is held open, as it is while its program runs.
      {"another Folianto's later start meanwhile",
       [](const Made& made, const std::wstring&) {
         RemoveWhatEndedJoinsLeft(FolderOfPath(made.P), kNeverStop);
         return true;
       },
       "", ""},
      // It stays where it is while the join has it, so no link can take its place either.
      {"its folder moved away",
       [](const Made& made, const std::wstring& user) {
         return !::MoveFileW(made.P.c_str(), (FolderOfPath(user) + L"\\moved").c_str());
       },
       "", ""},
      // Under Wine, removing what was opened through a link to a file removes the file itself.
      {"the file in its folder replaced by a link to the user's file",
       [](const Made& made, const std::wstring& user) {
         return ::DeleteFileW(made.I.c_str()) && testing::LinkUnix(made.I, user + L"\\A.pdf");
       },
       "PI", "PI"},
      {"a file in its folder held open by another program",
       [&held](const Made& made, const std::wstring&) {
         held.Reset(::CreateFileW(made.I.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
         return static_cast<bool>(held);
       },
       "PI", "PI"},
      // Nor can the temporary name beside the output be taken away while the join has it, to put
      // another's file, a hard link to the user's or a link in its place.
      {"its file taken away, to put another in its place",
       [](const Made& made, const std::wstring& user) {
         return !::DeleteFileW(made.T.c_str()) &&
                !::MoveFileW(made.T.c_str(), (user + L"\\taken").c_str());
       },
       "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::wstring user = temp.MakeFolder(L"user");
    temp.WriteFile(L"user\\A.pdf", "the user's A");
    temp.WriteFile(L"user\\notes.pdf", "the user's notes");
    DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
    Made made;
    made.I = workspace.MakeFile("decrypted");
    made.L = workspace.MakeStandIn(user + L"\\A.pdf");
    made.P = workspace.OwnFolder().path;
    made.T = workspace.MakeBeside(temp.Path() + L"\\all.pdf");
    ASSERT_TRUE(c.tamper(made, user));
    const std::vector<std::wstring> users = Listed(user);
    workspace.MakeStandIn(user + L"\\notes.pdf");
    workspace.MakeFile("decrypted");
    const std::pair<char, std::wstring> all[] = {
        {'P', made.P}, {'I', made.I}, {'L', made.L}, {'T', made.T}};
    const auto roles = [&](const std::vector<std::wstring>& paths) {
      std::string found;
      for (const auto& [role, path] : all) {
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) found += role;
      }
      return found;
    };
    const std::vector<std::wstring> left = workspace.RemoveAll();
    EXPECT_EQ(roles(left), c.reported);
    EXPECT_EQ(Listed(user), users) << "made beside the user's files";
    for (const std::wstring& path : Holding(temp.Path(), "decrypted")) {
      EXPECT_NE(std::find(left.begin(), left.end(), path), left.end())
          << "left without a word: " << ::testing::PrintToString(path);
    }
    std::vector<std::wstring> standing;
    for (const auto& [role, path] : all) {
      if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) standing.push_back(path);
    }
    EXPECT_EQ(roles(standing), c.stays);
    // What could not be removed is still the join's, for a later start.
    const bool folderLeft = std::string_view(c.reported).find('P') != std::string_view::npos;
    EXPECT_EQ(roles(workspace.Left()), folderLeft ? "P" : "");
    EXPECT_EQ(ReadFileBytes(user + L"\\A.pdf"), "the user's A");
    EXPECT_EQ(ReadFileBytes(user + L"\\notes.pdf"), "the user's notes");
    for (const std::wstring& name : users) {
      if (name != L"notes.pdf") {
        EXPECT_EQ(ReadFileBytes(user + L"\\" + name), "the user's A");
      }
    }
    held.Reset();
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
  const std::wstring joined = workspace.MakeFile("joined");
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

// A folder made at path for this user and the system alone, as Folianto makes the records' folder.
bool MakePrivateFolder(const std::wstring& path, TempFolder& temp) {
  const std::wstring owner = SecurityText(temp.WriteFile(L"mine"), OWNER_SECURITY_INFORMATION);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!owner.starts_with(L"O:") ||
      !::ConvertStringSecurityDescriptorToSecurityDescriptorW(
          (L"D:P(A;OICI;FA;;;" + owner.substr(2) + L")(A;OICI;FA;;;SY)").c_str(), SDDL_REVISION_1,
          &descriptor, nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  const bool made = ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
  ::LocalFree(descriptor);
  return made;
}

// A later start removes what an ended join's record names only once the tools it names have ended:
// a process that has the id now, but started at another time, is another program. It acts only on
// a record that this user alone could have written, and that is no longer than a join writes one.
TEST(DiskWorkspace, ALaterStartActsOnAPrivateRecordOnlyOnceItsToolsHaveEnded) {
  ASSERT_FALSE(testing::ExfatDriveRoot().empty()) << "no Linux fixture";
  const StartedTool running{ProcessIdOf(ThisProcess()), StartTimeOf(ThisProcess())};
  const struct {
    const char* name;
    std::vector<StartedTool> tools;
    bool removed;
    std::string more = {};        // after its lines
    bool othersMayWrite = false;  // in a temporary folder on V:, exFAT, which keeps no access lists
  } cases[] = {
      {"no tool", {}, true},
      {"a tool that still runs", {running}, false},
      {"its id now another program's", {{running.id, running.start - 1}}, true},
      {"an ended tool and one that still runs", {{running.id, running.start + 1}, running}, false},
      {"longer than any join's", {}, false, std::string(2 << 20, '#') + "\n"},
      // Another account may have put it there, naming any file of the user's with its identity.
      {"where others may write", {}, false, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const TemporaryOn temporary(c.othersMayWrite ? testing::ExfatDriveRoot() : temp.Path() + L"\\");
    const std::wstring made = temp.WriteFile(L"folianto-abcdefgh.tmp", "joined");
    const std::optional<FileIdentity> identity = IdentityOf(made);
    ASSERT_TRUE(identity);
    std::string record = RecordLine(MadeItem{false, *identity, made});
    for (const StartedTool& tool : c.tools)
      record += RecordLine(tool);
    const std::wstring records = temporary.path + L"\\folianto-joins";
    ASSERT_TRUE(c.othersMayWrite ? ::CreateDirectoryW(records.c_str(), nullptr) != FALSE
                                 : MakePrivateFolder(records, temp));
    WriteWhole(temporary.path + L"\\folianto-joins\\ended.join", record + c.more);
    RemoveWhatEndedJoinsLeft(temporary.path, kNeverStop);
    EXPECT_EQ(FileExists(made), !c.removed);
    EXPECT_EQ(Listed(temporary.path).empty(), c.removed) << "the record";
  }
}

// Fills the drive at root to its last cluster, after the records in records have grown, by a line
// of no meaning, to a byte short of a cluster's end: their next line needs one more.
bool FillDrive(const std::wstring& root, const std::wstring& records) {
  DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
  if (!::GetDiskFreeSpaceW(root.c_str(), &sectors, &bytes, &freeClusters, &clusters)) return false;
  const size_t cluster = size_t{sectors} * bytes;
  for (const std::wstring& name : Listed(records)) {
    // Its program has it open, and lets others write.
    const UniqueFileHandle file(
        ::CreateFileW((records + L"\\" + name).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
    const size_t padding = cluster - static_cast<size_t>(size.QuadPart) % cluster - 1;
    const std::string line = padding == 0 ? "" : std::string(padding - 1, '#') + "\n";
    DWORD written = 0;
    if (!::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
      return false;
  }
  const UniqueFileHandle filler(::CreateFileW((root + L"filler").c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
  const std::string chunk(cluster, 'x');
  DWORD written = 0;
  while (::WriteFile(filler.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                     nullptr) &&
         written == chunk.size()) {
  }
  return static_cast<bool>(filler);
}

// What the records of joins in temporary name as theirs.
std::vector<std::wstring> Recorded(const std::wstring& temporary) {
  std::vector<std::wstring> paths;
  const std::wstring records = temporary + L"\\folianto-joins";
  for (const std::wstring& name : Listed(records)) {
    for (const MadeItem& item : ReadRecord(ReadFileBytes(records + L"\\" + name)).made)
      paths.push_back(item.path);
  }
  return paths;
}

// A joined file that cannot take its name is the user's from then on: kept where it is, said so,
// and named by no record, so that no later start removes it, also where the record cannot take
// the line that says so (a full drive) while the join leaves something else behind; nothing
// half-made stays beside the output, also where its copy there was given up and goes on alone.
// The drives filled here are small: W: keeps access lists, and so records; V: is exFAT.
TEST(DiskWorkspace, AJoinedFileThatCannotTakeItsNameIsKeptForGood) {
  ASSERT_FALSE(testing::ExfatDriveRoot().empty()) << "no Linux fixture";
  const struct {
    const char* name;
    bool recordOnSmall;    // the temporary folder on W:, else the output's folder on V:
    bool fromOwnFolder;    // the joined file made in the own folder, else beside the output
    bool givenUp = false;  // the wait for a copy gives up at once, as at the limit after a close
  } cases[] = {
      {"its temporary name held open by another program", false, false},
      {"the record cannot take the line that hands it over", true, false},
      {"no room beside the output for the copy from the own folder", false, true},
      {"the copy from the own folder given up", false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::wstring small =
        c.recordOnSmall ? testing::OtherVolumeRoot() : testing::ExfatDriveRoot();
    const TemporaryOn onSmall(small);
    const std::wstring temporary = c.recordOnSmall ? onSmall.path : temp.MakeFolder(L"temporary");
    const std::wstring outputFolder = c.recordOnSmall ? temp.Path() : onSmall.path;
    const std::wstring output = outputFolder + L"\\all.pdf";
    std::wstring kept;
    UniqueFileHandle stuck;
    {
      DiskWorkspace workspace(temporary, c.givenUp
                                             ? [](HANDLE, const std::wstring&) { return false; }
                                             : DiskWorkspace::CopyWait(WaitWithMessages));
      const std::wstring joined =
          c.fromOwnFolder ? workspace.MakeFile("joined") : workspace.MakeBeside(output);
      ASSERT_FALSE(joined.empty());
      if (!c.fromOwnFolder) WriteWhole(joined, "joined");
      const UniqueFileHandle holder(c.fromOwnFolder ? INVALID_HANDLE_VALUE
                                                    : ::CreateFileW(joined.c_str(), GENERIC_READ,
                                                                    FILE_SHARE_READ, nullptr,
                                                                    OPEN_EXISTING, 0, nullptr));
      if (c.recordOnSmall) {
        // Something else the join cannot remove, so that its record stays.
        const std::wstring own = workspace.OwnFolder().path;
        stuck.Reset(::CreateFileW((own + L"\\stuck").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  0, nullptr));
        ASSERT_FALSE(Listed(temporary + L"\\folianto-joins").empty()) << "no record to fill up";
      }
      if (c.recordOnSmall || (c.fromOwnFolder && !c.givenUp)) {
        ASSERT_TRUE(FillDrive(small, temporary + L"\\folianto-joins"));
      }
      const JoinWorkspace::Naming naming = workspace.GiveName(joined, output);
      EXPECT_FALSE(naming.named);
      EXPECT_EQ(naming.kept, joined);
      kept = naming.kept;
      workspace.RemoveAll();
    }
    const auto halfMade = [&] {
      const std::vector<std::wstring> names = Listed(outputFolder);
      return std::count_if(names.begin(), names.end(), [&](const std::wstring& name) {
        return name.starts_with(L"folianto-") && name != NameOfPath(kept);
      });
    };
    // A copy given up ends on its own, and lets go of the joined file then.
    for (int wait = 0; wait < 100 && (halfMade() > 0 || ReadFileBytes(kept).empty()); ++wait)
      ::Sleep(20);
    EXPECT_EQ(halfMade(), 0);
    EXPECT_EQ(ReadFileBytes(kept), "joined");
    const std::vector<std::wstring> recorded = Recorded(temporary);
    EXPECT_EQ(std::find(recorded.begin(), recorded.end(), kept), recorded.end())
        << "a later start would remove it";
    EXPECT_FALSE(FileExists(output));
    stuck.Reset();
    ::DeleteFileW((small + L"filler").c_str());
  }
}

// How the system's replacing fails in a row of the table below, and what it held open.
enum class HalfReplaced { OldGone, OldMovedAside, OldHeldAside, Refused, NewIdentity };
HalfReplaced g_half;
HANDLE g_holding = INVALID_HANDLE_VALUE;

BOOL WINAPI ReplaceHalfWay(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD, LPVOID,
                           LPVOID) {
  switch (g_half) {
    case HalfReplaced::OldGone:
      ::DeleteFileW(replaced);
      ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
      break;
    case HalfReplaced::OldMovedAside:
      // Another program opens the joined file meanwhile, so it cannot be moved either.
      ::MoveFileW(replaced, backup);
      g_holding = ::CreateFileW(replacement, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
      ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
      break;
    case HalfReplaced::OldHeldAside:
      // Done, but another program (an indexer, a viewer) opens the old file under its new name at
      // once, without letting anyone remove it.
      ::MoveFileW(replaced, backup);
      ::MoveFileW(replacement, replaced);
      g_holding =
          ::CreateFileW(backup, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      return TRUE;
    case HalfReplaced::Refused:
      ::SetLastError(ERROR_SHARING_VIOLATION);
      break;
    case HalfReplaced::NewIdentity:
      // Done, where the file system gives the result an identity other than the joined file's.
      ::MoveFileW(replaced, backup);
      ::CopyFileW(replacement, replaced, TRUE);
      ::DeleteFileW(replacement);
      return TRUE;
  }
  return FALSE;
}

// A replacement of the output that the system does half-way is told as it is: where the joined
// file is, whether the old file still has its name, and under which name it is kept.
TEST(DiskWorkspace, AReplacementDoneHalfWayIsToldAsItIs) {
  const struct {
    const char* name;
    HalfReplaced half;
    bool named;
    uint32_t error;
    bool oldAside;
  } cases[] = {
      {"the old file removed, the joined file left: moved in", HalfReplaced::OldGone, true, 0,
       false},
      {"the old file moved aside, the joined file held", HalfReplaced::OldMovedAside, false,
       ERROR_SHARING_VIOLATION, true},
      // The old file is not where the user left it, nor gone: they must hear where it is.
      {"the joined file moved in, the old file held open aside", HalfReplaced::OldHeldAside, true,
       0, true},
      {"nothing done", HalfReplaced::Refused, false, ERROR_SHARING_VIOLATION, false},
      {"done, the result under an identity of its own", HalfReplaced::NewIdentity, true, 0, false},
  };
  DiskWorkspace::ReplaceWith(ReplaceHalfWay);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_half = c.half;
    TempFolder temp;
    const std::wstring output = temp.WriteFile(L"out\\all.pdf", "the old file");
    std::wstring joined;
    JoinWorkspace::Naming naming;
    {
      DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
      joined = workspace.MakeBeside(output);
      WriteWhole(joined, "joined");
      naming = workspace.GiveName(joined, output);
      EXPECT_TRUE(workspace.RemoveAll().empty());
    }
    UniqueFileHandle(std::exchange(g_holding, INVALID_HANDLE_VALUE));
    EXPECT_EQ(naming.named, c.named);
    EXPECT_EQ(naming.error, c.error);
    EXPECT_EQ(naming.kept, c.named ? L"" : joined);
    EXPECT_EQ(ReadFileBytes(output), c.named ? "joined" : c.oldAside ? "" : "the old file");
    EXPECT_EQ(naming.replacedKept.empty(), !c.oldAside);
    if (c.oldAside) {
      EXPECT_EQ(ReadFileBytes(naming.replacedKept), "the old file");
    }
    if (!c.named) {
      EXPECT_EQ(ReadFileBytes(joined), "joined");
    }
    EXPECT_EQ(Recorded(temp.Path() + L"\\temporary"), std::vector<std::wstring>{});
  }
  DiskWorkspace::ReplaceWith(&::ReplaceFileW);
}

// The folder that holds what a join makes of the inputs, and the records' folder, only this user
// and the system can reach, and what is made in them inherits just that. (Wine keeps a file's
// access list as its Unix mode: the folders' is theirs alone, and inheritance is not shown.) On a
// drive that keeps no access lists (exFAT), the own folder is told to be readable by others, and
// nothing of an input's content goes there.
TEST(DiskWorkspace, ThePrivateFolderAndTheRecordsAreThisUsersAlone) {
  TempFolder temp;
  const std::wstring input = temp.WriteFile(L"\u03a3.pdf", "input");
  // This user: the owner of a file the test has just made ("O:" and the SID).
  const std::wstring user = SecurityText(temp.WriteFile(L"mine"), OWNER_SECURITY_INFORMATION);
  ASSERT_TRUE(user.starts_with(L"O:S-")) << ::testing::PrintToString(user);
  const std::wstring exfat = testing::ExfatDriveRoot();
  ASSERT_FALSE(exfat.empty()) << "no Linux fixture";
  for (const bool withAccessLists : {true, false}) {
    SCOPED_TRACE(withAccessLists ? "on a drive with access lists" : "on exFAT");
    const TemporaryOn temporary(withAccessLists ? temp.Path() + L"\\" : exfat);
    DiskWorkspace workspace(temporary.path, WaitWithMessages);
    const JoinWorkspace::Folder folder = workspace.OwnFolder();
    ASSERT_FALSE(folder.path.empty());
    EXPECT_EQ(folder.isPrivate, withAccessLists);
    EXPECT_EQ(workspace.MakeFile("opened with its password").empty(), !withAccessLists);
    EXPECT_EQ(workspace.MakeStandIn(input).empty(), !withAccessLists) << "a copy of the input";
    if (!withAccessLists) {
      EXPECT_EQ(Listed(folder.path), std::vector<std::wstring>{});
      continue;
    }
    for (const std::wstring& path : {folder.path, temporary.path + L"\\folianto-joins"}) {
      // These two entries and no other, in whichever order the system tells them.
      const std::wstring access = SecurityText(path, DACL_SECURITY_INFORMATION);
      EXPECT_EQ(std::count(access.begin(), access.end(), L'('), 2)
          << ::testing::PrintToString(access);
      for (const std::wstring& entry :
           {L"(A;OICI;FA;;;" + user.substr(2) + L")", std::wstring(L"(A;OICI;FA;;;SY)")})
        EXPECT_NE(access.find(entry), std::wstring::npos) << ::testing::PrintToString(access);
    }
  }
}

// No one whom an output that only this user and the system can reach keeps out reaches the joined
// file beside it, whichever way it gets there: another account could read it, or hold it open to
// write into what then takes the output's name, or keep it for good when it cannot. The output is
// held open by a viewer that lets no one remove it, as many do, in one row.
TEST(DiskWorkspace, TheJoinedFileBesideAPrivateOutputIsThisUsersAlone) {
  const struct {
    const char* name;
    bool fromOwnFolder;  // written in the own folder and copied beside the output
    bool viewed;
  } cases[] = {
      {"written beside it", false, false},
      {"written beside it while a viewer has it", false, true},
      {"copied beside it from the own folder", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::wstring sid =
        SecurityText(temp.WriteFile(L"mine"), OWNER_SECURITY_INFORMATION).substr(2);
    PSECURITY_DESCRIPTOR mine = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        (L"D:P(A;;FA;;;" + sid + L")(A;;FA;;;SY)").c_str(), SDDL_REVISION_1, &mine, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), mine, FALSE};
    const std::wstring outputs = temp.MakeFolder(L"out");
    const std::wstring output = outputs + L"\\private.pdf";
    ASSERT_TRUE(UniqueFileHandle(
        ::CreateFileW(output.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, 0, nullptr)));
    ::LocalFree(mine);
    const UniqueFileHandle viewer(c.viewed
                                      ? ::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, 0, nullptr)
                                      : INVALID_HANDLE_VALUE);
    // The first file beside the output, the output too, that others can reach, at a step or at
    // the end, and the access list that lets them in.
    std::wstring reached;
    const auto look = [&](std::wstring_view when) {
      for (const std::wstring& name : Listed(outputs)) {
        const std::wstring access = SecurityText(outputs + L"\\" + name, DACL_SECURITY_INFORMATION);
        for (size_t at = access.find(L'('); reached.empty() && at != std::wstring::npos;
             at = access.find(L'(', at + 1)) {
          const std::wstring entry = access.substr(at, access.find(L')', at) + 1 - at);
          if (!entry.ends_with(L";;;SY)") && !entry.ends_with(L";" + sid + L")"))
            reached = std::wstring(when) + L": " + name + L" " + access;
        }
      }
    };
    DiskWorkspace workspace(temp.MakeFolder(L"temporary"), WaitWithMessages);
    DiskWorkspace::ObserveSteps(look);
    const std::wstring joined =
        c.fromOwnFolder ? workspace.MakeFile("joined") : workspace.MakeBeside(output);
    if (!c.fromOwnFolder) WriteWhole(joined, "joined");
    workspace.GiveName(joined, output);
    DiskWorkspace::ObserveSteps({});
    look(L"at the end");
    EXPECT_EQ(reached, L"");
    workspace.RemoveAll();
  }
}
}  // namespace
}  // namespace folianto
