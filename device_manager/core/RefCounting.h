// Intrusive reference counting for the device manager's objects and the editor's
// sinks and streams. A class T derives from RCObjectRootEx<model> and its interfaces;
// the concrete object is RCObject2<T, X> (deleted by its last Release),
// RCObject2WithoutDeleting<T, X> (lives on the stack or inside another object) or,
// for objects with a public and an internal face, RCObject2Ex<T, X>.
#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "device_manager/core/IUnknown.h"

namespace CobaltDeviceManager {

// Counts shared between the UI thread and worker threads. The decrement is acq_rel so
// that whoever drops the count to zero sees every write made under the other references.
struct RCObjectMultiThreadModel {
    static std::uint32_t Increment(std::uint32_t& value) noexcept
    {
        return std::atomic_ref<std::uint32_t>(value).fetch_add(1, std::memory_order_relaxed) + 1;
    }
    static std::uint32_t Decrement(std::uint32_t& value) noexcept
    {
        return std::atomic_ref<std::uint32_t>(value).fetch_sub(1, std::memory_order_acq_rel) - 1;
    }
};

// Counts of objects confined to one thread.
struct RCObjectSingleThreadModel {
    static std::uint32_t Increment(std::uint32_t& value) noexcept { return ++value; }
    static std::uint32_t Decrement(std::uint32_t& value) noexcept { return --value; }
};

// Placeholder for the second type argument of RCObject2 when a class has nothing to give.
struct NullStruct {};

class RCObjectRoot {
public:
    RCObjectRoot(const RCObjectRoot&) = delete;
    RCObjectRoot& operator=(const RCObjectRoot&) = delete;

protected:
    RCObjectRoot() = default;
    ~RCObjectRoot() = default;

    std::uint32_t m_refCount = 0;  // changed only through the thread model of RCObjectRootEx
};

template <class ThreadModel>
class RCObjectRootEx : public RCObjectRoot {
public:
    using ThreadModelType = ThreadModel;

protected:
    RCObjectRootEx() = default;
    ~RCObjectRootEx() = default;

    std::uint32_t IncrementCount() noexcept { return ThreadModel::Increment(m_refCount); }
    std::uint32_t DecrementCount() noexcept { return ThreadModel::Decrement(m_refCount); }
};

// The concrete form of T: one count for all of T's interfaces; the last Release deletes.
template <class T, class X = NullStruct>
class RCObject2 final : public T {
    static_assert(std::is_base_of_v<RCObjectRoot, T>, "T must derive from RCObjectRootEx");

public:
    template <class... Args>
    explicit RCObject2(Args&&... args) : T(std::forward<Args>(args)...)
    {
    }
    virtual ~RCObject2() = default;

    ResultCode QueryInterface(const InterfaceId&, void**) override { return kResultNoInterface; }
    std::uint32_t AddRef() override { return this->IncrementCount(); }
    std::uint32_t Release() override
    {
        const std::uint32_t count = this->DecrementCount();
        if (count == 0) {
            delete this;
        }
        return count;
    }
};

// Like RCObject2 but Release never deletes: for objects owned by a scope or another object,
// which hand out interface pointers only for the duration of a call.
template <class T, class X = NullStruct>
class RCObject2WithoutDeleting final : public T {
    static_assert(std::is_base_of_v<RCObjectRoot, T>, "T must derive from RCObjectRootEx");

public:
    template <class... Args>
    explicit RCObject2WithoutDeleting(Args&&... args) : T(std::forward<Args>(args)...)
    {
    }
    virtual ~RCObject2WithoutDeleting() = default;

    ResultCode QueryInterface(const InterfaceId&, void**) override { return kResultNoInterface; }
    std::uint32_t AddRef() override { return this->IncrementCount(); }
    std::uint32_t Release() override { return this->DecrementCount(); }
};

// Creates an RCObject2-style Object holding one reference for the caller, or returns null
// when memory is short.
template <class Object, class... Args>
Object* CreateRCObject(Args&&... args)
{
    Object* object = new (std::nothrow) Object(std::forward<Args>(args)...);
    if (object != nullptr) {
        object->AddRef();
    }
    return object;
}

// The lifetime count of an object with several faces. These are named apart from
// IUnknown's AddRef/Release so that implementing one does not override the other.
class InterfaceImplBase {
public:
    virtual ~InterfaceImplBase() = default;
    virtual std::uint32_t InternalAddRef() = 0;
    virtual std::uint32_t InternalRelease() = 0;
};

class InterfaceImplWithFinalReleaseBase : public InterfaceImplBase {
public:
    // Ends the object's service when its last external reference goes; the object itself
    // stays in memory while lifetime references remain.
    virtual void FinalRelease() = 0;
};

// The public face: AddRef/Release of I1 and I2 move both the external and the lifetime count.
template <class ThreadModel, class I1, class I2>
class InterfaceImplWithFinalRelease2 : public InterfaceImplWithFinalReleaseBase, public I1, public I2 {
public:
    std::uint32_t AddRef() override
    {
        const std::uint32_t lifetime = InternalAddRef();
        ThreadModel::Increment(m_externalCount);
        return lifetime;
    }

    std::uint32_t Release() override
    {
        // A public interface handed out again after the service ended must not end it twice.
        if (ThreadModel::Decrement(m_externalCount) == 0 &&
            !m_finalReleased.exchange(true, std::memory_order_acq_rel)) {
            FinalRelease();
        }
        return InternalRelease();
    }

protected:
    InterfaceImplWithFinalRelease2() = default;
    ~InterfaceImplWithFinalRelease2() override = default;

private:
    std::uint32_t m_externalCount = 0;         // changed through ThreadModel only
    std::atomic<bool> m_finalReleased{false};  // FinalRelease has run
};

// The internal face: AddRef/Release of I1, I2 and I3 move only the lifetime count.
template <class I1, class I2, class I3>
class InterfaceImpl3 : public InterfaceImplBase, public I1, public I2, public I3 {
public:
    std::uint32_t AddRef() override { return InternalAddRef(); }
    std::uint32_t Release() override { return InternalRelease(); }

protected:
    InterfaceImpl3() = default;
    ~InterfaceImpl3() override = default;
};

// The concrete form of a class T built from RCObjectRootEx<RCObjectMultiThreadModel>
// (the lifetime count), InterfaceImplWithFinalRelease2 and InterfaceImpl3.
template <class T, class X = NullStruct>
class RCObject2Ex final : public T {
    static_assert(std::is_base_of_v<RCObjectRootEx<RCObjectMultiThreadModel>, T>,
                  "T's lifetime count must use the multi-thread model");
    static_assert(std::is_base_of_v<InterfaceImplWithFinalReleaseBase, T>,
                  "T must derive from InterfaceImplWithFinalRelease2");

public:
    template <class... Args>
    explicit RCObject2Ex(Args&&... args) : T(std::forward<Args>(args)...)
    {
    }
    ~RCObject2Ex() override = default;

    ResultCode QueryInterface(const InterfaceId&, void**) override { return kResultNoInterface; }
    std::uint32_t InternalAddRef() override { return this->IncrementCount(); }
    std::uint32_t InternalRelease() override
    {
        const std::uint32_t count = this->DecrementCount();
        if (count == 0) {
            delete this;
        }
        return count;
    }
};

}  // namespace CobaltDeviceManager
