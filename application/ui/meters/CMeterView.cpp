// The meter view.
#include "application/ui/meters/CMeterView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/meters/LegendWnd.h"
#include "application/ui/meters/MeterScale.h"
#include "platform/ui/drawing/UiFonts.h"

namespace {

constexpr std::string_view kMeterViewTitle = "Meters";

// The screen nearest to a point (the one holding it, else the closest by edge distance).
QScreen* ScreenNearest(QPoint point)
{
    if (QScreen* screen = QGuiApplication::screenAt(point)) {
        return screen;
    }
    QScreen* nearest = QGuiApplication::primaryScreen();
    long long best = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const long long dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
        const long long dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
        const long long distance = dx * dx + dy * dy;
        if (best < 0 || distance < best) {
            best = distance;
            nearest = screen;
        }
    }
    return nearest;
}

}  // namespace

CMeterView::CMeterView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment)
    : CEnvironmentView(host, std::move(environment), kMeterViewTitle, kControlId),
      m_requestedMode(Environment() != nullptr ? static_cast<std::uint32_t>(Environment()->kind)
                                               : meters::MeterMode::kAll),
      m_mode(meters::EffectiveMeterMode(m_requestedMode)),
      m_viewFont(platform::DefaultGuiFont()),
      m_polling(m_mode),
      m_timers([this](std::uint32_t timerId) { OnTimer(timerId); })
{
    setMouseTracking(true);
}

CMeterView::~CMeterView()
{
    HideLegend();
}

bool CMeterView::InLegendHotArea(QPoint point) const
{
    const int centreX = width() / 2;
    const int centreY = height() / 2;
    return point.x() >= centreX - kLegendHotHalfWidth && point.x() < centreX + kLegendHotHalfWidth &&
           point.y() >= centreY && point.y() < centreY + kLegendHotHeight;
}

void CMeterView::OnInitialUpdate()
{
    CCorvantEditorDoc* document = GetDocument();
    const MeterListCounts* counts = document != nullptr ? document->GetMeterList() : nullptr;
    m_meters = counts != nullptr ? std::make_unique<MeterList>(counts->inputCount, counts->outputCount) : nullptr;
    if (m_meters) {
        // The gradient alone, put back under a redrawn indicator.
        m_meters->SetBackground(&BackgroundImage());
        if ((m_mode == meters::MeterMode::kAll || m_mode == meters::MeterMode::kInputs) && Environment() != nullptr) {
            m_meters->SetStyle(Environment()->meterOptions);
        }
    }
    LayOutView();
    PrepareLegend();
    CEnvironmentView::OnInitialUpdate();
}

void CMeterView::OnUpdate(CCorvantEditorDoc&, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    if (hint == UpdateHint::AmplifierChanged) {
        if (amplifier != nullptr) {
            Attach(amplifier);
        } else {
            Detach();
        }
    } else if (hint == UpdateHint::Reset) {
        m_meters.reset();
        InvalidateClient();
    }
}

void CMeterView::Attach(CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    m_polling.Attach(amplifier);
    m_timers.Set(kPollTimer, kPollIntervalMs);
}

void CMeterView::Detach()
{
    m_polling.Detach();
    m_timers.Kill(kPollTimer);
    const float empty[meters::kMeterChannels] = {meters::kDetachedLevelDb, meters::kDetachedLevelDb,
                                                 meters::kDetachedLevelDb, meters::kDetachedLevelDb};
    const std::uint16_t cleared[meters::kMeterChannels] = {};
    ShowValues(empty, cleared);
}

void CMeterView::OnTimer(std::uint32_t timerId)
{
    if (timerId == kPollTimer) {
        m_polling.Poll();
        ShowValues(m_polling.Levels().data(), m_polling.States().data());
    } else if (timerId == kLegendTimer) {
        if (!InLegendHotArea(mapFromGlobal(QCursor::pos()))) {
            HideLegend();
            m_timers.Kill(kLegendTimer);
        }
    }
}

