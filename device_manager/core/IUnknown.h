// The root of every reference-counted interface of the editor and its device manager.
// Objects are handed out as the exact interface a caller needs; nothing is ever
// queried for another interface, so QueryInterface exists only to keep the slot layout.
#pragma once

#include <cstdint>

namespace CobaltDeviceManager {

// 32-bit result code in the component-object manner: negative means failure.
using ResultCode = std::int32_t;

inline constexpr ResultCode kResultOk = 0;
// The "no such interface" result that every QueryInterface of the system returns.
inline constexpr ResultCode kResultNoInterface = static_cast<ResultCode>(0x80004002u);

// A 128-bit interface identifier, laid out like the classic GUID.
struct InterfaceId {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    friend bool operator==(const InterfaceId&, const InterfaceId&) = default;
};

class IUnknown {
public:
    // Always refuses with kResultNoInterface and leaves *out untouched.
    virtual ResultCode QueryInterface(const InterfaceId& iid, void** out) = 0;
    // Both return the new reference count.
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    // Objects are destroyed by their own final Release, never through an interface pointer.
    ~IUnknown() = default;
};

}  // namespace CobaltDeviceManager
