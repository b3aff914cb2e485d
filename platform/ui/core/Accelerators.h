// The main window's accelerators: a key sequence of the table sends its command to the main
// window's command chain, also while a control of the main window (a panel's edit, say) has
// the focus, before that control sees the key. Windows marked as forwarding (the panels'
// dialog base uses it) pass their keys on the same way. While the main window is disabled or
// a modal dialog runs, a matching key in those windows is swallowed and sends nothing, as
// the system's accelerator translation did. Other windows keep their keys.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "resources/commands/MainAccelerators.h"

class QKeyEvent;
class QWidget;

namespace platform {

// Replaces the table (the UI layer starts with MainAccelerators()).
void SetAccelerators(std::span<const AcceleratorEntry> table);
// The command of the key event's combination, if the table has it.
std::optional<std::uint32_t> MatchAccelerator(const QKeyEvent& event);
// True while a matching key would send its command: a main window exists and is enabled,
// and no modal dialog or box runs.
bool AcceleratorsActive();
// Marks a top-level window whose keys count as the main window's.
void SetAcceleratorForwarding(QWidget* window, bool forward);

// Used by the UI layer.
void InstallAcceleratorFilter();
void RemoveAcceleratorFilter();

}  // namespace platform
