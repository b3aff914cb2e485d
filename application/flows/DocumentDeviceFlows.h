// The document's device flows: the command handlers that connect the design with the one
// amplifier on USB. Going online when the set of amplifiers changes (with the firmware
// check and the upload-or-download question), the deferred go-online of a new or opened
// design, upload and download, mute polarity, saving the configuration in the amplifier,
// the firmware-update command, the idle poll of the amplifier's hardware status with its
// lock notice, the wait for parameter writes before the design goes, and the connection
// bar's text and icon. Everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "application/document/AmplifierRef.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/firmware/FirmwareUpdateFlow.h"
#include "application/flows/IDeviceFlowUi.h"

// The amplifier hardware-status bit that is set while the CONFIG DIP switch is in SOFTWARE mode.
inline constexpr std::uint32_t kStatusConfigSoftware = 0x400;
// The connection bar's texts.
inline constexpr const char* kConnectionTextNone = "Disconnected";
inline constexpr const char* kConnectionTextSeveral = "Multiple devices";
inline constexpr const char* kConnectionTextConnected = "Connected";

// How long the design waits for running parameter writes, in sleeps, before it shows the
// writing notice (dialog 202).
inline constexpr std::uint32_t kWriteWaitSleepMs = 20;
inline constexpr std::uint32_t kWriteWaitLimitMs = 500;
// The save-configuration lock notice shows only when the store takes longer than this.
inline constexpr std::uint32_t kSaveConfigNoticeDelayMs = 500;

class DocumentDeviceFlows {
public:
    // All three must outlive the flows.
    DocumentDeviceFlows(CCorvantEditorDoc& document, DocumentServices services, IDeviceFlowUi& ui);
    DocumentDeviceFlows(const DocumentDeviceFlows&) = delete;
    DocumentDeviceFlows& operator=(const DocumentDeviceFlows&) = delete;

    // Commands. A go-online (or deferred go-online) that comes while a device flow or a
    // modal dialog runs is remembered and run once after it, never inside it.
    void OnGoOnline();
    void OnDelayedGoOnline();
    void OnUploadToAmp();
    void OnDownloadFromAmp();
    void OnMutePolarity();
    void OnSaveConfiguration();
    void OnFirmwareUpdate();
    void OnIdlePoll();
    void OnScanModeClearList();
    void OnScanModeKeepList();
    void OnLockApp();
    void OnUnlockApp();

    // Enable rules.
    bool HasCurrentAmplifier() const;
    bool CanSaveConfiguration() const;
    bool CanUpdateFirmware() const;

    // The connection bar: its text, and the icon state (the document is online).
    std::string ConnectionText() const;
    bool ConnectionIconState() const;

    // After the framework's save-modified step let the design go: waits for running
    // parameter writes, then shows dialog 202 while they go on.
    void WaitForParameterWrites();

    // The single amplifier for an upload or download; null (message 131 or 132) otherwise.
    AmplifierRef GetAmpForTransfer();
    // At least one amplifier is present and `amplifier` runs firmware 5.2 or later.
    bool IsFirmwareUsable(CobaltDeviceManager::ICobaltAmplifier& amplifier) const;
    // Firmware good for transfers: 5.12 or later; an unreadable version asks 177.
    bool CheckFirmwareVersion(CobaltDeviceManager::ICobaltAmplifier& amplifier);
    // Go online in `mode` (GoOnlineMode) with `amplifier` (null: the single present one).
    bool GoOnline(std::uint32_t mode, CobaltDeviceManager::ICobaltAmplifier* amplifier);
    // Dialog 350 while at least one amplifier is present.
    void ShowWaitForDisconDialog();

private:
    // Marks a running device flow; the outermost one posts the go-online commands that
    // arrived meanwhile.
    class FlowScope {
    public:
        explicit FlowScope(DocumentDeviceFlows& flows);
        ~FlowScope();
        FlowScope(const FlowScope&) = delete;
        FlowScope& operator=(const FlowScope&) = delete;

    private:
        DocumentDeviceFlows& flows_;
    };

    // True when the command must wait for the running flow or modal dialog (and is noted).
    bool DeferGoOnline(bool& pending);
    void PostDeferredGoOnline();

    void SuspendScan();
    void ResumeScan();
    // Brings the amplifier list up to date while scanning is suspended (a rescan held back
    // meanwhile runs now) and tells whether `amplifier` is still the only one present.
    bool StillTheOnlyAmplifier(CobaltDeviceManager::ICobaltAmplifier& amplifier);

    void NewDesignForModel(ModelType model);
    void SetCurrentAmplifier(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    void Attach(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    // Design to `model`; false (message 183) when it cannot be stored.
    bool ConvertDesign(ModelType model);
    // The upload's model check with its questions; false when the design does not fit.
    bool MatchUploadModel(CobaltDeviceManager::ICobaltAmplifier& amplifier);
    // The conversion an upload offers between an MV440-family design and an MV340A amplifier
    // (either way round): nothing when the models allow none, otherwise whether the user
    // agreed and the design was converted.
    std::optional<bool> OfferModelConversion(ModelType amplifierModel, ModelType designModel);
    // Runs the download dialog; the store on success, null otherwise.
    std::shared_ptr<ReadParamStore> Download(CobaltDeviceManager::ICobaltAmplifier& amplifier);
    void CommitControllers();
    bool RunFirmwareCheckOnConnect(CobaltDeviceManager::ICobaltAmplifier& amplifier);
    void PollDeviceStatusOnIdle();

    CCorvantEditorDoc& document_;
    DocumentServices services_;
    IDeviceFlowUi& ui_;
    FirmwareUpdateContext firmware_;
    int flowDepth_ = 0;
    bool goOnlinePending_ = false;
    bool delayedGoOnlinePending_ = false;
};
