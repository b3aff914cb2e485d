// Asks the user to unplug the amplifier (template 350) after a new or opened design could
// not go online with it; every 200 ms it counts the amplifiers and closes itself (OK) when
// none is left. Cancel ends it at once.
#pragma once

#include <cstdint>

#include "application/ui/DlgEndsWhenUnplugged.h"

class DlgWaitForDisconnect : public DlgEndsWhenUnplugged {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceMs = 200;

    explicit DlgWaitForDisconnect(IAmplifierDirectory& amplifiers, QWidget* parent = nullptr);
};
