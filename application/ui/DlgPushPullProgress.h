// The progress of a parameter download (template 194): the read-parameters session runs on
// the amplifier's worker and reports through a ReadParamResult sink; this dialog shows the
// percentage (held at 99 until the end), offers Abort once the progress has not moved for
// five seconds, and ends with a code that tells how the download went.
#pragma once

#include <cstdint>
#include <memory>

#include "application/transfer/ReadParamStore.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "dsp_blocks/ui/DControl.h"

namespace CobaltDeviceManager {
class IReadParamSession;
}
namespace platform {
class CProgressCtrl2;
}

// End codes of the download dialog.
namespace DownloadEnd {
inline constexpr int kDone = 0;           // the session completed with result 0
inline constexpr int kFailed = -1;        // the session was cancelled or failed
inline constexpr int kAborted = -2;       // Abort or Escape while no session ran
inline constexpr int kStartFailed = -3;   // the session did not start (message 164 shown)
}  // namespace DownloadEnd

class DlgPushPullProgress : public DControl {
    Q_OBJECT

public:
    static constexpr std::uint32_t kStallTimer = 1;
    static constexpr std::uint32_t kStallMs = 5000;
    static constexpr std::uint32_t kNoValue = 0xFFFFFFFF;

    // Holds one reference on the amplifier (may be null: the start then fails) and a share
    // of the store until it is destroyed.
    DlgPushPullProgress(CobaltDeviceManager::ICobaltAmplifier* amplifier, std::shared_ptr<ReadParamStore> store,
                        QWidget* parent = nullptr);
    // Releases the session and the amplifier and closes the store, so a block delivered
    // later is dropped.
    ~DlgPushPullProgress() override;

    platform::CProgressCtrl2* ProgressBar() const { return progress_; }
    std::uint32_t LastValue() const { return lastValue_; }
    bool HasSession() const { return session_ != nullptr; }
    bool IsAbortShown() const;

    // Enter does nothing.
    void OnOK() override;
    // The Abort button (id 2) and Escape: cancel the running session and wait for its end,
    // or end at once with -2 when none runs.
    void OnCancel() override;
    // "__Kx_Progress__": code 0 the percentage, code 1 the end with the session result.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    bool OnInitDialog() override;
    void OnPanelTimer(std::uint32_t timerId) override;
    // The panels' gradient, and the one-pixel border the bar's template control has.
    void paintEvent(QPaintEvent* event) override;

private:
    bool StartSession();
    void OnProgressValue(std::int32_t value);
    void OnFinished(std::int32_t result);
    void ReleaseSession();

    CobaltDeviceManager::ICobaltAmplifier* amplifier_ = nullptr;   // one reference
    CobaltDeviceManager::IReadParamSession* session_ = nullptr;    // one reference while running
    std::shared_ptr<ReadParamStore> store_;
    platform::CProgressCtrl2* progress_ = nullptr;                 // control 1126, owned by the dialog
    std::uint32_t lastValue_ = kNoValue;
};

// Runs the download dialog for `amplifier` into `store` and returns its end code
// (DownloadEnd). The store is closed when this returns, so its entries can be read.
int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier* amplifier, std::shared_ptr<ReadParamStore> store);
