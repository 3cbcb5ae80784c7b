#pragma once
// The process's single diagnostic log. The shell creates it first and hands it to every subsystem
// object, which records progress, warnings and errors with AddMessage. Its fatal text fills the
// message box the shell shows when start-up or a frame fails.
#include <array>
#include <cstdint>
#include <string>

namespace sylvora {

// Kind of a message; values other than these are stored unchanged and written as "OK".
enum class MessageKind : int { Report = 0, Warning = 1, Error = 2 };

// Whether the log writes its three files or only keeps messages in memory.
enum class ReportMode : int { FileLogging = 0, Quiet = 1 };

// One stored message.
struct ReportMessage {
  std::string stamp;  // ElapsedStamp when the entry was stored
  int kind = 0;
  std::string module;
  std::string function;
  std::string text;
};

class Report {
 public:
  static constexpr int kCapacity = 10000;          // entries in each of the two lists

  // mode 0 or 1 is kept as given, any other value means FileLogging; directory (the user's state
  // directory) ends in a slash or backslash. In FileLogging mode it is made when missing and the
  // previous run's log files are deleted or rotated here.
  Report(int mode, std::string directory);
  virtual ~Report() = default;
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  // Records a message. always = 0 drops reports and warnings in Quiet mode; errors are always kept,
  // become the last error and rewrite the files.
  void AddMessage(int always, int kind, const std::string& module, const std::string& function,
                  const std::string& text);
  void AddMessage(int always, MessageKind kind, const std::string& module, const std::string& function,
                  const std::string& text) {
    AddMessage(always, static_cast<int>(kind), module, function, text);
  }

  // Rewrites report.log, warnings.log and error.log from memory; nothing in Quiet mode.
  void WriteFiles();
  // Text of the fatal-error box for the last error; empty when there was none.
  std::string FatalText() const;
  // Local date and time, as in "Wednesday, 29 January 2003 9:05:07".
  std::string DateText() const;
  // Time since creation as hours:minutes:seconds:milliseconds, unpadded.
  std::string ElapsedStamp() const;
  // Makes the working directory remembered at creation current again; every file opener calls it first.
  void RestoreWorkingDirectory() const;
  const std::string& WorkingDirectory() const { return workingDirectory_; }

  // Read access for the shell and for tests.
  int MessageCount() const { return messageCount_; }
  int WarningCount() const { return warningCount_; }
  const ReportMessage& Message(int index) const { return messages_[index]; }
  const ReportMessage& WarningEntry(int index) const { return warnings_[index]; }
  const ReportMessage& LastError() const { return lastError_; }
  ReportMode Mode() const { return static_cast<ReportMode>(mode_); }

 private:
  void RotatePreviousFiles();
  void RotateFile(const std::string& fileName, const std::string& prefix);
  std::string FormatLine(const ReportMessage& message) const;

  std::string directory_;
  std::array<ReportMessage, kCapacity> messages_;
  std::array<ReportMessage, kCapacity> warnings_;
  ReportMessage lastError_;
  int messageCount_ = 0;
  int warningCount_ = 0;
  int mode_ = 0;
  uint32_t creationTime_ = 0;
  std::string workingDirectory_;
};

// The contact line of the fatal text, ending in a full stop and a line break.
extern const char* const kSupportContactLine;

}  // namespace sylvora
