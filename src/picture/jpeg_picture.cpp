#include "picture/jpeg_picture.h"

#include <algorithm>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "base/task.h"
#include "picture/buffer_sizes.h"
#include "picture/jpeg_decoder.h"
#include "picture/orientation.h"
#include "base/runtime_error.h"

namespace zelta {

namespace {

class MemoryBytes : public ByteSource {
  public:
    explicit MemoryBytes(const FileContent& file) : file_(file) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, file_.size() - at_);
        std::memcpy(buffer, file_.data() + at_, count);
        at_ += count;
        return count;
    }
    bool Rewind() override {
        at_ = 0;
        return true;
    }

  private:
    const FileContent& file_;
    std::size_t at_ = 0;
};

// A file cut short has no end-of-image marker near its end. Some cameras write more after it (a
// phone's motion photo appends a video): then the picture's last row must still be there, which
// libjpeg finds by reading the whole compressed picture, decoding one pixel of it.
bool CutShort(const FileContent& file, const JpegHeader& header) {
    const std::size_t tail = std::min<std::size_t>(file.size(), 65536);
    if (HoldsEndOfImage(file.data() + file.size() - tail, tail)) {
        return false;
    }
    MemoryBytes bytes(file);
    std::uint32_t pixel = 0;
    const int lastRow = (header.height + 7) / 8 - 1;  // at scale 1/8
    return !DecodeJpegRect(bytes, 1, {0, lastRow, 1, 1}, {&pixel, 1, 1, 1});
}

[[noreturn]] void Damaged(const std::wstring& path) {
    throw RuntimeError(L"Das Bild kann nicht geladen werden: " + path +
                       L"\n\nDie Bilddaten sind beschädigt oder unvollständig.");
}

// What to decode: the top-left part at full scale, or the whole picture at scale/8.
struct Need {
    bool whole = false;
    int scale = 8;
    bool operator==(const Need&) const = default;
};

class JpegPicture : public PictureSource {
  public:
    JpegPicture(std::shared_ptr<const FileContent> file, std::wstring path,
                const JpegHeader& header, int orientation)
        : file_(std::move(file)),
          path_(std::move(path)),
          header_(header),
          orientation_(orientation) {}

    // The worker touches this picture's members: it is stopped before they go.
    ~JpegPicture() override { worker_.Stop(); }
    JpegPicture(const JpegPicture&) = delete;
    JpegPicture& operator=(const JpegPicture&) = delete;

    int Width() const override { return Swapped() ? header_.height : header_.width; }
    int Height() const override { return Swapped() ? header_.width : header_.height; }

    // Decodes what the first view needs on this thread, before the window shows: damage there
    // refuses the picture.
    void DecodeFirst(const FirstView& view) {
        const Need need = view.stretched ? NeedFor(view.width, view.height) : Need{};
        auto pixels = Decode(need);
        if (!pixels) {
            Damaged(path_);
        }
        Store(need, std::move(pixels));
    }

    // Never fails once the picture is on screen: a later decode that fails (damage below the part
    // shown first, no memory for this size) leaves the best view held, and another size tries
    // again.
    std::shared_ptr<const Picture> PixelsFor(int width, int height,
                                             const std::function<void()>& ready) override {
        const std::lock_guard lock(mutex_);
        const Need need = NeedFor(width, height);
        if (Holds(need)) {
            return need.whole ? whole_ : topLeft_;
        }
        const bool failed = failed_ == need;
        if (!failed) {
            Request(need, ready);
        }
        // Meanwhile a coarser whole picture is the picture, only less sharp; without one, after
        // a failure, the part shown first stands for it.
        if (need.whole && whole_) {
            return whole_;
        }
        return failed ? (need.whole ? topLeft_ : whole_) : nullptr;
    }

  private:
    bool Swapped() const { return SwapsSides(orientation_); }

    // At its natural size a picture shows its top-left part; at any other size the whole of it.
    Need NeedFor(int width, int height) const {
        return width == Width() && height == Height() ? Need{}
                                                      : Need{true, ScaleFor(width, height)};
    }

    // Called with mutex_ held.
    bool Holds(const Need& need) const {
        return need.whole ? whole_ && wholeScale_ >= need.scale : topLeft_ != nullptr;
    }

    // The smallest DCT scale at which the whole picture is at least width x height (upright).
    int ScaleFor(int width, int height) const {
        return Swapped() ? JpegScaleFor(header_.width, header_.height, height, width)
                         : JpegScaleFor(header_.width, header_.height, width, height);
    }

