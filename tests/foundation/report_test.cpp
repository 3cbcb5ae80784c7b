#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "report/report.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

class ReportTest : public ::testing::Test {
 protected:
  FakeClock clock{5000};
  ScopedClock useClock{clock};
  MemoryFileSystem files;
  ScopedFileSystem useFiles{files};

  std::unique_ptr<Report> Make(int mode) { return std::make_unique<Report>(mode, "/logs/"); }
};

TEST_F(ReportTest, QuietModeKeepsOnlyAlwaysMessagesAndErrors) {
  auto log = Make(1);
  log->AddMessage(0, MessageKind::Report, "A0", "F", "dropped report");
  log->AddMessage(0, MessageKind::Warning, "A0", "F", "dropped warning");
  log->AddMessage(1, MessageKind::Report, "A0", "F", "kept report");
  log->AddMessage(1, MessageKind::Warning, "A0", "F", "kept warning");
  log->AddMessage(0, MessageKind::Error, "A0", "F", "error");
  ASSERT_EQ(log->MessageCount(), 3);
  EXPECT_EQ(log->Message(0).text, "kept report");
  EXPECT_EQ(log->Message(1).text, "kept warning");
  EXPECT_EQ(log->Message(2).text, "error");
  ASSERT_EQ(log->WarningCount(), 1);
  EXPECT_EQ(log->WarningEntry(0).text, "kept warning");
}

TEST_F(ReportTest, FullListKeepsNewestMessageAndNote) {
  auto log = Make(1);
  for (int i = 0; i < Report::kCapacity; ++i) log->AddMessage(1, MessageKind::Report, "M", "F", std::to_string(i));
  EXPECT_EQ(log->Message(9999).text, "9999");
  log->AddMessage(1, MessageKind::Report, "M", "F", "10001st");
  EXPECT_EQ(log->MessageCount(), 10000);
  EXPECT_EQ(log->Message(9998).text, "10001st");
  EXPECT_EQ(log->Message(9999).kind, 0);
  EXPECT_EQ(log->Message(9999).module, "KALDRA.REPORT");
  EXPECT_EQ(log->Message(9999).function, "AddMessage");
  EXPECT_EQ(log->Message(9999).text, "the list of messages is full");
  log->AddMessage(1, MessageKind::Report, "M", "F", "10002nd");
  EXPECT_EQ(log->Message(9998).text, "10002nd");
  EXPECT_EQ(log->Message(9997).text, "9997");
}

TEST_F(ReportTest, FullWarningListKeepsNewestWarningLast) {
  auto log = Make(1);
  for (int i = 0; i <= Report::kCapacity; ++i) log->AddMessage(1, MessageKind::Warning, "M", "F", std::to_string(i));
  EXPECT_EQ(log->WarningCount(), 10000);
  EXPECT_EQ(log->WarningEntry(9998).text, "9998");
  EXPECT_EQ(log->WarningEntry(9999).text, "10000");
}

TEST_F(ReportTest, FatalTextShowsOnlyTheLastError) {
  auto log = Make(1);
  EXPECT_EQ(log->FatalText(), "");
  log->AddMessage(1, MessageKind::Error, "KALDRA.VIDEO", "Create", "first");
  log->AddMessage(1, MessageKind::Error, "KALDRA.VIDEO", "LoadResHeader", "nrx-file(data.nrx) was not found");
  EXPECT_EQ(log->FatalText(), std::string("ERROR Occured\n\nIn module: [KALDRA.VIDEO:LoadResHeader()]\n\n"
                                          "\"nrx-file(data.nrx) was not found\"\n\n") +
                                  kSupportContactLine +
                                  "Please include error description(see above) in your message.\nThank you");
  EXPECT_NE(std::string(kSupportContactLine).find("Tavro Software"), std::string::npos);
  EXPECT_EQ(std::string(kSupportContactLine).substr(std::string(kSupportContactLine).size() - 2), ".\n");
}

TEST_F(ReportTest, ElapsedStampIsUnpaddedSinceCreation) {
  auto log = Make(1);
  EXPECT_EQ(log->ElapsedStamp(), "0:0:0:0");
  clock.Advance(3600000 + 2 * 60000 + 3 * 1000 + 4);
  EXPECT_EQ(log->ElapsedStamp(), "1:2:3:4");
  clock.Set(4999);  // the timer wrapped past creation: unsigned difference
  EXPECT_EQ(log->ElapsedStamp(), "1193:2:47:295");
}

