// A JPEG decoded as the loader decodes one within its limits: a rectangle at the scale a wanted
// size gives, into a buffer of exactly its size. Six bytes before the file choose the read size,
// the wanted size and the rectangle, as fractions of the scaled picture.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t piece = size < 6 ? 0 : 1 + data[0] * 64;
    MemorySource source(data + 6, size - std::min<std::size_t>(size, 6), piece);
    const auto header = size < 6 ? std::nullopt : ReadJpegHeader(source);
    // libjpeg holds a progressive or multi-scan picture whole while it decodes it.
    if (!header || (header->heldWhole && PixelBufferBytes(header->width, header->height) >
                                             std::optional(kMaxPictureBytes))) {
        return 0;
    }
    const int scale = JpegScaleFor(header->width, header->height, data[1] * 16, data[2] * 16);
    const int width = (header->width * scale + 7) / 8;
    const int height = (header->height * scale + 7) / 8;
    JpegRect rect{width * data[3] / 256, height * data[4] / 256, 0, 0};
    rect.width = 1 + (width - rect.left - 1) * (data[5] & 15) / 15;
    rect.height = 1 + (height - rect.top - 1) * (data[5] >> 4) / 15;
    const std::size_t pixels = std::size_t(rect.width) * std::size_t(rect.height);
    if (pixels <= kMaxPictureBytes / 4) {  // left unfilled: the largest costs no time
        const std::unique_ptr<std::uint32_t[]> target(new std::uint32_t[pixels]);
        (void)DecodeJpegRect(source, scale, rect,
                             {target.get(), rect.width, rect.height, std::size_t(rect.width)});
    }
    return 0;
}
