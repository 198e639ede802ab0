#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "join/SessionFileClaims.h"
#include "platform/OutputCapture.h"
#include "platform/UniqueHandle.h"
#include "support/LinuxFixture.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::MakePdf;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::TestForm;
using testing::TestProgramFolder;
using Texts = std::vector<std::wstring>;

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The joins that tests/join/check-joined-pdfs.sh looks into afterwards with qpdf and pdftotext.
// Outside the test's temporary folder, which goes at the end of each test.
std::wstring CheckedOutputFolder() {
  const std::wstring folder = TestProgramFolder() + L"\\join output";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

int CaptureFilesInTemp() {
  wchar_t folder[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, folder);
  int count = 0;
  WIN32_FIND_DATAW entry;
  const HANDLE search = ::FindFirstFileW((std::wstring(folder) + L"fol*.tmp").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    ++count;
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return count;
}

void ExpectTool() {
  ASSERT_TRUE(Exists(TestProgramFolder() + L"\\pdftk.exe")) << "no pdftk.exe next to the tests";
}

// The join's three inputs, in a folder whose name has a space.
struct ThreeInputs {
  TempFolder folder;
  std::wstring one = folder.WriteFile(L"in put\\one.pdf", MakePdf({"Alpha"}));
  std::wstring two = folder.WriteFile(L"in put\\two.pdf", MakePdf({"Bravo", "Charlie"}));
  std::wstring three = folder.WriteFile(L"in put\\three.pdf", MakePdf({"Delta"}));
};

// Whether a join of any Folianto holds the file at path for that use.
bool Claimed(const std::wstring& path, FileClaims::Use use) {
  SessionFileClaims claims(
      [](HANDLE lock, unsigned ms) { return ::WaitForSingleObject(lock, ms) == WAIT_OBJECT_0; });
  return claims.Claimed(claims.KeysOf({path}).at(0), use);
}

void Join(TestForm& app, const std::wstring& output) {
  app.dialogs.AnswerSave({DialogResult::Chosen, output});
  testing::Click(app.form->Check2);
}

TEST(JoinCommand, OnAnEmptyListSaysSoWhateverTheDialogAnswers) {
  for (const wchar_t* output : {L"D:\\all.pdf", L""}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(output)));
    TestForm app;
    if (*output) app.dialogs.AnswerSave({DialogResult::Chosen, output});
    testing::Click(app.form->Check2);
    EXPECT_EQ(app.dialogs.messages, Texts{L"No PDF files added."});
    EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  }
}

TEST(JoinCommand, CancellingTheDialogEndsSilently) {
  TestForm app;
  app.form->ListView1.Append(L"D:\\in\\one.pdf");
  testing::Click(app.form->Check2);
  EXPECT_EQ(app.dialogs.saveShown.size(), 1u);
  EXPECT_TRUE(app.dialogs.messages.empty());
  EXPECT_EQ(AllEntries(app.form->ListView1), Texts{L"D:\\in\\one.pdf"});
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  EXPECT_EQ(app.form->Progress(), 0);
}

TEST(JoinCommand, RefusesTwentySixEntries) {
  TempFolder folder;
  TestForm app;
  for (int i = 0; i < 26; ++i)
    app.form->ListView1.Append(L"D:\\in\\" + std::to_wstring(i) + L".pdf");
  Join(app, folder.Path() + L"\\all.pdf");
  EXPECT_EQ(app.dialogs.messages, Texts{L"You can only join 25 files at a time."});
  EXPECT_EQ(app.form->ListView1.Count(), 26);
  EXPECT_FALSE(Exists(folder.Path() + L"\\all.pdf"));
}

TEST(JoinCommand, ShowsTheHourglassFromTheSaveDialogOnAndTheArrowAfter) {
  TestForm app;
  app.form->ListView1.Append(L"D:\\in\\one.pdf");
  // "Add PDF File(s)" leaves its filter and flags on the shared dialog; the save dialog shows them.
  testing::Click(app.form->Check1);
  std::vector<PointerSetting> whileOpen;
  app.dialogs.whileOpen = [&] { whileOpen.push_back(app.form->MousePointer()); };
  testing::Click(app.form->Check2);
  EXPECT_EQ(whileOpen, (std::vector<PointerSetting>{PointerSetting::Busy}));
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  ASSERT_EQ(app.dialogs.saveShown.size(), 1u);
  const CommonDialog& shown = app.dialogs.saveShown[0];
  EXPECT_EQ(shown.dialogTitle, L"Save Join File As");
  EXPECT_EQ(shown.fileName, L"");
  EXPECT_EQ(shown.filter, L"PDF Files (*.pdf)|*.pdf|");
  // The save dialog alone asks before replacing a file and adds ".pdf"; the shared dialog keeps
  // the flags "Add PDF File(s)" left and no default extension.
  EXPECT_EQ(shown.flags, 0x280201u | OFN_OVERWRITEPROMPT);
  EXPECT_EQ(shown.defaultExt, L"pdf");
  EXPECT_EQ(app.form->CommonDialog1.flags, 0x280201u);
  EXPECT_EQ(app.form->CommonDialog1.defaultExt, L"");
}

