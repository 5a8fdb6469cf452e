// One small owner per Win32 resource kind, for both libraries and the
// application; none is copyable.
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

// A kernel handle: null and INVALID_HANDLE_VALUE both name none, since
// CreateFile reports failure with the second and most other calls with the first.
class THandle {
public:
    THandle() = default;
    explicit THandle(HANDLE Handle) { Reset(Handle); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    THandle(THandle&& Other) noexcept : FHandle(std::exchange(Other.FHandle, nullptr)) {}
    THandle& operator=(THandle&& Other) noexcept {
        Reset(std::exchange(Other.FHandle, nullptr));
        return *this;
    }
    ~THandle() { Reset(); }

    HANDLE Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    // Gives up ownership without closing.
    HANDLE Release() { return std::exchange(FHandle, nullptr); }
    void Reset(HANDLE Handle = nullptr) {
        if (FHandle)
            CloseHandle(FHandle);
        FHandle = Handle == INVALID_HANDLE_VALUE ? nullptr : Handle;
    }

private:
    HANDLE FHandle = nullptr;
};

// An unnamed event; empty when it could not be created.
class TEvent : public THandle {
public:
    TEvent(bool ManualReset, bool Signalled)
        : THandle(CreateEventW(nullptr, ManualReset, Signalled, nullptr)) {}
    void Set() const { SetEvent(Get()); }
    void ResetSignal() const { ResetEvent(Get()); }
};

class TCriticalSection {
public:
    TCriticalSection() { InitializeCriticalSection(&FSection); }
    ~TCriticalSection() { DeleteCriticalSection(&FSection); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&FSection); }
    void Leave() { LeaveCriticalSection(&FSection); }

private:
    CRITICAL_SECTION FSection;
};

// Holds a critical section until the end of the scope.
class TLock {
public:
    explicit TLock(TCriticalSection& Section) : FSection(Section) { FSection.Enter(); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    ~TLock() { FSection.Leave(); }

private:
    TCriticalSection& FSection;
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

// BeginPaint and EndPaint of one WM_PAINT.
class TPaintDC {
public:
    explicit TPaintDC(HWND Wnd) : FWnd(Wnd), FDC(BeginPaint(Wnd, &FPaint)) {}
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { EndPaint(FWnd, &FPaint); }
    HDC Get() const { return FDC; }
    const PAINTSTRUCT& Paint() const { return FPaint; }

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{};
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

// A device context's state (objects, mapping, origin, colours), saved now and
// restored at the end of the scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    ~TSavedDC() { RestoreDC(FDC, FSaved); }

private:
    HDC FDC;
    int FSaved;
};
