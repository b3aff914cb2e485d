// Calls the exported functions. Each argument is converted to the parameter type the
// exported header declares, so the binding follows that header's handle and record types.
#include "device_manager/library/binding/QuarryDriverLibrary.h"

#include <tuple>
#include <type_traits>

#include "QuarryDeviceDriver.h"

namespace CobaltDeviceManager {
namespace {

template <class F>
struct Signature;

template <class R, class... A>
struct Signature<R (*)(A...)> {
    using Result = R;
    using Arguments = std::tuple<A...>;
};

template <class R, class... A>
struct Signature<R (*)(A...) noexcept> {
    using Result = R;
    using Arguments = std::tuple<A...>;
};

template <auto Function, std::size_t Index>
using Parameter = std::tuple_element_t<Index, typename Signature<decltype(Function)>::Arguments>;

// Pointers cross as untyped addresses (records are plain byte layouts on both sides);
// numbers keep their value.
template <class Target, class Source>
Target Convert(Source value)
{
    if constexpr (std::is_pointer_v<Target>) {
        if constexpr (std::is_pointer_v<Source>) {
            return static_cast<Target>(const_cast<void*>(static_cast<const void*>(value)));
        } else {
            static_assert(std::is_null_pointer_v<Source>, "pointer parameter needs a pointer");
            return nullptr;
        }
    } else {
        return static_cast<Target>(value);
    }
}

template <auto Function, class... Args, std::size_t... I>
auto CallWith(std::index_sequence<I...>, Args... args)
{
    return Function(Convert<Parameter<Function, I>>(args)...);
}

template <auto Function, class... Args>
std::int32_t Call(Args... args)
{
    return static_cast<std::int32_t>(CallWith<Function>(std::index_sequence_for<Args...>{}, args...));
}

class QuarryDriverBinding final : public IDeviceLibrary {
public:
    std::int32_t RegisterDevice(const char* name, std::uint32_t vendorId, std::uint32_t productId) override
    {
        return Call<&QDM_RegisterDevice>(name, vendorId, productId);
    }
    std::int32_t ScanDevices() override { return Call<&QDM_ScanDevices>(); }
    std::int32_t GetScanedDevice(QdmScanRecord* record) override { return Call<&QDM_GetScanedDevice>(record); }
    std::int32_t ConnectDevice(std::uint32_t vendorId, std::uint32_t productId, const char* serial) override
    {
        return Call<&QDM_ConnectDevice>(vendorId, productId, serial);
    }
    std::int32_t IsConnectCompleted() override { return Call<&QDM_IsConnectCompleted>(); }
    QdoHandle GetConnectingDevice() override
    {
        return const_cast<void*>(static_cast<const void*>(QDM_GetConnectingDevice()));
    }
    std::int32_t DisconnectDevice(QdoHandle* handle) override
    {
        if (handle == nullptr) {
            return 0;
        }
        using HandleVariable = std::remove_pointer_t<Parameter<&QDM_DisconnectDevice, 0>>;
        HandleVariable variable = Convert<HandleVariable>(*handle);
        const std::int32_t result = static_cast<std::int32_t>(QDM_DisconnectDevice(&variable));
        *handle = const_cast<void*>(static_cast<const void*>(variable));
        return result;
    }
    std::int32_t UpgradeFirmware(QdoHandle handle, const char* firmwarePath) override
    {
        return Call<&QDO_UpgradeFirmware>(handle, firmwarePath);
    }
    std::int32_t UpgradeGlobalSetting(QdoHandle handle, const QdoGlobalSettingInput* input) override
    {
        return Call<&QDO_UpgradeGlobalSetting>(handle, input);
    }
    std::int32_t UpgradeDSPParam(QdoHandle handle, const QdoParamImage* image) override
    {
        return Call<&QDO_UpgradeDSPParam>(handle, image);
    }
    std::int32_t WriteMCUbyID(QdoHandle handle, const QdoParamImage* image) override
    {
        return Call<&QDO_WriteMCUbyID>(handle, image);
    }
    std::int32_t ReadMCUbyID(QdoHandle handle, std::uint32_t id, std::uint32_t length, void* buffer) override
    {
        return Call<&QDO_ReadMCUbyID>(handle, id, length, buffer);
    }
    std::int32_t SendCommand(QdoHandle handle, std::uint16_t word1, std::uint16_t word2, std::uint16_t word3) override
    {
        return Call<&QDO_SendCommand>(handle, word1, word2, word3);
    }
    std::int32_t Reset(QdoHandle handle) override { return Call<&QDO_Reset>(handle); }
    std::int32_t ReadBasicInfo(QdoHandle handle, BasicInfo* info) override
    {
        return Call<&QDO_ReadBasicInfo>(handle, info);
    }
    std::int32_t ReadGlobalSettingInfoFromMCU(QdoHandle handle, GlobalSettingRecord* record) override
    {
        return Call<&QDO_ReadGlobalSettingInfoFromMCU>(handle, record);
    }
    std::int32_t ReadDspParamInfoFromMCU(QdoHandle handle, DspParamInfo* info) override
    {
        return Call<&QDO_ReadDspParamInfoFromMCU>(handle, info);
    }
    std::int32_t ReadHwInfo(QdoHandle handle, HwInfoRecord* record) override
    {
        return Call<&QDO_ReadHwInfo>(handle, record);
    }
    void CancelOperation(QdoHandle handle) override
    {
        QDO_CancelOperation(Convert<Parameter<&QDO_CancelOperation, 0>>(handle));
    }
    std::int32_t IsOperationCompleted(QdoHandle handle) override { return Call<&QDO_IsOperationCompleted>(handle); }
    std::int32_t IsOperationSuccessful(QdoHandle handle) override { return Call<&QDO_IsOperationSuccessful>(handle); }
    std::uint8_t GetOperationProgress(QdoHandle handle) override
    {
        return static_cast<std::uint8_t>(
            QDO_GetOperationProgress(Convert<Parameter<&QDO_GetOperationProgress, 0>>(handle)));
    }
};

}  // namespace

std::shared_ptr<IDeviceLibrary> QuarryDriverLibrary()
{
    static const std::shared_ptr<IDeviceLibrary> binding = std::make_shared<QuarryDriverBinding>();
    return binding;
}

}  // namespace CobaltDeviceManager
