// The question asked when an amplifier is detected (template 197): upload the design to it,
// or download its design. Escape does nothing and Cancel is hidden; every 200 ms the dialog
// looks whether its amplifier is still the one present, and ends with 2 when it is not, so
// unplugging the amplifier is the way to answer neither.
#pragma once

#include <cstdint>

#include <QPointer>

#include "application/document/DocumentServices.h"
#include "platform/ui/core/Dialog.h"

class DlgUploadDownload : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceTimer = 1;
    static constexpr std::uint32_t kPresenceMs = 200;

    // `amplifier` is only compared with the present one, never referenced.
    DlgUploadDownload(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier* amplifier,
                      QWidget* parent = nullptr);

    // The default button remembered at the initialisation (Download), or null.
    QWidget* DefaultButtonWindow() const { return defaultButton_; }

    void OnCancel() override;
    void OnButtonClicked(std::int32_t id) override;
    void OnTimer(std::uint32_t timerId) override;
    // "__wmForceDefButton__": the focus goes to the default button.
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

protected:
    bool OnInitDialog() override;

private:
    IAmplifierDirectory& amplifiers_;
    CobaltDeviceManager::ICobaltAmplifier* amplifier_;
    QPointer<QWidget> defaultButton_;
};

// Resumes scanning (so that unplugging is noticed) while it asks, suspends it again after.
// 1118 Upload, 1119 Download, 2 when the dialog closed itself.
int AskUploadOrDownload(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier* amplifier);
