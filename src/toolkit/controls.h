#pragma once
// Child controls of a form. Positions and sizes are twips relative to the form's client area.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "toolkit/picture.h"
#include "toolkit/scaled_cache.h"
#include "toolkit/unique_handle.h"
#include "toolkit/window_host.h"

namespace zelta {

class Form;

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
    Control(Form& form, TwipsRect rect, int id);
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
    Form& form_;
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

class Label : public Control {
  public:
    Label(Form& form, TwipsRect rect, std::wstring caption, int id = 0);
    void Create() override;
    void SetCaption(const std::wstring& caption);
    LRESULT OnColor(HDC dc) override;

  private:
    std::wstring caption_;
};

class CommandButton : public Control {
  public:
    CommandButton(Form& form, TwipsRect rect, std::wstring caption, int id = 0);
    void Create() override;
    // A graphical button shows a picture (an icon resource) and its back colour.
    void SetGraphical(int iconId);
    void SetBackColor(COLORREF color);
    std::function<void()> Click;
    void OnCommand(WORD code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    std::wstring caption_;
    int iconId_ = 0;
    COLORREF backColor_;
    unique_hicon icon_;
    int iconSize_ = 0;
};

class TextBox : public Control {
  public:
    TextBox(Form& form, TwipsRect rect, int id = 0);
    void Create() override;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
};

class Timer : public Control {
  public:
    Timer(Form& form, unsigned intervalMs, bool enabled, int id = 0);
    void Create() override;
    void Place() override {}
    // Enabling a running timer starts its period anew.
    void SetEnabled(bool enabled);
    std::function<void()> Tick;
    void OnTimer() override;

  private:
    unsigned interval_;
    bool enabled_;
};

// Shows a picture, at its natural size or stretched to the control. A stretched picture is scaled
// once per size and cached; a paint only copies the cache. While fast scaling is on (an
// interactive drag), the cache is made with a quick filter and redone with the smooth one when it
// ends. Pixels that are still being decoded are painted when they arrive.
class Image : public Control, private WindowHost {
  public:
    Image(Form& form, TwipsRect rect, int id = 0);
    ~Image() override;
    void Create() override;
    void Place() override;
    // Without stretching the control takes the picture's natural size.
    void SetPicture(std::shared_ptr<PictureSource> picture);
    void SetStretch(bool stretch);
    void SetFastScaling(bool fast);
    std::function<void()> Click;
    std::function<void()> MouseMove;

  private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* OutOfMemoryText() const override;
    void Paint(HDC dc);
    void FitToPicture();
    std::shared_ptr<PictureSource> picture_;
    bool stretch_ = false;
    bool fast_ = false;
    ScaledCache cache_;
    bool pressed_ = false;
};

}  // namespace zelta
