#include "picture/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace zelta {

namespace {

// Big enough that a file is read in few calls, small next to any picture.
constexpr std::size_t kInputBufferSize = std::size_t{64} * 1024;
// Rows handed to libjpeg per call when it writes straight into the target.
constexpr int kRowBatch = 16;

// libjpeg reports errors by calling back, and its frames are C: the only way out of them is
// longjmp. So everything a decode holds lives in libjpeg's pools or in these plain structs, and
// no object with a destructor is ever jumped over.
//
// The jump unwinds nothing. On x64 Windows the C runtime's setjmp would take a frame to unwind
// the stack to, through the system's unwinder, at the jump: that needs unwind data in every frame
// between and a frame address from the compiler that the unwinder knows as the same. With no
// frame given, longjmp only restores the registers, as it does on every other target.
#ifdef _WIN64
#define ZELTA_SETJMP(buffer) _setjmp((buffer), nullptr)
#else
#define ZELTA_SETJMP(buffer) setjmp(buffer)
#endif
struct ErrorManager {
    jpeg_error_mgr base;  // first, so that info->err leads back here
    std::jmp_buf jump;
};

struct SourceManager {
    jpeg_source_mgr base;  // first, so that info->src leads back here
    ByteSource* bytes;
    JOCTET* buffer;
};

struct Session {
    jpeg_decompress_struct info;
    ErrorManager errors;
};

[[noreturn]] void Fail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are how libjpeg tells of damaged or missing data that it would paint grey: a picture
// with grey holes is not shown, the caller refuses it.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0) {
        Fail(info);
    }
}

void Silent(j_common_ptr /*info*/) {}

void StartSource(j_decompress_ptr /*info*/) {}

boolean FillBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<SourceManager*>(info->src);
    std::size_t got = 0;
    try {
        got = std::min(source->bytes->Read(source->buffer, kInputBufferSize), kInputBufferSize);
    } catch (...) {
        got = 0;  // no exception may cross libjpeg's frames: a failed read ends the data
    }
    if (got == 0) {
        // libjpeg would only warn and paint the rest grey; a file cut short is a failure here.
        info->err->msg_code = JERR_INPUT_EOF;
        Fail(reinterpret_cast<j_common_ptr>(info));
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = got;
    return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
    jpeg_source_mgr* source = info->src;
    if (count <= 0) {
        return;
    }
    auto left = static_cast<unsigned long>(count);
    while (left > source->bytes_in_buffer) {
        left -= source->bytes_in_buffer;
        FillBuffer(info);
    }
    source->next_input_byte += left;
    source->bytes_in_buffer -= left;
}

void EndSource(j_decompress_ptr /*info*/) {}

// Runs work with libjpeg's failures caught: an error or warning anywhere inside makes it false.
// work must hold no object with a destructor, since a failure jumps out of its frame.
template <typename Work>
bool Guarded(Session& session, Work&& work) {
    session.info.err = jpeg_std_error(&session.errors.base);
    session.errors.base.error_exit = Fail;
    session.errors.base.emit_message = OnMessage;
    session.errors.base.output_message = Silent;
    if (ZELTA_SETJMP(session.errors.jump) != 0) {
        jpeg_destroy_decompress(&session.info);
        return false;
    }
    jpeg_create_decompress(&session.info);
    const bool done = work(session.info);
    jpeg_destroy_decompress(&session.info);
    return done;
}

// Reads the header from source; false for a colour space that cannot become BGRA.
bool Open(jpeg_decompress_struct& info, ByteSource& bytes) {
    auto* source = static_cast<SourceManager*>(info.mem->alloc_small(
        reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(SourceManager)));
    source->bytes = &bytes;
    source->buffer = static_cast<JOCTET*>(info.mem->alloc_large(
        reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, kInputBufferSize));
    source->base.next_input_byte = nullptr;
    source->base.bytes_in_buffer = 0;
    source->base.init_source = StartSource;
    source->base.fill_input_buffer = FillBuffer;
    source->base.skip_input_data = SkipBytes;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = EndSource;
    info.src = &source->base;
    jpeg_read_header(&info, TRUE);
    return info.jpeg_color_space == JCS_GRAYSCALE || info.jpeg_color_space == JCS_YCbCr ||
           info.jpeg_color_space == JCS_RGB;
}

