#pragma once
// Owners of Win32 handles, GDI objects and COM pointers: move-only, freed exactly once, with put()
// for the functions that return a handle through an out-parameter.
#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace zelta {

template <typename T, typename Deleter>
class unique_handle {
  public:
    unique_handle() = default;
    explicit unique_handle(T value) : value_(value) {}
    ~unique_handle() { reset(); }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != T{}; }
    T release() { return std::exchange(value_, T{}); }
    void reset(T value = T{}) {
        if (T old = std::exchange(value_, value); old != T{}) {
            Deleter{}(old);
        }
    }
    // Frees what is held and hands out the slot for a function that fills it.
    T* put() {
        reset();
        return &value_;
    }

  private:
    T value_{};
};

namespace deleters {
struct CloseHandle {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct RegCloseKey {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
struct DeleteObject {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct DestroyIcon {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DeleteDC {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
}  // namespace deleters

// Kernel objects: processes, threads, events, files (CreateFile's INVALID_HANDLE_VALUE is turned
// into null by FileHandle below, so "no handle" is always null).
using unique_kernel_handle = unique_handle<HANDLE, deleters::CloseHandle>;
using unique_hkey = unique_handle<HKEY, deleters::RegCloseKey>;
using unique_hbitmap = unique_handle<HBITMAP, deleters::DeleteObject>;
using unique_hbrush = unique_handle<HBRUSH, deleters::DeleteObject>;
using unique_hfont = unique_handle<HFONT, deleters::DeleteObject>;
using unique_hicon = unique_handle<HICON, deleters::DestroyIcon>;
using unique_memory_dc = unique_handle<HDC, deleters::DeleteDC>;

inline unique_kernel_handle FileHandle(HANDLE fromCreateFile) {
    return unique_kernel_handle(fromCreateFile == INVALID_HANDLE_VALUE ? nullptr : fromCreateFile);
}

// A DC of a window (or of the screen for a null window), released to the window it came from.
class unique_window_dc {
  public:
    explicit unique_window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~unique_window_dc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class unique_select_object {
  public:
    unique_select_object(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~unique_select_object() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }
    unique_select_object(const unique_select_object&) = delete;
    unique_select_object& operator=(const unique_select_object&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer, released once.
template <typename T>
class com_ptr {
  public:
    com_ptr() = default;
    ~com_ptr() { reset(); }
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    com_ptr& operator=(com_ptr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (T* old = std::exchange(p_, nullptr); old != nullptr) {
            old->Release();
        }
    }
    T** put() {
        reset();
        return &p_;
    }

  private:
    T* p_ = nullptr;
};

}  // namespace zelta
