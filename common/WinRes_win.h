// One small owner per Win32 resource kind; none is copyable.
#pragma once

#include <windows.h>

#include <utility>

// Owns a handle H released by Free; null means none.
template <class H, auto Free>
class TScoped {
public:
    TScoped() = default;
    explicit TScoped(H Handle) : FHandle(Handle) {}
    TScoped(const TScoped&) = delete;
    TScoped& operator=(const TScoped&) = delete;
    TScoped(TScoped&& Other) noexcept : FHandle(std::exchange(Other.FHandle, nullptr)) {}
    TScoped& operator=(TScoped&& Other) noexcept {
        Reset(std::exchange(Other.FHandle, nullptr));
        return *this;
    }
    ~TScoped() { Reset(); }

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    void Reset(H Handle = nullptr) {
        if (FHandle)
            Free(FHandle);
        FHandle = Handle;
    }

private:
    H FHandle = nullptr;
};

using TRegKeyHandle = TScoped<HKEY, RegCloseKey>;
using TFontHandle = TScoped<HFONT, DeleteObject>;
using TAccelTable = TScoped<HACCEL, DestroyAcceleratorTable>;

// A window's device context.
class TWindowDC {
public:
    explicit TWindowDC(HWND Wnd) : FWnd(Wnd), FDC(GetDC(Wnd)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC() {
        if (FDC)
            ReleaseDC(FWnd, FDC);
    }
    HDC Get() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

// A GDI object selected into a device context until the end of the scope.
class TSelectObject {
public:
    TSelectObject(HDC DC, HGDIOBJ Object) : FDC(DC), FOld(SelectObject(DC, Object)) {}
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    ~TSelectObject() {
        if (FOld)
            SelectObject(FDC, FOld);
    }

private:
    HDC FDC;
    HGDIOBJ FOld;
};
