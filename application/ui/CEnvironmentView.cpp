// The child views' common base.
#include "application/ui/CEnvironmentView.h"

#include <QEvent>
#include <QPainter>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "platform/ui/core/ControlIds.h"

namespace {

constexpr int kInitialSize = 100;

}  // namespace

CEnvironmentView::CEnvironmentView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment,
                                   std::string_view title, std::int32_t controlId)
    : QWidget(&host), m_host(host), m_environment(std::move(environment))
{
    platform::SetControlId(this, controlId);
    platform::SetWindowText(this, title);
    setGeometry(0, 0, kInitialSize, kInitialSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_environment) {
        m_environment->view = this;
    }
    show();
}

CEnvironmentView::~CEnvironmentView()
{
    if (CMainFrame* frame = GetMainFrame()) {
        frame->ForgetActiveView(this);
    }
    if (CCorvantEditorDoc* document = GetDocument()) {
        document->RemoveObserver(this);
    }
}

CCorvantEditorDoc* CEnvironmentView::GetDocument() const
{
    return m_host.GetDocument();
}

CMainFrame* CEnvironmentView::GetMainFrame() const
{
    return m_host.GetMainFrame();
}

CControlView* CEnvironmentView::GetControlView() const
{
    return m_environment ? m_environment->controlView : nullptr;
}

void CEnvironmentView::DrawBackground(platform::Canvas& dc, const platform::Rect& rect) const
{
    if (!m_environment) {
        return;
    }
    const platform::GradientDirection direction = m_environment->gradientDirection == ViewGradient::kVertical
                                                      ? platform::GradientDirection::Vertical
                                                      : platform::GradientDirection::Horizontal;
    dc.GradientFill(rect, m_environment->colourB, m_environment->colourA, direction);
}

const QImage& CEnvironmentView::BackgroundImage()
{
    if (m_background.size() != size() && !size().isEmpty()) {
        m_background = QImage(size(), QImage::Format_RGB32);
        platform::Canvas dc(m_background);
        DrawBackground(dc, platform::Rect{0, 0, width(), height()});
    }
    return m_background;
}

void CEnvironmentView::OnInitialUpdate()
{
    update();
}

void CEnvironmentView::OnUpdate(CCorvantEditorDoc&, UpdateHint, CobaltDeviceManager::ICobaltAmplifier*)
{
    update();
}

void CEnvironmentView::OnDraw(platform::Canvas& dc)
{
    if (m_environment) {
        dc.DrawImage(0, 0, BackgroundImage());
    }
}

QImage CEnvironmentView::RenderClient()
{
    if (m_backBuffer.size() != size()) {
        m_backBuffer = QImage(size(), QImage::Format_RGB32);
    }
    if (!m_backBuffer.isNull()) {
        platform::Canvas dc(m_backBuffer);
        OnDraw(dc);
    }
    return m_backBuffer;
}

bool CEnvironmentView::event(QEvent* event)
{
    // A click or the focus makes this the view that commands go to first.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn) {
        if (CMainFrame* frame = GetMainFrame()) {
            frame->SetActiveView(this);
        }
    }
    return QWidget::event(event);
}

void CEnvironmentView::paintEvent(QPaintEvent*)
{
    const QImage& image = RenderClient();
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}
