// What the activities that keep their last drawing (media::FrameCache) share: whether a background
// covers the whole screen, so that a drawing begun with it does not depend on what was there before.
#pragma once
#include <cstdint>

#include "app/start/assets.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

namespace activities {

// True when the image, drawn at (0, 0) unturned, leaves no screen pixel uncovered: screen-sized (or
// larger), top-left handle and every pixel opaque enough to pass any blend's test. The answer is
// remembered for the pixels last looked at.
bool covers_screen(const media::ImagePtr& image, const app::Assets& assets);

// A key value for a pointer.
inline std::intptr_t key_of(const void* p) { return reinterpret_cast<std::intptr_t>(p); }

}  // namespace activities
