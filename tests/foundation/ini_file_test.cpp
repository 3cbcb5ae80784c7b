#include <gtest/gtest.h>

#include <memory>

#include "inifile/ini_file.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  MemoryFileSystem files;
  ScopedFileSystem useFiles{files};
  std::unique_ptr<Report> log = std::make_unique<Report>(0, "/logs/");
  IniFile ini{log.get(), "/dir\\"};

  void Write(const std::string& text) { files.Put("/dir/test.ini", text); }
  const ReportMessage& Last() { return log->Message(log->MessageCount() - 1); }
  int Warnings() { return log->WarningCount(); }
};

TEST_F(IniFileTest, MissingFileIsAWarningAndGetSaysNoParameters) {
  EXPECT_EQ(ini.Load("test.ini"), 1);
  EXPECT_EQ(Last().text, "file (test.ini) not found");
  EXPECT_EQ(Last().kind, 1);
  EXPECT_EQ(Last().module, "KALDRA.INIFILE");
  EXPECT_EQ(Last().function, "Load");
  EXPECT_EQ(ini.Get(IniValueType::Integer, "x"), 0);
  EXPECT_EQ(Last().text, "no parameters");
  EXPECT_EQ(Last().function, "Get");
}

// A parameter file longer than any real one reads as one that is not there, with the same warning.
TEST_F(IniFileTest, AFileBeyondTheLimitReadsAsMissing) {
  const std::string line = "a = 1;\r\n";
  std::string text = line;
  while (text.size() + line.size() <= IniFile::kFileByteLimit) text += line;
  text.resize(IniFile::kFileByteLimit, ' ');
  Write(text);
  EXPECT_EQ(ini.Load("test.ini"), 0);
  Write(text + " ");
  EXPECT_EQ(ini.Load("test.ini"), 1);
  EXPECT_EQ(Last().text, "file (test.ini) not found");
}

TEST_F(IniFileTest, LinesAreTrimmedLowercasedAndStrippedOfComments) {
  Write("  Nature_VIEW  =  3 ; comment\r\n[Header]\nplain words\n=7\nname = Hello, , World\n");
  ASSERT_EQ(ini.Load("test.ini"), 0);
  EXPECT_EQ(Last().text, "ini-file \"test.ini\" was successfully loaded, 3 parameters found");
  EXPECT_EQ(Last().kind, 0);
  ASSERT_EQ(ini.Get(IniValueType::Integer, "nature_view"), 1);
  EXPECT_EQ(ini.integers[0], 3);
  const int before = log->MessageCount();
  EXPECT_EQ(ini.Get(IniValueType::Integer, "Nature_VIEW"), 0);
  EXPECT_EQ(log->MessageCount(), before);  // an absent name is silent
  EXPECT_EQ(ini.Parameter(1).name, "");
  ASSERT_EQ(ini.Get(IniValueType::String, "name"), 3);
  EXPECT_EQ(ini.strings[0], "hello");
  EXPECT_EQ(ini.strings[1], "");
  EXPECT_EQ(ini.strings[2], "world");
}

TEST_F(IniFileTest, NineContentsKeepEightAndWarnWithTheParameterNumber) {
  Write("a = 1\nb = 1,2,3,4,5,6,7,8,9\n");
  ini.Load("test.ini");
  EXPECT_EQ(log->WarningEntry(0).text, "too many parameters, line 2 (test.ini)");
  ASSERT_EQ(ini.Get(IniValueType::Integer, "b"), 8);
  EXPECT_EQ(ini.integers[7], 8);
}

TEST_F(IniFileTest, HundredParametersFillTheTableAndStopReading) {
  std::string text;
  for (int i = 0; i < 101; ++i) text += "p" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  Write(text);
  EXPECT_EQ(ini.Load("test.ini"), 0);
  EXPECT_EQ(ini.Count(), 100);
  EXPECT_EQ(log->WarningEntry(0).text, "too many strings in file (test.ini), maximum 100");
  EXPECT_EQ(ini.Get(IniValueType::Integer, "p100"), 0);
  EXPECT_EQ(ini.Get(IniValueType::Integer, "p99"), 1);
}