TEST(JoinCommand, JoinsThreeRealFilesInListOrder) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring output = CheckedOutputFolder() + L"\\joined file.pdf";
  ::DeleteFileW(output.c_str());
  const int captures = CaptureFilesInTemp();

  TestForm app;
  for (const auto& path : {inputs.one, inputs.two, inputs.three})
    app.form->ListView1.Append(path);
  std::vector<int> progressAtMessage;
  app.dialogs.onMessage = [&](const std::wstring&) {
    progressAtMessage.push_back(app.form->Progress());
  };
  Join(app, output);

  EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
  EXPECT_EQ(progressAtMessage, std::vector<int>{100});
  EXPECT_EQ(app.form->Progress(), 0);
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  EXPECT_EQ(testing::ReadFileBytes(output).substr(0, 5), "%PDF-");
  // Under Wine the ended tool lets go of its handle to the capture file a moment after its end is
  // seen, and the file goes with the last handle.
  for (int wait = 0; wait < 100 && CaptureFilesInTemp() != captures; ++wait)
    ::Sleep(10);
  EXPECT_EQ(CaptureFilesInTemp(), captures) << "the tool's output file is gone";
  EXPECT_EQ(testing::ReadFileBytes(inputs.two), MakePdf({"Bravo", "Charlie"}));
}

TEST(JoinCommand, JoinsOneRealFile) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring output = inputs.folder.Path() + L"\\one.pdf";
  TestForm app;
  app.form->ListView1.Append(inputs.two);
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
  EXPECT_EQ(app.form->Progress(), 0);
  EXPECT_EQ(testing::ReadFileBytes(output).substr(0, 5), "%PDF-");
}

TEST(JoinCommand, JoinsTwentyFiveRealFiles) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring output = CheckedOutputFolder() + L"\\twenty-five.pdf";
  ::DeleteFileW(output.c_str());
  TestForm app;
  for (int i = 0; i < 25; ++i)
    app.form->ListView1.Append(inputs.one);
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
  EXPECT_TRUE(Exists(output));
}

TEST(JoinCommand, TellsOfANonPdfEntryAndJoinsTheRest) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring notes = inputs.folder.WriteFile(L"in put\\notes.txt", "notes");
  const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
  TestForm app;
  for (const auto& path : {inputs.one, notes, inputs.three})
    app.form->ListView1.Append(path);
  std::vector<int> progressAtMessage;
  app.dialogs.onMessage = [&](const std::wstring&) {
    progressAtMessage.push_back(app.form->Progress());
  };
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages,
            (Texts{L"This file " + notes + L" does not appear to be PDF.", L"Join successful."}));
  EXPECT_EQ(progressAtMessage, (std::vector<int>{67, 100}));
  EXPECT_EQ(testing::ReadFileBytes(output).substr(0, 5), "%PDF-");
}

TEST(JoinCommand, AFailedJoinShowsTheToolsOwnWordsAndNoSuccess) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring missing = inputs.folder.Path() + L"\\in put\\missing.pdf";
  const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
  TestForm app;
  app.form->ListView1.Append(inputs.one);
  app.form->ListView1.Append(missing);
  Join(app, output);
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  const std::wstring& message = app.dialogs.messages[0];
  EXPECT_TRUE(message.starts_with(L"The join failed: pdftk.exe ended with exit code 1.\n\n"))
      << ::testing::PrintToString(message);
  EXPECT_NE(message.find(L"missing.pdf"), std::wstring::npos) << "pdftk names the file";
  EXPECT_FALSE(Exists(output));
  EXPECT_EQ(app.form->Progress(), 0);
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
}

