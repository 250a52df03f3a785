// The measuring program: starts a picture program with CreateProcess and watches the screen from
// outside until the window is visible and its picture is painted, checked by pixels against a
// reference (a PPM of the picture, decoded natively). Prints one line per measurement for
// scripts/bench to summarise.
//
//   zbench start   --exe E --arg A --class C --ref R.ppm [--runs 11] [--warmup 1]
//   zbench replace --exe E --first-arg A1 --first-ref R1.ppm --arg A --class C --ref R.ppm [--runs
//   11] zbench resize  --exe E --arg A --class C [--record] [--drag] [--steps 100]
//                  [--left 40 --top 40]
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common.h"

namespace {

constexpr double kStartTimeoutMs = 60000;
constexpr double kStepTimeoutMs = 20000;
constexpr int kTolerance = 40;  // per channel: decoders differ in rounding and upsampling

struct Options {
    std::map<std::wstring, std::wstring> values;
    std::wstring Get(const wchar_t* key, const wchar_t* fallback = L"") const {
        const auto found = values.find(key);
        return found == values.end() ? fallback : found->second;
    }
    int Int(const wchar_t* key, int fallback) const {
        const auto found = values.find(key);
        return found == values.end() ? fallback : _wtoi(found->second.c_str());
    }
    bool Has(const wchar_t* key) const { return values.count(key) != 0; }
};

[[noreturn]] void Die(const char* what) {
    std::fprintf(stderr, "zbench: %s\n", what);
    std::fflush(stderr);
    ExitProcess(2);
}

// Pixels of a binary PPM, read on demand.
class Reference {
  public:
    explicit Reference(const std::wstring& path) {
        file_ = _wfopen(path.c_str(), L"rb");
        if (file_ == nullptr) {
            Die("cannot open the reference picture");
        }
        int maxValue = 0;
        if (std::fscanf(file_, "P6 %d %d %d", &width_, &height_, &maxValue) != 3 ||
            maxValue != 255) {
            Die("the reference is not an 8-bit binary PPM");
        }
        std::fgetc(file_);
        data_ = _ftelli64(file_);
    }
    ~Reference() { std::fclose(file_); }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) {
        const long long offset = data_ + (static_cast<long long>(y) * width_ + x) * 3;
        _fseeki64(file_, offset, SEEK_SET);
        unsigned char rgb[3] = {};
        if (std::fread(rgb, 1, 3, file_) != 3) {
            Die("the reference picture is cut short");
        }
        return RGB(rgb[0], rgb[1], rgb[2]);
    }

  private:
    FILE* file_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    long long data_ = 0;
};

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= kTolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= kTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= kTolerance;
}

// Reads a rectangle of the screen as it is shown, row by row.
std::vector<COLORREF> ReadScreen(int x, int y, int width, int height) {
    std::vector<COLORREF> out;
    if (width <= 0 || height <= 0) {
        return out;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t p = pixels[i];
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

RECT ScreenRect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT ClientOnScreen(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

HWND FindWindowOf(DWORD pid, const std::wstring& className) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, className.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) {
            return hwnd;
        }
    }
    return nullptr;
}

// Whether the picture shows at natural size at the client's top-left: 16 points spread over the
// part of it that lies on the screen must match the reference.
bool PictureShown(HWND hwnd, Reference& reference) {
    const RECT client = ClientOnScreen(hwnd);
    RECT picture{client.left, client.top, client.left + reference.Width(),
                 client.top + reference.Height()};
    RECT visible{};
    RECT onScreen{};
    const RECT screen = ScreenRect();
    if (!IntersectRect(&visible, &client, &picture) ||
        !IntersectRect(&onScreen, &visible, &screen)) {
        return false;
    }
    const int width = onScreen.right - onScreen.left;
    const int height = onScreen.bottom - onScreen.top;
    if (width < 8 || height < 8) {
        return false;
    }
    const std::vector<COLORREF> shown = ReadScreen(onScreen.left, onScreen.top, width, height);
    int matching = 0;
    const double fractions[4] = {0.2, 0.4, 0.6, 0.8};
    for (double fy : fractions) {
        for (double fx : fractions) {
            const int x = static_cast<int>(width * fx);
            const int y = static_cast<int>(height * fy);
            const COLORREF expected =
                reference.At(onScreen.left + x - client.left, onScreen.top + y - client.top);
            if (Near(shown[static_cast<std::size_t>(y) * width + x], expected)) {
                ++matching;
            }
        }
    }
    return matching >= 15;
}

