// One step of a handle drag on the input EQ's response graph, the way a user shapes sound:
// a mouse move on a 1600 x 1000 parametric view with nine bands, the posted step handed to
// the real panel (band into its row, redesign in the controller, bands back to the view),
// then the repaint (the changed section and the combined response recomputed, curves over
// the cached background, the block copy) to a finished frame.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include "bench/ui/UiBench.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/PanelFactory.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/UiLayer.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr int kWarmUpMoves = 20;
constexpr int kMoves = 500;
constexpr std::size_t kDraggedBand = 4;

const EqBand kDesign[LInputEQController::kBandCount] = {
    {2, 63.0f, 1.0f, 4.0f},   {0, 125.0f, 1.0f, -3.0f},  {3, 250.0f, 4.0f, 0.0f},
    {0, 500.0f, 2.0f, 2.0f},  {0, 1000.0f, 1.0f, 6.0f},  {0, 2000.0f, 0.7f, 3.0f},
    {0, 4000.0f, 3.0f, 5.0f}, {0, 8000.0f, 1.4f, -2.0f}, {1, 16000.0f, 1.0f, 6.0f},
};

class BenchSite final : public IPanelSite, public IPanelHost {
public:
    QWidget* PanelParent() override { return &host; }
    void SetDesignModified() override {}
    std::uint32_t GetInputEqMode(std::size_t) override { return 1; }
    void SetInputEqMode(std::size_t, std::uint32_t) override {}
    bool GetInputEqWidthIsQ() override { return true; }
    void SetInputEqWidthIsQ(bool) override {}
    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override
    {
        return CreateBlockPanel(kind, controller, *this);
    }

    QWidget host;
};

void SendMouse(QWidget& view, QEvent::Type type, QPoint point, Qt::MouseButtons buttons)
{
    const QPointF local(point);
    QMouseEvent event(type, local, view.mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

}  // namespace

UI_BENCH(ParametricDragStep)
{
    const bool layerHere = !platform::UiLayer::IsUp();
    std::unique_ptr<platform::UiLayer> layer = layerHere ? std::make_unique<platform::UiLayer>() : nullptr;
    DiagramBlock block;
    block.type = BlockType::InputEQ;
    LInputEQController controller(block);
    controller.Load();
    for (std::size_t i = 0; i < LInputEQController::kBandCount; ++i) {
        controller.SetBand(i, kDesign[i], false);
    }
    BenchSite site;
    site.host.resize(kWidth + 100, kHeight + 100);
    site.host.show();
    auto* panel = dynamic_cast<LInputEQ*>(controller.OpenDialog(site));
    if (panel == nullptr || panel->Graph() == nullptr) {
        std::printf("parametric drag step: the input-EQ panel could not be made\n");
        return;
    }
    panel->resize(kWidth + 100, kHeight + 100);
    VParametricFreqGraphView& view = *panel->Graph();
    view.setGeometry(0, 0, kWidth, kHeight);
    // The window must be exposed before anything reaches its backing store.
    QCoreApplication::processEvents();
    view.repaint();

    const platform::Rect& handle = view.HandleRect(kDraggedBand);
    const QPoint start((handle.left + handle.right) / 2 + view.PlotRect().left,
                       (handle.top + handle.bottom) / 2 + view.PlotRect().top);
    SendMouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton);
    std::vector<double> samples;
    samples.reserve(kMoves);
    for (int move = 0; move < kWarmUpMoves + kMoves; ++move) {
        // Back and forth over a quarter of the plot, in frequency and gain.
        const int phase = move % 200;
        const int offset = phase < 100 ? phase * 4 : (200 - phase) * 4;
        const QPoint point = start + QPoint(offset, -offset / 3);
        const auto begin = std::chrono::steady_clock::now();
        SendMouse(view, QEvent::MouseMove, point, Qt::LeftButton);
        platform::DeliverPostedMessages();
        // What the event loop paints next: the plot the new bands invalidated.
        view.repaint(view.PlotRect().ToQRect());
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
        if (move >= kWarmUpMoves) {
            samples.push_back(took.count());
        }
    }
    SendMouse(view, QEvent::MouseButtonRelease, start, Qt::NoButton);
    const bool dragged = view.Band(kDraggedBand).frequency != kDesign[kDraggedBand].frequency;
    controller.CloseDialog();
    const UiBenchFigures figures = Percentiles(samples);
    std::printf("parametric drag step %dx%d, 9 bands (move, panel, redesign, recompute, repaint): "
                "median %.2f ms, p99 %.2f ms over %d moves (goal: median under 8 ms)%s\n",
                kWidth, kHeight, figures.median, figures.p99, kMoves, dragged ? "" : " -- THE BAND DID NOT MOVE");
}