void CMeterView::ShowValues(const float* levels, const std::uint16_t* states)
{
    if (!m_meters || (m_mode != meters::MeterMode::kInputs && m_mode != meters::MeterMode::kProtection)) {
        return;
    }
    const bool whole = EnsureClient();
    std::vector<platform::Rect> drawn;
    {
        platform::Canvas dc(m_client);
        dc.SelectFont(m_viewFont);
        if (m_mode == meters::MeterMode::kInputs) {
            m_meters->SetInputLevels(dc, std::span<const float>(levels, meters::kMeterChannels), drawn);
        } else {
            m_meters->SetOutputStates(dc, std::span<const std::uint16_t>(states, meters::kMeterChannels), drawn);
        }
    }
    if (whole) {
        update();
        return;
    }
    for (const platform::Rect& rect : drawn) {
        update(rect.ToQRect());
    }
}

void CMeterView::OnMouseMove(QPoint point)
{
    if (m_mode == meters::MeterMode::kProtection && InLegendHotArea(point)) {
        ShowLegend();
        m_timers.Set(kLegendTimer, kLegendIntervalMs);
    }
}

void CMeterView::PrepareLegend()
{
    LegendWindowFor(window()).SetLegendFont(m_viewFont);
}

void CMeterView::ShowLegend()
{
    LegendWnd& legend = LegendWindowFor(window());
    const QPoint anchor = mapToGlobal(QPoint(width() / 2, height() / 2 + kLegendAnchorDrop));
    QScreen* screen = ScreenNearest(QCursor::pos());
    const QRect workArea = screen != nullptr ? screen->availableGeometry() : QRect();
    legend.SetOutputCount(m_meters ? static_cast<std::int32_t>(m_meters->OutputCount()) : 0);
    legend.ShowAt(anchor, workArea);
    m_showsLegend = true;
}

void CMeterView::HideLegend()
{
    if (m_showsLegend) {
        if (LegendWnd* legend = ExistingLegendWindow()) {
            legend->hide();
        }
        m_showsLegend = false;
    }
}

void CMeterView::LayOutView()
{
    InvalidateClient();
    if (!m_meters) {
        return;
    }
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas dc(scratch);
    dc.SelectFont(m_viewFont);
    const platform::Rect client{0, 0, width(), height()};
    if (m_mode == meters::MeterMode::kAll) {
        // Every cell at once: the inputs over the upper half, the outputs under them.
        const int middle = client.bottom / 2;
        m_meters->Layout(false, platform::Rect{client.left, client.top, client.right, middle}, dc);
        m_meters->Layout(true, platform::Rect{client.left, middle, client.right, client.bottom}, dc);
    } else {
        m_meters->Layout(m_mode != meters::MeterMode::kInputs, client, dc);
    }
}

void CMeterView::OnDraw(platform::Canvas& dc)
{
    CEnvironmentView::OnDraw(dc);
    if (!m_meters) {
        return;
    }
    const QFont previous = dc.SelectFont(m_viewFont);
    switch (m_mode) {
    case meters::MeterMode::kAll:
        m_meters->DrawAll(dc);
        break;
    case meters::MeterMode::kInputs:
        m_meters->DrawInputs(dc);
        break;
    case meters::MeterMode::kProtection:
        m_meters->DrawOutputsWithLegend(dc);
        break;
    default:
        break;
    }
    dc.SelectFont(previous);
}

void CMeterView::InvalidateClient()
{
    m_clientValid = false;
    update();
}

bool CMeterView::EnsureClient()
{
    if (m_clientValid && m_client.size() == size()) {
        return false;
    }
    m_client = QImage(size(), QImage::Format_RGB32);
    if (!m_client.isNull()) {
        // Brings the indicators' background to the new size before any of them is redrawn.
        BackgroundImage();
        platform::Canvas dc(m_client);
        OnDraw(dc);
    }
    m_clientValid = true;
    return true;
}

const QImage& CMeterView::ClientImage()
{
    EnsureClient();
    return m_client;
}

void CMeterView::paintEvent(QPaintEvent* event)
{
    EnsureClient();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_client, event->rect());
}

void CMeterView::resizeEvent(QResizeEvent* event)
{
    CEnvironmentView::resizeEvent(event);
    LayOutView();
}

void CMeterView::mouseMoveEvent(QMouseEvent* event)
{
    CEnvironmentView::mouseMoveEvent(event);
    OnMouseMove(event->position().toPoint());
}
