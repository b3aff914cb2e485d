// The idle poll (block writes and the amplifier's hardware status with its lock notice) and
// the wait for parameter writes before the design is closed or replaced.
#include "application/flows/DocumentDeviceFlows.h"

#include "application/flows/ModelFamily.h"
#include "dsp_blocks/blocks/ModelUtilities.h"
#include "resources/strings/StringIds.h"

void DocumentDeviceFlows::OnIdlePoll()
{
    if (const AmplifierRef amplifier = CurrentAmplifier::Get()) {
        amplifier->FlushBlockParams();
    }
    PollDeviceStatusOnIdle();
    // A go-online held back for a modal dialog that was no device flow runs once it is gone.
    if (flowDepth_ == 0 && !ui_.IsModalRunning()) {
        PostDeferredGoOnline();
    }
}

void DocumentDeviceFlows::PollDeviceStatusOnIdle()
{
    if (document_.TakePendingDeviceEvent() == 0) {
        return;
    }
    const AmplifierRef amplifier = CurrentAmplifier::Get();
    if (!amplifier) {
        return;
    }
    std::uint32_t status = 0;
    if (!amplifier->GetHardwareStatus(&status)) {
        return;
    }
    const auto channelCount = static_cast<std::uint32_t>(GetModelChannelClass(AmplifierModel(*amplifier.Get())));
    if (document_.IsFirstStatusPending()) {
        document_.SetLastHardwareStatus(status);
        document_.SetFirstStatusPending(false);
        document_.OnFirstStatus(status, channelCount);
        if ((status & kStatusConfigSoftware) == 0) {
            services_.application.ShowLockDialog(StringId::kConfigSwitchRear, 0);
            document_.UpdateAllViews(UpdateHint::DisableControlView);
        }
        return;
    }
    const std::uint32_t previous = document_.GetLastHardwareStatus();
    if (status == previous) {
        return;
    }
    document_.OnStatusChanged(previous, status, channelCount);
    document_.SetLastHardwareStatus(status);
    if (((previous ^ status) & kStatusConfigSoftware) == 0) {
        return;
    }
    if ((status & kStatusConfigSoftware) == 0) {
        services_.application.ShowLockDialog(StringId::kConfigSwitchRear, 0);
        document_.UpdateAllViews(UpdateHint::DisableControlView);
    } else {
        services_.application.ShowLockDialog(0, 0);
        document_.UpdateAllViews(UpdateHint::EnableControlView);
    }
}

void DocumentDeviceFlows::WaitForParameterWrites()
{
    // The frame learns that writing ended from a posted notice, so the wait lets posted
    // messages through between its sleeps; a go-online among them waits for the design.
    FlowScope flow(*this);
    for (std::uint32_t waited = 0; ui_.IsWritingParameters() && waited < kWriteWaitLimitMs;
         waited += kWriteWaitSleepMs) {
        ui_.DeliverMessagesAndPause(kWriteWaitSleepMs);
    }
    if (ui_.IsWritingParameters()) {
        ui_.ShowWritingParamsDialog();
    }
}
