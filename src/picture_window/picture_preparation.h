#pragma once
// What the picture window shows first, made ready on a thread of its own while the window is
// built: the picture's geometry record, the picture decoded for the first view that the record
// asks for and, when that view is stretched, the picture already scaled to it. Nothing of it
// needs the window: only the picture's size does, once the window is there to be sized.
#include <windows.h>

#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "base/task.h"
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

    // Posts `message` to `window` once the picture is ready, or at once when it is.
    void TellWhenReady(HWND window, UINT message);
    // What was prepared, once it is ready (after the message); throws what loading threw.
    PreparedPicture Take();

  private:
    void Prepare(SettingsStore& store, const std::wstring& path);

    std::mutex mutex_;
    bool ready_ = false;
    HWND window_ = nullptr;
    UINT message_ = 0;
    PreparedPicture result_;
    std::exception_ptr failure_;
    // Touches the members above and the store, which lives as long as the process; the
    // destructor stops it first.
    Task task_;
};

}  // namespace zelta
