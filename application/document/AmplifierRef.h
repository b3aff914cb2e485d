// One counted reference to an amplifier interface for the length of a scope or an object,
// and the process-wide amplifier the design is online with.
#pragma once

#include <utility>

#include "device_manager/interfaces/ICobaltAmplifier.h"

class AmplifierRef {
public:
    AmplifierRef() noexcept = default;
    // Takes a new reference (amplifier may be null).
    explicit AmplifierRef(CobaltDeviceManager::ICobaltAmplifier* amplifier) noexcept : amp_(amplifier)
    {
        if (amp_ != nullptr) {
            amp_->AddRef();
        }
    }
    AmplifierRef(const AmplifierRef& other) noexcept : AmplifierRef(other.amp_) {}
    AmplifierRef(AmplifierRef&& other) noexcept : amp_(std::exchange(other.amp_, nullptr)) {}
    AmplifierRef& operator=(AmplifierRef other) noexcept
    {
        std::swap(amp_, other.amp_);
        return *this;
    }
    ~AmplifierRef() { Reset(); }

    // Adopts a reference the caller already owns (as handed out through an out pointer).
    static AmplifierRef Adopt(CobaltDeviceManager::ICobaltAmplifier* amplifier) noexcept
    {
        AmplifierRef ref;
        ref.amp_ = amplifier;
        return ref;
    }

    void Reset() noexcept
    {
        if (CobaltDeviceManager::ICobaltAmplifier* old = std::exchange(amp_, nullptr)) {
            old->Release();
        }
    }

    CobaltDeviceManager::ICobaltAmplifier* Get() const noexcept { return amp_; }
    CobaltDeviceManager::ICobaltAmplifier* operator->() const noexcept { return amp_; }
    explicit operator bool() const noexcept { return amp_ != nullptr; }

private:
    CobaltDeviceManager::ICobaltAmplifier* amp_ = nullptr;
};

// The amplifier the design is online with; null while offline. Only the user-interface
// thread touches it.
class CurrentAmplifier {
public:
    // A reference for the caller's scope (empty while offline).
    static AmplifierRef Get();
    // Takes a reference to the new amplifier (may be null) and releases the old one.
    static void Set(CobaltDeviceManager::ICobaltAmplifier* amplifier);
};