// The stand-in tool writes its data in UTF-8 and its messages with a path in the code page, as
// the real one does on Windows: each is read in its own way.
TEST(JoinCommand, ReadsTheToolsDataAndItsMessagesApart) {
  ASSERT_EQ(::GetACP(), 1252u) << "the tool's messages are in the Western code page";
  ThreeInputs inputs;
  TempFolder tool;
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\join_run_helper.exe").c_str(),
                          (tool.Path() + L"\\pdftk.exe").c_str(), FALSE));
  TestForm app(tool.Path());
  app.form->ListView1.Append(inputs.one);
  app.form->ListView1.Append(inputs.two);
  app.form->CommonDialog1.checkBoxTicked = true;  // a bookmark for each file
  Join(app, inputs.folder.Path() + L"\\all.pdf");
  EXPECT_EQ(app.dialogs.messages,
            Texts{L"The join failed: pdftk.exe ended with exit code 1.\n\nWarning: "
                  L"C:\\caf\u00e9\\in.pdf\r\nError: could not write C:\\caf\u00e9\\out.pdf"});
  const std::string outline = testing::ReadFileBytes(tool.Path() + L"\\outline-read");
  EXPECT_NE(outline.find("BookmarkTitle: &#915;&#940;&#956;&#956;&#945;\n"), std::string::npos)
      << outline;
}

// Names a missing folder in TMP and TEMP while it lives, so no temporary file can be made.
class NoTemporaryFolder {
 public:
  explicit NoTemporaryFolder(const std::wstring& missing) {
    for (auto& [name, value] : saved_) {
      value.resize(32767);
      value.resize(::GetEnvironmentVariableW(name, value.data(), 32767));
      ::SetEnvironmentVariableW(name, missing.c_str());
    }
  }
  ~NoTemporaryFolder() {
    for (const auto& [name, value] : saved_)
      ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
  }

 private:
  std::pair<const wchar_t*, std::wstring> saved_[2] = {{L"TMP", L""}, {L"TEMP", L""}};
};

// The tool's words cannot be kept then, but it still runs, on the null device, and its failure
// still shows.
TEST(JoinCommand, AFailedJoinShowsAsSuchWithoutATemporaryFolder) {
  ExpectTool();
  ThreeInputs inputs;
  const NoTemporaryFolder noTemporaryFolder(inputs.folder.Path() + L"\\gone");
  // Under Wine a tool handed invalid standard handles runs as well; here the difference shows.
  EXPECT_EQ(OutputCapture().Handle(), nullptr);
  TestForm app;
  app.form->ListView1.Append(inputs.folder.Path() + L"\\in put\\missing.pdf");
  Join(app, inputs.folder.Path() + L"\\all.pdf");
  EXPECT_EQ(app.dialogs.messages, Texts{L"The join failed: pdftk.exe ended with exit code 1."});
}

TEST(JoinCommand, RefusesAnOutputThatNamesAnInputHoweverSpelt) {
  ThreeInputs inputs;
  const std::wstring folder = inputs.folder.Path() + L"\\in put\\";
  const std::wstring spellings[] = {
      folder + L"TWO.PDF",
      folder + L"Two.pdf",
      inputs.folder.Path() + L"\\in put\\\\two.pdf",
      inputs.folder.Path() + L"\\in put\\..\\in put\\two.pdf",
  };
  for (const std::wstring& output : spellings) {
    SCOPED_TRACE(::testing::PrintToString(output));
    TestForm app;
    app.form->ListView1.Append(inputs.one);
    app.form->ListView1.Append(inputs.two);
    Join(app, output);
    EXPECT_EQ(app.dialogs.messages,
              Texts{L"The output file cannot be one of the files being joined."});
    EXPECT_EQ(testing::ReadFileBytes(inputs.two), MakePdf({"Bravo", "Charlie"}));
  }
}

// Where long paths are allowed, the walk and the join reach past MAX_PATH: nothing on the way
// holds a path in a buffer of fixed size.
TEST(JoinCommand, WalksAndJoinsATreeWhosePathsPass300Characters) {
  ExpectTool();
  TempFolder folder;
  std::wstring deep = L"tree";
  while (folder.Path().size() + deep.size() < 300)
    deep += L"\\a folder name of forty characters, more";
  const std::wstring top = folder.WriteFile(L"tree\\top.pdf", MakePdf({"Top"}));
  const std::wstring bottom = folder.WriteFile(deep + L"\\bottom.pdf", MakePdf({"Bottom"}));
  ASSERT_GT(bottom.size(), 300u);
  ASSERT_EQ(testing::ReadFileBytes(bottom), MakePdf({"Bottom"}));

  TestForm app;
  app.dialogs.AnswerFolder(folder.Path() + L"\\tree");
  testing::Click(app.form->Check4);
  EXPECT_EQ(AllEntries(app.form->ListView1), (Texts{top, bottom}));
  const std::wstring output = folder.Path() + L"\\" + deep + L"\\joined.pdf";
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
  EXPECT_EQ(testing::ReadFileBytes(output).substr(0, 5), "%PDF-");
}