TEST_F(ReportTest, DateTextHasTheLongFormat) {
  auto log = Make(1);
  EXPECT_TRUE(std::regex_match(log->DateText(),
                               std::regex("(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, [1-9][0-9]? "
                                          "(January|February|March|April|May|June|July|August|September|"
                                          "October|November|December) [0-9]{4} [0-9]{1,2}:[0-5][0-9]:[0-5][0-9]")))
      << log->DateText();
}

TEST_F(ReportTest, QuietModeWritesNoFile) {
  auto log = Make(1);
  log->AddMessage(1, MessageKind::Warning, "A0", "F", "w");
  log->AddMessage(1, MessageKind::Error, "A0", "F", "e");
  log->WriteFiles();
  EXPECT_TRUE(files.files.empty());
}

TEST_F(ReportTest, FileLoggingWritesLinesAndOnlyTheFilesThatHaveContent) {
  auto log = Make(0);
  clock.Advance(12);
  log->AddMessage(1, MessageKind::Report, "A0", "A0_InitWindow", "path to resource file is C:\\Screens\\");
  log->AddMessage(1, 7, "A0", "Odd", "kind seven");
  log->WriteFiles();
  EXPECT_EQ(files.At("/logs/report.log"),
            "[0:0:0:12] [OK] [A0:A0_InitWindow()]: path to resource file is C:\\Screens\\\n"
            "[0:0:0:12] [OK] [A0:Odd()]: kind seven\n");
  EXPECT_FALSE(files.Has("/logs/warnings.log"));
  EXPECT_FALSE(files.Has("/logs/error.log"));

  log->AddMessage(0, MessageKind::Warning, "KALDRA.INPUT", "Create", "no joystick");
  log->AddMessage(1, MessageKind::Error, "KALDRA.VIDEO", "Create", "broken");  // an error rewrites the files
  EXPECT_EQ(files.At("/logs/warnings.log"), "[0:0:0:12] [WARNING] [KALDRA.INPUT:Create()]: no joystick\n");
  EXPECT_EQ(files.At("/logs/error.log"), "[0:0:0:12] [ERROR] [KALDRA.VIDEO:Create()]: broken\n");
  EXPECT_EQ(files.directoryChanges.back(), "/work");
}

TEST_F(ReportTest, FailedReportLogStopsTheOtherFiles) {
  auto log = Make(0);
  files.unwritable.insert("/logs/report.log");
  log->AddMessage(1, MessageKind::Warning, "A0", "F", "w");
  log->AddMessage(1, MessageKind::Error, "A0", "F", "e");
  EXPECT_TRUE(files.files.empty());
}

TEST_F(ReportTest, FileLoggingRotatesThePreviousRun) {
  files.Put("/logs/report.log", "old");
  files.Put("/logs/warnings.log", "old warnings");
  files.Put("/logs/error.log", "old error");
  auto log = Make(0);
  EXPECT_FALSE(files.Has("/logs/report.log"));
  EXPECT_FALSE(files.Has("/logs/warnings.log"));
  EXPECT_FALSE(files.Has("/logs/error.log"));
  int rotated = 0;
  for (const auto& [path, bytes] : files.files) {
    if (std::regex_match(path, std::regex("/logs/warn[0-9]{1,3}\\.log"))) rotated += bytes == "old warnings";
    if (std::regex_match(path, std::regex("/logs/err[0-9]{1,3}\\.log"))) rotated += bytes == "old error";
  }
  EXPECT_EQ(rotated, 2);
}

TEST_F(ReportTest, RotationIsSkippedWhenEveryTargetNameIsTaken) {
  files.Put("/logs/warnings.log", "current");
  for (int n = 0; n < 1000; ++n) files.Put("/logs/warn" + std::to_string(n) + ".log", "older");
  auto log = Make(0);
  EXPECT_EQ(files.At("/logs/warnings.log"), "current");
  EXPECT_EQ(files.At("/logs/warn0.log"), "older");
}

TEST_F(ReportTest, OddModeMeansFileLoggingAndWorkingDirectoryIsRemembered) {
  files.currentDirectory = "/somewhere";
  auto log = Make(5);
  EXPECT_EQ(log->Mode(), ReportMode::FileLogging);
  EXPECT_EQ(log->WorkingDirectory(), "/somewhere");
  files.currentDirectory = "/elsewhere";
  log->RestoreWorkingDirectory();
  EXPECT_EQ(files.currentDirectory, "/somewhere");
}

}  // namespace
}  // namespace sylvora
