// Asks the user to unplug the amplifier (template 350) after a new or opened design could
// not go online with it; every 200 ms it counts the amplifiers and closes itself (OK) when
// none is left. Cancel ends it at once.
#pragma once

#include <cstdint>

#include "application/document/DocumentServices.h"
#include "platform/ui/core/Dialog.h"

class DlgWaitForDisconnect : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceTimer = 1;
    static constexpr std::uint32_t kPresenceMs = 200;

    explicit DlgWaitForDisconnect(IAmplifierDirectory& amplifiers, QWidget* parent = nullptr);

    void OnTimer(std::uint32_t timerId) override;

protected:
    bool OnInitDialog() override;

private:
    IAmplifierDirectory& amplifiers_;
};
