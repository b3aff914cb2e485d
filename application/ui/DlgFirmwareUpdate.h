// The firmware dialog (template 189): lists the images of the Firmware folder, proposes the
// newest one when it is newer than the amplifier's firmware, and runs the amplifier's
// firmware-update session with a ProgressSink, showing its steps and percentage. The file
// list stays hidden (the dialog collapsed over it) until Advanced, or an amplifier version
// that cannot be read, expands it. Until an update has run it looks every 250 ms whether its
// amplifier is still the one present and ends with Cancel when it is gone; once an update has
// ended, its result (success or failure) stays up until the user closes the dialog.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include <QPointer>

#include "application/document/DocumentServices.h"
#include "application/firmware/FirmwareFile.h"
#include "dsp_blocks/ui/PanelBackground.h"
#include "platform/ui/core/Dialog.h"

class QListWidget;

namespace CobaltDeviceManager {
class IUpdateFirmwareSession;
}
namespace platform {
class CProgressCtrl2;
}

class DlgFirmwareUpdate : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr platform::ColorRef kTopColour = kPanelTopColour;
    static constexpr platform::ColorRef kBottomColour = kPanelBottomColour;
    static constexpr std::uint32_t kPresenceTimer = 2;
    static constexpr std::uint32_t kPresenceMs = 250;

    // Holds one reference on the amplifier until it is destroyed.
    DlgFirmwareUpdate(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier& amplifier,
                      std::filesystem::path firmwareFolder, QWidget* parent = nullptr);
    // Releases the session (if one is still held) and the amplifier.
    ~DlgFirmwareUpdate() override;

    const std::vector<FirmwareFile>& Files() const { return files_; }
    // The chosen image, or null.
    const FirmwareFile* Selected() const;
    bool UpdateSucceeded() const { return updateSucceeded_ != 0; }
    bool ShowsResult() const { return showsResult_; }
    bool IsUpdating() const { return session_ != nullptr; }
    bool IsExpanded() const { return expanded_; }
    int CollapseHeight() const { return collapseHeight_; }
    platform::CProgressCtrl2* ProgressBar() const { return progress_; }
    // The string ids the status text showed, in order, and the progress notices handled
    // (code, value), in order.
    const std::vector<std::uint32_t>& StatusHistory() const { return statusHistory_; }
    const std::vector<std::pair<int, int>>& Notices() const { return notices_; }

    // The update button: starts the update with the chosen image. The dialog stays open.
    void OnOK() override;
    // Close and the close box: OK after a successful update, else Cancel; refused while the
    // update runs.
    void OnCancel() override;
    void OnButtonClicked(std::int32_t id) override;
    void OnListSelChange(std::int32_t id) override;
    void OnTimer(std::uint32_t timerId) override;
    // "__Kx_Progress__" from the session's sink and "VescQuarry_Error" from itself.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Collapse();
    void Expand();
    void SetStatus(std::uint32_t stringId, const std::string& text);
    void SetStatus(std::uint32_t stringId);
    void OnProgressNotice(int code, int value);
    void OnVersionUnreadable();
    // True when the amplifier is still the only one present (the list is brought up to date
    // first, as scanning is suspended around the update).
    bool IsAmplifierStillThere();
    void ReleaseSession();

    IAmplifierDirectory& amplifiers_;
    CobaltDeviceManager::ICobaltAmplifier* amplifier_;  // one reference
    std::filesystem::path firmwareFolder_;
    std::vector<FirmwareFile> files_;
    std::optional<std::size_t> selected_;
    std::uint8_t updateSucceeded_ = 0;
    bool showsResult_ = false;  // an update has ended and the status tells how
    QListWidget* fileList_ = nullptr;
    platform::CProgressCtrl2* progress_ = nullptr;  // control 1115, owned by the dialog
    std::vector<QPointer<QWidget>> movedWindows_;
    int collapseHeight_ = 0;
    bool expanded_ = false;
    CobaltDeviceManager::IUpdateFirmwareSession* session_ = nullptr;  // one reference while updating
    GradientBackground background_;
    std::vector<std::uint32_t> statusHistory_;
    std::vector<std::pair<int, int>> notices_;
};

// Runs the firmware dialog modally with the main window as its parent; true when it ended
// with OK (after a successful update).
bool RunFirmwareUpdateDialog(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier& amplifier,
                             const std::filesystem::path& firmwareFolder);
