// The notice that the connected amplifier needs firmware of at least the editor's minimum
// version (template 349). OK asks for the update; every 250 ms it looks whether an
// amplifier is still present and ends with Cancel when none is, so unplugging the amplifier
// is the way to decline.
#pragma once

#include <cstdint>

#include "application/document/DocumentServices.h"
#include "platform/ui/core/Dialog.h"

class DlgUpdateEx : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceTimer = 1;
    static constexpr std::uint32_t kPresenceMs = 250;

    explicit DlgUpdateEx(IAmplifierDirectory& amplifiers, QWidget* parent = nullptr);

    void OnTimer(std::uint32_t timerId) override;

protected:
    bool OnInitDialog() override;

private:
    IAmplifierDirectory& amplifiers_;
};