struct Process {
    PROCESS_INFORMATION info{};
    bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
    void End() {
        if (info.hProcess == nullptr) {
            return;
        }
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        info = {};
    }
    SIZE_T PeakWorkingSet() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        return GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))
                   ? counters.PeakWorkingSetSize
                   : 0;
    }
};

// "exe" argument, the argument text passed verbatim as the program expects it.
Process Start(const std::wstring& exe, const std::wstring& argument) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!argument.empty()) {
        commandLine += L" " + argument;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    Process process;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process.info)) {
        Die("CreateProcess failed");
    }
    return process;
}

struct Shown {
    double visibleMs = -1;
    double paintedMs = -1;
    HWND hwnd = nullptr;
};

Shown WaitShown(const Process& process, const std::wstring& className, Reference& reference,
                double t0) {
    Shown shown;
    while (bench::NowMs() - t0 < kStartTimeoutMs) {
        HWND hwnd = FindWindowOf(process.info.dwProcessId, className);
        if (hwnd != nullptr && IsWindowVisible(hwnd)) {
            if (shown.visibleMs < 0) {
                shown.visibleMs = bench::NowMs() - t0;
            }
            if (PictureShown(hwnd, reference)) {
                shown.paintedMs = bench::NowMs() - t0;
                shown.hwnd = hwnd;
                return shown;
            }
        }
        Sleep(1);
    }
    return shown;
}

void WaitQuiet() {
    // Let the desktop repaint where the last window was before the next start.
    Sleep(150);
}

int RunStart(const Options& options) {
    Reference reference(options.Get(L"ref"));
    const int runs = options.Int(L"runs", 11);
    const int warmup = options.Int(L"warmup", 1);
    for (int i = 0; i < warmup + runs; ++i) {
        const double t0 = bench::NowMs();
        Process process = Start(options.Get(L"exe"), options.Get(L"arg"));
        const Shown shown = WaitShown(process, options.Get(L"class"), reference, t0);
        if (shown.paintedMs < 0) {
            process.End();
            Die("the picture was not painted within the timeout");
        }
        // The peak is taken once the picture has been on screen for a moment.
        Sleep(300);
        const SIZE_T peak = process.PeakWorkingSet();
        process.End();
        std::printf("%s %d painted_ms=%.1f visible_ms=%.1f peak_ws=%lu\n",
                    i < warmup ? "warmup" : "run", i, shown.paintedMs, shown.visibleMs,
                    static_cast<unsigned long>(peak));
        std::fflush(stdout);
        WaitQuiet();
    }
    return 0;
}

