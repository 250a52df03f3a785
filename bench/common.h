#pragma once
// Shared by the bench programs: a millisecond clock, the geometry rule of the picture window, the
// marker colour that frames the resize picture, and a picture loader for the reference programs.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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

// The picture window keeps 80 x 500 twips between its outer size and the picture (15 twips a pixel
// at 96 dpi); the reference programs follow the same rule so that every window is the same size.
inline int ImageWidthFor(int outerWidth) {
    return static_cast<int>((outerWidth * 15.0 - 80.0) / 15.0 + 0.5);
}
inline int ImageHeightFor(int outerHeight) {
    return static_cast<int>((outerHeight * 15.0 - 500.0) / 15.0 + 0.5);
}

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
