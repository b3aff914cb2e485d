// The shared steady clock of the virtual amplifier.
#include "tools/virtual_amp/lib/AmpClock.h"

namespace VirtualAmp {

std::shared_ptr<AmpClock> MakeSteadyClock() {
  static const std::shared_ptr<AmpClock> clock = std::make_shared<SteadyAmpClock>();
  return clock;
}

}  // namespace VirtualAmp