// Paths that differ in their text yet lead to the input itself: pdftk would write over it.
TEST(JoinCommand, RefusesAnOutputThatIsAnInputByAnotherName) {
  const std::wstring fixture = testing::FixtureFolder();
  ASSERT_FALSE(fixture.empty()) << "no Linux fixture";
  const std::wstring input = fixture + L"\\join\\in put\\input.pdf";
  const std::string before = testing::ReadFileBytes(input);
  ASSERT_FALSE(before.empty());
  std::wstring shortName(1024, L'\0');
  shortName.resize(::GetShortPathNameW(input.c_str(), shortName.data(), 1024));
  ASSERT_NE(shortName, input) << "no short name";
  const std::wstring spellings[] = {
      shortName,
      testing::JoinDriveRoot() + L"in put\\input.pdf",
      fixture + L"\\join\\in put\\hard link.pdf",
  };
  for (const std::wstring& output : spellings) {
    SCOPED_TRACE(::testing::PrintToString(output));
    TestForm app;
    app.form->ListView1.Append(input);
    Join(app, output);
    EXPECT_EQ(app.dialogs.messages,
              Texts{L"The output file cannot be one of the files being joined."});
    EXPECT_EQ(testing::ReadFileBytes(input), before);
  }
}

TEST(JoinCommand, SaysWhenTheToolIsMissingOrCannotStart) {
  ThreeInputs inputs;
  TempFolder noTool;
  TempFolder badTool;
  badTool.WriteFile(L"pdftk.exe", "not a program");
  // Where it is missing, the box says what to do, with the folder one click away.
  const std::wstring putTheTool =
      L"\n\nPut pdftk.exe, and the files that came with it, into that folder.";
  const std::vector<Texts> showFolder = {{L"Show &Folder"}};
  const struct {
    const char* name;
    std::wstring folder;
    std::wstring message;
    std::vector<Texts> buttons;
  } cases[] = {
      {"missing", noTool.Path(), L"pdftk.exe was not found in " + noTool.Path() + L"." + putTheTool,
       showFolder},
      {"missing folder", noTool.Path() + L"\\gone",
       L"pdftk.exe was not found in " + noTool.Path() + L"\\gone." + putTheTool, showFolder},
      {"not a program", badTool.Path(), L"pdftk.exe could not be started (error 5).", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestForm app(c.folder);
    app.form->ListView1.Append(inputs.one);
    Join(app, inputs.folder.Path() + L"\\all.pdf");
    EXPECT_EQ(app.dialogs.messages, Texts{c.message});
    EXPECT_EQ(app.dialogs.choiceButtons, c.buttons);
    EXPECT_EQ(app.form->Progress(), 0);
    EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  }
}

// The tool writes the joined file under a temporary name: one that fails half-way leaves the file
// the user agreed to replace as it was, and nothing of its own beside it.
TEST(JoinCommand, AToolThatFailsHalfWayLeavesTheFileItWasToReplaceAsItWas) {
  TempFolder tool;
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\join_run_helper.exe").c_str(),
                          (tool.Path() + L"\\pdftk.exe").c_str(), FALSE));
  tool.WriteFile(L"crash-half-way", "");
  ThreeInputs inputs;
  const std::string old = MakePdf({"The old file"});
  const std::wstring output = inputs.folder.WriteFile(L"out\\all.pdf", old);
  TestForm app(tool.Path());
  app.form->ListView1.Append(inputs.one);
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages,
            Texts{L"The join failed: pdftk.exe crashed (access violation, 0xC0000005)."});
  EXPECT_EQ(testing::ReadFileBytes(output), old);
  WIN32_FIND_DATAW found;
  EXPECT_EQ(::FindFirstFileW((inputs.folder.Path() + L"\\out\\folianto-*").c_str(), &found),
            INVALID_HANDLE_VALUE)
      << "the half-written file is left";
}

