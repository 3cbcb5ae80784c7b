// The SDL window adapter on SDL's dummy video driver: it never holds off the desktop's screen-saver
// daemon, in our own window or when asked for a daemon's window, and shows no SDL box without a
// windowing system.
#include <SDL.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdlib.h>

#include "platform/window_sdl.h"

namespace sylvora {
namespace {

class SdlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_ResetHints();
  }
};

TEST_F(SdlWindow, OurOwnWindowLeavesTheScreenSaverAllowed) {
  SdlWindowSystem window;
  ASSERT_TRUE(window.Create("Sylvora Screensaver", 640, 480, false));
  EXPECT_STREQ(SDL_GetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER), "1");
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

TEST_F(SdlWindow, ADaemonsWindowLeavesTheScreenSaverAllowedAndAnUnusableOneFails) {
  SdlWindowSystem window;
  // The dummy driver cannot draw into a window it did not make.
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(window.CreateFrom(0x2A00007), AttachResult::Failed);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("sylvora: cannot draw into window 0x2a00007"),
            std::string::npos);
  EXPECT_TRUE(SDL_WasInit(SDL_INIT_VIDEO));
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  EXPECT_EQ(window.Handle(), nullptr);
}

int forks = 0;
void CountFork() { ++forks; }

TEST_F(SdlWindow, WithNoWindowingSystemABoxsTextGoesToStderrWithoutTryingSdlsBox) {
  // SDL's X11 box runs in a forked process and crashes there on the dummy driver's display data.
  static const bool counting = pthread_atfork(nullptr, CountFork, nullptr) == 0;
  ASSERT_TRUE(counting);
  SdlWindowSystem window;
  ASSERT_TRUE(window.Create("Sylvora Screensaver", 640, 480, false));
  const int forksBefore = forks;
  ::testing::internal::CaptureStderr();
  window.ShowMessageBox("This screensaver does not support password", "Attention");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attention: This screensaver does not support password\n");
  EXPECT_EQ(forks, forksBefore);
}

}  // namespace
}  // namespace sylvora
