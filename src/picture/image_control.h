#pragma once
// The image control: a picture in a form, painted from the picture pipeline.
#include <windows.h>

#include <functional>
#include <memory>

#include "picture/picture.h"
#include "picture/scaled_cache.h"
#include "toolkit/control.h"
#include "toolkit/window_host.h"

namespace zelta {

// Shows a picture, at its natural size or stretched to the control. A stretched picture is scaled
// once per size and cached; a paint only copies the cache. While fast scaling is on (an
// interactive drag), the platform stretches the picture at every step instead, and the smooth
// picture is made once the drag ends. Pixels that are still being decoded are painted when
// they arrive.
class Image : public Control, private WindowHost {
  public:
    Image(ControlHost& form, TwipsRect rect, int id = 0);
    ~Image() override;
    void Create() override;
    void Place() override;
    // Without stretching the control takes the picture's natural size. scaled: the picture
    // already stretched to the size the control will have (from pixels, the picture's pixels for
    // that size), so that the first paint only copies it.
    void SetPicture(std::shared_ptr<PictureSource> picture);
    void SetPicture(std::shared_ptr<PictureSource> picture, std::shared_ptr<const Picture> pixels,
                    std::unique_ptr<Picture> scaled);
    void SetStretch(bool stretch);
    void SetFastScaling(bool fast);
    std::function<void()> Click;
    std::function<void()> MouseMove;

  private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc);
    void FitToPicture();
    std::shared_ptr<PictureSource> picture_;
    bool stretch_ = false;
    bool fast_ = false;
    ScaledCache cache_;
    bool pressed_ = false;
};

}  // namespace zelta
