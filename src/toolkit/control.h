#pragma once
// The base of a form's child controls, and what a control needs from the form it lies on.
// Positions and sizes are twips relative to the form's client area.
#include <windows.h>

#include <string>

#include "base/unique_handle.h"
#include "toolkit/window_host.h"

namespace zelta {

class Control;

// The form side of a control: the window it lies in, its scale, and the list of its controls.
class ControlHost {
  public:
    virtual HWND Hwnd() const = 0;
    virtual int ToPixels(double twips) const = 0;
    virtual double TwipsPerPixel() const = 0;
    virtual UINT Dpi() const = 0;
    // Registers a child and hands out its id.
    virtual int Register(Control* control) = 0;

  protected:
    ~ControlHost() = default;
};

struct FontSpec {
    std::wstring name = L"MS Sans Serif";
    double points = 8;
    int weight = FW_NORMAL;
};

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

class Control {
  public:
    // id: the stable control id that tests look for (0: the form hands one out).
    Control(ControlHost& form, TwipsRect rect, int id);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return id_; }
    HWND Hwnd() const { return hwnd_; }
    void SetVisible(bool visible);
    double Left() const { return rect_.left; }
    double Top() const { return rect_.top; }
    double Width() const { return rect_.width; }
    double Height() const { return rect_.height; }
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetSize(double width, double height);
    void SetTooltip(const std::wstring& text);
    void SetFont(const FontSpec& font);

    // Called by the form: create the child window, place it after a DPI change, route messages.
    virtual void Create() = 0;
    virtual void Place();
    // After a DPI change: position, size and font anew.
    void OnDpiChanged();
    virtual void OnCommand(WORD /*code*/) {}
    virtual LRESULT OnColor(HDC /*dc*/) { return 0; }
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual void OnTimer() {}

  protected:
    // host: the object that a window class of ours (WindowHost::WindowProc) talks to.
    HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style,
                     DWORD exStyle = 0, WindowHost* host = nullptr);
    ControlHost& form_;
    TwipsRect rect_;
    int id_;
    HWND hwnd_ = nullptr;
    bool visible_ = true;
    FontSpec font_;
    unique_hfont hfont_;
    std::wstring tooltip_;
    HWND tooltipHwnd_ = nullptr;
    bool tooltipAdded_ = false;
    void ApplyFont();
    void ApplyTooltip();
};

}  // namespace zelta
