#pragma once
// JPEG decoding with libjpeg-turbo: the header, and any rectangle of the picture at n/8 of its
// size, read as a stream so that a large file is never held in memory. Faster than the platform's
// decoder, and scaling in the decoder skips most of the work for a picture larger than the screen.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "picture/resample.h"

namespace zelta {

// Bytes of a JPEG file, read front to back.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 at the end of the data or on a read failure.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
    // Starts again at the first byte; false when it cannot.
    virtual bool Rewind() = 0;
};

struct JpegHeader {
    int width = 0;
    int height = 0;
    // Progressive, or sequential in several scans: either way libjpeg holds the coefficients of
    // the whole picture while it decodes any part of it.
    bool heldWhole = false;
};

// The header only (the source is rewound first); nothing when libjpeg refuses the data: no JPEG,
// a damaged header, or a colour space we do not show (CMYK, YCCK).
std::optional<JpegHeader> ReadJpegHeader(ByteSource& source);

// The smallest scale n/8 (n in 1..8) at which the picture, scaled as libjpeg scales it (rounded
// up), is at least want wide and at least want high; 8 when no smaller one is.
int JpegScaleFor(int width, int height, int wantWidth, int wantHeight);

// A rectangle in pixels of the picture scaled by scale/8, in the file's stored orientation.
struct JpegRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Decodes rect of the picture at scale/8 into the top left of target (32-bit BGRA, opaque; at
// least rect's size). The source is rewound first and read only as far as the rectangle's last
// row, so damage below it goes unnoticed: check the file's end with HoldsEndOfImage. False when
// the arguments do not fit, or libjpeg fails or warns about damaged or missing data; then target
// may hold part of the picture and the caller refuses the file as damaged. Safe for any bytes.
bool DecodeJpegRect(ByteSource& source, int scale, const JpegRect& rect, const PixelBlock& target);

// Whether the last bytes of a file (its tail) hold the end-of-image marker FF D9; a file cut short
// has none, since compressed data never holds it.
bool HoldsEndOfImage(const std::uint8_t* tail, std::size_t size);

}  // namespace zelta
