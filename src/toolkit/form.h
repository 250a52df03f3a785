#pragma once
// Base of every window: owns the HWND, routes messages to handlers, converts twips and pixels.
//
// Twips and pixels: one pixel is 1440 / DPI twips (15 at 96 dpi, 10 at 144 dpi). A length in
// twips becomes the nearest whole number of pixels (halves away from zero); a pixel length read
// back is reported as pixels * twips-per-pixel, so values stored from the window are exact
// multiples of the pixel size.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/window_host.h"

namespace zelta {

enum class StartPosition { WindowsDefault, Manual };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct FormDesign {
    const wchar_t* className = L"ZeltaForm";  // each form registers its own window class
    std::wstring caption;
    double clientWidth = 0;  // twips
    double clientHeight = 0;
    StartPosition start = StartPosition::WindowsDefault;
    double clientLeft = 0;  // twips on the screen, for StartPosition::Manual
    double clientTop = 0;
    int iconId = 0;  // resource id of the window icon, 0 for none
};

class Form : public WindowHost, public ControlHost {
  public:
    explicit Form(FormDesign design);
    ~Form() override;

    // Loads the window if needed (creating it and running Form_Load), then makes it visible.
    void Show();
    // Creates the window and runs Form_Load without showing it; does nothing when loaded.
    void Load();
    void Hide();
    // Runs Form_Unload and destroys the window. The process ends when no form is loaded.
    void Unload();

    void SetWindowState(WindowState state);
    void SetFocus();
    void SetCaption(const std::wstring& caption);

    // Outer window rectangle in twips.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;

    double TwipsPerPixel() const override;
    // A place on the desktop is counted in twips of the system DPI, the same on every monitor,
    // so that a stored place means the same pixels whichever monitor the window was on.
    static double ScreenTwipsPerPixel();
    static int ScreenToPixels(double twips);
    int ToPixels(double twips) const override;
    double ToTwips(int pixels) const { return pixels * TwipsPerPixel(); }
    UINT Dpi() const override;

    HWND Hwnd() const override { return hwnd_; }

    int Register(Control* control) override;

  protected:
    // Called once the HWND exists, before Form_Load: create the controls here.
    virtual void CreateControls() {}
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}
    // Everything not handled here goes to DefWindowProc.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) final;
    void OnDestroyed() final;
    void RegisterClassOnce();
    void Create();
    void LayoutControls();
    Control* FindControl(int id) const;

    FormDesign design_;
    HWND hwnd_ = nullptr;
    bool loading_ = false;
    bool pendingMinimize_ = false;
    std::vector<Control*> controls_;
    UINT dpi_ = 96;
};

}  // namespace zelta
