#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "join/DiskWorkspace.h"
#include "join/RunAndWait.h"
#include "join/SessionFileClaims.h"
#include "platform/FileSystem.h"
#include "platform/OutputCapture.h"
#include "platform/SystemError.h"
#include "platform/Paths.h"
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

// The folders under made names in the temporary folder, the records' folder aside.
Texts FoldersMadeInTemporary() {
  Texts folders;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((TemporaryFolder() + L"\\folianto-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return folders;
  do {
    if (std::wstring(found.cFileName) != L"folianto-joins" &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      folders.push_back(TemporaryFolder() + L"\\" + found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return folders;
}

// An input that opens only with the password "secret", made from one by the real tool.
std::wstring LockedCopy(const std::wstring& plain) {
  const std::wstring locked = FolderOfPath(plain) + L"\\locked.pdf";
  int hidden = 0;
  const bool made =
      RunAndWait(L"\"" + TestProgramFolder() + L"\\pdftk.exe\" A=\"" + plain +
                     L"\" cat A output \"" + locked + L"\" user_pw secret owner_pw other",
                 hidden)
          .Succeeded();
  return made ? locked : L"";
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

SessionFileClaims SessionClaims() {
  return SessionFileClaims(
      [](HANDLE lock, unsigned ms) { return ::WaitForSingleObject(lock, ms) == WAIT_OBJECT_0; });
}

// Whether a join of any Folianto holds the file at path for that use.
bool Claimed(const std::wstring& path, FileClaims::Use use) {
  SessionFileClaims claims = SessionClaims();
  const std::optional<bool> claimed = claims.Claimed(claims.KeysOf({path}).at(0), use);
  EXPECT_TRUE(claimed.has_value()) << "the marks could not be looked at";
  return claimed.value_or(true);
}

void Join(TestForm& app, const std::wstring& output) {
  app.dialogs.AnswerSave({DialogResult::Chosen, output});
  testing::Click(app.form->Check2);
  // Under Wine an ended tool lets go of the marks it holds a moment after its end is seen, and
  // the next test's folder may take this one's identity on the Linux file system.
  SessionFileClaims claims = SessionClaims();
  const FileClaims::Key key = claims.KeysOf({output}).at(0);
  for (int wait = 0; wait < 100 && claims.Claimed(key, FileClaims::Use::Write) == true; ++wait)
    ::Sleep(20);
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

// What a look while the tool runs finds: the files in the folder that appeared in the temporary
// folder since before, and the captures in the temporary folder itself.
struct WhileTheToolRuns {
  Texts before = FoldersMadeInTemporary();
  int captures = CaptureFilesInTemp();
  Texts inOwnFolder;
  int capturesBeside = -1;
} g_look;

TEST(JoinCommand, JoinsThreeRealFilesInListOrder) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring output = CheckedOutputFolder() + L"\\joined file.pdf";
  ::DeleteFileW(output.c_str());
  const int captures = CaptureFilesInTemp();
  // Looks whenever the join lets messages run, until the tool runs: its own folder is there.
  g_look = {};
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR id, DWORD) {
    for (const std::wstring& folder : FoldersMadeInTemporary()) {
      if (std::find(g_look.before.begin(), g_look.before.end(), folder) != g_look.before.end())
        continue;
      g_look.inOwnFolder = testing::Listed(folder);
      g_look.capturesBeside = CaptureFilesInTemp() - g_look.captures;
      ::KillTimer(nullptr, id);
    }
  });

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
  // The tool's words lie in the join's own folder alone while it runs.
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(g_look.inOwnFolder.size(), 2u) << "its output and its messages";
  EXPECT_EQ(g_look.capturesBeside, 0);
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

// The tool reads its own path in the code page too, where best fit would make a real quote of the
// fullwidth one and split its arguments there.
TEST(JoinCommand, JoinsWithTheToolInAFolderWhoseNameHasAFullwidthQuote) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring folder = inputs.folder.MakeFolder(L"tool \uff02 folder");
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\pdftk.exe").c_str(),
                          (folder + L"\\pdftk.exe").c_str(), TRUE));
  const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
  TestForm app(folder);
  app.form->ListView1.Append(inputs.one);
  app.form->ListView1.Append(inputs.two);
  Join(app, output);
  EXPECT_EQ(app.dialogs.messages, Texts{L"Join successful."});
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

// Names folder in TMP and TEMP while it lives: the temporary folder of the joins meanwhile.
class TemporaryFolderAt {
 public:
  explicit TemporaryFolderAt(const std::wstring& folder) {
    for (auto& [name, value] : saved_) {
      value.resize(32767);
      value.resize(::GetEnvironmentVariableW(name, value.data(), 32767));
      ::SetEnvironmentVariableW(name, folder.c_str());
    }
  }
  ~TemporaryFolderAt() {
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
  const TemporaryFolderAt noTemporaryFolder(inputs.folder.Path() + L"\\gone");
  // Under Wine a tool handed invalid standard handles runs as well; here the difference shows.
  EXPECT_EQ(OutputCapture(TemporaryFolder() + L"\\folianto-capture.tmp").Handle(), nullptr);
  TestForm app;
  app.form->ListView1.Append(inputs.folder.Path() + L"\\in put\\missing.pdf");
  Join(app, inputs.folder.Path() + L"\\all.pdf");
  EXPECT_EQ(app.dialogs.messages, Texts{L"The join failed: pdftk.exe ended with exit code 1."});
}

// On a drive that keeps no access lists (V:, exFAT) others could read the join's own folder: a
// join that must open a file with its password says so, naming the folder, asks for nothing, and
// decrypts nothing there.
TEST(JoinCommand, AJoinThatWouldDecryptWhereOthersCanReadSaysSoAndDecryptsNothing) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring locked = LockedCopy(inputs.one);
  ASSERT_FALSE(locked.empty());
  const std::wstring exfat = testing::ExfatDriveRoot();
  ASSERT_FALSE(exfat.empty()) << "no Linux fixture";
  const TemporaryFolderAt onExfat(exfat);
  const Texts before = testing::Listed(exfat);
  TestForm app;
  app.form->ListView1.Append(inputs.two);
  app.form->ListView1.Append(locked);
  app.dialogs.passwordAnswers.push_back(L"secret");
  Join(app, inputs.folder.Path() + L"\\all.pdf");
  const std::wstring said =
      L"Nothing was joined: other users of this computer could read what "
      L"the join would make of your files in its folder " +
      exfat + L"folianto-";
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_TRUE(app.dialogs.messages[0].starts_with(said) &&
              app.dialogs.messages[0].ends_with(L", since the drive keeps no access lists."))
      << ::testing::PrintToString(app.dialogs.messages[0]);
  // No password: nothing could be decrypted.
  EXPECT_EQ(app.dialogs.passwordQuestions, Texts{});
  EXPECT_FALSE(Exists(inputs.folder.Path() + L"\\all.pdf"));
  // The tool's words go a moment after its end under Wine.
  for (int wait = 0; wait < 100 && testing::Listed(exfat) != before; ++wait)
    ::Sleep(20);
  EXPECT_EQ(testing::Listed(exfat), before) << "the join left something";
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
  ASSERT_FALSE(testing::ReadFileBytes(input).empty());
  std::wstring shortName(1024, L'\0');
  shortName.resize(::GetShortPathNameW(input.c_str(), shortName.data(), 1024));
  ASSERT_NE(shortName, input) << "no short name";
  // Under Wine the exFAT drive numbers a file anew for each spelling of its folder.
  const std::wstring exfat = testing::ExfatDriveRoot() + L"Spelt";
  testing::RemoveTree(exfat);
  ASSERT_TRUE(::CreateDirectoryW(exfat.c_str(), nullptr));
  testing::WriteWhole(exfat + L"\\input.pdf", MakePdf({"Alpha"}));
  const struct {
    std::wstring input;
    std::wstring output;
  } cases[] = {
      {input, shortName},
      {input, testing::JoinDriveRoot() + L"in put\\input.pdf"},
      {input, fixture + L"\\join\\in put\\hard link.pdf"},
      {exfat + L"\\input.pdf", testing::ExfatDriveRoot() + L"SPELT\\input.pdf"},
  };
  for (const auto& [joined, output] : cases) {
    SCOPED_TRACE(::testing::PrintToString(output));
    const std::string kept = testing::ReadFileBytes(output);
    TestForm app;
    app.form->ListView1.Append(joined);
    Join(app, output);
    EXPECT_EQ(app.dialogs.messages,
              Texts{L"The output file cannot be one of the files being joined."});
    // Read by the output's name: under Wine the other spelling may show the old bytes a while.
    EXPECT_EQ(testing::ReadFileBytes(output), kept);
  }
  testing::RemoveTree(exfat);
}

TEST(JoinCommand, SaysWhenTheToolIsMissingOrCannotStart) {
  ThreeInputs inputs;
  TempFolder noTool;
  TempFolder badTool;
  badTool.WriteFile(L"pdftk.exe", "not a program");
  // The system's words, with the program they are about in place of "%1".
  std::wstring notAProgram = SystemErrorText(193);
  if (const size_t at = notAProgram.find(L"%1"); at != std::wstring::npos)
    notAProgram.replace(at, 2, L"pdftk.exe");
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
      {"not a program",
       badTool.Path(),
       L"pdftk.exe could not be started (error 5, system error 193: " + notAProgram + L").",
       {}},
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

// A join that joined its files ends well, even when it could not remove all it made (a file put
// in its own folder while it asked for a password, which another program holds open): "Join
// successful." with its ways to the file and a line naming what is left. One the user cancels is
// no failure either.
TEST(JoinCommand, AJoinThatJoinedOrWasCancelledEndedWell) {
  ExpectTool();
  ThreeInputs inputs;
  const std::wstring locked = LockedCopy(inputs.one);
  ASSERT_FALSE(locked.empty());
  const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
  const struct {
    const char* name;
    bool saved;
    std::optional<std::wstring> password;
    bool blockPrivateFolder;
    bool joined;
  } cases[] = {
      {"joined, and something left", true, L"secret", true, true},
      {"the password box cancelled", true, std::nullopt, false, false},
      {"the save dialog cancelled", false, std::nullopt, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::DeleteFileW(output.c_str());
    TestForm app;
    app.form->ListView1.Append(inputs.two);
    app.form->ListView1.Append(locked);
    app.dialogs.passwordAnswers.push_back(c.password);
    std::wstring left;
    UniqueFileHandle held;
    // The join's own folder is the one that appears while the password box is up.
    const Texts before = FoldersMadeInTemporary();
    if (c.blockPrivateFolder) {
      app.dialogs.whileOpen = [&] {
        for (const std::wstring& folder : FoldersMadeInTemporary()) {
          if (left.empty() && std::find(before.begin(), before.end(), folder) == before.end())
            left = folder;
        }
        if (!left.empty())
          held.Reset(::CreateFileW((left + L"\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, 0, nullptr));
      };
    }
    if (c.saved) {
      Join(app, output);
    } else {
      testing::Click(app.form->Check2);
    }
    EXPECT_EQ(Exists(output), c.joined);
    EXPECT_EQ(app.form->ExitCode(), 0) << "counted as a failure";
    if (!c.joined) {
      EXPECT_EQ(app.dialogs.messages, Texts{});
      continue;
    }
    ASSERT_FALSE(left.empty()) << "no private folder while the password box was up";
    EXPECT_EQ(
        app.dialogs.messages,
        Texts{L"Join successful.\n\nFolianto could not remove what it made for pdftk.exe: " + left +
              L"\\notes.txt, " + left + L". You can delete it: your own files stay as they are."});
    EXPECT_EQ(app.dialogs.choiceButtons, (std::vector<Texts>{{L"&Open", L"Show in &Folder"}}));
    held.Reset();
    ::DeleteFileW((left + L"\\notes.txt").c_str());
    ::RemoveDirectoryW(left.c_str());
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
// as its folder, or put by another hand in the place of the joined file's temporary name as the
// tool starts: the joined file takes the name the user chose, and whatever another name leads to
// stays as it was.
TEST(JoinCommand, AJoinIntoALinkOrALinkedFolderLeavesWhatTheLinkLeadsTo) {
  ExpectTool();
  const std::string old = MakePdf({"The old file"});
  // The link (none: the temporary name's place) and where it leads, and the output chosen, in the
  // test's folder; the joined file lands in out\all.pdf.
  const struct {
    const wchar_t *link, *target, *output;
  } cases[] = {
      {L"out\\all.pdf", L"elsewhere\\report.pdf", L"out\\all.pdf"},
      {L"linked", L"out", L"linked\\all.pdf"},
      {nullptr, L"elsewhere\\report.pdf", L"out\\all.pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.link ? c.link : L"the temporary name")));
    ThreeInputs inputs;
    const std::wstring& folder = inputs.folder.Path();
    const std::wstring out = inputs.folder.MakeFolder(L"out");
    inputs.folder.WriteFile(L"elsewhere\\report.pdf", old);
    if (c.link) {
      ASSERT_TRUE(testing::LinkUnix(folder + L"\\" + c.link, folder + L"\\" + c.target));
    }
    // Another hand takes the temporary name away, where it can, and puts the link in its place.
    DiskWorkspace::ObserveSteps([&](std::wstring_view step) {
      if (c.link || step != L"tool") return;
      for (const std::wstring& name : testing::Listed(out)) {
        if (::DeleteFileW((out + L"\\" + name).c_str()))
          testing::LinkUnix(out + L"\\" + name, folder + L"\\" + c.target);
      }
    });
    TestForm app;
    app.form->ListView1.Append(inputs.two);
    Join(app, folder + L"\\" + c.output);
    DiskWorkspace::ObserveSteps({});
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

// A name a mark would go by, held by another program's mutex: the join is refused, says why and
// holds no mark meanwhile.
TEST(JoinCommand, RefusesAJoinWhoseMarksCannotBeLookedAtOrMade) {
  ThreeInputs inputs;
  const std::wstring output = inputs.folder.Path() + L"\\all.pdf";
  SessionFileClaims claims = SessionClaims();
  const auto name = [&](const std::wstring& path) {
    return claims.KeysOf({path}).at(0).names.back();
  };
  const struct {
    std::wstring squatted;
    std::wstring message;
  } cases[] = {
      {L"Local\\Folianto-write-" + name(output),
       L"Folianto cannot tell whether a join that is still running uses the file " + output},
      // Made after the first input's.
      {L"Local\\Folianto-read-" + name(inputs.two),
       L"Folianto cannot mark the file " + inputs.two + L" as used by this join"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.squatted));
    const UniqueKernelHandle squatter(::CreateMutexW(nullptr, FALSE, c.squatted.c_str()));
    TestForm app;
    app.form->ListView1.Append(inputs.one);
    app.form->ListView1.Append(inputs.two);
    int marked = 0;
    app.dialogs.onMessage = [&](const std::wstring&) {
      for (const std::wstring& file : {inputs.one, inputs.two, output}) {
        for (const auto use : {FileClaims::Use::Read, FileClaims::Use::Write})
          marked += claims.Claimed(claims.KeysOf({file}).at(0), use) == true;
      }
    };
    Join(app, output);
    EXPECT_EQ(app.dialogs.messages,
              Texts{c.message +
                    L", since another program holds the name Folianto marks it by. Nothing was "
                    L"joined."});
    EXPECT_EQ(marked, 0) << "a mark held while the refusal was said";
    EXPECT_FALSE(Exists(output));
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

  // What the window shows when each join tells it ended: the second's message comes while the
  // first still runs, the first's once the second has ended.
  std::vector<std::pair<PointerSetting, int>> shown;
  app.dialogs.onMessage = [&](const std::wstring&) {
    shown.emplace_back(app.form->MousePointer(), app.form->Progress());
  };
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
  // Only the last join's end brings the arrow back and the bar to 0.
  EXPECT_EQ(shown, (std::vector<std::pair<PointerSetting, int>>{{PointerSetting::Busy, 100},
                                                                {PointerSetting::Busy, 100}}));
  testing::Pump();
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::Arrow);
  EXPECT_EQ(app.form->Progress(), 0);
  EXPECT_EQ(testing::ReadFileBytes(first).substr(0, 5), "%PDF-");
  EXPECT_EQ(testing::ReadFileBytes(second).substr(0, 5), "%PDF-");
}

// The claims of the user's session, with a pause after each look at the marks, where another
// join's look and marking would come in if the lock let it.
class SlowToLook final : public FileClaims {
 public:
  std::vector<Key> KeysOf(const std::vector<std::wstring>& paths) override {
    return claims_.KeysOf(paths);
  }
  std::optional<bool> Claimed(const Key& file, Use use) override {
    const std::optional<bool> claimed = claims_.Claimed(file, use);
    ::Sleep(20);
    return claimed;
  }
  std::unique_ptr<Held> Hold(const Key& file, Use use) override { return claims_.Hold(file, use); }
  std::unique_ptr<Locked> Lock() override { return claims_.Lock(); }

 private:
  SessionFileClaims claims_ = SessionClaims();
};

// Two Foliantos that claim the same output at the same moment: the look at the claims and the
// marking after it are one step, so never both pass.
TEST(JoinCommand, TwoJoinsClaimingOneFileAtOnceNeverBothPass) {
  TempFolder folder;
  const std::wstring output = folder.Path() + L"\\all.pdf";
  struct Claimer {
    std::wstring output;
    HANDLE go;
    bool claimed = false;
  };
  const UniqueKernelHandle go(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const auto claim = [](void* parameter) -> DWORD {
    auto& claimer = *static_cast<Claimer*>(parameter);
    SlowToLook claims;
    RunningJoins record(claims);
    RunningJoins::Join join(record);
    ::WaitForSingleObject(claimer.go, INFINITE);
    claimer.claimed = !join.ClaimFiles({{}, claimer.output});
    // Held until both have tried.
    ::Sleep(50);
    return 0;
  };
  for (int round = 0; round < 10; ++round) {
    ::ResetEvent(go.Get());
    Claimer claimers[2] = {{output, go.Get()}, {output, go.Get()}};
    UniqueKernelHandle threads[2];
    for (int i = 0; i < 2; ++i)
      threads[i].Reset(::CreateThread(nullptr, 0, claim, &claimers[i], 0, nullptr));
    ::Sleep(5);
    ::SetEvent(go.Get());
    for (const UniqueKernelHandle& thread : threads)
      ::WaitForSingleObject(thread.Get(), 10000);
    ASSERT_EQ(claimers[0].claimed + claimers[1].claimed, 1) << "round " << round;
  }
}

// The messages the close probe's boxes showed, in order.
Texts SaidByProbe(const std::wstring& toolFolder) {
  const std::string bytes = testing::ReadFileBytes(toolFolder + L"\\messages.txt");
  const std::wstring said(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
  Texts texts;
  for (size_t begin = 0, end; (end = said.find(L"\n--\n", begin)) != std::wstring::npos;
       begin = end + 4)
    texts.push_back(said.substr(begin, end - begin));
  return texts;
}

// The joined file's name, as the tool writes it under a temporary one beside the output.
std::wstring TemporaryBeside(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  ::FindClose(::FindFirstFileW((folder + L"\\folianto-*.tmp").c_str(), &found));
  return found.cFileName;
}

// Closing the window while tools run hides it at once; the program waits for its joins, and the
// wait counts only while a tool runs and no outcome is being told. At its limit the waits of the
// tools still running end, and every join whose tool has ended finishes (its file takes its name)
// before the program says which joins it leaves and ends, never stopping a tool. Until then, and
// while a tool it leaves still writes, every Folianto sees the join's files claimed.
TEST(JoinCommand, TheWaitAfterACloseCountsWhileToolsRunAndLeavesOnlyTheJoinsStillRunning) {
  const std::wstring slowTool = TestProgramFolder() + L"\\..\\e2e-slow-tool\\pdftk.exe";
  const std::wstring neverEnds = TestProgramFolder() + L"\\join_run_helper.exe";
  const auto limitText = [](const std::wstring& output, const wchar_t* limitMs,
                            const std::wstring& temporary) {
    return L"The join into " + output + L" has not ended " + limitMs +
           L" seconds after the window was closed, and Folianto ends without it. pdftk.exe is "
           L"still running (joining the files); it is not stopped. These were made for the join "
           L"and stay until "
           L"Folianto next starts after pdftk.exe has ended, which removes them:\n" +
           temporary;
  };
  const struct {
    const char* name;
    const std::wstring& tool;
    const wchar_t* firstMs;  // how long the slow tool's first run takes, and each later one
    const wchar_t* laterMs;
    const wchar_t* exitCode;
    const wchar_t* boxMs;
    const wchar_t* limitSeconds;
    int joins;                // each one nested in the one before
    std::vector<bool> named;  // whether each join's output takes its name
    int toolsLeft;            // joins named in the message at the limit, the last ones
  } cases[] = {
      {"a tool that never ends: said at the limit",
       neverEnds,
       L"",
       L"",
       L"",
       L"0",
       L"3",
       1,
       {false},
       1},
      {"a failure told in a box for longer than the limit: nothing else is said",
       slowTool,
       L"1500",
       L"1500",
       L"1",
       L"7000",
       L"5",
       1,
       {false},
       0},
      {"the outer join's tool ends first: its file takes its name, only the inner is left",
       slowTool,
       L"6000",
       L"30000",
       L"0",
       L"0",
       L"10",
       2,
       {true, false},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    ASSERT_TRUE(::CopyFileW(c.tool.c_str(), (folder.Path() + L"\\pdftk.exe").c_str(), FALSE));
    for (const auto& [name, value] : {std::pair{L"FOLIANTO_SLOW_TOOL_MS", c.firstMs},
                                      {L"FOLIANTO_SLOW_TOOL_LATER_MS", c.laterMs},
                                      {L"FOLIANTO_SLOW_TOOL_EXIT", c.exitCode}})
      ::SetEnvironmentVariableW(name, *value ? value : nullptr);
    const std::wstring input = folder.WriteFile(L"in.pdf");
    std::wstring commandLine = L"\"" + TestProgramFolder() + L"\\join_close_probe.exe\" \"" +
                               folder.Path() + L"\" " + c.limitSeconds + L"000 " + c.boxMs +
                               L" \"" + input + L"\"";
    Texts outputs;
    for (int i = 0; i < c.joins; ++i) {
      outputs.push_back(folder.MakeFolder(L"out" + std::to_wstring(i)) + L"\\all.pdf");
      commandLine += L" \"" + outputs.back() + L"\"";
    }
    const Texts foldersBefore = FoldersMadeInTemporary();
    const UniqueKernelHandle probe = testing::StartProgram(std::move(commandLine));
    ASSERT_TRUE(probe);
    // The tools mark their start beside themselves.
    const auto started = [&] {
      const std::string marks = testing::ReadFileBytes(folder.Path() + L"\\tool-started") +
                                testing::ReadFileBytes(folder.Path() + L"\\slow-tool-started");
      return static_cast<int>(std::count(marks.begin(), marks.end(), '\n')) +
             (marks.find('\n') == std::string::npos && !marks.empty() ? 1 : 0);
    };
    for (int i = 0; i < 1000 && started() < c.joins; ++i)
      ::Sleep(20);
    const HWND window = ::FindWindowW(L"FoliantoForm1", L"Folianto");
    ASSERT_TRUE(started() == c.joins && window) << "the tools did not start";
    EXPECT_TRUE(Claimed(outputs.back(), FileClaims::Use::Write));
    EXPECT_TRUE(Claimed(input, FileClaims::Use::Read));
    EXPECT_FALSE(Claimed(input, FileClaims::Use::Write));

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 250 && ::IsWindowVisible(window); ++i)
      ::Sleep(20);
    EXPECT_FALSE(::IsWindowVisible(window)) << "the window stayed";
    EXPECT_EQ(::WaitForSingleObject(probe.Get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program did not wait for its joins";
    if (::WaitForSingleObject(probe.Get(), 60000) != WAIT_OBJECT_0)
      ::TerminateProcess(probe.Get(), 2);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(probe.Get(), &exitCode);
    EXPECT_EQ(exitCode, 1u) << "a join that did not end well ended the program with 0";

    Texts said;
    std::wstring leftFolder;
    if (c.toolsLeft == 0) {
      said = {L"The join into " + outputs[0] +
              L":\n\nThe join failed: pdftk.exe ended with exit code 1."};
    } else {
      const std::wstring left = FolderOfPath(outputs.back());
      // The join's own folder holds what the tool still writes of its words.
      Texts own = FoldersMadeInTemporary();
      std::erase_if(own, [&](const std::wstring& folder) {
        return std::find(foldersBefore.begin(), foldersBefore.end(), folder) != foldersBefore.end();
      });
      ASSERT_EQ(own.size(), 1u);
      said = {limitText(outputs.back(), c.limitSeconds,
                        left + L"\\" + TemporaryBeside(left) + L"\n" + own[0])};
      leftFolder = own[0];
    }
    EXPECT_EQ(SaidByProbe(folder.Path()), said);
    for (int i = 0; i < c.joins; ++i) {
      EXPECT_EQ(Exists(outputs[i]), c.named[i]) << i;
      if (c.named[i]) {
        EXPECT_EQ(TemporaryBeside(FolderOfPath(outputs[i])), L"") << i;
      }
    }
    if (c.toolsLeft > 0) {
      // The claims live as long as the tool that may still write, not only as the program.
      EXPECT_TRUE(Claimed(outputs.back(), FileClaims::Use::Write)) << "the claims went";
    }
    if (&c.tool == &neverEnds) {
      const UniqueKernelHandle tool(::OpenProcess(
          SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
          std::strtoul(testing::ReadFileBytes(folder.Path() + L"\\tool-started").c_str(), nullptr,
                       10)));
      EXPECT_EQ(::WaitForSingleObject(tool.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
          << "the tool was stopped";
      ::TerminateProcess(tool.Get(), 1);
      ::WaitForSingleObject(tool.Get(), 5000);
      // Under Wine an ended process lets go of its handles a moment after its end is seen.
      for (int wait = 0; wait < 100 && Claimed(outputs.back(), FileClaims::Use::Write); ++wait)
        ::Sleep(20);
      EXPECT_FALSE(Claimed(outputs.back(), FileClaims::Use::Write))
          << "the claims outlived the tool";
      testing::RemoveTree(leftFolder);
    }
    // A slow tool the row leaves running holds the marks of its files, which the next tests'
    // folders may meet again under Wine, where a new folder can take a removed one's identity.
    std::istringstream ids(testing::ReadFileBytes(folder.Path() + L"\\slow-tool-ids"));
    for (DWORD id; ids >> id;) {
      const UniqueKernelHandle tool(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
      if (tool && ::TerminateProcess(tool.Get(), 1)) ::WaitForSingleObject(tool.Get(), 5000);
    }
  }
  for (const wchar_t* name :
       {L"FOLIANTO_SLOW_TOOL_MS", L"FOLIANTO_SLOW_TOOL_LATER_MS", L"FOLIANTO_SLOW_TOOL_EXIT"})
    ::SetEnvironmentVariableW(name, nullptr);
}

// A copy that does not end after a close (of an input whose name the tool cannot read, on a drive
// that stopped answering, which a seam of the probe's stands in for) counts toward the limit as a
// tool does, and the message at the limit names it. Under Z:\dev Wine gives no short names, and a
// hard link from /dev/shm to the temporary folder's file system cannot be made: the input needs a
// copy.
TEST(JoinCommand, TheWaitAfterACloseCountsDuringACopyAndNamesIt) {
  TempFolder folder;
  ASSERT_TRUE(::CopyFileW((TestProgramFolder() + L"\\join_run_helper.exe").c_str(),
                          (folder.Path() + L"\\pdftk.exe").c_str(), FALSE));
  const std::wstring shared =
      L"Z:\\dev\\shm\\folianto-test-" + std::to_wstring(::GetCurrentProcessId());
  // One left by a run that ended half-way may have the same process id.
  testing::RemoveTree(shared);
  ASSERT_TRUE(::CreateDirectoryW(shared.c_str(), nullptr));
  const struct Removed {
    std::wstring path;
    ~Removed() { testing::RemoveTree(path); }
  } removed{shared};
  const std::wstring input = shared + L"\\\u03a3.pdf";
  testing::WriteWhole(input, MakePdf({"Sigma"}));
  const std::wstring output = folder.MakeFolder(L"out") + L"\\all.pdf";
  ::SetEnvironmentVariableW(L"FOLIANTO_STALL_COPIES", L"1");
  const UniqueKernelHandle probe =
      testing::StartProgram(L"\"" + TestProgramFolder() + L"\\join_close_probe.exe\" \"" +
                            folder.Path() + L"\" 3000 0 \"" + input + L"\" \"" + output + L"\"");
  ::SetEnvironmentVariableW(L"FOLIANTO_STALL_COPIES", nullptr);
  ASSERT_TRUE(probe);
  HWND window = nullptr;
  for (int i = 0; i < 250 && !(window = ::FindWindowW(L"FoliantoForm1", L"Folianto")); ++i)
    ::Sleep(20);
  ASSERT_TRUE(window);
  // Closed once the join has begun its copy, in the messages its wait lets run.
  ::Sleep(500);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(probe.Get(), 60000) != WAIT_OBJECT_0)
    ::TerminateProcess(probe.Get(), 2);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(probe.Get(), &exitCode);
  EXPECT_EQ(exitCode, 1u);
  const Texts said = SaidByProbe(folder.Path());
  ASSERT_EQ(said.size(), 1u) << ::testing::PrintToString(said);
  EXPECT_TRUE(said[0].starts_with(L"The join into " + output +
                                  L" has not ended 3 seconds after the window was closed, and "
                                  L"Folianto ends without it. Its copy of " +
                                  input + L" had not ended, and ends with Folianto."))
      << ::testing::PrintToString(said[0]);
  EXPECT_FALSE(Exists(output));
}

}  // namespace
}  // namespace folianto
