#include "toolkit/picture.h"

#include <propvarutil.h>
#include <wincodec.h>

#include <cstring>
#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "toolkit/exif.h"
#include "toolkit/png_check.h"
#include "toolkit/resample.h"
#include "toolkit/runtime_error.h"

namespace zelta {

namespace {

// Decoded pictures above this size are refused: a 32-bit process cannot hold much more next to
// the decoder's own buffers.
constexpr std::size_t kMaxPictureBytes = std::size_t{640} * 1024 * 1024;

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Put() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

  private:
    T* p_ = nullptr;
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using unique_file = unique_handle<HANDLE, HandleCloser>;

HANDLE OrNull(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

[[noreturn]] void Fail(long number, const std::wstring& path, const std::wstring& reason) {
    throw RuntimeError(number, L"Das Bild kann nicht geladen werden: " + path + L"\n\n" + reason);
}

IWICImagingFactory* Factory() {
    static IWICImagingFactory* factory = nullptr;
    if (factory == nullptr &&
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory)))) {
        factory = nullptr;
        throw RuntimeError(error_number::kInvalidPicture,
                           L"Die Bildbibliothek (WIC) ist nicht verfügbar.");
    }
    return factory;
}

// CON, NUL, COM1 ... name devices whatever folder or extension they come with.
bool IsDeviceName(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const auto dot = name.find(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    while (!name.empty() && (name.back() == L' ')) {
        name.pop_back();
    }
    for (auto& c : name) {
        c = static_cast<wchar_t>(towupper(c));
    }
    static const wchar_t* const kDevices[] = {L"CON", L"PRN",    L"AUX",
                                              L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (name == device) {
            return true;
        }
    }
    return name.size() == 4 &&
           (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
           name[3] >= L'0' && name[3] <= L'9';
}

std::wstring OpenFailureText(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return L"Datei nicht gefunden.";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return L"Pfad nicht gefunden.";
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NETNAME_DELETED:
            return L"Netzwerkpfad nicht gefunden.";
        case ERROR_ACCESS_DENIED:
            return L"Zugriff verweigert.";
        case ERROR_SHARING_VIOLATION:
            return L"Die Datei wird von einem anderen Programm verwendet.";
        case ERROR_INVALID_NAME:
            return L"Der Dateiname ist ungültig.";
        default:
            return L"Die Datei kann nicht geöffnet werden (Fehler " + std::to_wstring(code) + L").";
    }
}

// Reads the orientation from the file's first bytes and rewinds it for the decoder.
int FileOrientation(HANDLE file) {
    std::vector<std::uint8_t> head(65536 + 4096);
    DWORD got = 0;
    if (!ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr)) {
        got = 0;
    }
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return ExifOrientation(head.data(), got);
}

// The platform's PNG decoder shows some pictures whose checksums are wrong, damaged header
// included; reads the whole file once and rewinds it.
bool PngDamaged(HANDLE file) {
    PngChecksums checksums;
    std::vector<std::uint8_t> block(65536);
    DWORD got = 0;
    while (!checksums.Done() &&
           ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) &&
           got > 0) {
        checksums.Feed(block.data(), got);
    }
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return checksums.IsPng() && checksums.Damaged();
}

// Transparent parts show the window colour, since the picture is copied to the screen as is.
void CompositeOverBackground(std::uint32_t* pixels, std::size_t count) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t bg[3] = {GetBValue(face), GetGValue(face), GetRValue(face)};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        const std::uint32_t alpha = p >> 24;
        if (alpha == 255) {
            continue;
        }
        const std::uint32_t rest = 255 - alpha;
        std::uint32_t out = 0xFF000000U;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t channel = (p >> (8 * c)) & 0xFFU;  // premultiplied
            const std::uint32_t value =
                std::min<std::uint32_t>(channel + (bg[c] * rest + 127) / 255, 255U);
            out |= value << (8 * c);
        }
        pixels[i] = out;
    }
}

