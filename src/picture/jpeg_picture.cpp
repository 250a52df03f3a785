#include "picture/jpeg_picture.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "picture/buffer_sizes.h"
#include "picture/jpeg_decoder.h"
#include "picture/orientation.h"
#include "toolkit/runtime_error.h"

namespace zelta {

namespace {

class FileBytes : public ByteSource {
  public:
    explicit FileBytes(HANDLE file) : file_(file) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        DWORD got = 0;
        const auto ask = static_cast<DWORD>(std::min<std::size_t>(size, 1U << 20));
        return ReadFile(file_, buffer, ask, &got, nullptr) ? got : 0;
    }
    bool Rewind() override {
        LARGE_INTEGER start{};
        return SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) != FALSE;
    }

  private:
    HANDLE file_;
};

// A file cut short has no end-of-image marker near its end. Some cameras write more after it (a
// phone's motion photo appends a video): then the picture's last row must still be there, which
// libjpeg finds by reading the whole compressed picture, decoding one pixel of it.
bool CutShort(HANDLE file, const JpegHeader& header) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return true;
    }
    std::vector<std::uint8_t> tail(
        static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, 65536)));
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart - static_cast<LONGLONG>(tail.size());
    DWORD got = 0;
    if (SetFilePointerEx(file, from, nullptr, FILE_BEGIN) &&
        ReadFile(file, tail.data(), static_cast<DWORD>(tail.size()), &got, nullptr) &&
        HoldsEndOfImage(tail.data(), got)) {
        return false;
    }
    FileBytes bytes(file);
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
};

class JpegPicture : public PictureSource {
  public:
    JpegPicture(unique_kernel_handle file, std::wstring path, const JpegHeader& header,
                int orientation)
        : file_(std::move(file)),
          path_(std::move(path)),
          header_(header),
          orientation_(orientation) {}

    ~JpegPicture() override {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (worker_.joinable()) {
            worker_.join();
        }
    }
    JpegPicture(const JpegPicture&) = delete;
    JpegPicture& operator=(const JpegPicture&) = delete;

    int Width() const override { return Swapped() ? header_.height : header_.width; }
    int Height() const override { return Swapped() ? header_.width : header_.height; }

    // Decodes what the first view needs on this thread, before the window shows.
    void DecodeFirst(const FirstView& view) {
        const Need need = view.stretched ? NeedFor(view.width, view.height) : Need{};
        Store(need, Decode(need));
    }

    std::shared_ptr<const Picture> PixelsFor(int width, int height,
                                             const std::function<void()>& ready) override {
        const std::lock_guard lock(mutex_);
        if (!error_.empty()) {
            throw RuntimeError(error_);
        }
        const Need need = NeedFor(width, height);
        if (Holds(need)) {
            return need.whole ? whole_ : topLeft_;
        }
        Request(need, ready);
        // Meanwhile a coarser whole picture is the picture, only less sharp.
        return need.whole ? whole_ : nullptr;
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

    // The pixels for `need`, upright; null when libjpeg failed on the data.
    std::shared_ptr<const Picture> Decode(const Need& need) {
        const std::lock_guard reading(fileMutex_);
        FileBytes bytes(file_.get());
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
        if (!pixels) {
            Damaged(path_);
        }
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
        if (!worker_.joinable()) {
            worker_ = std::thread([this] { Work(); });
        }
        wake_.notify_all();
    }

    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
            if (stopping_) {
                break;
            }
            const Need need = *std::exchange(pending_, std::nullopt);
            if (Holds(need)) {
                continue;  // asked again by the paints while the same pixels were decoded
            }
            const std::function<void()> ready = ready_;
            lock.unlock();
            try {
                Store(need, Decode(need));
            } catch (const RuntimeError& error) {
                const std::lock_guard failed(mutex_);
                error_ = error.Message();
            } catch (const std::bad_alloc&) {
                const std::lock_guard failed(mutex_);
                error_ = L"Nicht genügend Arbeitsspeicher, um das Bild in dieser Größe zu zeigen.";
            }
            if (ready) {
                ready();
            }
            lock.lock();
        }
    }

    unique_kernel_handle file_;
    std::mutex fileMutex_;  // one decode reads the file at a time
    std::wstring path_;
    JpegHeader header_;
    int orientation_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<const Picture> topLeft_;
    std::shared_ptr<const Picture> whole_;
    int wholeScale_ = 0;
    std::optional<Need> pending_;
    std::function<void()> ready_;
    std::wstring error_;  // a decode on the worker failed: shown at the next paint
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace

std::shared_ptr<PictureSource> LoadJpeg(unique_kernel_handle& file, const std::wstring& path,
                                        int orientation, const FirstView& view) {
    FileBytes bytes(file.get());
    if (!bytes.Rewind()) {
        return nullptr;
    }
    const auto header = ReadJpegHeader(bytes);
    if (!header) {
        return nullptr;
    }
    // A progressive picture is held whole while it is decoded, as coefficients.
    if (header->progressive &&
        (!PixelBufferBytes(header->width, header->height) ||
         *PixelBufferBytes(header->width, header->height) > kMaxPictureBytes)) {
        throw RuntimeError(L"Das Bild kann nicht geladen werden: " + path +
                           L"\n\nDas Bild ist zu groß (" + std::to_wstring(header->width) + L" x " +
                           std::to_wstring(header->height) + L" Pixel).");
    }
    if (CutShort(file.get(), *header)) {
        Damaged(path);
    }
    auto picture = std::make_shared<JpegPicture>(std::move(file), path, *header, orientation);
    picture->DecodeFirst(view);
    return picture;
}

}  // namespace zelta
