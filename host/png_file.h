// A captured image written as a PNG file, through our own image codec.
#pragma once

#include <string>

#include "host/window_capture.h"

namespace vela::host {

// Replaces the file at `path` (in the system code page); false when the image is empty, the
// encoding fails or the file cannot be written.
bool WritePngFile(const CapturedImage& image, const std::string& path);

}  // namespace vela::host
