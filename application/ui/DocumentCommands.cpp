// The document's commands. The device flows (go online, the idle poll, uploads and downloads,
// saving the configuration, mute polarity, firmware update, lock and unlock, the connection
// bar's controls 1109 and 1110) install their handlers from here as well.
#include "application/ui/DocumentCommands.h"

#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/DeviceFlowCommands.h"
#include "resources/commands/CommandIds.h"

void InstallDocumentCommands(CCorvantEditorApp& app)
{
    platform::CommandMap& commands = app.DocumentCommands();
    commands.On(CommandId::kFileSave, [&app] { app.OnFileSave(); });
    commands.On(CommandId::kFileSaveAs, [&app] { app.OnFileSaveAs(); });
    auto flows = std::make_unique<DeviceFlowCommands>(app);
    flows->Install();
    app.SetDeviceFlows(std::move(flows));
}
