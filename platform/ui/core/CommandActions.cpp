#include "platform/ui/core/CommandActions.h"

#include <cassert>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QWidget>

#include "platform/ui/core/Commands.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/OwnerDrawButton.h"
#include "resources/strings/StringTable.h"

namespace platform {
namespace {

const char* const kCommandProperty = "quarryCommandId";

struct BoundWidget {
    std::uint32_t id;
    QPointer<QWidget> widget;
    bool disableIfNoHandler;
};

struct Registry {
    QObject owner;  // parent of every action
    std::map<std::uint32_t, QAction*> actions;
    std::vector<std::pair<int, std::function<void(QMenu&)>>> showHooks;
    int nextHook = 1;
    std::vector<BoundWidget> widgets;
};

std::unique_ptr<Registry>& Instance()
{
    static std::unique_ptr<Registry> registry;
    return registry;
}

Registry& Get()
{
    assert(Instance() && "the UI layer is not up");
    return *Instance();
}

void Apply(QAction& action, const CommandUi& ui)
{
    action.setEnabled(ui.enabled);
    if (ui.checkedSet) {
        action.setCheckable(true);
        action.setChecked(ui.checked);
    }
    if (ui.textSet) {
        action.setText(QString::fromStdString(ui.text));
    }
}

void Apply(QWidget& widget, const CommandUi& ui)
{
    widget.setEnabled(ui.enabled);
    if (ui.textSet) {
        SetWindowText(&widget, ui.text);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget); button != nullptr && ui.checkedSet) {
        button->setChecked(ui.checked);
    }
}

// The system's menus let the pointer rest on a disabled item, so that its prompt shows in
// the status bar like any other item's; the menus of the command chain do the same.
class CommandMenuStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_Menu_AllowActiveAndDisabled) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void CreateCommandActions()
{
    Instance() = std::make_unique<Registry>();
}

void DestroyCommandActions()
{
    Instance().reset();
}

QAction* CommandAction(std::uint32_t id)
{
    Registry& registry = Get();
    if (auto found = registry.actions.find(id); found != registry.actions.end()) {
        return found->second;
    }
    const QString toolTip = QString::fromStdString(CommandToolTipText(id));
    auto* action = new QAction(toolTip, &registry.owner);
    action->setProperty(kCommandProperty, id);
    action->setToolTip(toolTip);
    action->setStatusTip(QString::fromStdString(CommandPromptText(id)));
    QObject::connect(action, &QAction::triggered, action, [id] { SendCommand(id); });
    registry.actions.emplace(id, action);
    return action;
}

QAction* AddMenuItem(QMenu& menu, std::uint32_t command, std::string_view text)
{
    if (command == 0) {
        return menu.addSeparator();
    }
    QAction* action = CommandAction(command);
    action->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    menu.addAction(action);
    return action;
}

std::uint32_t ActionCommandId(const QAction* action)
{
    if (action == nullptr) {
        return 0;
    }
    const QVariant value = action->property(kCommandProperty);
    return value.isValid() ? value.toUInt() : 0;
}

void UpdateCommandAction(QAction& action)
{
    const std::uint32_t id = ActionCommandId(&action);
    if (id != 0) {
        Apply(action, Router().MenuState(id));
    }
}

void UpdateMenu(QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        UpdateCommandAction(*action);
    }
}

void UpdateCommandUis()
{
    Registry& registry = Get();
    // Copies: an update handler may add actions or bind controls.
    std::vector<QPointer<QAction>> actions;
    for (const auto& [id, action] : registry.actions) {
        actions.emplace_back(action);
    }
    for (const QPointer<QAction>& action : actions) {
        if (action) {
            UpdateCommandAction(*action);
        }
    }
    std::erase_if(registry.widgets, [](const BoundWidget& bound) { return bound.widget.isNull(); });
    const std::vector<BoundWidget> widgets = registry.widgets;
    for (const BoundWidget& bound : widgets) {
        if (!bound.widget) {
            continue;
        }
        CommandUi ui;
        if (bound.disableIfNoHandler) {
            ui = Router().MenuState(bound.id);
        } else {
            Router().Update(bound.id, ui);
        }
        Apply(*bound.widget, ui);
    }
}

void WatchMenu(QMenu* menu)
{
    auto* style = new CommandMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
        const auto hooks = Get().showHooks;
        for (const auto& [handle, hook] : hooks) {
            hook(*menu);
        }
        UpdateMenu(*menu);
    });
}

int AddMenuShowHook(std::function<void(QMenu&)> hook)
{
    Registry& registry = Get();
    const int handle = registry.nextHook++;
    registry.showHooks.emplace_back(handle, std::move(hook));
    return handle;
}

void RemoveMenuShowHook(int handle)
{
    std::erase_if(Get().showHooks, [handle](const auto& entry) { return entry.first == handle; });
}

bool RemoveMenuItemByCommand(QMenu& menu, std::uint32_t id)
{
    bool removed = false;
    for (QAction* action : menu.actions()) {
        if (ActionCommandId(action) == id) {
            menu.removeAction(action);
            removed = true;
        }
    }
    return removed;
}

void BindCommandWidget(std::uint32_t id, QWidget* widget)
{
    UnbindCommandWidget(widget);
    const bool pushButton = qobject_cast<QPushButton*>(widget) != nullptr || qobject_cast<OwnerDrawButton*>(widget) != nullptr;
    Get().widgets.push_back({id, widget, pushButton});
}

void UnbindCommandWidget(QWidget* widget)
{
    std::erase_if(Get().widgets, [widget](const BoundWidget& bound) { return bound.widget == widget; });
}

}  // namespace platform
