// UvRect: the texture coordinates a source rectangle spans on one stage, already divided by
// the image size and inset.
#pragma once

namespace vela {

struct UvRect {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

}  // namespace vela