// After jpeg_start_decompress: rows top .. top + height of the output, columns cropped.
bool ReadRect(jpeg_decompress_struct& info, const JpegRect& rect, const PixelBlock& target) {
    const auto right = static_cast<JDIMENSION>(rect.left) + static_cast<JDIMENSION>(rect.width);
    const auto bottom = static_cast<JDIMENSION>(rect.top) + static_cast<JDIMENSION>(rect.height);
    if (right > info.output_width || bottom > info.output_height) {
        return false;
    }
    // Columns outside the crop skip the IDCT. libjpeg widens it to whole blocks on the left, and
    // one more column on each side keeps ours off its edges, which smooth chroma upsampling treats
    // as the picture's edges: a rectangle then matches the same part of a full decode exactly.
    // The extra columns are trimmed when copying.
    auto cropLeft = static_cast<JDIMENSION>(std::max(rect.left - 1, 0));
    JDIMENSION cropWidth = std::min(right + 1, info.output_width) - cropLeft;
    jpeg_crop_scanline(&info, &cropLeft, &cropWidth);
    if (rect.top > 0 && jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(rect.top)) !=
                            static_cast<JDIMENSION>(rect.top)) {
        return false;
    }
    auto targetRow = [&](JDIMENSION row) {
        return target.pixels + static_cast<std::size_t>(row - rect.top) * target.stride;
    };
    const std::size_t trim = rect.left - cropLeft;
    if (trim == 0 && cropWidth == static_cast<JDIMENSION>(rect.width)) {
        JSAMPROW rows[kRowBatch];
        while (info.output_scanline < bottom) {
            const auto count = std::min<JDIMENSION>(kRowBatch, bottom - info.output_scanline);
            for (JDIMENSION i = 0; i < count; ++i) {
                rows[i] = reinterpret_cast<JSAMPROW>(targetRow(info.output_scanline + i));
            }
            if (jpeg_read_scanlines(&info, rows, count) == 0) {
                return false;
            }
        }
        return true;
    }
    const auto batch = static_cast<JDIMENSION>(std::max(info.rec_outbuf_height, 1));
    JSAMPARRAY buffer = info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               cropWidth * 4, batch);
    while (info.output_scanline < bottom) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION got = jpeg_read_scanlines(&info, buffer, std::min(batch, bottom - first));
        if (got == 0) {
            return false;
        }
        for (JDIMENSION i = 0; i < got; ++i) {
            std::memcpy(targetRow(first + i), buffer[i] + trim * 4,
                        static_cast<std::size_t>(rect.width) * 4);
        }
    }
    return true;
}

}  // namespace

std::optional<JpegHeader> ReadJpegHeader(ByteSource& source) {
    if (!source.Rewind()) {
        return std::nullopt;
    }
    Session session{};
    JpegHeader header;
    const bool read = Guarded(session, [&](jpeg_decompress_struct& info) {
        if (!Open(info, source)) {
            return false;
        }
        header.width = static_cast<int>(info.image_width);
        header.height = static_cast<int>(info.image_height);
        header.heldWhole = jpeg_has_multiple_scans(&info) != 0;
        return true;
    });
    return read ? std::optional<JpegHeader>(header) : std::nullopt;
}

int JpegScaleFor(int width, int height, int wantWidth, int wantHeight) {
    for (int n = 1; n < 8; ++n) {
        // libjpeg's scaled size: width * n / 8, rounded up.
        if ((std::int64_t{width} * n + 7) / 8 >= wantWidth &&
            (std::int64_t{height} * n + 7) / 8 >= wantHeight) {
            return n;
        }
    }
    return 8;
}

bool DecodeJpegRect(ByteSource& source, int scale, const JpegRect& rect, const PixelBlock& target) {
    if (scale < 1 || scale > 8 || rect.left < 0 || rect.top < 0 || rect.width <= 0 ||
        rect.height <= 0 || target.pixels == nullptr || target.width < rect.width ||
        target.height < rect.height || target.stride < static_cast<std::size_t>(rect.width) ||
        !source.Rewind()) {
        return false;
    }
    Session session{};
    return Guarded(session, [&](jpeg_decompress_struct& info) {
        if (!Open(info, source)) {
            return false;
        }
        info.scale_num = static_cast<unsigned>(scale);
        info.scale_denom = 8;
        info.out_color_space = JCS_EXT_BGRA;  // four bytes a pixel, alpha 0xFF: our pixel layout
        info.dct_method = JDCT_ISLOW;
        jpeg_start_decompress(&info);
        return ReadRect(info, rect, target);
    });
}

bool HoldsEndOfImage(const std::uint8_t* tail, std::size_t size) {
    // Anywhere in the tail, not only at its very end: some cameras append data after the marker.
    for (std::size_t i = size; i >= 2; --i) {
        if (tail[i - 2] == 0xFF && tail[i - 1] == JPEG_EOI) {
            return true;
        }
    }
    return false;
}

}  // namespace zelta
