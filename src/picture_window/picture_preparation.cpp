#include "picture_window/picture_preparation.h"

#include <cmath>

#include "picture/picture_loader.h"
#include "picture/resample.h"
#include "picture/worker_pool.h"
#include "picture_window/geometry_record.h"
#include "toolkit/com.h"
#include "toolkit/screen.h"

namespace zelta {

FirstView FirstViewFor(const GeometryRecord& record, double twipsPerPixel) {
    const WindowGeometry g = InitialGeometry(0, 0, record, 0, 0);
    FirstView view;
    if (g.imageSizeFromRecord) {
        view.width = static_cast<int>(std::lround((g.width - kMarginWidth) / twipsPerPixel));
        view.height = static_cast<int>(std::lround((g.height - kMarginHeight) / twipsPerPixel));
        view.stretched = view.width > 0 && view.height > 0;
    }
    return view;
}

PicturePreparation::PicturePreparation(SettingsStore& store, std::wstring path)
    : task_([this, &store, path = std::move(path)](const std::stop_token&) {
          Prepare(store, path);
      }) {}

PicturePreparation::~PicturePreparation() {
    task_.Stop();
}

void PicturePreparation::Prepare(SettingsStore& store, const std::wstring& path) {
    PreparedPicture result;
    std::exception_ptr failure;
    try {
        result.record = ReadGeometryRecord(store, path);
        // The window takes the screen's DPI unless it opens on a monitor of another one; then the
        // first paint scales the picture itself.
        const FirstView view = FirstViewFor(result.record, 1440.0 / ScreenDpi());
        result.picture = LoadPicture(path, view);
        if (view.stretched) {
            result.pixels = result.picture->PixelsFor(view.width, view.height, {});
        }
        if (result.pixels) {
            auto scaled = std::make_unique<Picture>(view.width, view.height);
            const Picture& from = *result.pixels;
            WorkerPool pool(2);
            ResampleSmooth(
                {from.Bits(), from.Width(), from.Height(), static_cast<std::size_t>(from.Width())},
                {scaled->Bits(), view.width, view.height, static_cast<std::size_t>(view.width)},
                &pool);
            result.scaled = std::move(scaled);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    EndCom();  // the platform's decoders, if they were needed, are done with it
    const std::lock_guard lock(mutex_);
    result_ = std::move(result);
    failure_ = failure;
    ready_ = true;
    if (window_ != nullptr) {
        PostMessageW(window_, message_, 0, 0);
    }
}

void PicturePreparation::TellWhenReady(HWND window, UINT message) {
    const std::lock_guard lock(mutex_);
    window_ = window;
    message_ = message;
    if (ready_) {
        PostMessageW(window_, message_, 0, 0);
    }
}

PreparedPicture PicturePreparation::Take() {
    const std::lock_guard lock(mutex_);
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return std::move(result_);
}

}  // namespace zelta
