#pragma once

// Small stand-ins for the parts of COM the phone link relies on: status codes,
// reference-counted interfaces, smart interface pointers, and a process-wide
// class registry in place of the system's in-process class registrations.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mailvane::platform {

using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

constexpr bool SUCCEEDED(HRESULT status)
{
    return status >= 0;
}
constexpr bool FAILED(HRESULT status)
{
    return status < 0;
}

using CLSCTX = std::uint32_t;
inline constexpr CLSCTX CLSCTX_INPROC_SERVER = 0x1;

// Every interface derives virtually from IUnknown so that one object can offer
// several interfaces while keeping a single reference count. QueryInterface is
// a dynamic_cast (see queryInterface below).
class IUnknown
{
public:
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// The reference count of a concrete object; the object deletes itself when the
// last reference goes. Objects start with a count of 0: the first ComPtr owns them.
class ComObject : public virtual IUnknown
{
public:
    std::uint32_t AddRef() override { return ++m_references; }
    std::uint32_t Release() override
    {
        const std::uint32_t left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

private:
    std::atomic<std::uint32_t> m_references{0};
};

// An owning interface pointer (one reference).
template <class T> class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(T* pointer) : m_pointer(pointer) { addRef(); }
    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) { addRef(); }
    ComPtr(ComPtr&& other) noexcept : m_pointer(other.m_pointer) { other.m_pointer = nullptr; }
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }

    T* get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    T& operator*() const { return *m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    void reset()
    {
        if (m_pointer)
            m_pointer->Release();
        m_pointer = nullptr;
    }

    // For out parameters: releases the current interface and hands out the slot.
    // Whoever fills the slot passes one reference along with it.
    T** put()
    {
        reset();
        return &m_pointer;
    }

private:
    void addRef()
    {
        if (m_pointer)
            m_pointer->AddRef();
    }

    T* m_pointer = nullptr;
};

// Hands `object` to an out parameter with a reference of its own.
template <class T> void handOut(T* object, T** slot)
{
    if (object)
        object->AddRef();
    *slot = object;
}

// The interface T of `object`, AddRef'ed into `out`; E_NOINTERFACE when it has none.
template <class T> HRESULT queryInterface(IUnknown* object, T** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    T* found = object ? dynamic_cast<T*>(object) : nullptr;
    if (!found)
        return E_NOINTERFACE;
    handOut(found, out);
    return S_OK;
}

// A factory makes a fresh object of its class (reference count 0).
using ClassFactory = std::function<IUnknown*()>;

// Registers (or replaces) the in-process class `classId`.
void registerClass(std::string_view classId, ClassFactory factory);
void revokeClass(std::string_view classId);

// The factory's object, or nothing when the class is not registered or the
// factory declines (a class whose server is not configured).
IUnknown* createRegisteredObject(std::string_view classId);

// Creates an object of `classId` and asks it for interface T. An unregistered
// class leaves *out null and returns REGDB_E_CLASSNOTREG, as a missing suite does.
template <class T>
HRESULT CoCreateInstance(std::string_view classId, IUnknown* outer, CLSCTX context, T** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if ((context & CLSCTX_INPROC_SERVER) == 0)
        return REGDB_E_CLASSNOTREG;
    ComPtr<IUnknown> object(createRegisteredObject(classId));
    if (!object)
        return REGDB_E_CLASSNOTREG;
    return queryInterface(object.get(), out);
}

// COM needs no per-thread set-up here; the pair is kept so that callers read as
// they would against the real thing.
inline HRESULT CoInitialize(void*)
{
    return S_OK;
}
inline void CoUninitialize() {}

} // namespace mailvane::platform
