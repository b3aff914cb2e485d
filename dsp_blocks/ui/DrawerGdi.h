// The integer curve drawer: each value point is mapped through the view and drawn with
// whole-pixel lines (coordinates truncated), as the plain drawing of the -na flag wants.
#pragma once

#include <cstdint>

#include "dsp_blocks/filters/DrawHelper.h"
#include "platform/ui/drawing/Canvas.h"

class VGraphView;

class DrawerGdi final : public DrawHelper {
public:
    DrawerGdi(const VGraphView& view, platform::Canvas& canvas);
    // Puts back the pen that was selected before the first SetPen.
    ~DrawerGdi() override;
    DrawerGdi(const DrawerGdi&) = delete;
    DrawerGdi& operator=(const DrawerGdi&) = delete;

    void SetPen(std::uint32_t colour, std::int32_t width) override;
    void MoveTo(float x, float y) override;
    void LineTo(float x, float y) override;
    void Flush() override;

private:
    QPoint Map(float x, float y) const;

    const VGraphView& view_;
    platform::Canvas& canvas_;
    bool inBackBuffer_;
    bool penSelected_ = false;
    platform::Pen previousPen_;
};
