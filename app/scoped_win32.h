// Holders for what a Windows call hands out and the caller must give back:
// the destructor gives it back, so no early return can forget it.
#pragma once
#include <windows.h>

#include <objbase.h>

// One reference to a COM interface.
template <typename Interface>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    explicit ScopedComPtr(Interface* adopted) : held(adopted) {}
    ScopedComPtr(ScopedComPtr&& other) noexcept : held(other.held) { other.held = nullptr; }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(ScopedComPtr&&) = delete;
    ~ScopedComPtr() { reset(); }

    Interface* get() const { return held; }
    Interface* operator->() const { return held; }
    explicit operator bool() const { return held != nullptr; }

    // The out parameter of a call that hands over a new reference.
    Interface** out() {
        reset();
        return &held;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

    void reset() {
        if (held) held->Release();
        held = nullptr;
    }

private:
    Interface* held = nullptr;
};

// The component library, initialised for this thread while the holder lives.
class ScopedComLibrary {
public:
    ScopedComLibrary() : initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ScopedComLibrary(const ScopedComLibrary&) = delete;
    ScopedComLibrary& operator=(const ScopedComLibrary&) = delete;
    // Also after S_FALSE (already initialised): every success is balanced.
    ~ScopedComLibrary() {
        if (initialised) CoUninitialize();
    }

    const bool initialised;
};

// Memory the shell hands out from the COM task allocator (an item
// identifier list, for one).
template <typename Pointee>
class ScopedTaskMemory {
public:
    ScopedTaskMemory() = default;
    ScopedTaskMemory(const ScopedTaskMemory&) = delete;
    ScopedTaskMemory& operator=(const ScopedTaskMemory&) = delete;
    ~ScopedTaskMemory() { CoTaskMemFree(held); }

    Pointee* get() const { return held; }
    Pointee** out() {
        CoTaskMemFree(held);
        held = nullptr;
        return &held;
    }

private:
    Pointee* held = nullptr;
};

// A window's device context from GetDC (the screen's for no window).
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window(window), dc(GetDC(window)) {}
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    ~ScopedGetDC() {
        if (dc) ReleaseDC(window, dc);
    }

    operator HDC() const { return dc; }

private:
    const HWND window;
    const HDC dc;
};

// A GDI object selected into a device context; the one it replaced goes back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc(dc), replaced(SelectObject(dc, object)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject() {
        if (replaced && replaced != HGDI_ERROR) SelectObject(dc, replaced);
    }

private:
    const HDC dc;
    const HGDIOBJ replaced;
};

// A registry key opened or created.
class ScopedRegistryKey {
public:
    ScopedRegistryKey() = default;
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
    ~ScopedRegistryKey() {
        if (key) RegCloseKey(key);
    }

    HKEY get() const { return key; }
    HKEY* out() { return &key; }

private:
    HKEY key = nullptr;
};
