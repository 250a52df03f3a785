// The measuring program: starts a picture program with CreateProcess and watches the screen from
// outside until the window is visible and its picture is painted, checked by pixels against a
// reference (a PPM of the picture, decoded natively). Prints one line per measurement for
// scripts/bench to summarise.
//
//   zbench start   --exe E --arg A --class C --ref R.ppm [--runs 11] [--warmup 1]
//                  [--no-record | --record 1600x1000 [--left 40 --top 40]]
//   zbench replace --exe E --first-arg A1 --first-ref R1.ppm --arg A --class C --ref R.ppm
//                  [--runs 11] [--warmup 1] [--no-record]
//   zbench resize  --exe E --arg A --class C [--record] [--drag] [--steps 100]
//                  [--left 40 --top 40]
//   zbench desktop --need 1920x1200
//
// --record stores a window place and size for the picture path before each start (and removes it
// after the last); --no-record removes any that would count. Every wait polls against a deadline,
// and every way of not getting there has its own message.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common.h"

namespace {

constexpr double kStartTimeoutMs = 60000;
constexpr double kStepTimeoutMs = 20000;
// The desktop repaints where an ended window was, and a painted program settles, well within this.
constexpr double kAfterTimeoutMs = 15000;
constexpr double kQuietMs = 300;
constexpr int kTolerance = 40;  // per channel: decoders differ in rounding and upsampling
// Per channel, on means over 3 x 3 screen pixels against the mean of the source area behind them:
// an area-averaging downscaler lands within 1, bilinear or nearest-neighbour sampling of this
// grain within about 7.
constexpr int kMeanTolerance = 12;
constexpr int kPoints = 16;
constexpr int kNeeded = 15;
constexpr double kFractions[4] = {0.2, 0.4, 0.6, 0.8};

// Processes this program started and has not ended yet: a failure must not leave them behind.
std::vector<HANDLE> g_started;

void EndStarted() {
    for (HANDLE process : g_started) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
    }
    g_started.clear();
}

[[noreturn]] void Die(const char* format, ...) {
    std::fputs("zbench: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    EndStarted();
    ExitProcess(2);
}

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
    // "1600x1000"
    std::optional<bench::Size> SizeOf(const wchar_t* key) const {
        bench::Size size;
        if (!Has(key) || swscanf(Get(key).c_str(), L"%dx%d", &size.width, &size.height) != 2 ||
            size.width <= 0 || size.height <= 0) {
            return std::nullopt;
        }
        return size;
    }
};

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

int Difference(const Rgb& a, const Rgb& b) {
    const double d =
        std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) + 0.5;
    return static_cast<int>(d);
}

