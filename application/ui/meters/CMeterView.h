// The meter view: a child view of the main view that shows the design's meter cells in one
// of its modes (every cell, input levels, or output protection states with the legend
// button). While the design is online it polls the amplifier every 100 ms, lets levels fall
// back when nothing fresh arrives and redraws only the cells that changed; hovering over the
// legend button of the protection mode pops up the legend window.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <QFont>
#include <QImage>

#include "application/ui/CEnvironmentView.h"
#include "application/ui/meters/MeterList.h"
#include "application/ui/meters/MeterPolling.h"
#include "platform/ui/core/WindowTimers.h"

class CMeterView final : public CEnvironmentView {
    Q_OBJECT

public:
    static constexpr std::int32_t kControlId = 16402;
    static constexpr std::uint32_t kPollTimer = 1;
    static constexpr std::uint32_t kLegendTimer = 2;
    static constexpr std::uint32_t kPollIntervalMs = 100;
    static constexpr std::uint32_t kLegendIntervalMs = 200;
    // The legend's hot area spans this far left and right of the client centre, and this far
    // down from it; the legend window hangs this far below the centre.
    static constexpr int kLegendHotHalfWidth = 55;
    static constexpr int kLegendHotHeight = 40;
    static constexpr int kLegendAnchorDrop = 20;

    // The mode is the kind of the layout line (3, 5, 6 or 7).
    CMeterView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment);
    ~CMeterView() override;

    // The mode the view runs in, and the one its layout line asked for.
    std::uint32_t Mode() const { return m_mode; }
    std::uint32_t RequestedMode() const { return m_requestedMode; }
    // The view's cells, made from the document's channel counts at the initial update.
    MeterList* Meters() const { return m_meters.get(); }
    const std::array<float, meters::kMeterChannels>& Levels() const { return m_polling.Levels(); }
    const std::array<std::uint16_t, meters::kMeterChannels>& States() const { return m_polling.States(); }
    bool IsAttached() const { return m_polling.IsAttached(); }
    bool IsTimerRunning(std::uint32_t timerId) const { return m_timers.IsSet(timerId); }
    const QFont& ViewFont() const { return m_viewFont; }

    // Whether a point of the client area lies where hovering shows the legend.
    bool InLegendHotArea(QPoint point) const;

    void OnInitialUpdate() override;
    // Hint 4 attaches the amplifier (or detaches for null); hint 1 drops the cells, which
    // belonged to the design that goes.
    void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override;
    // Timer 1 polls, timer 2 hides the legend once the pointer has left the hot area.
    void OnTimer(std::uint32_t timerId);
    // The pointer moved to `point` of the client area.
    void OnMouseMove(QPoint point);

    // The client area as the window shows it (drawn whole when it is not up to date).
    const QImage& ClientImage();

protected:
    void OnDraw(platform::Canvas& dc) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void LayOutView();
    void PrepareLegend();
    void ShowLegend();
    void HideLegend();
    void Attach(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    void Detach();
    // Draws levels (input mode) or states (protection mode) into the client image and
    // repaints what changed.
    void ShowValues(const float* levels, const std::uint16_t* states);
    // Draws the client image whole when it is out of date; true when it did.
    bool EnsureClient();
    void InvalidateClient();

    std::uint32_t m_requestedMode;
    std::uint32_t m_mode;
    QFont m_viewFont;
    meters::MeterPolling m_polling;
    std::unique_ptr<MeterList> m_meters;
    platform::WindowTimers m_timers;
    QImage m_client;  // what the window shows
    bool m_clientValid = false;
    bool m_showsLegend = false;  // this view showed the legend window
};
