// Painting without a display: the offscreen platform, with its notices that say nothing about
// the pictures kept off stderr.
#pragma once

namespace nlx::render {

// Call before the application is made.
void use_offscreen_platform();

}  // namespace nlx::render