int RunReplace(const Options& options) {
    Reference firstReference(options.Get(L"first-ref"));
    Reference reference(options.Get(L"ref"));
    const int runs = options.Int(L"runs", 11);
    const int warmup = options.Int(L"warmup", 1);
    const std::wstring className = options.Get(L"class");
    for (int i = 0; i < warmup + runs; ++i) {
        Process first = Start(options.Get(L"exe"), options.Get(L"first-arg"));
        if (WaitShown(first, className, firstReference, bench::NowMs()).paintedMs < 0) {
            first.End();
            Die("the first instance did not show its picture");
        }
        Sleep(200);
        const double t0 = bench::NowMs();
        Process second = Start(options.Get(L"exe"), options.Get(L"arg"));
        double firstEndedMs = -1;
        double paintedMs = -1;
        while (bench::NowMs() - t0 < kStartTimeoutMs) {
            if (firstEndedMs < 0 && !first.Running()) {
                firstEndedMs = bench::NowMs() - t0;
            }
            if (paintedMs < 0) {
                HWND hwnd = FindWindowOf(second.info.dwProcessId, className);
                if (hwnd != nullptr && IsWindowVisible(hwnd) && PictureShown(hwnd, reference)) {
                    paintedMs = bench::NowMs() - t0;
                }
            }
            if (firstEndedMs >= 0 && paintedMs >= 0) {
                break;
            }
            Sleep(1);
        }
        first.End();
        second.End();
        if (firstEndedMs < 0 || paintedMs < 0) {
            Die("the hand-over did not finish within the timeout");
        }
        std::printf("%s %d replaced_ms=%.1f first_ended_ms=%.1f painted_ms=%.1f\n",
                    i < warmup ? "warmup" : "run", i, std::max(firstEndedMs, paintedMs),
                    firstEndedMs, paintedMs);
        std::fflush(stdout);
        WaitQuiet();
    }
    return 0;
}

