#include <gtest/gtest.h>

#include <memory>
#include <cstdio>

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
  const std::string text = log->DateText();
  char weekday[16], month[16];
  unsigned day, year, hour;
  char minutes[3], seconds[3];
  ASSERT_EQ(std::sscanf(text.c_str(), "%15[a-zA-Z], %u %15s %u %u:%2[0-9]:%2[0-9]", weekday, &day, month, &year, &hour,
                        minutes, seconds),
            7)
      << text;
  EXPECT_NE(std::string("Sunday Monday Tuesday Wednesday Thursday Friday Saturday").find(weekday), std::string::npos);
  EXPECT_NE(std::string("January February March April May June July August September October November December")
                .find(month),
            std::string::npos);
  EXPECT_TRUE(day >= 1 && day <= 31 && year >= 2000 && hour <= 23);
  EXPECT_EQ(std::string(minutes).size(), 2u);
  EXPECT_EQ(std::string(seconds).size(), 2u);
  EXPECT_EQ(text.find(", 0"), std::string::npos);  // the day is not padded
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
  for (int n = 0; n < 1000; ++n) {
    const std::string number = std::to_string(n);
    rotated += files.Has("/logs/warn" + number + ".log") && files.At("/logs/warn" + number + ".log") == "old warnings";
    rotated += files.Has("/logs/err" + number + ".log") && files.At("/logs/err" + number + ".log") == "old error";
  }
  EXPECT_EQ(rotated, 2);
  EXPECT_EQ(files.files.size(), 2u);
}

TEST_F(ReportTest, RotationIsSkippedWhenEveryTargetNameIsTaken) {
  files.Put("/logs/warnings.log", "current");
  for (int n = 0; n < 1000; ++n) files.Put("/logs/warn" + std::to_string(n) + ".log", "older");
  auto log = Make(0);
  EXPECT_EQ(files.At("/logs/warnings.log"), "current");
  EXPECT_EQ(files.At("/logs/warn0.log"), "older");
}

TEST_F(ReportTest, OddModeMeansFileLoggingAndTheWholeWorkingDirectoryIsRemembered) {
  const std::string deep = "/somewhere" + std::string(300, 'x');
  files.currentDirectory = deep;
  auto log = Make(5);
  EXPECT_EQ(log->Mode(), ReportMode::FileLogging);
  EXPECT_EQ(files.directories.count("/logs/"), 1u);  // the log directory is made for the files
  EXPECT_EQ(log->WorkingDirectory(), deep);
  files.currentDirectory = "/elsewhere";
  log->RestoreWorkingDirectory();
  EXPECT_EQ(files.currentDirectory, deep);
}

}  // namespace
}  // namespace sylvora
