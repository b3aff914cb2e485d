// The main window's accelerator table (resource 128): key sequences in Qt's portable text
// form ("Ctrl+C") and the command each one sends to the main window.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct AcceleratorEntry {
    std::string_view keys;
    std::uint32_t command;
};

inline constexpr std::uint32_t kMainAcceleratorTableId = 128;

std::span<const AcceleratorEntry> MainAccelerators();