TEST_F(IniFileTest, TypedConversionAndValidation) {
  Write("empty =\nmixed = 1, word, 3\nnum = 3.9, 1-2, +7, -0\nbad = 1.2.3\nflags = On, FALSE, 0, 1\nmaybe = maybe\n"
        "big = 99999999999\nsmall = -99999999999\nf = 0.5\n");
  ini.Load("test.ini");
  EXPECT_EQ(ini.Get(IniValueType::Integer, "empty"), 1);
  EXPECT_EQ(ini.integers[0], 0);
  EXPECT_EQ(ini.Get(IniValueType::Boolean, "empty"), 0);
  EXPECT_EQ(Last().text, "parameter \"empty\" has invalid content");

  ini.integers.fill(-1);
  EXPECT_EQ(ini.Get(IniValueType::Integer, "mixed"), 0);
  EXPECT_EQ(ini.integers[0], 1);
  EXPECT_EQ(ini.integers[1], -1);
  EXPECT_EQ(Last().text, "parameter \"mixed\" has invalid content");

  ASSERT_EQ(ini.Get(IniValueType::Integer, "num"), 4);
  EXPECT_EQ(ini.integers[0], 3);
  EXPECT_EQ(ini.integers[1], 1);
  EXPECT_EQ(ini.integers[2], 7);
  EXPECT_EQ(ini.Get(IniValueType::Float, "bad"), 0);

  ASSERT_EQ(ini.Get(IniValueType::Boolean, "flags"), 4);
  EXPECT_EQ(ini.booleans[0], 1);
  EXPECT_EQ(ini.booleans[1], 0);
  EXPECT_EQ(ini.Get(IniValueType::Boolean, "maybe"), 0);

  ASSERT_EQ(ini.Get(IniValueType::Integer, "big"), 1);
  EXPECT_EQ(ini.integers[0], 2147483647);
  ASSERT_EQ(ini.Get(IniValueType::Integer, "small"), 1);
  EXPECT_EQ(ini.integers[0], -2147483647 - 1);
  ASSERT_EQ(ini.Get(IniValueType::Float, "f"), 1);
  EXPECT_DOUBLE_EQ(ini.floats[0], 0.5);

  EXPECT_EQ(ini.Get(4, "f"), 0);
  EXPECT_EQ(Last().text, "invalid data type");
}

TEST_F(IniFileTest, SaveWritesCommentsBlanksAndParametersWithCrLf) {
  ini.AddComment("word");
  ini.AddBlankLine();
  ini.booleans[0] = 1;
  ini.Add(IniValueType::Boolean, "exit_on_mouse_move", 1, "");
  ini.floats[0] = 0.5;
  ini.Add(IniValueType::Float, "f", 1, " trailer");
  ini.strings[0] = "a";
  ini.strings[1] = "B";
  ini.Add(IniValueType::String, "s", 2, "");
  ASSERT_EQ(ini.Save("out.ini"), 0);
  EXPECT_EQ(files.At("/dir/out.ini"),
            "; word\r\n \r\nexit_on_mouse_move = true;\r\nf = 0.500000; trailer\r\ns = a, B;\r\n");
}

TEST_F(IniFileTest, AddRejectsBadTypesAndClampsContentCount) {
  ini.Add(9, "x", 1, "");
  EXPECT_EQ(Last().text, "invalid data type");
  EXPECT_EQ(ini.Count(), 0);
  ini.integers.fill(4);
  ini.Add(IniValueType::Integer, "x", 12, "");
  EXPECT_EQ(log->WarningEntry(1).text, "too many contents");
  EXPECT_EQ(ini.Parameter(0).contentCount, 8);
}

TEST_F(IniFileTest, FullTableRefusesFurtherEntries) {
  for (int i = 0; i < IniFile::kParameterCapacity; ++i) ini.AddBlankLine();
  const int warnings = Warnings();
  ini.AddComment("one too many");
  ini.Add(IniValueType::Integer, "x", 1, "");
  EXPECT_EQ(ini.Count(), 100);
  EXPECT_EQ(Warnings(), warnings + 2);
  EXPECT_EQ(log->WarningEntry(warnings).function, "AddComment");
}

TEST_F(IniFileTest, FailedSaveLeavesTheOldFile) {
  files.Put("/dir/out.ini", "old");
  files.replaceFailsBeforeRename = true;
  ini.AddBlankLine();
  EXPECT_EQ(ini.Save("out.ini"), 1);
  EXPECT_EQ(files.At("/dir/out.ini"), "old");
}

TEST_F(IniFileTest, EmptySaveCreatesAnEmptyFile) {
  EXPECT_EQ(ini.Save("out.ini"), 0);
  EXPECT_EQ(files.At("/dir/out.ini"), "");
}

}  // namespace
}  // namespace sylvora
