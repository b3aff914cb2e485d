#include "platform/ui/core/Accelerators.h"

#include <memory>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include "platform/ui/core/Commands.h"
#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/ModalState.h"

namespace platform {
namespace {

const char* const kForwardProperty = "quarryForwardAccelerators";

// UI thread only.
std::vector<std::pair<QKeyCombination, std::uint32_t>>& Table()
{
    static std::vector<std::pair<QKeyCombination, std::uint32_t>> table;
    return table;
}

bool InAcceleratorScope(const QWidget* widget)
{
    const QWidget* main = MainWindow();
    if (main == nullptr || widget == nullptr) {
        return false;
    }
    const QWidget* window = widget->window();
    return window == main || window->property(kForwardProperty).toBool();
}

class AcceleratorFilter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::optional<std::uint32_t> command = MatchAccelerator(*key);
        if (!command || !InAcceleratorScope(static_cast<QWidget*>(watched))) {
            return QObject::eventFilter(watched, event);
        }
        if (AcceleratorsActive()) {
            SendCommand(*command);
        }
        return true;
    }
};

std::unique_ptr<AcceleratorFilter>& Filter()
{
    static std::unique_ptr<AcceleratorFilter> filter;
    return filter;
}

}  // namespace

void SetAccelerators(std::span<const AcceleratorEntry> table)
{
    Table().clear();
    for (const AcceleratorEntry& entry : table) {
        const QKeySequence sequence(QString::fromUtf8(entry.keys.data(), static_cast<qsizetype>(entry.keys.size())),
                                    QKeySequence::PortableText);
        if (!sequence.isEmpty()) {
            Table().emplace_back(sequence[0], entry.command);
        }
    }
}

std::optional<std::uint32_t> MatchAccelerator(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const QKeyCombination pressed(modifiers, static_cast<Qt::Key>(event.key()));
    for (const auto& [combination, command] : Table()) {
        if (combination == pressed) {
            return command;
        }
    }
    return std::nullopt;
}

bool AcceleratorsActive()
{
    const QWidget* main = MainWindow();
    return main != nullptr && main->isEnabled() && !IsModalRunning();
}

void SetAcceleratorForwarding(QWidget* window, bool forward)
{
    window->setProperty(kForwardProperty, forward);
}

void InstallAcceleratorFilter()
{
    if (!Filter()) {
        Filter() = std::make_unique<AcceleratorFilter>();
        QCoreApplication::instance()->installEventFilter(Filter().get());
    }
}

void RemoveAcceleratorFilter()
{
    Filter().reset();
}

}  // namespace platform
