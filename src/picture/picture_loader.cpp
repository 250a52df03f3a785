#include "picture/picture_loader.h"

#include <wincodec.h>

#include <algorithm>
#include <vector>

#include "toolkit/com.h"
#include "toolkit/files.h"
#include "picture/buffer_sizes.h"
#include "picture/device_names.h"
#include "picture/exif.h"
#include "picture/file_settling.h"
#include "picture/jpeg_picture.h"
#include "picture/pixel_rows.h"
#include "picture/png_check.h"
#include "base/runtime_error.h"
#include "base/unique_handle.h"

namespace zelta {

namespace {

[[noreturn]] void Fail(const std::wstring& name, const std::wstring& reason) {
    throw RuntimeError(L"Das Bild kann nicht geladen werden: " + name + L"\n\n" + reason);
}

// One for each load, released with it: the thread that loads may end afterwards (the picture is
// loaded on a thread of its own while the window is built). The codec libraries that the first
// one loads stay loaded.
com_ptr<IWICImagingFactory> MakeFactory() {
    EnsureCom();
    com_ptr<IWICImagingFactory> factory;
    if (FAILED(CreateComInstance(CLSID_WICImagingFactory, IID_PPV_ARGS(factory.put())))) {
        throw RuntimeError(L"Die Bildbibliothek (WIC) ist nicht verfügbar.");
    }
    return factory;
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

// The platform's PNG decoder shows some pictures whose checksums are wrong, damaged header
// included.
bool PngDamaged(const FileContent& file) {
    PngChecksums checksums;
    checksums.Feed(file.data(), file.size());
    return checksums.IsPng() && checksums.Damaged();
}

// The whole file, read at once: the file is held only while it is read, and every check and
// decode after it sees the same bytes. Throws RuntimeError naming the file; `unfinished` tells
// whether a writer that has not finished yet could be the cause.
std::shared_ptr<const FileContent> ReadPictureFile(const std::wstring& path, bool& unfinished) {
    const unique_kernel_handle file = FileHandle(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        unfinished = code == ERROR_SHARING_VIOLATION;
        Fail(path, OpenFailureText(code));
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        Fail(path, L"Der Name bezeichnet ein Gerät, keine Datei.");
    }
    unfinished = true;  // from here on, what the file holds may not be all of it yet
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) {
        Fail(path, L"Die Datei ist leer.");
    }
    // No picture file is larger than the largest picture it can hold.
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxPictureBytes) {
        Fail(path,
             L"Die Datei ist größer als " + std::to_wstring(kMaxPictureBytes >> 20) + L" MB.");
    }
    auto content = std::make_shared<FileContent>(static_cast<std::size_t>(size.QuadPart));
    std::size_t read = 0;
    while (read < content->size()) {
        DWORD got = 0;
        const auto ask =
            static_cast<DWORD>(std::min<std::size_t>(content->size() - read, 1U << 24));
        if (!ReadFile(file.get(), content->data() + read, ask, &got, nullptr)) {
            Fail(path, OpenFailureText(GetLastError()));
        }
        if (got == 0) {
            break;  // shorter than it was a moment ago
        }
        read += got;
    }
    content->resize(read);
    return content;
}

std::uint32_t WindowColour() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return (std::uint32_t{GetRValue(face)} << 16) | (std::uint32_t{GetGValue(face)} << 8) |
           GetBValue(face);
}

// Frame 0 of a decoder, upright, in strips: no whole converted copy is ever held besides ours,
// and each strip is finished while it is still in the cache.
std::shared_ptr<PictureSource> Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                                      const std::wstring& name, int orientation) {
    UINT frames = 0;
    if (FAILED(decoder->GetFrameCount(&frames)) || frames == 0) {
        Fail(name, L"Die Datei enthält kein Bild.");
    }
    com_ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) {
        Fail(name, L"Die Bilddaten sind beschädigt.");
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height))) {
        Fail(name, L"Die Bildgröße kann nicht gelesen werden.");
    }
    const auto bytes = PixelBufferBytes(width, height);
    if (!bytes || *bytes > kMaxPictureBytes) {
        Fail(name, L"Das Bild ist zu groß (" + std::to_wstring(width) + L" x " +
                       std::to_wstring(height) + L" Pixel).");
    }
    auto picture = std::make_shared<Picture>(static_cast<int>(width), static_cast<int>(height));
    WICPixelFormatGUID format{};
    frame->GetPixelFormat(&format);
    // What photographs decode to is widened here, much faster than the general converter.
    const bool bgr = IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
    com_ptr<IWICFormatConverter> converter;
    IWICBitmapSource* source = frame.get();
    if (!bgr) {
        if (FAILED(factory->CreateFormatConverter(converter.put())) ||
            FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom))) {
            Fail(name, L"Das Pixelformat des Bildes wird nicht unterstützt.");
        }
        source = converter.get();
    }
    // width is at most a quarter of the size cap, so four bytes a pixel fit 32 bits.
    const UINT stride = bgr ? (width * 3 + 3) & ~3U : width * 4;
    const UINT stripRows = StripRows(stride, height);
    std::vector<std::uint8_t> rows(bgr ? static_cast<std::size_t>(stride) * stripRows : 0);
    const std::uint32_t background = WindowColour();
    for (UINT top = 0; top < height; top += stripRows) {
        const UINT count = std::min(stripRows, height - top);
        const WICRect strip{0, static_cast<INT>(top), static_cast<INT>(width),
                            static_cast<INT>(count)};
        std::uint32_t* first = picture->Bits() + static_cast<std::size_t>(top) * width;
        BYTE* into = bgr ? rows.data() : reinterpret_cast<BYTE*>(first);
        if (FAILED(source->CopyPixels(&strip, stride, stride * count, into))) {
            Fail(name, L"Die Bilddaten sind beschädigt oder unvollständig.");
        }
        for (UINT row = 0; bgr && row < count; ++row) {
            ExpandBgrToBgra(rows.data() + static_cast<std::size_t>(row) * stride, width,
                            first + static_cast<std::size_t>(row) * width);
        }
        if (!bgr) {
            CompositeOverBackground(first, static_cast<std::size_t>(width) * count, background);
        }
    }
    return std::make_shared<WholePicture>(Upright(std::move(picture), orientation));
}

