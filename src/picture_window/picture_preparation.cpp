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
    : thread_([this, &store, path = std::move(path)] { Prepare(store, path); }) {}

PicturePreparation::~PicturePreparation() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void PicturePreparation::Prepare(SettingsStore& store, const std::wstring& path) {
    try {
        result_.record = ReadGeometryRecord(store, path);
        // The window takes the screen's DPI unless it opens on a monitor of another one; then the
        // first paint scales the picture itself.
        const FirstView view = FirstViewFor(result_.record, 1440.0 / ScreenDpi());
        result_.picture = LoadPicture(path, view);
        if (view.stretched) {
            result_.pixels = result_.picture->PixelsFor(view.width, view.height, {});
        }
        if (result_.pixels) {
            auto scaled = std::make_unique<Picture>(view.width, view.height);
            const Picture& from = *result_.pixels;
            WorkerPool pool(2);
            ResampleSmooth(
                {from.Bits(), from.Width(), from.Height(), static_cast<std::size_t>(from.Width())},
                {scaled->Bits(), view.width, view.height, static_cast<std::size_t>(view.width)},
                &pool);
            result_.scaled = std::move(scaled);
        }
    } catch (...) {
        failure_ = std::current_exception();
    }
    EndCom();  // the platform's decoders, if they were needed, are done with it
}

PreparedPicture PicturePreparation::Take() {
    if (thread_.joinable()) {
        thread_.join();
    }
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return std::move(result_);
}

}  // namespace zelta
