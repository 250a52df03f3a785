#pragma once
// Decoded rows turned into the opaque 32-bit pixels the windows copy to the screen.
#include <cstddef>
#include <cstdint>

namespace zelta {

// Widens count pixels of 3-byte blue-green-red to opaque 32-bit pixels.
void ExpandBgrToBgra(const std::uint8_t* source, std::size_t count, std::uint32_t* target);

// Premultiplied blue-green-red-alpha pixels laid over an opaque background colour (0x00RRGGBB,
// as the pixels hold it), in place: transparent parts show the window colour.
void CompositeOverBackground(std::uint32_t* pixels, std::size_t count, std::uint32_t background);

}  // namespace zelta
