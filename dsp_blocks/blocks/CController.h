// The controller of one diagram block or of a group of like blocks: it holds the block's
// editable parameters, computes the coefficients, encodes the parameter blob, stores
// both on the block(s) and opens the block's panel.
#pragma once

#include <cstdint>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/ChannelConfig.h"

class CController {
public:
    // Frees what the controller owns (its open panel), never the blocks.
    virtual ~CController() = default;

    // Reads the parameters from the block's (or group's) parameter blob, or takes the
    // defaults; recomputes; commits. False when a stored blob fails to decode.
    virtual bool Load() = 0;

    // Decodes a pasted parameter blob (for the block of that channel, where the controller
    // serves several), commits, and refreshes the open panel.
    virtual bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) = 0;

    // Creates the block's panel as a child of parent, remembers it and returns it, or null.
    virtual IBlockPanel* OpenDialog(IPanelHost& parent) = 0;

    // Destroys the open panel and forgets it; false when none is open.
    virtual bool CloseDialog() = 0;

    // Recomputes the coefficients, encodes the parameters and stores both blobs on the
    // block(s), which forward them to an amplifier that is online.
    virtual bool Commit() = 0;

    // Adapts to a new model; true when parameter values had to change.
    virtual bool SetModel(ModelType model) = 0;

    // Adapts to the amplifier's channel output modes; true when values had to change.
    virtual bool ApplyChannelConfig(ChannelConfig config) = 0;

    // The user interface tells the controller that its panel went away on its own (with
    // its parent view), so that the controller forgets it without touching it.
    virtual void OnPanelDestroyed(IBlockPanel* panel) = 0;

protected:
    CController() = default;
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;
};