// The last column of a scan line that shows the marker frame, or nothing.
std::optional<int> LastMarker(const std::vector<COLORREF>& line) {
    for (int i = static_cast<int>(line.size()) - 1; i >= 0; --i) {
        if (bench::IsMarker(line[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    return std::nullopt;
}

// Whether the framed picture is painted to exactly the image control's rectangle: along three
// rows its frame must end at the visible right edge, along three columns at the visible bottom.
bool StretchedShown(HWND window, HWND image, int expectedWidth, int expectedHeight) {
    RECT rect{};
    GetWindowRect(image, &rect);
    if (std::abs((rect.right - rect.left) - expectedWidth) > 1 ||
        std::abs((rect.bottom - rect.top) - expectedHeight) > 1) {
        return false;
    }
    const RECT client = ClientOnScreen(window);
    const RECT screen = ScreenRect();
    RECT visible{};
    RECT onScreen{};
    if (!IntersectRect(&visible, &rect, &client) || !IntersectRect(&onScreen, &visible, &screen)) {
        return false;
    }
    constexpr int kBefore = 40;
    constexpr int kAfter = 20;
    for (int k = 1; k <= 3; ++k) {
        const int y = onScreen.top + (onScreen.bottom - onScreen.top) * k / 4;
        const int from = std::max<int>(onScreen.left, onScreen.right - kBefore);
        const int to = std::min<int>(screen.right, onScreen.right + kAfter);
        const auto last = LastMarker(ReadScreen(from, y, to - from, 1));
        if (!last || std::abs(from + *last - (onScreen.right - 1)) > 1) {
            return false;
        }
        const int x = onScreen.left + (onScreen.right - onScreen.left) * k / 4;
        const int top = std::max<int>(onScreen.top, onScreen.bottom - kBefore);
        const int bottom = std::min<int>(screen.bottom, onScreen.bottom + kAfter);
        const auto lastRow = LastMarker(ReadScreen(x, top, 1, bottom - top));
        if (!lastRow || std::abs(top + *lastRow - (onScreen.bottom - 1)) > 1) {
            return false;
        }
    }
    return true;
}

bool WaitStretched(HWND window, HWND image, int outerWidth, int outerHeight, double t0,
                   double timeoutMs) {
    const int width = bench::ImageWidthFor(outerWidth);
    const int height = bench::ImageHeightFor(outerHeight);
    while (bench::NowMs() - t0 < timeoutMs) {
        if (StretchedShown(window, image, width, height)) {
            return true;
        }
        Sleep(1);
    }
    return false;
}

void WriteRecordValue(const std::wstring& section, const wchar_t* name, int twips) {
    const std::wstring key = L"Software\\VB and VBA Program Settings\\Zelta\\" + section;
    const std::wstring text = std::to_wstring(twips);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

int RunResize(const Options& options) {
    const int left = options.Int(L"left", 40);
    const int top = options.Int(L"top", 40);
    constexpr int kSmallWidth = 800;
    constexpr int kSmallHeight = 600;
    constexpr int kLargeWidth = 1600;
    constexpr int kLargeHeight = 1000;
    const int steps = options.Int(L"steps", 100);
    if (options.Has(L"record")) {
        const std::wstring section = options.Get(L"arg");
        WriteRecordValue(section, L"MainLeft", left * 15);
        WriteRecordValue(section, L"MainTop", top * 15);
        WriteRecordValue(section, L"MainWith", kSmallWidth * 15);
        WriteRecordValue(section, L"MainHeight", kSmallHeight * 15);
        WriteRecordValue(section, L"ImageWith", kSmallWidth * 15 - 80);
        WriteRecordValue(section, L"ImageHeight", kSmallHeight * 15 - 500);
    }
    const double t0 = bench::NowMs();
    Process process = Start(options.Get(L"exe"), options.Get(L"arg"));
    HWND window = nullptr;
    while (window == nullptr && bench::NowMs() - t0 < kStartTimeoutMs) {
        window = FindWindowOf(process.info.dwProcessId, options.Get(L"class"));
        Sleep(5);
    }
    HWND image = window != nullptr ? GetDlgItem(window, 101) : nullptr;
    if (image == nullptr ||
        !WaitStretched(window, image, kSmallWidth, kSmallHeight, t0, kStartTimeoutMs)) {
        process.End();
        Die("the stretched picture did not show at the stored size");
    }
    std::printf("start painted_ms=%.1f\n", bench::NowMs() - t0);
    std::fflush(stdout);
    Sleep(500);
    // What the system's sizing loop sends around an interactive drag.
    const bool drag = options.Has(L"drag");
    if (drag) {
        SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    }
    const double all = bench::NowMs();
    for (int k = 1; k <= steps; ++k) {
        const int half = steps / 2;
        const double phase =
            k <= half ? static_cast<double>(k) / half : static_cast<double>(steps - k) / half;
        const int width = kSmallWidth + static_cast<int>((kLargeWidth - kSmallWidth) * phase + 0.5);
        const int height =
            kSmallHeight + static_cast<int>((kLargeHeight - kSmallHeight) * phase + 0.5);
        const double s0 = bench::NowMs();
        SetWindowPos(window, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!WaitStretched(window, image, width, height, s0, kStepTimeoutMs)) {
            process.End();
            Die("a resize step was not painted within the timeout");
        }
        std::printf("step %d %dx%d step_ms=%.2f\n", k, width, height, bench::NowMs() - s0);
        std::fflush(stdout);
    }
    const double total = bench::NowMs() - all;
    if (drag) {
        SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    }
    std::printf("steps %d total_ms=%.1f steps_per_s=%.1f\n", steps, total, steps * 1000.0 / total);
    const SIZE_T peak = process.PeakWorkingSet();
    std::printf("memory peak_ws=%lu\n", static_cast<unsigned long>(peak));
    process.End();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        Die("usage: zbench start|replace|resize --option value ...");
    }
    Options options;
    for (int i = 2; i < argc; ++i) {
        std::wstring key = argv[i];
        if (key.rfind(L"--", 0) != 0) {
            Die("options are --name value");
        }
        key = key.substr(2);
        const bool flag = key == L"record" || key == L"drag";
        options.values[key] = flag ? L"1" : (i + 1 < argc ? argv[++i] : L"");
    }
    timeBeginPeriod(1);
    const std::wstring mode = argv[1];
    if (mode == L"start") {
        return RunStart(options);
    }
    if (mode == L"replace") {
        return RunReplace(options);
    }
    if (mode == L"resize") {
        return RunResize(options);
    }
    Die("unknown mode");
}
