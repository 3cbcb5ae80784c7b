#pragma once
// Shared set-up of the input tests: a Report whose messages can be inspected, an in-memory device
// layer, and the InputSystem between them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "input/input_system.h"
#include "report/report.h"
#include "tests/doubles/input/fake_input_backend.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {

// A message as the tests compare it.
struct Logged {
  int kind;
  std::string function;
  std::string text;
  bool operator==(const Logged&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Logged& m) {
  return out << "{" << m.kind << ", " << m.function << ", " << m.text << "}";
}

class InputFixture : public ::testing::Test {
 protected:
  // Full logging keeps every message, whatever its always flag; the files go to memory.
  explicit InputFixture(ReportMode mode = ReportMode::FileLogging)
      : scopedFiles_(files_), report_(std::make_unique<Report>(static_cast<int>(mode), "dir\\")) {
    input_ = std::make_unique<InputSystem>(report_.get(), backend_);
  }

  // Opens everything as the shell does.
  void OpenAll() {
    ASSERT_EQ(input_->CreateDirectInput(window()), 0);
    ASSERT_EQ(input_->Create(InputDevice::All), 0);
    input_->Acquire(InputDevice::All);
  }

  // Messages of module KALDRA.INPUT, in order.
  std::vector<Logged> Messages() const {
    std::vector<Logged> out;
    for (int i = 0; i < report_->MessageCount(); ++i) {
      const ReportMessage& m = report_->Message(i);
      if (m.module == "KALDRA.INPUT") out.push_back({m.kind, m.function, m.text});
    }
    return out;
  }
  void ClearMessagesSeen() { seen_ = static_cast<int>(Messages().size()); }
  // Messages since the last ClearMessagesSeen.
  std::vector<Logged> NewMessages() const {
    std::vector<Logged> all = Messages();
    return std::vector<Logged>(all.begin() + seen_, all.end());
  }

  NativeWindow* window() { return reinterpret_cast<NativeWindow*>(&windowStorage_); }

  MemoryFileSystem files_;
  ScopedFileSystem scopedFiles_;
  std::unique_ptr<Report> report_;
  FakeInputBackend backend_;
  std::unique_ptr<InputSystem> input_;
  int windowStorage_ = 0;
  int seen_ = 0;
};

}  // namespace sylvora
