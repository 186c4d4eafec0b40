#pragma once
// Owners for Win32 resources. One move-only template; each resource type is a
// traits struct that states its invalid value and how it is closed.

#include <windows.h>
#include <objbase.h>

#include <utility>

template <class Traits>
class VLUniqueHandle {
public:
    using Type = typename Traits::Type;

    VLUniqueHandle() noexcept : m_value(Traits::Invalid()) {}
    explicit VLUniqueHandle(Type value) noexcept : m_value(value) {}
    ~VLUniqueHandle() { Reset(); }

    VLUniqueHandle(const VLUniqueHandle&) = delete;
    VLUniqueHandle& operator=(const VLUniqueHandle&) = delete;
    VLUniqueHandle(VLUniqueHandle&& other) noexcept : m_value(other.Release()) {}
    VLUniqueHandle& operator=(VLUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return m_value; }
    bool IsValid() const noexcept { return m_value != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Closes the current value (keeping GetLastError) and takes the new one.
    void Reset(Type value = Traits::Invalid()) noexcept
    {
        if (m_value != Traits::Invalid()) {
            DWORD lastError = ::GetLastError();
            Traits::Close(m_value);
            ::SetLastError(lastError);
        }
        m_value = value;
    }
    Type Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
    // For out-parameters: frees the current value and returns its address.
    Type* Put() noexcept
    {
        Reset();
        return &m_value;
    }

private:
    Type m_value;
};

struct VLHandleTraits {  // events, mutexes, processes, threads, mappings: null is invalid
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct VLFileTraits {  // CreateFile results: INVALID_HANDLE_VALUE is invalid
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct VLFindTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct VLKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct VLModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
struct VLViewTraits {  // MapViewOfFile results
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type p) noexcept { ::UnmapViewOfFile(p); }
};
struct VLGdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
struct VLIconTraits {  // LoadImage(IMAGE_ICON) results
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};

using VLUniqueHandleObj = VLUniqueHandle<VLHandleTraits>;
using VLUniqueFile = VLUniqueHandle<VLFileTraits>;
using VLUniqueFind = VLUniqueHandle<VLFindTraits>;
using VLUniqueKey = VLUniqueHandle<VLKeyTraits>;
using VLUniqueModule = VLUniqueHandle<VLModuleTraits>;
using VLUniqueView = VLUniqueHandle<VLViewTraits>;
using VLUniqueGdiObject = VLUniqueHandle<VLGdiObjectTraits>;
using VLUniqueIcon = VLUniqueHandle<VLIconTraits>;

// A COM interface pointer that releases on destruction.
template <class T>
class VLComPtr {
public:
    VLComPtr() noexcept = default;
    ~VLComPtr() { Reset(); }
    VLComPtr(const VLComPtr&) = delete;
    VLComPtr& operator=(const VLComPtr&) = delete;
    VLComPtr(VLComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    VLComPtr& operator=(VLComPtr&& o) noexcept
    {
        if (this != &o) {
            Reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    void Reset() noexcept
    {
        if (m_p) {
            m_p->Release();
            m_p = nullptr;
        }
    }
    T** Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

private:
    T* m_p = nullptr;
};

// Initialises COM for the thread; uninitialises only when the initialisation
// succeeded (S_FALSE included), as CoUninitialize must balance it.
class VLComInit {
public:
    explicit VLComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept : m_hr(::CoInitializeEx(nullptr, model)) {}
    ~VLComInit()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    VLComInit(const VLComInit&) = delete;
    VLComInit& operator=(const VLComInit&) = delete;
    bool Succeeded() const noexcept { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};