std::shared_ptr<const Picture> Decode(IWICBitmapDecoder* decoder, const std::wstring& name,
                                      int orientation) {
    UINT frames = 0;
    if (FAILED(decoder->GetFrameCount(&frames)) || frames == 0) {
        Fail(error_number::kInvalidPicture, name, L"Die Datei enthält kein Bild.");
    }
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Put()))) {
        Fail(error_number::kInvalidPicture, name, L"Die Bilddaten sind beschädigt.");
    }
    IWICBitmapSource* source = frame.Get();
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height))) {
        Fail(error_number::kInvalidPicture, name, L"Die Bildgröße kann nicht gelesen werden.");
    }
    const auto bytes = PixelBufferBytes(width, height);
    if (!bytes || *bytes > kMaxPictureBytes || width > 0x7FFFFFFFU || height > 0x7FFFFFFFU) {
        Fail(error_number::kOutOfMemory, name,
             L"Das Bild ist zu groß (" + std::to_wstring(width) + L" x " + std::to_wstring(height) +
                 L" Pixel).");
    }
    auto picture = std::make_shared<Picture>(static_cast<int>(width), static_cast<int>(height));
    // In strips: no whole converted copy is ever held besides ours, and each strip is finished
    // while it is still in the cache.
    const UINT stride = width * 4;
    WICPixelFormatGUID format{};
    source->GetPixelFormat(&format);
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        // What photographs decode to: widened here, much faster than the general converter.
        // width is at most a quarter of the 640 MB cap, so three bytes a pixel fit 32 bits.
        const UINT sourceStride = (width * 3 + 3) & ~3U;
        const UINT stripRows = StripRows(sourceStride, height);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(sourceStride) * stripRows);
        for (UINT top = 0; top < height; top += stripRows) {
            const UINT count = std::min(stripRows, height - top);
            const WICRect strip{0, static_cast<INT>(top), static_cast<INT>(width),
                                static_cast<INT>(count)};
            if (FAILED(
                    source->CopyPixels(&strip, sourceStride, sourceStride * count, rows.data()))) {
                Fail(error_number::kInvalidPicture, name,
                     L"Die Bilddaten sind beschädigt oder unvollständig.");
            }
            for (UINT row = 0; row < count; ++row) {
                ExpandBgrToBgra(rows.data() + static_cast<std::size_t>(row) * sourceStride, width,
                                picture->Bits() + static_cast<std::size_t>(top + row) * width);
            }
        }
    } else {
        ComPtr<IWICFormatConverter> converter;
        if (FAILED(Factory()->CreateFormatConverter(converter.Put())) ||
            FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom))) {
            Fail(error_number::kInvalidPicture, name,
                 L"Das Pixelformat des Bildes wird nicht unterstützt.");
        }
        const UINT stripRows = StripRows(stride, height);
        for (UINT top = 0; top < height; top += stripRows) {
            const UINT count = std::min(stripRows, height - top);
            const WICRect strip{0, static_cast<INT>(top), static_cast<INT>(width),
                                static_cast<INT>(count)};
            std::uint32_t* first = picture->Bits() + static_cast<std::size_t>(top) * width;
            if (FAILED(converter->CopyPixels(&strip, stride, stride * count,
                                             reinterpret_cast<BYTE*>(first)))) {
                Fail(error_number::kInvalidPicture, name,
                     L"Die Bilddaten sind beschädigt oder unvollständig.");
            }
            CompositeOverBackground(first, static_cast<std::size_t>(width) * count);
        }
    }
    if (orientation < 2 || orientation > 8) {
        return picture;
    }
    const bool swap = SwapsSides(orientation);
    auto upright = std::make_shared<Picture>(swap ? picture->Height() : picture->Width(),
                                             swap ? picture->Width() : picture->Height());
    ApplyOrientation(picture->Bits(), picture->Width(), picture->Height(), orientation,
                     upright->Bits());
    return upright;
}

}  // namespace

Picture::Picture(int width, int height) : width_(width), height_(height) {
    const auto bytes = PixelBufferBytes(width, height);
    if (!bytes || *bytes > kMaxPictureBytes) {
        throw RuntimeError(error_number::kOutOfMemory,
                           L"Nicht genügend Speicher für ein Bild dieser Größe.");
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || bits == nullptr) {
        throw RuntimeError(error_number::kOutOfMemory,
                           L"Nicht genügend Speicher für ein Bild dieser Größe.");
    }
    bits_ = static_cast<std::uint32_t*>(bits);
}

