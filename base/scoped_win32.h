// Holders for what a Windows call hands out and the caller must give back:
// the destructor gives it back, so no early return can forget it.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <avrt.h>
#include <objbase.h>
#include <propidl.h>

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

// The component library, initialised for this thread while the holder lives:
// apartment-threaded for the program's thread, multithreaded for a worker.
class ScopedComLibrary {
public:
    explicit ScopedComLibrary(DWORD model = COINIT_APARTMENTTHREADED)
        : initialised(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
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
    explicit ScopedGetDC(HWND window) : ScopedGetDC(window, GetDC(window)) {}
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    ~ScopedGetDC() {
        if (dc) ReleaseDC(window, dc);
    }

    operator HDC() const { return dc; }

protected:
    ScopedGetDC(HWND window, HDC dc) : window(window), dc(dc) {}

private:
    const HWND window;
    const HDC dc;
};

// The device context of a whole window, frame and caption included.
class ScopedWindowDC : public ScopedGetDC {
public:
    explicit ScopedWindowDC(HWND window) : ScopedGetDC(window, GetWindowDC(window)) {}
};

// A paint cycle: BeginPaint's device context, ended with EndPaint, which also
// validates what was invalid.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(window, &paint); }

    operator HDC() const { return dc; }

private:
    const HWND window;
    PAINTSTRUCT paint = {};
    const HDC dc;
};

// A GDI object the holder made: a region, a brush, a palette. Deleted while
// selected into no device context.
template <typename Object>
class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Object adopted) : held(adopted) {}
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ~ScopedGdiObject() { reset(); }

    Object get() const { return held; }
    explicit operator bool() const { return held != nullptr; }

    void reset(Object adopted = nullptr) {
        if (held) DeleteObject(held);
        held = adopted;
    }

private:
    Object held = nullptr;
};

// A kernel object's handle: a file, a thread, an event. Calls that make them
// say "none" either as nullptr or as INVALID_HANDLE_VALUE; both mean empty.
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE adopted) : held(adopted) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { close(); }

    HANDLE get() const { return held; }
    explicit operator bool() const { return held && held != INVALID_HANDLE_VALUE; }

    void reset(HANDLE adopted) {
        close();
        held = adopted;
    }
    // Closes it now. False when closing failed: for a file written to, the
    // last of its bytes may fail to reach the disk only here.
    bool close() {
        bool closed = !*this || CloseHandle(held) != 0;
        held = nullptr;
        return closed;
    }

private:
    HANDLE held = nullptr;
};

// A directory search from FindFirstFile.
class ScopedFindHandle {
public:
    explicit ScopedFindHandle(HANDLE search) : search(search) {}
    ScopedFindHandle(const ScopedFindHandle&) = delete;
    ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;
    ~ScopedFindHandle() {
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }

    HANDLE get() const { return search; }
    explicit operator bool() const { return search != INVALID_HANDLE_VALUE; }

private:
    const HANDLE search;
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

// The calling thread in the multimedia class "Pro Audio", which the system
// schedules ahead of ordinary work; where the class cannot be had, the thread
// runs at time-critical priority instead.
class ScopedProAudioThread {
public:
    ScopedProAudioThread() : task(AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex)) {
        if (!task) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    }
    ScopedProAudioThread(const ScopedProAudioThread&) = delete;
    ScopedProAudioThread& operator=(const ScopedProAudioThread&) = delete;
    ~ScopedProAudioThread() {
        if (task) AvRevertMmThreadCharacteristics(task);
    }

private:
    DWORD taskIndex = 0;
    const HANDLE task;
};

// A property value read from a property store.
class ScopedPropVariant {
public:
    ScopedPropVariant() { PropVariantInit(&value); }
    ScopedPropVariant(const ScopedPropVariant&) = delete;
    ScopedPropVariant& operator=(const ScopedPropVariant&) = delete;
    ~ScopedPropVariant() { PropVariantClear(&value); }

    PROPVARIANT value;
};

// A MIDI input opened; stopped, reset and closed when given back, after which
// its callback is not called any more.
class ScopedMidiInput {
public:
    ScopedMidiInput() = default;
    ScopedMidiInput(const ScopedMidiInput&) = delete;
    ScopedMidiInput& operator=(const ScopedMidiInput&) = delete;
    ~ScopedMidiInput() {
        if (!handle) return;
        midiInStop(handle);
        midiInReset(handle);
        midiInClose(handle);
    }

    HMIDIIN get() const { return handle; }
    HMIDIIN* out() { return &handle; }

private:
    HMIDIIN handle = nullptr;
};

// The bytes of a media buffer (Media Foundation's IMFMediaBuffer), locked
// while the holder lives. A template, so that this header needs none of Media
// Foundation's.
template <typename MediaBuffer>
class ScopedBufferLock {
public:
    explicit ScopedBufferLock(MediaBuffer* buffer) : buffer(buffer) {
        if (FAILED(buffer->Lock(&data, nullptr, &length))) data = nullptr, length = 0;
    }
    ScopedBufferLock(const ScopedBufferLock&) = delete;
    ScopedBufferLock& operator=(const ScopedBufferLock&) = delete;
    ~ScopedBufferLock() {
        if (data) buffer->Unlock();
    }

    const BYTE* bytes() const { return data; }  // nullptr when the lock failed
    DWORD size() const { return length; }

private:
    MediaBuffer* const buffer;
    BYTE* data = nullptr;
    DWORD length = 0;
};
