#pragma once
// What the picture window shows first, made ready on a thread of its own while the window is
// built: the picture's geometry record, the picture decoded for the first view that the record
// asks for and, when that view is stretched, the picture already scaled to it. Nothing of it
// needs the window: only the picture's size does, once the window is there to be sized.
#include <exception>
#include <memory>
#include <string>
#include <thread>

#include "picture/picture.h"
#include "picture_window/geometry.h"
#include "settings/settings_store.h"

namespace zelta {

struct PreparedPicture {
    GeometryRecord record;
    std::shared_ptr<PictureSource> picture;
    // For a stretched first view: the picture's pixels for it, and those scaled to its size.
    std::shared_ptr<const Picture> pixels;
    std::unique_ptr<Picture> scaled;
};

// The first view that a record asks for, in pixels of the given size in twips: the whole picture
// stretched to the stored window less the margins (what the resize rule makes of it), or the
// picture at its natural size.
FirstView FirstViewFor(const GeometryRecord& record, double twipsPerPixel);

class PicturePreparation {
  public:
    // Starts at once. The settings store must be safe to read from another thread.
    PicturePreparation(SettingsStore& store, std::wstring path);
    ~PicturePreparation();
    PicturePreparation(const PicturePreparation&) = delete;
    PicturePreparation& operator=(const PicturePreparation&) = delete;

    // Waits until it is ready; throws what loading the picture threw.
    PreparedPicture Take();

  private:
    void Prepare(SettingsStore& store, const std::wstring& path);

    PreparedPicture result_;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace zelta
