#pragma once
// The child controls of a form: label, command button, text box and timer.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "toolkit/control.h"
#include "base/unique_handle.h"

namespace zelta {

class Label : public Control {
  public:
    Label(ControlHost& form, TwipsRect rect, std::wstring caption, int id = 0);
    void Create() override;
    void SetCaption(const std::wstring& caption);
    LRESULT OnColor(HDC dc) override;

  private:
    std::wstring caption_;
};

class CommandButton : public Control {
  public:
    CommandButton(ControlHost& form, TwipsRect rect, std::wstring caption, int id = 0);
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
    TextBox(ControlHost& form, TwipsRect rect, int id = 0);
    void Create() override;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
};

class Timer : public Control {
  public:
    Timer(ControlHost& form, unsigned intervalMs, bool enabled, int id = 0);
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

}  // namespace zelta
