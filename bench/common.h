#pragma once
// Shared by the bench programs: a millisecond clock, the image control's id, the marker colour
// that frames the resize picture, and a picture loader for the reference programs.
#include <windows.h>

#include <cstdint>
#include <string>

#include "rules.h"
#include "picture_window/picture_ids.h"

namespace bench {

inline double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

// The one id the bench takes from the program: the picture window's image control, which the
// reference programs use too.
inline constexpr int kImageControlId = zelta::picture_ids::kImage1;

// The resize picture is framed in pure magenta; a column or row belongs to the frame when it is
// close to it.
inline bool IsMarker(COLORREF c) {
    return GetRValue(c) > 170 && GetGValue(c) < 100 && GetBValue(c) > 170;
}

// A 32-bit top-down DIB section with its bits.
struct Dib {
    HBITMAP bitmap = nullptr;
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
};

// Decodes a picture with WIC into a DIB section (COM must be initialised); false on failure.
bool LoadDib(const std::wstring& path, Dib& out);

}  // namespace bench
