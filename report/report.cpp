#include "report/report.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/clock.h"
#include "platform/files.h"

namespace sylvora {

const char* const kSupportContactLine =
    "If the problem persists, please write to Tavro Software at support@tavro-software.example.\n";

namespace {

const char* const kModule = "KALDRA.REPORT";

const char* KindWord(int kind) {
  if (kind == static_cast<int>(MessageKind::Warning)) return "WARNING";
  if (kind == static_cast<int>(MessageKind::Error)) return "ERROR";
  return "OK";
}

}  // namespace

Report::Report(int mode, std::string directory)
    : directory_(std::move(directory)),
      mode_(mode == static_cast<int>(ReportMode::Quiet) ? mode : static_cast<int>(ReportMode::FileLogging)),
      creationTime_(TimeGetTime()) {
  // The whole path, however deep: a shortened one would name another directory or none.
  workingDirectory_ = Files().CurrentDirectory();
  if (Mode() == ReportMode::FileLogging) {
    Files().MakeDirectories(directory_);
    RotatePreviousFiles();
  }
}

void Report::RotatePreviousFiles() {
  const std::string reportLog = directory_ + "report.log";
  if (Files().OpenForReading(reportLog)) Files().Remove(reportLog);
  RotateFile("warnings.log", "warn");
  RotateFile("error.log", "err");
}

// Keeps the previous run's file under a random numbered name. When that name is taken the file
// is left alone rather than overwriting the older log.
void Report::RotateFile(const std::string& fileName, const std::string& prefix) {
  const std::string current = directory_ + fileName;
  if (!Files().OpenForReading(current)) return;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  const std::string rotated = directory_ + prefix + std::to_string(std::rand() % 1000) + ".log";
  if (Files().OpenForReading(rotated)) return;
  Files().Rename(current, rotated);
}

void Report::AddMessage(int always, int kind, const std::string& module, const std::string& function,
                        const std::string& text) {
  const bool isError = kind == static_cast<int>(MessageKind::Error);
  if (!isError && always == 0 && Mode() == ReportMode::Quiet) return;

  const ReportMessage message{ElapsedStamp(), kind, module, function, text};
  if (messageCount_ < kCapacity) {
    messages_[messageCount_++] = message;
  } else {
    messages_[kCapacity - 2] = message;
    messages_[kCapacity - 1] = {ElapsedStamp(), 0, kModule, "AddMessage", "the list of messages is full"};
  }
  if (kind == static_cast<int>(MessageKind::Warning)) {
    warnings_[warningCount_ < kCapacity ? warningCount_++ : kCapacity - 1] = message;
  }
  if (isError) {
    lastError_ = message;
    WriteFiles();
  }
}

std::string Report::ElapsedStamp() const {
  const uint32_t elapsed = TimeGetTime() - creationTime_;
  const uint32_t withinHour = elapsed % 3600000u;
  char text[64];
  std::snprintf(text, sizeof text, "%u:%u:%u:%u", elapsed / 3600000u, withinHour / 60000u,
                (withinHour % 60000u) / 1000u, (withinHour % 60000u) % 1000u);
  return text;
}

std::string Report::FormatLine(const ReportMessage& message) const {
  return "[" + message.stamp + "]" + " [" + KindWord(message.kind) + "]" + " [" + message.module + ":" +
         message.function + "()]: " + message.text + "\n";
}

void Report::WriteFiles() {
  if (Mode() != ReportMode::FileLogging) return;
  RestoreWorkingDirectory();
  std::string lines;
  for (int i = 0; i < messageCount_; ++i) lines += FormatLine(messages_[i]);
  if (!Files().WriteWhole(directory_ + "report.log", lines)) return;
  if (warningCount_ > 0) {
    lines.clear();
    for (int i = 0; i < warningCount_; ++i) lines += FormatLine(warnings_[i]);
    if (!Files().WriteWhole(directory_ + "warnings.log", lines)) return;
  }
  if (!lastError_.text.empty() && lastError_.kind != 0) {
    Files().WriteWhole(directory_ + "error.log", FormatLine(lastError_));
  }
}

std::string Report::FatalText() const {
  if (lastError_.text.empty()) return std::string();
  return "ERROR Occured\n\nIn module: [" + lastError_.module + ":" + lastError_.function + "()]\n\n\"" +
         lastError_.text + "\"\n\n" + kSupportContactLine +
         "Please include error description(see above) in your message.\nThank you";
}

std::string Report::DateText() const {
  static const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[96];
  std::snprintf(text, sizeof text, "%s, %d %s %d %d:%s%d:%s%d", kWeekdays[local.tm_wday], local.tm_mday,
                kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min < 10 ? "0" : "",
                local.tm_min, local.tm_sec < 10 ? "0" : "", local.tm_sec);
  return text;
}

void Report::RestoreWorkingDirectory() const { Files().ChangeDirectory(workingDirectory_); }

}  // namespace sylvora