// A link (a Unix symbolic link stands in for a junction or a symbolic link here) as the output, or
// as its folder: the joined file takes the name the user chose, and whatever another name leads to
// stays as it was.
TEST(JoinCommand, AJoinIntoALinkOrALinkedFolderLeavesWhatTheLinkLeadsTo) {
  ExpectTool();
  const std::string old = MakePdf({"The old file"});
  // The link and where it leads, and the output chosen, in the test's folder; the joined file
  // lands in out\all.pdf.
  const struct {
    const wchar_t *link, *target, *output;
  } cases[] = {
      {L"out\\all.pdf", L"elsewhere\\report.pdf", L"out\\all.pdf"},
      {L"linked", L"out", L"linked\\all.pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.output)));
    ThreeInputs inputs;
    const std::wstring& folder = inputs.folder.Path();
    inputs.folder.MakeFolder(L"out");
    inputs.folder.WriteFile(L"elsewhere\\report.pdf", old);
    ASSERT_TRUE(testing::LinkUnix(folder + L"\\" + c.link, folder + L"\\" + c.target));
    TestForm app;
    app.form->ListView1.Append(inputs.two);
    Join(app, folder + L"\\" + c.output);
    EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
    const std::string joined = testing::ReadFileBytes(folder + L"\\out\\all.pdf");
    EXPECT_TRUE(joined.starts_with("%PDF-") && joined != old);
    EXPECT_EQ(testing::ReadFileBytes(folder + L"\\elsewhere\\report.pdf"), old);
    WIN32_FIND_DATAW found;
    EXPECT_EQ(::FindFirstFileW((folder + L"\\out\\folianto-*").c_str(), &found),
              INVALID_HANDLE_VALUE)
        << "the joined file is left under its temporary name";
  }
}

// Another Folianto that holds the look at the claims (a hung one, say), or another program that
// took its name, refuses the join within a moment, with nothing marked; the window runs meanwhile.
TEST(JoinCommand, RefusesAJoinWhileTheLookAtTheClaimsCannotBeHad) {
  const std::wstring lockName = L"Local\\Folianto-claims";
  for (const bool squatted : {false, true}) {
    SCOPED_TRACE(squatted ? "the name taken by an event" : "the lock held by another");
    ThreeInputs inputs;
    const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
    // The lock is another thread's: this one's own would be had again.
    struct Holder {
      std::wstring name;
      bool squatted;
      UniqueKernelHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
      UniqueKernelHandle holding{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    } holder{lockName, squatted};
    const UniqueKernelHandle thread(::CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
          auto& holder = *static_cast<Holder*>(parameter);
          const UniqueKernelHandle taken(
              holder.squatted ? ::CreateEventW(nullptr, TRUE, FALSE, holder.name.c_str())
                              : ::CreateMutexW(nullptr, TRUE, holder.name.c_str()));
          ::SetEvent(holder.holding.Get());
          ::WaitForSingleObject(holder.release.Get(), INFINITE);
          return 0;
        },
        &holder, 0, nullptr));
    ASSERT_TRUE(thread && ::WaitForSingleObject(holder.holding.Get(), 5000) == WAIT_OBJECT_0);
    TestForm app;
    app.form->ListView1.Append(inputs.one);
    static int ticks = 0;
    ticks = 0;
    const UINT_PTR timer =
        ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    const DWORD began = ::GetTickCount();
    Join(app, output);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(app.dialogs.messages,
              Texts{L"Another Folianto is starting a join. Try again in a moment. Nothing was "
                    L"joined."});
    EXPECT_LT(::GetTickCount() - began, 10000u);
    if (!squatted) {
      EXPECT_GE(ticks, 10) << "the window did not run while it waited";
    }
    EXPECT_FALSE(Claimed(output, FileClaims::Use::Write)) << "marked without the lock";
    EXPECT_FALSE(Exists(output));
    ::SetEvent(holder.release.Get());
    ::WaitForSingleObject(thread.Get(), 5000);
  }
}