    // The pixels for `need`, upright; null when libjpeg failed on the data. Throws when the
    // memory for them cannot be had.
    std::shared_ptr<const Picture> Decode(const Need& need) const {
        MemoryBytes bytes(*file_);
        JpegRect rect;
        if (need.whole) {
            rect.width = (header_.width * need.scale + 7) / 8;
            rect.height = (header_.height * need.scale + 7) / 8;
        } else {
            rect = TopLeftInFile();
        }
        auto stored = std::make_shared<Picture>(rect.width, rect.height);
        const PixelBlock target{stored->Bits(), rect.width, rect.height,
                                static_cast<std::size_t>(rect.width)};
        if (!DecodeJpegRect(bytes, need.scale, rect, target)) {
            return nullptr;
        }
        return Upright(std::move(stored), orientation_);
    }

    // The part of the file's picture that becomes the upright picture's top-left corner as large
    // as the largest window: a window never shows more of a picture at its natural size.
    JpegRect TopLeftInFile() const {
        const int shownWidth = std::min(Width(), std::max(GetSystemMetrics(SM_CXMAXTRACK), 640));
        const int shownHeight = std::min(Height(), std::max(GetSystemMetrics(SM_CYMAXTRACK), 480));
        const int w = Swapped() ? shownHeight : shownWidth;  // in the file's orientation
        const int h = Swapped() ? shownWidth : shownHeight;
        const int right = header_.width - w;
        const int bottom = header_.height - h;
        switch (orientation_) {
            case 2:
                return {right, 0, w, h};
            case 3:
                return {right, bottom, w, h};
            case 4:
            case 6:
                return {0, bottom, w, h};
            case 7:
                return {right, bottom, w, h};
            case 8:
                return {right, 0, w, h};
            default:  // 1 and 5
                return {0, 0, w, h};
        }
    }

    void Store(const Need& need, std::shared_ptr<const Picture> pixels) {
        const std::lock_guard lock(mutex_);
        if (need.whole) {
            whole_ = std::move(pixels);
            wholeScale_ = need.scale;
        } else {
            topLeft_ = std::move(pixels);
            if (topLeft_->Width() == Width() && topLeft_->Height() == Height()) {
                whole_ = topLeft_;  // the top-left part is all of it: stretching needs no decode
                wholeScale_ = 8;
            }
        }
    }

    // Called with mutex_ held: the worker decodes the newest need after the one it is on.
    void Request(const Need& need, const std::function<void()>& ready) {
        pending_ = need;
        ready_ = ready;
        if (!worker_.Started()) {
            worker_ = Task([this](const std::stop_token& stop) { Work(stop); });
        }
        wake_.notify_all();
    }

    void Work(const std::stop_token& stop) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!wake_.wait(lock, stop, [this] { return pending_.has_value(); })) {
                break;  // the picture is going
            }
            const Need need = *std::exchange(pending_, std::nullopt);
            if (Holds(need)) {
                continue;  // asked again by the paints while the same pixels were decoded
            }
            const std::function<void()> ready = ready_;
            lock.unlock();
            std::shared_ptr<const Picture> pixels;
            try {
                pixels = Decode(need);
            } catch (...) {
                // No memory for this size: as damaged data, the view stays as it is.
            }
            if (pixels) {
                Store(need, std::move(pixels));
            } else {
                const std::lock_guard failed(mutex_);
                failed_ = need;
            }
            if (ready) {
                ready();
            }
            lock.lock();
        }
    }

    // Never changes: each decode reads it through a source of its own.
    std::shared_ptr<const FileContent> file_;
    std::wstring path_;
    JpegHeader header_;
    int orientation_;

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::shared_ptr<const Picture> topLeft_;
    std::shared_ptr<const Picture> whole_;
    int wholeScale_ = 0;
    std::optional<Need> pending_;
    std::optional<Need> failed_;  // the last need whose decode failed
    std::function<void()> ready_;
    Task worker_;
};

}  // namespace

std::shared_ptr<PictureSource> LoadJpeg(std::shared_ptr<const FileContent> file,
                                        const std::wstring& path, int orientation,
                                        const FirstView& view) {
    MemoryBytes bytes(*file);
    const auto header = ReadJpegHeader(bytes);
    if (!header) {
        return nullptr;
    }
    // A progressive picture, or one in several scans, is held whole while it is decoded, as
    // coefficients.
    if (header->heldWhole &&
        (!PixelBufferBytes(header->width, header->height) ||
         *PixelBufferBytes(header->width, header->height) > kMaxPictureBytes)) {
        throw RuntimeError(L"Das Bild kann nicht geladen werden: " + path +
                           L"\n\nDas Bild ist zu groß (" + std::to_wstring(header->width) + L" x " +
                           std::to_wstring(header->height) + L" Pixel).");
    }
    if (CutShort(*file, *header)) {
        Damaged(path);
    }
    auto picture = std::make_shared<JpegPicture>(std::move(file), path, *header, orientation);
    picture->DecodeFirst(view);
    return picture;
}

}  // namespace zelta