std::shared_ptr<const Picture> LoadPicture(const std::wstring& path) {
    if (path.empty()) {
        Fail(error_number::kFileNotFound, path, L"Es wurde kein Dateiname angegeben.");
    }
    if (IsDeviceName(path)) {
        Fail(error_number::kInvalidPicture, path, L"Der Name bezeichnet ein Gerät, keine Datei.");
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Fail(error_number::kPathNotFound, path, L"Der Pfad bezeichnet einen Ordner, keine Datei.");
    }
    unique_file file(OrNull(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
    if (!file) {
        const DWORD code = GetLastError();
        Fail(code == ERROR_FILE_NOT_FOUND ? error_number::kFileNotFound
                                          : error_number::kPathNotFound,
             path, OpenFailureText(code));
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        Fail(error_number::kInvalidPicture, path, L"Der Name bezeichnet ein Gerät, keine Datei.");
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) {
        Fail(error_number::kInvalidPicture, path, L"Die Datei ist leer.");
    }
    const int orientation = FileOrientation(file.get());
    if (PngDamaged(file.get())) {
        Fail(error_number::kInvalidPicture, path,
             L"Die Datei ist beschädigt: eine Prüfsumme stimmt nicht.");
    }
    ComPtr<IWICBitmapDecoder> decoder;
    const HRESULT hr =
        Factory()->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(file.get()), nullptr,
                                               WICDecodeMetadataCacheOnDemand, decoder.Put());
    if (FAILED(hr)) {
        Fail(error_number::kInvalidPicture, path,
             hr == WINCODEC_ERR_COMPONENTNOTFOUND
                 ? L"Kein lesbares Bildformat."
                 : L"Die Datei ist kein lesbares Bild oder beschädigt.");
    }
    return Decode(decoder.Get(), path, orientation);
}

std::shared_ptr<const Picture> PictureFromIcon(int iconId, int size) {
    auto picture = std::make_shared<Picture>(size, size);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture->Bitmap());
    RECT all{0, 0, size, size};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
    if (icon != nullptr) {
        DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    for (int i = 0; i < size * size; ++i) {
        picture->Bits()[i] |= 0xFF000000U;
    }
    return picture;
}

std::shared_ptr<const Picture> PictureFromResource(int resourceId, int resourceType) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found =
        FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(resourceType));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    const std::wstring name = L"Ressource " + std::to_wstring(resourceId);
    if (data == nullptr || size == 0) {
        Fail(error_number::kInvalidPicture, name, L"Die Ressource fehlt.");
    }
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(Factory()->CreateStream(stream.Put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(data), size)) ||
        FAILED(Factory()->CreateDecoderFromStream(stream.Get(), nullptr,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Put()))) {
        Fail(error_number::kInvalidPicture, name, L"Kein lesbares Bildformat.");
    }
    return Decode(decoder.Get(), name, 1);
}

namespace {
int ScalingThreads() {
    static const int threads =
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
    return threads;
}
}  // namespace

const Picture& ScaledCache::Base(const Picture& source, int width, int height) {
    const int screenWidth = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 640);
    const int screenHeight = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 480);
    // Worth it only when the picture has well over twice the screen's pixels.
    const double scale = std::min(static_cast<double>(screenWidth) / source.Width(),
                                  static_cast<double>(screenHeight) / source.Height());
    if (scale > 0.7) {
        return source;
    }
    if (reducedFrom_ != &source || !reduced_) {
        reduced_.reset();
        const int reducedWidth = std::max(1, static_cast<int>(std::lround(source.Width() * scale)));
        const int reducedHeight =
            std::max(1, static_cast<int>(std::lround(source.Height() * scale)));
        reduced_ = std::make_unique<Picture>(reducedWidth, reducedHeight);
        ResampleSmooth(
            {source.Bits(), source.Width(), source.Height(),
             static_cast<std::size_t>(source.Width())},
            {reduced_->Bits(), reducedWidth, reducedHeight, static_cast<std::size_t>(reducedWidth)},
            ScalingThreads());
        reducedFrom_ = &source;
    }
    if (width <= reduced_->Width() && height <= reduced_->Height()) {
        return *reduced_;
    }
    return source;
}

HBITMAP ScaledCache::Get(const Picture& source, int width, int height, bool fast) {
    if (scaled_ && source_ == &source && width_ == width && height_ == height &&
        (fast_ == fast || !fast_)) {
        return scaled_->Bitmap();
    }
    // One buffer, kept while the window shrinks and grown with room to spare, so that the many
    // sizes of a drag need no new bitmap each.
    if (!scaled_ || scaled_->Width() < width || scaled_->Height() < height) {
        const int roomyWidth = std::max(width, scaled_ ? scaled_->Width() : 0);
        const int roomyHeight = std::max(height, scaled_ ? scaled_->Height() : 0);
        scaled_.reset();  // free the old one first: the peak matters for big pictures
        scaled_ =
            std::make_unique<Picture>(roomyWidth + roomyWidth / 8, roomyHeight + roomyHeight / 8);
    }
    GdiFlush();
    const Picture& base = Base(source, width, height);
    const ConstPixelBlock from{base.Bits(), base.Width(), base.Height(),
                               static_cast<std::size_t>(base.Width())};
    const PixelBlock to{scaled_->Bits(), width, height, static_cast<std::size_t>(scaled_->Width())};
    if (fast) {
        ResampleNearest(from, to, ScalingThreads());
    } else {
        ResampleSmooth(from, to, ScalingThreads());
    }
    source_ = &source;
    width_ = width;
    height_ = height;
    fast_ = fast;
    return scaled_->Bitmap();
}

void ScaledCache::Clear() {
    scaled_.reset();
    source_ = nullptr;
    reduced_.reset();
    reducedFrom_ = nullptr;
}

}  // namespace zelta
