#include "dsp_blocks/ui/WindowHelpers.h"

#include <QFrame>
#include <QWidget>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/Dialog.h"
#include "resources/templates/DialogTemplate.h"

namespace {

// UI thread only.
int g_textByCodeDepth = 0;

}  // namespace

std::string GetWindowClassName(const QWidget* window)
{
    std::string name = platform::WindowClassName(window);
    if (name.size() > kMaxClassNameLength) {
        name.resize(kMaxClassNameLength);
    }
    return name;
}

void SetDlgItemTextByCode(QWidget* window, std::int32_t id, std::string_view text)
{
    QWidget* item = platform::FindDlgItem(window, id);
    if (item == nullptr) {
        return;
    }
    ++g_textByCodeDepth;
    platform::SetWindowText(item, text);
    --g_textByCodeDepth;
}

bool IsTextChangeByCode()
{
    return g_textByCodeDepth > 0;
}

EmbedResult EmbedChildDialog(platform::Dialog& panel, std::int32_t placeholderId, QWidget& child,
                             const EmbedTitleSetter& setTitle)
{
    QWidget* placeholder = panel.Item(placeholderId);
    if (placeholder == nullptr) {
        return {};
    }
    const auto* frame = qobject_cast<const QFrame*>(placeholder);
    const int border = frame != nullptr ? frame->frameWidth() : 0;
    const QSize oldSize = placeholder->size();
    const QSize newSize(child.width() + 2 * border, child.height() + 2 * border);
    placeholder->resize(newSize);
    const QPoint inside = placeholder->mapTo(&panel, QPoint(border, border));
    QWidget* parent = child.parentWidget();
    child.move(parent != nullptr && parent != &panel ? parent->mapFrom(&panel, inside) : inside);
    child.raise();
    child.show();
    if (setTitle) {
        std::string title = platform::WindowText(placeholder);
        // A frame shows no text, so the builder kept none; the template has it.
        if (const DialogControl* control = FindTemplateControl(panel.Template(), placeholderId);
            title.empty() && control != nullptr) {
            title = std::string(control->text);
        }
        setTitle(title);
    }
    return EmbedResult{oldSize.width() - newSize.width(), oldSize.height() - newSize.height()};
}

void PlaceInFrame(platform::Dialog& panel, QWidget& child, std::int32_t frameId, int dx, int dy)
{
    QWidget* frame = panel.Item(frameId);
    if (frame == nullptr) {
        return;
    }
    const QRect area = frame->geometry().adjusted(dx, dy, -dx, -dy);
    QWidget* parent = child.parentWidget();
    const QPoint topLeft =
        parent != nullptr && parent != &panel ? parent->mapFrom(&panel, area.topLeft()) : area.topLeft();
    child.setGeometry(QRect(topLeft, area.size()));
    child.raise();
}

void RedrawDlgItem(QWidget* window, std::int32_t id)
{
    if (QWidget* item = platform::FindDlgItem(window, id)) {
        item->repaint();
    }
}

int RightOf(const QWidget& window)
{
    return window.x() + window.width();
}

int BottomOf(const QWidget& window)
{
    return window.y() + window.height();
}

void GrowWindowBy(QWidget& window, int dw, int dh)
{
    window.resize(window.width() + dw, window.height() + dh);
}

QWidget* FindBuddySpin(const platform::Dialog& window, std::int32_t id)
{
    QWidget* next = window.NextInTemplateOrder(window.Item(id));
    if (next != nullptr && platform::WindowClassName(next) == ControlClass::kUpDown) {
        return next;
    }
    return nullptr;
}

void DisableWithSpin(platform::Dialog& window, std::span<const std::int32_t> ids)
{
    for (std::int32_t id : ids) {
        if (QWidget* item = window.Item(id)) {
            item->setEnabled(false);
        }
        if (QWidget* spin = FindBuddySpin(window, id)) {
            spin->setEnabled(false);
        }
    }
}