// Pixels of a binary PPM, read on demand.
class Reference {
  public:
    explicit Reference(const std::wstring& path) {
        file_ = _wfopen(path.c_str(), L"rb");
        if (file_ == nullptr) {
            Die("cannot open the reference picture %ls", path.c_str());
        }
        int maxValue = 0;
        if (std::fscanf(file_, "P6 %d %d %d", &width_, &height_, &maxValue) != 3 ||
            maxValue != 255) {
            Die("the reference %ls is not an 8-bit binary PPM", path.c_str());
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
        unsigned char rgb[3] = {};
        Read(x, y, rgb, 1);
        return RGB(rgb[0], rgb[1], rgb[2]);
    }
    // The mean colour of the source area xs x ys.
    Rgb Mean(bench::Span xs, bench::Span ys) {
        std::vector<unsigned char> row(static_cast<std::size_t>(xs.last - xs.first) * 3);
        double sum[3] = {};
        for (int y = ys.first; y < ys.last; ++y) {
            Read(xs.first, y, row.data(), xs.last - xs.first);
            for (std::size_t i = 0; i < row.size(); ++i) {
                sum[i % 3] += row[i];
            }
        }
        const double count = static_cast<double>(xs.last - xs.first) * (ys.last - ys.first);
        return {sum[0] / count, sum[1] / count, sum[2] / count};
    }

  private:
    void Read(int x, int y, unsigned char* out, int pixels) {
        const long long offset = data_ + (static_cast<long long>(y) * width_ + x) * 3;
        _fseeki64(file_, offset, SEEK_SET);
        if (std::fread(out, 3, static_cast<std::size_t>(pixels), file_) !=
            static_cast<std::size_t>(pixels)) {
            Die("the reference picture is cut short");
        }
    }

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

RECT ScreenRect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Reads small rectangles of the screen as it is shown. Only what a check needs is read: a whole
// screen costs about 18 ms under Wine, which would delay every look and take the measured
// program's processor time.
class Screen {
  public:
    static constexpr int kMaxSide = 64;

    Screen() {
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kMaxSide;
        info.bmiHeader.biHeight = -kMaxSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dib_ == nullptr) {
            Die("cannot make a bitmap to read the screen into");
        }
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = SelectObject(memory_, dib_);
    }
    ~Screen() {
        SelectObject(memory_, old_);
        DeleteObject(dib_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Row by row; width and height at most kMaxSide.
    std::vector<COLORREF> Read(int x, int y, int width, int height) {
        std::vector<COLORREF> out;
        if (width <= 0 || height <= 0) {
            return out;
        }
        width = std::min(width, kMaxSide);
        height = std::min(height, kMaxSide);
        BitBlt(memory_, 0, 0, width, height, screen_, x, y, SRCCOPY);
        GdiFlush();
        out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const std::uint32_t p = bits_[row * kMaxSide + column];
                out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
            }
        }
        return out;
    }
    COLORREF Pixel(int x, int y) { return Read(x, y, 1, 1).front(); }
    Rgb Mean(int x, int y, int width, int height) {
        const std::vector<COLORREF> pixels = Read(x, y, width, height);
        Rgb sum;
        for (COLORREF c : pixels) {
            sum.r += GetRValue(c);
            sum.g += GetGValue(c);
            sum.b += GetBValue(c);
        }
        const auto count = static_cast<double>(pixels.size());
        return {sum.r / count, sum.g / count, sum.b / count};
    }

  private:
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

Screen& TheScreen() {
    static Screen screen;
    return screen;
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

// Where a window shows its picture, in screen pixels.
struct Placement {
    RECT client{};
    RECT picture{};
    // What of the picture can be seen: inside the client area and on the screen.
    RECT Visible() const {
        RECT inClient{};
        RECT onScreen{};
        const RECT screen = ScreenRect();
        if (!IntersectRect(&inClient, &picture, &client) ||
            !IntersectRect(&onScreen, &inClient, &screen)) {
            return {};
        }
        return onScreen;
    }
};

bool Inside(const RECT& outer, int left, int top, int right, int bottom) {
    return left >= outer.left && top >= outer.top && right <= outer.right && bottom <= outer.bottom;
}

// How a measurement recognises its picture on the screen.
class PictureCheck {
  public:
    virtual ~PictureCheck() = default;
    // Where the picture belongs in this window, or nothing while the window lacks a part that
    // shows it.
    virtual std::optional<Placement> Locate(HWND window) = 0;
    // Whether the screen shows the picture there; otherwise Why() says what was seen.
    virtual bool Shown(const Placement& placement) = 0;
    const std::string& Why() const { return why_; }

  protected:
    void Because(const char* format, ...) {
        char text[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof(text), format, args);
        va_end(args);
        why_ = text;
    }

  private:
    std::string why_;
};

// The picture at natural size at the client's top-left: 16 points spread over the part of it
// that lies on the screen must match the reference.
class NaturalCheck : public PictureCheck {
  public:
    explicit NaturalCheck(Reference& reference) : reference_(reference) {}
    std::optional<Placement> Locate(HWND window) override {
        Placement placement;
        placement.client = ClientOnScreen(window);
        placement.picture = {placement.client.left, placement.client.top,
                             placement.client.left + reference_.Width(),
                             placement.client.top + reference_.Height()};
        return placement;
    }
    bool Shown(const Placement& placement) override {
        const RECT visible = placement.Visible();
        const int width = visible.right - visible.left;
        const int height = visible.bottom - visible.top;
        if (width < 8 || height < 8) {
            Because("the picture's place is off the screen");
            return false;
        }
        int matching = 0;
        for (double fy : kFractions) {
            for (double fx : kFractions) {
                const int x = visible.left + static_cast<int>(width * fx);
                const int y = visible.top + static_cast<int>(height * fy);
                const COLORREF expected =
                    reference_.At(x - placement.picture.left, y - placement.picture.top);
                if (Near(TheScreen().Pixel(x, y), expected)) {
                    ++matching;
                }
            }
        }
        Because("%d of %d points matched", matching, kPoints);
        return matching >= kNeeded;
    }

  private:
    Reference& reference_;
};

// A picture shown by the window's image control, which must have the expected size.
class ImageControlCheck : public PictureCheck {
  public:
    explicit ImageControlCheck(bench::Size expected) : expected_(expected) {}
    void Expect(bench::Size expected) { expected_ = expected; }
    std::optional<Placement> Locate(HWND window) override {
        HWND image = GetDlgItem(window, bench::kImageControlId);
        if (image == nullptr) {
            return std::nullopt;
        }
        Placement placement;
        placement.client = ClientOnScreen(window);
        GetWindowRect(image, &placement.picture);
        return placement;
    }

  protected:
    bool SizeAsExpected(const Placement& placement) {
        const int width = placement.picture.right - placement.picture.left;
        const int height = placement.picture.bottom - placement.picture.top;
        if (std::abs(width - expected_.width) > 1 || std::abs(height - expected_.height) > 1) {
            Because("the image control is %dx%d, not %dx%d", width, height, expected_.width,
                    expected_.height);
            return false;
        }
        return true;
    }

  private:
    bench::Size expected_;
};

// The picture stretched to the image control: at 16 points the mean of 3 x 3 screen pixels must
// match the mean of the reference's area behind them.
class StretchedCheck : public ImageControlCheck {
  public:
    static constexpr int kRadius = 1;

    StretchedCheck(Reference& reference, bench::Size expected)
        : ImageControlCheck(expected), reference_(reference) {
        // The expected colours are worked out before anything is timed, for the sizes the control
        // may round to.
        for (int dw = -1; dw <= 1; ++dw) {
            for (int dh = -1; dh <= 1; ++dh) {
                ExpectedColours(expected.width + dw, expected.height + dh);
            }
        }
    }
    bool Shown(const Placement& placement) override {
        if (!SizeAsExpected(placement)) {
            return false;
        }
        const int width = placement.picture.right - placement.picture.left;
        const int height = placement.picture.bottom - placement.picture.top;
        const RECT visible = placement.Visible();
        const auto& expected = ExpectedColours(width, height);
        int matching = 0;
        int worst = 0;
        int index = 0;
        for (double fy : kFractions) {
            for (double fx : kFractions) {
                const int x = placement.picture.left + static_cast<int>(width * fx) - kRadius;
                const int y = placement.picture.top + static_cast<int>(height * fy) - kRadius;
                constexpr int kSide = 2 * kRadius + 1;
                if (!Inside(visible, x, y, x + kSide, y + kSide)) {
                    Because("part of the stretched picture is hidden or off the screen");
                    return false;
                }
                const int difference =
                    Difference(TheScreen().Mean(x, y, kSide, kSide), expected[index++]);
                if (difference <= kMeanTolerance) {
                    ++matching;
                    worst = std::max(worst, difference);
                }
            }
        }
        worstMatching_ = worst;
        Because("%d of %d points matched", matching, kPoints);
        return matching >= kNeeded;
    }
    // The largest difference among the points that matched, at the last look.
    int WorstMatching() const { return worstMatching_; }

  private:
    const std::array<Rgb, kPoints>& ExpectedColours(int width, int height) {
        auto& found = expected_[{width, height}];
        if (!found) {
            found = std::make_unique<std::array<Rgb, kPoints>>();
            int index = 0;
            for (double fy : kFractions) {
                for (double fx : kFractions) {
                    const int x = static_cast<int>(width * fx) - kRadius;
                    const int y = static_cast<int>(height * fy) - kRadius;
                    constexpr int kSide = 2 * kRadius + 1;
                    (*found)[index++] = reference_.Mean(
                        bench::SourceSpan(x, x + kSide, width, reference_.Width()),
                        bench::SourceSpan(y, y + kSide, height, reference_.Height()));
                }
            }
        }
        return *found;
    }

    Reference& reference_;
    std::map<std::pair<int, int>, std::unique_ptr<std::array<Rgb, kPoints>>> expected_;
    int worstMatching_ = -1;
};

// The last column of a scan line that shows the marker frame, or nothing.
std::optional<int> LastMarker(const std::vector<COLORREF>& line) {
    for (int i = static_cast<int>(line.size()) - 1; i >= 0; --i) {
        if (bench::IsMarker(line[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    return std::nullopt;
}

// The framed picture stretched to exactly the image control's rectangle: along three rows its
// frame must end at the visible right edge, along three columns at the visible bottom.
class FramedCheck : public ImageControlCheck {
  public:
    using ImageControlCheck::ImageControlCheck;
    bool Shown(const Placement& placement) override {
        if (!SizeAsExpected(placement)) {
            return false;
        }
        const RECT visible = placement.Visible();
        if (IsRectEmpty(&visible)) {
            Because("the image control is off the screen");
            return false;
        }
        const RECT screen = ScreenRect();
        constexpr int kBefore = 40;
        constexpr int kAfter = 20;
        for (int k = 1; k <= 3; ++k) {
            const int y = visible.top + (visible.bottom - visible.top) * k / 4;
            const int from = std::max<int>(visible.left, visible.right - kBefore);
            const int to = std::min<int>(screen.right, visible.right + kAfter);
            const auto last = LastMarker(TheScreen().Read(from, y, to - from, 1));
            if (!last || std::abs(from + *last - (visible.right - 1)) > 1) {
                Because("the frame does not end at the right edge in row %d", y);
                return false;
            }
            const int x = visible.left + (visible.right - visible.left) * k / 4;
            const int top = std::max<int>(visible.top, visible.bottom - kBefore);
            const int bottom = std::min<int>(screen.bottom, visible.bottom + kAfter);
            const auto lastRow = LastMarker(TheScreen().Read(x, top, 1, bottom - top));
            if (!lastRow || std::abs(top + *lastRow - (visible.bottom - 1)) > 1) {
                Because("the frame does not end at the bottom edge in column %d", x);
                return false;
            }
        }
        return true;
    }
};

class Process {
  public:
    Process(const std::wstring& exe, const std::wstring& argument) {
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!argument.empty()) {
            commandLine += L" " + argument;  // verbatim, as the program expects it
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_)) {
            Die("CreateProcess failed for %ls (error %lu)", exe.c_str(), GetLastError());
        }
        g_started.push_back(info_.hProcess);
    }
    ~Process() { End(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    PROCESS_MEMORY_COUNTERS Memory() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(info_.hProcess, &counters, sizeof(counters));
        return counters;
    }
    void End() {
        if (info_.hProcess == nullptr) {
            return;
        }
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 10000);
        g_started.erase(std::remove(g_started.begin(), g_started.end(), info_.hProcess),
                        g_started.end());
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
        info_ = {};
    }

  private:
    PROCESS_INFORMATION info_{};
};

// Looks for a process's window and its picture, one look at a time, and remembers how far it got
// so that a deadline can say what was missing.
class Watch {
  public:
    Watch(const Process& process, std::wstring className, PictureCheck& check, double t0)
        : process_(process), className_(std::move(className)), check_(check), t0_(t0) {}

    // True once the picture is painted; the window and its placement are then known.
    bool Look() {
        if (!process_.Running()) {
            Die("the program ended (exit code %lu) before its window showed the picture",
                process_.ExitCode());
        }
        window_ = FindWindowOf(process_.Id(), className_);
        if (window_ == nullptr) {
            return false;
        }
        stage_ = std::max(stage_, Stage::kWindow);
        if (!IsWindowVisible(window_)) {
            return false;
        }
        stage_ = std::max(stage_, Stage::kVisible);
        if (visibleMs_ < 0) {
            visibleMs_ = bench::NowMs() - t0_;
        }
        const auto placement = check_.Locate(window_);
        if (!placement) {
            return false;
        }
        stage_ = std::max(stage_, Stage::kLocated);
        placement_ = *placement;
        return check_.Shown(placement_);
    }
    // Looks until painted; returns the time since t0.
    double Wait(double timeoutMs, const char* what) {
        while (bench::NowMs() - t0_ < timeoutMs) {
            if (Look()) {
                return bench::NowMs() - t0_;
            }
            Sleep(1);
        }
        Fail(timeoutMs, what);
    }
    [[noreturn]] void Fail(double timeoutMs, const char* what) const {
        const double seconds = timeoutMs / 1000.0;
        switch (stage_) {
            case Stage::kNone:
                Die("no window of class %ls appeared within %.0f s", className_.c_str(), seconds);
            case Stage::kWindow:
                Die("the window of class %ls appeared but was not visible within %.0f s",
                    className_.c_str(), seconds);
            case Stage::kVisible:
                Die("the window was visible but had no image control (id %d) within %.0f s",
                    bench::kImageControlId, seconds);
            case Stage::kLocated:
                break;
        }
        Die("%s did not show within %.0f s: %s", what, seconds, check_.Why().c_str());
    }
    HWND Window() const { return window_; }
    const Placement& Where() const { return placement_; }
    double VisibleMs() const { return visibleMs_; }

  private:
    enum class Stage { kNone, kWindow, kVisible, kLocated };

    const Process& process_;
    std::wstring className_;
    PictureCheck& check_;
    double t0_;
    Stage stage_ = Stage::kNone;
    HWND window_ = nullptr;
    Placement placement_;
    double visibleMs_ = -1;
};

// Waits until the program has settled after painting (see bench::Settling); returns how long that
// took, or -1 when it was still busy at the deadline (its figures are then those of the deadline).
double WaitSettled(const Process& process, HWND window) {
    bench::Settling settling(kQuietMs);
    const double t0 = bench::NowMs();
    while (bench::NowMs() - t0 < kAfterTimeoutMs) {
        if (!process.Running()) {
            Die("the program ended (exit code %lu) while showing its picture", process.ExitCode());
        }
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                  static_cast<UINT>(kQuietMs), &result) != 0;
        const PROCESS_MEMORY_COUNTERS memory = process.Memory();
        if (settling.Look(bench::NowMs() - t0, memory.WorkingSetSize, memory.PeakWorkingSetSize,
                          answered)) {
            return bench::NowMs() - t0;
        }
        Sleep(10);
    }
    return -1;
}

// After a window has ended, waits until the desktop no longer shows its picture there, so that
// the next window cannot be taken for painted while the old pixels are still on the screen.
void WaitGone(PictureCheck& check, const Placement& placement) {
    const double t0 = bench::NowMs();
    while (bench::NowMs() - t0 < kAfterTimeoutMs) {
        if (!check.Shown(placement)) {
            return;
        }
        Sleep(5);
    }
    Die("the screen still showed the picture %.0f s after its window ended",
        kAfterTimeoutMs / 1000.0);
}

void WriteRecordValue(const std::wstring& key, const wchar_t* name, int twips) {
    const std::wstring text = std::to_wstring(twips);
    const LSTATUS status =
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        Die("cannot store %ls (error %ld)", name, static_cast<long>(status));
    }
}

constexpr const wchar_t* kRecordNames[6] = {L"MainLeft",   L"MainTop",   L"MainWith",
                                            L"MainHeight", L"ImageWith", L"ImageHeight"};

// The settings of one picture path: the path is the section, each backslash a key level.
std::wstring RecordKey(const std::wstring& picturePath) {
    std::wstring key = L"Software\\VB and VBA Program Settings\\Zelta";
    std::wstring component;
    for (const wchar_t c : picturePath + L"\\") {
        if (c != L'\\') {
            component.push_back(c);
        } else if (!component.empty()) {
            key += L"\\" + component;
            component.clear();
        }
    }
    return key;
}

void StoreRecord(const std::wstring& picturePath, const bench::Record& record) {
    const std::wstring key = RecordKey(picturePath);
    const int values[6] = {record.mainLeft,   record.mainTop,   record.mainWith,
                           record.mainHeight, record.imageWith, record.imageHeight};
    for (int i = 0; i < 6; ++i) {
        WriteRecordValue(key, kRecordNames[i], values[i]);
    }
}

void RemoveRecord(const std::wstring& picturePath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RecordKey(picturePath).c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;  // nothing stored
    }
    for (const wchar_t* name : kRecordNames) {
        RegDeleteValueW(key, name);
    }
    RegCloseKey(key);
}

// A stored window must fit on the desktop, or the program would move it and the measurement
// would not be the one asked for.
void RequireRoom(int left, int top, bench::Size size) {
    const RECT screen = ScreenRect();
    if (left + size.width > screen.right || top + size.height > screen.bottom) {
        Die("the desktop is %ldx%ld, too small for a %dx%d window at %d,%d", screen.right,
            screen.bottom, size.width, size.height, left, top);
    }
}

// Wine sizes its desktop when it starts it; a measurement on a smaller one would not be the one
// asked for.
int RunDesktop(const Options& options) {
    const auto need = options.SizeOf(L"need");
    if (!need) {
        Die("--need wants the size as WIDTHxHEIGHT");
    }
    const RECT screen = ScreenRect();
    std::printf("desktop %ldx%ld\n", screen.right, screen.bottom);
    if (screen.right < need->width || screen.bottom < need->height) {
        Die("the desktop is %ldx%ld, not the %dx%d asked for", screen.right, screen.bottom,
            need->width, need->height);
    }
    return 0;
}

int RunStart(const Options& options) {
    Reference reference(options.Get(L"ref"));
    const int runs = options.Int(L"runs", 11);
    const int warmup = options.Int(L"warmup", 1);
    const std::wstring argument = options.Get(L"arg");
    const int left = options.Int(L"left", 40);
    const int top = options.Int(L"top", 40);
    const auto recordSize = options.SizeOf(L"record");
    if (options.Has(L"record") && !recordSize) {
        Die("--record wants the window size as WIDTHxHEIGHT");
    }
    std::unique_ptr<PictureCheck> check;
    StretchedCheck* stretched = nullptr;
    if (recordSize) {
        RequireRoom(left, top, *recordSize);
        auto owned = std::make_unique<StretchedCheck>(
            reference, bench::Size{bench::ImageWidthFor(recordSize->width),
                                   bench::ImageHeightFor(recordSize->height)});
        stretched = owned.get();
        check = std::move(owned);
    } else {
        check = std::make_unique<NaturalCheck>(reference);
    }
    for (int i = 0; i < warmup + runs; ++i) {
        if (recordSize) {
            StoreRecord(argument,
                        bench::RecordFor(left, top, recordSize->width, recordSize->height));
        } else if (options.Has(L"no-record")) {
            RemoveRecord(argument);
        }
        const double t0 = bench::NowMs();
        Process process(options.Get(L"exe"), argument);
        Watch watch(process, options.Get(L"class"), *check, t0);
        const double paintedMs = watch.Wait(kStartTimeoutMs, "the picture");
        const Placement placement = watch.Where();
        const int worst = stretched != nullptr ? stretched->WorstMatching() : -1;
        const double settledMs = WaitSettled(process, watch.Window());
        const SIZE_T peak = process.Memory().PeakWorkingSetSize;
        process.End();
        WaitGone(*check, placement);
        std::printf("%s %d painted_ms=%.1f visible_ms=%.1f peak_ws=%lu settled_ms=%.0f",
                    i < warmup ? "warmup" : "run", i, paintedMs, watch.VisibleMs(),
                    static_cast<unsigned long>(peak), settledMs);
        if (worst >= 0) {
            std::printf(" worst_difference=%d", worst);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    if (recordSize) {
        RemoveRecord(argument);
    }
    return 0;
}

int RunReplace(const Options& options) {
    Reference firstReference(options.Get(L"first-ref"));
    Reference reference(options.Get(L"ref"));
    NaturalCheck firstCheck(firstReference);
    NaturalCheck check(reference);
    const int runs = options.Int(L"runs", 11);
    const int warmup = options.Int(L"warmup", 1);
    const std::wstring className = options.Get(L"class");
    for (int i = 0; i < warmup + runs; ++i) {
        if (options.Has(L"no-record")) {
            RemoveRecord(options.Get(L"first-arg"));
            RemoveRecord(options.Get(L"arg"));
        }
        Process first(options.Get(L"exe"), options.Get(L"first-arg"));
        Watch firstWatch(first, className, firstCheck, bench::NowMs());
        firstWatch.Wait(kStartTimeoutMs, "the first instance's picture");
        WaitSettled(first, firstWatch.Window());

        const double t0 = bench::NowMs();
        Process second(options.Get(L"exe"), options.Get(L"arg"));
        Watch watch(second, className, check, t0);
        double firstEndedMs = -1;
        double paintedMs = -1;
        while (bench::NowMs() - t0 < kStartTimeoutMs) {
            if (firstEndedMs < 0 && !first.Running()) {
                firstEndedMs = bench::NowMs() - t0;
            }
            if (paintedMs < 0 && watch.Look()) {
                paintedMs = bench::NowMs() - t0;
            }
            if (firstEndedMs >= 0 && paintedMs >= 0) {
                break;
            }
            Sleep(1);
        }
        if (firstEndedMs < 0) {
            Die("the first instance was still running %.0f s after the second started",
                kStartTimeoutMs / 1000.0);
        }
        if (paintedMs < 0) {
            watch.Fail(kStartTimeoutMs, "the second instance's picture");
        }
        second.End();
        WaitGone(check, watch.Where());
        std::printf("%s %d replaced_ms=%.1f first_ended_ms=%.1f painted_ms=%.1f\n",
                    i < warmup ? "warmup" : "run", i, std::max(firstEndedMs, paintedMs),
                    firstEndedMs, paintedMs);
        std::fflush(stdout);
    }
    return 0;
}

int RunResize(const Options& options) {
    const int left = options.Int(L"left", 40);
    const int top = options.Int(L"top", 40);
    constexpr bench::Size kSmall{800, 600};
    constexpr bench::Size kLarge{1600, 1000};
    const int steps = options.Int(L"steps", 100);
    if (steps < 2 || steps % 2 != 0) {
        Die("--steps wants an even number of at least 2");
    }
    RequireRoom(left, top, kLarge);
    const std::wstring argument = options.Get(L"arg");
    const bool record = options.Has(L"record");
    if (record) {
        StoreRecord(argument, bench::RecordFor(left, top, kSmall.width, kSmall.height));
    }
    FramedCheck check(
        bench::Size{bench::ImageWidthFor(kSmall.width), bench::ImageHeightFor(kSmall.height)});
    const double t0 = bench::NowMs();
    Process process(options.Get(L"exe"), argument);
    Watch watch(process, options.Get(L"class"), check, t0);
    const double paintedMs =
        watch.Wait(kStartTimeoutMs, "the framed picture stretched to the stored size");
    const HWND window = watch.Window();
    std::printf("start painted_ms=%.1f\n", paintedMs);
    std::fflush(stdout);
    // The steps measure resizing alone, not what the start left to finish.
    WaitSettled(process, window);
    // What the system's sizing loop sends around an interactive drag.
    const bool drag = options.Has(L"drag");
    if (drag) {
        SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    }
    Placement last = watch.Where();
    const double all = bench::NowMs();
    for (int k = 1; k <= steps; ++k) {
        const bench::Size size = bench::StepSize(k, steps, kSmall, kLarge);
        check.Expect({bench::ImageWidthFor(size.width), bench::ImageHeightFor(size.height)});
        const double s0 = bench::NowMs();
        SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Watch stepWatch(process, options.Get(L"class"), check, s0);
        char what[64];
        std::snprintf(what, sizeof(what), "resize step %d to %dx%d", k, size.width, size.height);
        stepWatch.Wait(kStepTimeoutMs, what);
        last = stepWatch.Where();
        std::printf("step %d %dx%d step_ms=%.2f\n", k, size.width, size.height,
                    bench::NowMs() - s0);
        std::fflush(stdout);
    }
    const double total = bench::NowMs() - all;
    if (drag) {
        SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    }
    std::printf("steps %d total_ms=%.1f steps_per_s=%.1f\n", steps, total, steps * 1000.0 / total);
    std::printf("memory peak_ws=%lu\n",
                static_cast<unsigned long>(process.Memory().PeakWorkingSetSize));
    std::fflush(stdout);
    process.End();
    if (record) {
        RemoveRecord(argument);
    }
    WaitGone(check, last);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        Die("usage: zbench start|replace|resize|desktop --option value ...");
    }
    Options options;
    for (int i = 2; i < argc; ++i) {
        std::wstring key = argv[i];
        if (key.rfind(L"--", 0) != 0) {
            Die("options are --name value or --flag");
        }
        key = key.substr(2);
        // A flag is an option without a value; no value starts with "--".
        const bool flag = i + 1 >= argc || std::wstring(argv[i + 1]).rfind(L"--", 0) == 0;
        options.values[key] = flag ? L"" : argv[++i];
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
    if (mode == L"desktop") {
        return RunDesktop(options);
    }
    Die("unknown mode");
}
