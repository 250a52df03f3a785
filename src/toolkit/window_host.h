#pragma once
// The one window procedure of our window classes. The object that owns a window hands itself over
// in CreateWindowEx's last parameter; it arrives with WM_NCCREATE and is kept in GWLP_USERDATA.
// Exceptions never cross into the system: they are reported to the user and end the program.
#include <windows.h>

namespace zelta {

class WindowHost {
  public:
    WindowHost() = default;
    virtual ~WindowHost() = default;
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

  protected:
    // The lpfnWndProc of every class whose windows are created with `this` as their parameter.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A window that outlives its owner (the owner is destroyed first) sends nothing more to it.
    static void Detach(HWND hwnd);

    virtual LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // After WM_NCDESTROY: the window is gone.
    virtual void OnDestroyed() {}
};

}  // namespace zelta
