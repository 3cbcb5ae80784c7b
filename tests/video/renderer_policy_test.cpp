// Which SDL renderer each display path makes on each window: every combination, written out.
#include "video/renderer_policy.h"

#include <gtest/gtest.h>

namespace sylvora {
namespace {

using enum RendererTry;
constexpr RendererUser kClassic = RendererUser::Classic;
constexpr RendererUser kNative = RendererUser::Native;

struct PolicyRow {
  const char* window;
  RendererUser user;
  RendererWindow kind;
  bool vsync;
  bool plainFramebuffer;
  std::array<RendererTry, kRendererTries> tries;
};

// Windows: a full screen of ours made ready for OpenGL or not, a daemon's window whose visual takes
// OpenGL or not. A preview pane is a daemon's window: its rows are the daemon's.
constexpr PolicyRow kPolicy[] = {
    {"ours, GL", kClassic, {false, true}, true, false, {AnyVsync, Any, Software}},
    {"ours, GL", kClassic, {false, true}, false, false, {Any, Software, None}},
    {"ours, GL", kNative, {false, true}, true, false, {AcceleratedVsync, Accelerated, Software}},
    {"ours, GL", kNative, {false, true}, false, false, {Accelerated, Software, None}},
    {"ours, no GL", kClassic, {false, false}, true, true, {Software, None, None}},
    {"ours, no GL", kClassic, {false, false}, false, true, {Software, None, None}},
    {"ours, no GL", kNative, {false, false}, true, true, {Software, None, None}},
    {"ours, no GL", kNative, {false, false}, false, true, {Software, None, None}},
    {"daemon's, GL visual", kClassic, {true, true}, true, false, {Software, None, None}},
    {"daemon's, GL visual", kClassic, {true, true}, false, false, {Software, None, None}},
    {"daemon's, GL visual", kNative, {true, true}, true, false, {AcceleratedVsync, Accelerated, Software}},
    {"daemon's, GL visual", kNative, {true, true}, false, false, {Accelerated, Software, None}},
    {"daemon's, other visual", kClassic, {true, false}, true, false, {Software, None, None}},
    {"daemon's, other visual", kClassic, {true, false}, false, false, {Software, None, None}},
    {"daemon's, other visual", kNative, {true, false}, true, true, {Software, None, None}},
    {"daemon's, other visual", kNative, {true, false}, false, true, {Software, None, None}},
};

TEST(RendererPolicyTest, EachPathGetsItsRendererOnEachWindow) {
  for (const PolicyRow& row : kPolicy) {
    SCOPED_TRACE(std::string(row.window) + (row.user == kClassic ? ", classic" : ", native") +
                 (row.vsync ? ", vsync" : ", no vsync"));
    const RendererChoice choice = ChooseRenderer(row.user, row.kind, row.vsync);
    EXPECT_EQ(choice.plainFramebuffer, row.plainFramebuffer);
    EXPECT_EQ(choice.tries, row.tries);
  }
}

}  // namespace
}  // namespace sylvora
