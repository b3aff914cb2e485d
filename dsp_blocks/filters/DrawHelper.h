// Drawing target of response curves, in value coordinates (x in Hz, y in dB).
// The graph views implement it with plain and anti-aliased line drawers.
#pragma once

#include <cstdint>

class DrawHelper {
public:
    virtual ~DrawHelper() = default;
    // colour: 32-bit word with red in the low byte; width in pixels.
    virtual void SetPen(std::uint32_t colour, std::int32_t width) = 0;
    virtual void MoveTo(float x, float y) = 0;
    virtual void LineTo(float x, float y) = 0;
    virtual void Flush() = 0;
};
