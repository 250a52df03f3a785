#pragma once
// Loading picture files for the image control.
#include <memory>
#include <string>

#include "picture/picture.h"

namespace zelta {

// Loads BMP, JPEG (EXIF orientation applied), GIF (first frame), PNG, TIFF, ICO and whatever else
// the platform's decoders read. Throws RuntimeError with a German message naming the file. A file
// that another program still writes (open elsewhere, or empty, damaged or cut short and written
// just now) is loaded again once it has settled, within about two seconds of the first attempt
// (file_settling.h); what is still wrong then is reported.
std::shared_ptr<PictureSource> LoadPicture(const std::wstring& path, const FirstView& view);

// A picture stored in the executable's resources.
std::shared_ptr<PictureSource> PictureFromResource(int resourceId, int resourceType);

}  // namespace zelta