// While a join waits for the tool, "Join!" works again: the second join runs inside the first.
TEST(JoinCommand, ASecondJoinCanRunWhileTheFirstWaits) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring first = inputs.folder.Path() + L"\\first.pdf";
  const std::wstring second = inputs.folder.Path() + L"\\second.pdf";
  TestForm app;
  app.form->ListView1.Append(inputs.two);
  app.dialogs.AnswerSave({DialogResult::Chosen, first});
  app.dialogs.AnswerSave({DialogResult::Chosen, second});

  static TestForm* pressed = nullptr;
  pressed = &app;
  // Due at once: it fires at the first messages the join lets run, in its wait for the tool.
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    testing::Click(pressed->form->Check2);
  });
  ASSERT_NE(timer, 0u);
  testing::Click(app.form->Check2);
  pressed = nullptr;

  EXPECT_EQ(app.dialogs.saveShown.size(), 2u);
  EXPECT_EQ(app.dialogs.messages, (Texts{L"Join successful.", L"Join successful."}));
  EXPECT_EQ(testing::ReadFileBytes(first).substr(0, 5), "%PDF-");
  EXPECT_EQ(testing::ReadFileBytes(second).substr(0, 5), "%PDF-");
}

// Closing the window while the tool runs hides it at once; the program waits for the join, for
// as long as it was told (here 3 s), then says so and ends without stopping the tool, which would
// never end. Until then every Folianto sees the join's files claimed; the system drops the claims
// with the program, whose own ending never ran.
TEST(JoinCommand, ClosingDuringAJoinWaitsForItNoLongerThanTheLimitAndLeavesTheToolRunning) {
  TempFolder folder;
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\join_run_helper.exe").c_str(),
                          (folder.Path() + L"\\pdftk.exe").c_str(), FALSE));
  const std::wstring output = folder.Path() + L"\\all.pdf", input = folder.WriteFile(L"in.pdf");
  std::wstring commandLine = L"\"" + TestProgramFolder() + L"\\join_close_probe.exe\" \"" +
                             folder.Path() + L"\" 3000 \"" + output + L"\" \"" + input + L"\"";
  const UniqueKernelHandle probe = testing::StartProgram(std::move(commandLine));
  ASSERT_TRUE(probe);
  const std::wstring mark = folder.Path() + L"\\tool-started";
  for (int i = 0; i < 1000 && testing::ReadFileBytes(mark).empty(); ++i)
    ::Sleep(20);
  const UniqueKernelHandle tool(
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                    std::strtoul(testing::ReadFileBytes(mark).c_str(), nullptr, 10)));
  const HWND window = ::FindWindowW(L"FoliantoForm1", L"Folianto");
  ASSERT_TRUE(tool && window) << "the tool did not start";
  EXPECT_TRUE(Claimed(output, FileClaims::Use::Write));
  EXPECT_TRUE(Claimed(input, FileClaims::Use::Read));
  EXPECT_FALSE(Claimed(input, FileClaims::Use::Write));

  const DWORD closedAt = ::GetTickCount();
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  for (int i = 0; i < 250 && ::IsWindowVisible(window); ++i)
    ::Sleep(20);
  EXPECT_FALSE(::IsWindowVisible(window)) << "the window stayed";
  EXPECT_EQ(::WaitForSingleObject(probe.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the program did not wait for its join";
  const DWORD ended = ::WaitForSingleObject(probe.Get(), 30000);
  EXPECT_GE(::GetTickCount() - closedAt, 3000u);
  if (ended != WAIT_OBJECT_0) ::TerminateProcess(probe.Get(), 1);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(probe.Get(), &exitCode);
  EXPECT_EQ(exitCode, 1u) << "the program did not end at the limit, or said it ended well";
  const std::string said = testing::ReadFileBytes(folder.Path() + L"\\messages.txt");
  // The tool writes the joined file under a temporary name beside the output.
  WIN32_FIND_DATAW temporary{};
  ::FindClose(::FindFirstFileW((folder.Path() + L"\\folianto-*.tmp").c_str(), &temporary));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(said.data()), said.size() / 2),
            L"The join into " + output +
                L" has not ended 3 seconds after the window was closed, and Folianto ends without "
                L"it. pdftk.exe is still running; it is not stopped. These were made for the join "
                L"and stay until Folianto next starts after pdftk.exe has ended, which removes "
                L"them:\n" +
                folder.Path() + L"\\" + temporary.cFileName);
  // The claims live as long as the tool that may still write, not only as the program.
  EXPECT_TRUE(Claimed(output, FileClaims::Use::Write)) << "the claims went with the program";
  EXPECT_EQ(::WaitForSingleObject(tool.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the tool was stopped";
  ::TerminateProcess(tool.Get(), 1);
  ::WaitForSingleObject(tool.Get(), 5000);
  EXPECT_FALSE(Claimed(output, FileClaims::Use::Write)) << "the claims outlived the tool";
}

}  // namespace
}  // namespace folianto
