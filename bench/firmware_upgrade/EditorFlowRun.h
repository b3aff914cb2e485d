// The firmware upgrade as the editor runs it: the device manager over the shared library
// finds a paced virtual amplifier, the "Firmware Update" entry opens the firmware dialog, its
// Update button starts the firmware session with the dialog's progress sink, and the figures
// are taken from the dialog's own notices.
#pragma once

#include <filesystem>

// Runs the update in `folder` (its own virtual-device folder) and prints the transfer's wall
// time, its exchanges and its ratio to the wire minimum beside `libraryRatio`, the figure of
// the library-only run. Needs a QApplication. Returns 0 when the update succeeded.
int RunThroughEditorFlow(const std::filesystem::path& folder, double libraryRatio);
