// The document's device-flow commands in the editor: the flows with their windows, their
// handlers and update handlers in the document's command map (go online, the deferred
// go-online, upload, download, mute polarity, save configuration, firmware update, the idle
// poll, scan modes, lock and unlock, and the connection bar's controls 1109 and 1110), and
// the wait for parameter writes after the save-modified step.
#pragma once

#include <memory>

#include "application/flows/DocumentDeviceFlows.h"
#include "application/ui/EditorDeviceFlowUi.h"

class CCorvantEditorApp;

class DeviceFlowCommands {
public:
    // The application's document must exist; both must outlive this object.
    explicit DeviceFlowCommands(CCorvantEditorApp& app);
    DeviceFlowCommands(const DeviceFlowCommands&) = delete;
    DeviceFlowCommands& operator=(const DeviceFlowCommands&) = delete;

    // Puts the handlers into the application's document command map.
    void Install();

    DocumentDeviceFlows& Flows() { return flows_; }
    EditorDeviceFlowUi& Ui() { return ui_; }

private:
    CCorvantEditorApp& app_;
    EditorDeviceFlowUi ui_;
    DocumentDeviceFlows flows_;
};
