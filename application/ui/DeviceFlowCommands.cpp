// The device flows' command wiring.
#include "application/ui/DeviceFlowCommands.h"

#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/CMainFrame.h"
#include "resources/commands/CommandIds.h"

namespace {

// Runs a device flow as one: a file handed over by another start waits until it ends.
template <typename Handler>
platform::CommandMap::Handler AsDeviceFlow(Handler handler)
{
    return [handler] {
        CCorvantEditorApp::DeviceFlowScope flow;
        handler();
    };
}

}  // namespace

DeviceFlowCommands::DeviceFlowCommands(CCorvantEditorApp& app)
    : app_(app),
      ui_(app, app.FirmwareFolder()),
      flows_(*app.GetDocument(),
             DocumentServices{app.Prompts(), app, app.Amplifiers()}, ui_)
{
}

void DeviceFlowCommands::Install()
{
    platform::CommandMap& commands = app_.DocumentCommands();
    DocumentDeviceFlows& flows = flows_;
    commands.On(CommandId::kGoOnline, AsDeviceFlow([&flows] { flows.OnGoOnline(); }));
    commands.On(CommandId::kDelayedGoOnline, AsDeviceFlow([&flows] { flows.OnDelayedGoOnline(); }));
    commands.On(CommandId::kUploadToAmp, AsDeviceFlow([&flows] { flows.OnUploadToAmp(); }));
    commands.On(CommandId::kDownloadFromAmp, AsDeviceFlow([&flows] { flows.OnDownloadFromAmp(); }));
    commands.On(CommandId::kMutePolarity, AsDeviceFlow([&flows] { flows.OnMutePolarity(); }));
    commands.On(CommandId::kFirmwareUpdate, AsDeviceFlow([&flows] { flows.OnFirmwareUpdate(); }));
    commands.On(CommandId::kSaveConfigurationToAmp, [&flows] { flows.OnSaveConfiguration(); });
    commands.On(CommandId::kIdlePoll, [&flows] { flows.OnIdlePoll(); });
    commands.On(CommandId::kScanModeClearList, [&flows] { flows.OnScanModeClearList(); });
    commands.On(CommandId::kScanModeKeepList, [&flows] { flows.OnScanModeKeepList(); });
    commands.On(CommandId::kLockApp, [&flows] { flows.OnLockApp(); });
    commands.On(CommandId::kUnlockApp, [&flows] { flows.OnUnlockApp(); });

    const auto withCurrentAmplifier = [&flows](platform::CommandUi& ui) { ui.Enable(flows.HasCurrentAmplifier()); };
    commands.OnUpdate(CommandId::kUploadToAmp, withCurrentAmplifier);
    commands.OnUpdate(CommandId::kDownloadFromAmp, withCurrentAmplifier);
    commands.OnUpdate(CommandId::kMutePolarity, withCurrentAmplifier);
    commands.OnUpdate(CommandId::kSaveConfigurationToAmp,
                      [&flows](platform::CommandUi& ui) { ui.Enable(flows.CanSaveConfiguration()); });
    commands.OnUpdate(CommandId::kFirmwareUpdate,
                      [&flows](platform::CommandUi& ui) { ui.Enable(flows.CanUpdateFirmware()); });
    commands.OnUpdate(CommandId::kConnectionText,
                      [&flows](platform::CommandUi& ui) { ui.SetText(flows.ConnectionText()); });
    CCorvantEditorApp& app = app_;
    commands.OnUpdate(CommandId::kConnectionIcon, [&flows, &app](platform::CommandUi&) {
        if (CMainFrame* frame = app.GetMainFrame()) {
            frame->SetConnectionIcon(flows.ConnectionIconState() ? 1 : 0);
        }
    });
    app_.SetAfterSaveModified([&flows] { flows.WaitForParameterWrites(); });
}
