// The connection bar's icon and layout.
#include "application/ui/CConnectionStatusBar.h"

#include <QEvent>
#include <QResizeEvent>

#include "platform/ui/core/CommandActions.h"
#include "platform/ui/drawing/BitmapAlpha.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/commands/CommandIds.h"
#include "resources/images/ImageIds.h"
#include "resources/templates/ConnectionBarTemplate.h"

CConnectionStatusBar::CConnectionStatusBar(QWidget* parent)
    : platform::Dialog(kConnectionBarTemplate, Kind::Child, parent)
{
}

CConnectionStatusBar::~CConnectionStatusBar()
{
    for (QWidget* item : Items()) {
        platform::UnbindCommandWidget(item);
    }
}

bool CConnectionStatusBar::CreateBar(BarStrip& strip)
{
    if (!Create()) {
        return false;
    }
    QWidget* text = Item(ConnectionBarIds::kText);
    QWidget* icon = Item(ConnectionBarIds::kIcon);
    if (text == nullptr || icon == nullptr) {
        return false;
    }
    // The document's update handlers give the text and the connection state.
    platform::BindCommandWidget(CommandId::kConnectionText, text);
    platform::BindCommandWidget(CommandId::kConnectionIcon, icon);
    m_strip = &strip;
    strip.connectionBar = this;
    strip.connectionBarWidth = width();
    return true;
}

void CConnectionStatusBar::SetIconState(std::uint8_t state)
{
    if (state == m_iconState) {
        return;
    }
    m_iconState = state;
    if (QWidget* icon = Item(ConnectionBarIds::kIcon)) {
        icon->update();
    }
}

void CConnectionStatusBar::OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState&)
{
    if (id != ConnectionBarIds::kIcon || m_icon.isNull()) {
        return;
    }
    platform::Canvas dc(painter);
    platform::DrawBitmapAlpha(dc, 0, 0, ConnectionBarValue::kIconCell, ConnectionBarValue::kIconCell, m_icon,
                              IconCell() * ConnectionBarValue::kIconCell, 0);
}

void CConnectionStatusBar::resizeEvent(QResizeEvent* event)
{
    platform::Dialog::resizeEvent(event);
    QWidget* icon = Item(ConnectionBarIds::kIcon);
    if (icon == nullptr) {
        return;
    }
    if (m_iconNotLoaded != 0) {
        m_iconNotLoaded = 0;
        const QRect area = icon->geometry();
        const int cell = ConnectionBarValue::kIconCell;
        const int x = (area.left() + area.left() + area.width()) / 2 - cell / 2;
        const int y = (area.top() + area.top() + area.height()) / 2 - cell / 2;
        icon->setGeometry(x, y, cell, cell);
        platform::LoadPngResource(ImageId::kConnectionIcon, m_icon);
    }
    // The icon keeps its distance from the bar's right edge; the text stays left of it.
    const int iconRight = icon->geometry().left() + icon->geometry().width();
    const int shift = width() - iconRight - ConnectionBarValue::kIconRightMargin;
    if (shift != 0) {
        for (QWidget* item : Items()) {
            item->move(item->pos() + QPoint(shift, 0));
        }
    }
}

bool CConnectionStatusBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_inMousePress = 1;
        break;
    case QEvent::MouseButtonRelease:
        m_inMousePress = 0;
        break;
    case QEvent::ToolTip:
        // While a press is handled the bar names no tool.
        if (m_inMousePress != 0) {
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return platform::Dialog::event(event);
}
