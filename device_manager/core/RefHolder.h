// Holds one reference to an interface and lets go of it when replaced or destroyed.
#pragma once

#include <utility>

namespace CobaltDeviceManager {

template <class I>
class RefHolder {
public:
    RefHolder() = default;
    explicit RefHolder(I* object) { Reset(object); }
    ~RefHolder() { Reset(nullptr); }
    RefHolder(const RefHolder&) = delete;
    RefHolder& operator=(const RefHolder&) = delete;
    RefHolder(RefHolder&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    RefHolder& operator=(RefHolder&& other) noexcept
    {
        if (this != &other) {
            Reset(nullptr);
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }

    // Takes a reference to `object` (may be null), then lets go of the one held.
    void Reset(I* object)
    {
        if (object != nullptr) {
            object->AddRef();
        }
        I* old = std::exchange(m_object, object);
        if (old != nullptr) {
            old->Release();
        }
    }
    // Takes over a reference the caller already owns.
    void Attach(I* object)
    {
        I* old = std::exchange(m_object, object);
        if (old != nullptr) {
            old->Release();
        }
    }
    I* Get() const { return m_object; }
    I* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // For creation functions that hand out one reference through an out parameter.
    I** Receive()
    {
        Reset(nullptr);
        return &m_object;
    }

private:
    I* m_object = nullptr;
};

}  // namespace CobaltDeviceManager