// Bytes in memory through the platform's decoders.
std::shared_ptr<PictureSource> DecodeWithPlatform(const std::uint8_t* data, std::size_t size,
                                                  const std::wstring& name, int orientation) {
    const com_ptr<IWICImagingFactory> factory = MakeFactory();
    com_ptr<IWICStream> stream;
    com_ptr<IWICBitmapDecoder> decoder;
    HRESULT hr = factory->CreateStream(stream.put());
    if (SUCCEEDED(hr)) {
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    }
    if (SUCCEEDED(hr)) {
        hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put());
    }
    if (FAILED(hr)) {
        Fail(name, hr == WINCODEC_ERR_COMPONENTNOTFOUND
                       ? L"Kein lesbares Bildformat."
                       : L"Die Datei ist kein lesbares Bild oder beschädigt.");
    }
    return Decode(factory.get(), decoder.get(), name, orientation);
}

std::int64_t SystemTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

// Whether a program has the file open for writing (the open for reading that the load uses is
// refused then), its size and its last write time, without keeping it open.
FileLook LookAt(const std::wstring& path) {
    FileLook look;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        look.size = static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) |
                                              data.nFileSizeLow);
        look.written = FileTimeValue(data.ftLastWriteTime);
    }
    const unique_kernel_handle probe =
        FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    look.writerOpen = !probe && GetLastError() == ERROR_SHARING_VIOLATION;
    return look;
}

// After a failure that an unfinished file explains: true once the file has settled and changed,
// so that loading it again is worth it.
bool WaitForWriter(const std::wstring& path, FileSettling& settling) {
    if (!settling.Failed(LookAt(path), SystemTimeNow())) {
        return false;
    }
    for (;;) {
        Sleep(kSettlePollMs);
        switch (settling.Next(LookAt(path), SystemTimeNow())) {
            case FileSettling::Step::Wait:
                break;
            case FileSettling::Step::TryAgain:
                return true;
            case FileSettling::Step::GiveUp:
                return false;
        }
    }
}

// One attempt. `unfinished` tells, when it throws, whether a file that its writer has not
// finished yet could be the cause.
std::shared_ptr<PictureSource> LoadOnce(const std::wstring& path, const FirstView& view,
                                        bool& unfinished) {
    unfinished = false;
    if (path.empty()) {
        Fail(path, L"Es wurde kein Dateiname angegeben.");
    }
    if (IsDeviceName(path)) {
        Fail(path, L"Der Name bezeichnet ein Gerät, keine Datei.");
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Fail(path, L"Der Pfad bezeichnet einen Ordner, keine Datei.");
    }
    std::shared_ptr<const FileContent> file = ReadPictureFile(path, unfinished);
    if (file->empty()) {
        Fail(path, L"Die Datei ist leer.");
    }
    const int orientation = ExifOrientation(file->data(), file->size());
    if (PngDamaged(*file)) {
        Fail(path, L"Die Datei ist beschädigt: eine Prüfsumme stimmt nicht.");
    }
    if (auto jpeg = LoadJpeg(file, path, orientation, view)) {
        return jpeg;
    }
    return DecodeWithPlatform(file->data(), file->size(), path, orientation);
}

}  // namespace

std::shared_ptr<PictureSource> LoadPicture(const std::wstring& path, const FirstView& view) {
    FileSettling settling(SystemTimeNow());
    for (;;) {
        bool unfinished = false;
        try {
            return LoadOnce(path, view, unfinished);
        } catch (const RuntimeError&) {
            if (!unfinished || !WaitForWriter(path, settling)) {
                throw;  // what is still wrong after the wait
            }
        }
    }
}

std::shared_ptr<PictureSource> PictureFromResource(int resourceId, int resourceType) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found =
        FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(resourceType));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
    const std::wstring name = L"Ressource " + std::to_wstring(resourceId);
    if (data == nullptr || size == 0) {
        Fail(name, L"Die Ressource fehlt.");
    }
    return DecodeWithPlatform(static_cast<const std::uint8_t*>(data), size, name, 1);
}

}  // namespace zelta
