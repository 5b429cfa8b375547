// Writes 24-bit RGB images as PNG files (stored deflate blocks: no compression library needed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::test {

// `rgb` holds height rows of width * 3 bytes, top row first. False when the file cannot be
// written.
bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace dravik::test
