// The makers of the matrix-mixer, limiter and speaker-EQ controllers for the controller
// factory. Start-up registers them once, before the first diagram is loaded.
#pragma once

#include "dsp_blocks/blocks/ControllerFactory.h"

// The three makers, for the factory's three-argument form.
ControllerMakers StandardControllerMakers();

// Puts the three makers into RegisteredControllerMakers().
void RegisterStandardControllerMakers();
