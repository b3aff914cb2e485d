// The main view: loading the child views and their row layout.
#include "application/ui/CCorvantEditorView.h"

#include <algorithm>
#include <limits>
#include <utility>

#include <QCoreApplication>
#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CControlView.h"
#include "application/ui/CEnvironmentView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/ViewEnvironment.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"

namespace {

int ToCoordinate(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

CCorvantEditorView::CCorvantEditorView(CMainFrame& frame, CCorvantEditorDoc& document,
                                       std::filesystem::path dataFolder, QWidget* parent)
    : QWidget(parent), m_frame(frame), m_document(&document), m_dataFolder(std::move(dataFolder))
{
    document.AddObserver(this);
}

CCorvantEditorView::~CCorvantEditorView()
{
    // The children go first, while this view (their host) is whole.
    DeleteChildViews();
    m_document->RemoveObserver(this);
}

void CCorvantEditorView::DeleteChildViews()
{
    // Each child leaves the document's observers and the frame's active view itself.
    const std::vector<CEnvironmentView*> children = std::exchange(m_children, {});
    for (CEnvironmentView* child : children) {
        delete child;
    }
}

std::vector<RowLayoutItem> CCorvantEditorView::LayoutItems() const
{
    std::vector<RowLayoutItem> items;
    items.reserve(m_children.size());
    for (CEnvironmentView* child : m_children) {
        const ViewEnvironment& record = *child->Environment();
        items.push_back(RowLayoutItem{record.row, record.width, record.height, record.stretch});
    }
    return items;
}

bool CCorvantEditorView::LoadChildViews()
{
    auto records = ReadViewEnvironmentFile(m_dataFolder / LoadStringId(StringId::kViewLayoutFileName));
    if (!records) {
        return false;
    }
    for (ViewEnvironment& record : *records) {
        CEnvironmentView* view = CreateViewForEnvironment(std::make_unique<ViewEnvironment>(std::move(record)), *this);
        if (view != nullptr) {
            m_children.push_back(view);
            m_document->AddObserver(view);
        }
    }
    // Each view's size is bounded by the reader; the rows they add up to are bounded here.
    const RowLayoutResult natural = LayOutRows(LayoutItems(), 0, 0);
    if (natural.width > kMaxViewLayoutSize || natural.height > kMaxViewLayoutSize) {
        DeleteChildViews();
        return false;
    }
    const QSize required = LayOutChildren(0, 0);
    m_requiredWidth = required.width();
    m_requiredHeight = required.height();
    return true;
}

bool CCorvantEditorView::OnInitialUpdate()
{
    if (m_loaded == 0) {
        if (!LoadChildViews()) {
            platform::MessageBoxId(StringId::kBrokenInstallation);
            // The program ends once its event loop runs (or at once when it runs already).
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(kBrokenInstallationExitCode); },
                Qt::QueuedConnection);
            return false;
        }
        m_loaded = 1;
        CControlView* controlView = FindControlView();
        for (CEnvironmentView* child : m_children) {
            child->Environment()->controlView = controlView;
        }
        LayOutChildren(width(), height());
        m_frame.SetRequiredClientSize(m_requiredWidth, m_requiredHeight);
        m_frame.UpdateMinTrackSize();
    }
    for (CEnvironmentView* child : m_children) {
        child->OnInitialUpdate();
    }
    update();
    return true;
}

CControlView* CCorvantEditorView::FindControlView() const
{
    for (CEnvironmentView* child : m_children) {
        if (child->GetViewKind() == 2) {
            return static_cast<CControlView*>(child);
        }
    }
    return nullptr;
}

QSize CCorvantEditorView::LayOutChildren(int clientWidth, int clientHeight)
{
    const RowLayoutResult layout = LayOutRows(LayoutItems(), clientWidth, clientHeight);
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        const RowLayoutPlace& place = layout.places[i];
        CEnvironmentView* child = m_children[i];
        if (!place.placed) {
            child->hide();
            continue;
        }
        // The layout gives window rectangles; the child's client area lies inside its frame.
        // The loaded layout and the client area both fit in a window's coordinates.
        const int inner = 2 * kChildViewFrame;
        child->setGeometry(ToCoordinate(place.x) + kChildViewFrame, ToCoordinate(place.y) + kChildViewFrame,
                           std::max(0, ToCoordinate(place.width) - inner), std::max(0, ToCoordinate(place.height) - inner));
        child->show();
    }
    update();
    return QSize(ToCoordinate(layout.width), ToCoordinate(layout.height));
}

void CCorvantEditorView::OnUpdate(CCorvantEditorDoc&, UpdateHint, CobaltDeviceManager::ICobaltAmplifier*)
{
    update();
}

void CCorvantEditorView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutChildren(event->size().width(), event->size().height());
}

void CCorvantEditorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    platform::Canvas dc(painter);
    dc.FillSolidRect(platform::Rect{0, 0, width(), height()}, platform::SysColor::kAppWorkspace);
    // Each child's dialog frame: a raised double edge around its client area.
    for (CEnvironmentView* child : m_children) {
        if (!child->isVisible()) {
            continue;
        }
        const QRect inner = child->geometry();
        const platform::Rect outer{inner.left() - kChildViewFrame, inner.top() - kChildViewFrame,
                                   inner.left() + inner.width() + kChildViewFrame,
                                   inner.top() + inner.height() + kChildViewFrame};
        dc.Draw3dRect(outer, platform::SysColor::k3dLight, platform::SysColor::k3dDarkShadow);
        dc.Draw3dRect(outer.Deflated(1, 1), platform::SysColor::kButtonHighlight, platform::SysColor::kButtonShadow);
        dc.Draw3dRect(outer.Deflated(2, 2), platform::SysColor::kButtonFace, platform::SysColor::kButtonFace);
    }
}
