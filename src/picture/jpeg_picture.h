#pragma once
// JPEG pictures through libjpeg-turbo, decoding only what the window shows, at the scale it shows
// it: the top-left part that a window of the largest size can show when the picture is shown at
// its natural size, or the whole picture at the smallest DCT scale that covers the stretched size.
// What a later resize needs beyond that is decoded on a thread of its own and painted when it is
// ready.
#include <memory>
#include <string>

#include "picture/picture.h"
#include "toolkit/unique_handle.h"

namespace zelta {

// The picture in `file` decoded for `view`; the picture keeps the file open for what it decodes
// later. Nothing, and the file left where it is, when libjpeg-turbo does not take the file (the
// platform's decoder may); throws RuntimeError naming `path` when the data is damaged or cut short.
std::shared_ptr<PictureSource> LoadJpeg(unique_kernel_handle& file, const std::wstring& path,
                                        int orientation, const FirstView& view);

}  // namespace zelta
