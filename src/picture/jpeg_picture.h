#pragma once
// JPEG pictures through libjpeg-turbo, decoding only what the window shows, at the scale it shows
// it: the top-left part that a window of the largest size can show when the picture is shown at
// its natural size, or the whole picture at the smallest DCT scale that covers the stretched size.
// What a later resize needs beyond that is decoded on a thread of its own and painted when it is
// ready. The picture decodes from the file's bytes in memory, read once: the file itself is let
// go as soon as it has been read, so the program that writes it may rewrite it at any time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "picture/picture.h"

namespace zelta {

using FileContent = std::vector<std::uint8_t>;

// The picture in `file` decoded for `view`; the picture keeps the bytes for what it decodes
// later. Nothing when libjpeg-turbo does not take the bytes (the platform's decoder may); throws
// RuntimeError naming `path` when the data is damaged or cut short.
std::shared_ptr<PictureSource> LoadJpeg(std::shared_ptr<const FileContent> file,
                                        const std::wstring& path, int orientation,
                                        const FirstView& view);

}  // namespace zelta
