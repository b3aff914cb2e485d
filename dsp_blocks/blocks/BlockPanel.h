// What a controller needs of the panel that edits its block, and of the view that makes
// panels. The user interface implements both; the core never sees a window.
#pragma once

#include <cstddef>
#include <string>

class CController;

// One open panel. A controller owns its open panel and ends it with DestroyPanel.
class IBlockPanel {
public:
    // Shows the block's name in the panel's title.
    virtual void SetWindowText(const std::u16string& text) = 0;
    // Reads every value of the controller again (after a paste, a reset, a model or
    // channel-mode change).
    virtual void Refresh() = 0;
    // Reads the values of one row again (one delay channel, one output, one preset row).
    virtual void RefreshRow(std::size_t index) = 0;
    // The channel mode may have changed: update impedance texts and value ranges.
    virtual void UpdateChannelMode() = 0;
    // Destroys the panel's window and the panel itself; the pointer is dead afterwards.
    virtual void DestroyPanel() = 0;

protected:
    ~IBlockPanel() = default;
};

// The kinds of panel, one per controller class.
enum class PanelKind {
    Crossover,
    StdMixer,
    InputEQ,
    Limiter,
    Delay,
    InputBlank,
    OutputPolarity,
    SpeakerEQ,
};

// The view that hosts panels: makes the panel of the given kind for a controller as its
// child. Null when the panel cannot be created (nothing is left behind then).
class IPanelHost {
public:
    virtual IBlockPanel* CreatePanel(PanelKind kind, CController& controller) = 0;

protected:
    ~IPanelHost() = default;
};
