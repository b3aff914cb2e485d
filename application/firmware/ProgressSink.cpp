// The firmware update's progress sink.
#include "application/firmware/ProgressSink.h"

#include "device_manager/sessions/IParamSessions.h"
#include "platform/messages/MessagePoster.h"

ProgressSink::ProgressSink(platform::WindowId window, platform::MessageId message) : window_(window), message_(message)
{
}

void ProgressSink::OnProgress(std::int32_t code, std::int32_t value)
{
    platform::PostWindowMessage(window_, message_, static_cast<std::uintptr_t>(code), value);
}

void ProgressSink::OnComplete(std::int32_t result)
{
    platform::PostWindowMessage(window_, message_,
                                static_cast<std::uintptr_t>(CobaltDeviceManager::kFirmwareProgressFinished), result);
}

bool CreateProgressSink(platform::WindowId window, platform::MessageId message, CobaltDeviceManager::ICDM_Progress** out)
{
    *out = CobaltDeviceManager::CreateRCObject<CobaltDeviceManager::RCObject2<ProgressSink>>(window, message);
    return *out != nullptr;
}
