#pragma once
// Pictures are decoded into buffers of several megabytes that live only until their upload. glibc gives
// such a buffer a mapping of its own until one is freed, and then raises its threshold, so that later
// ones come from its heap, where a freed buffer stays resident (about 20 MB at 1080p).

namespace sylvora {

// Keeps every buffer of a megabyte or more a mapping of its own, returned to the system when freed.
// main calls it first, before anything is loaded.
void ReturnLargeBuffersWhenFreed();

}  // namespace sylvora
