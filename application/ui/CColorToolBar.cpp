// The tool bar's buttons and image lists.
#include "application/ui/CColorToolBar.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>

#include "platform/ui/core/CommandActions.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/commands/CommandIds.h"

namespace {

bool LoadImageList(int bitmap, int cellWidth, std::size_t needed, std::vector<QImage>& list)
{
    QImage strip;
    if (!platform::LoadPngResource(bitmap, strip)) {
        return false;
    }
    list = platform::MaskedImageList(strip, cellWidth);
    return list.size() >= needed;
}

}  // namespace

CColorToolBar::CColorToolBar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setContentsMargins(1, 1, 1, 1);
}

const std::vector<std::uint32_t>& CColorToolBar::ButtonCommands()
{
    static const std::vector<std::uint32_t> commands = {CommandId::kFileNew,   CommandId::kFileOpen,
                                                        CommandId::kFileSave,  0,
                                                        CommandId::kMuteOutputs, CommandId::kSaveConfigurationToAmp};
    return commands;
}

bool CColorToolBar::CreateBar(int buttonSize, int resourceId, int normalBitmap, int disabledBitmap, int mutedBitmap,
                              BarStrip& strip)
{
    static_cast<void>(resourceId);
    std::size_t images = 0;
    for (std::uint32_t command : ButtonCommands()) {
        images += command != 0 ? 1 : 0;
    }
    if (!LoadImageList(normalBitmap, buttonSize, images, m_normal) ||
        !LoadImageList(mutedBitmap, buttonSize, images, m_muted) ||
        !LoadImageList(disabledBitmap, buttonSize, images, m_disabled)) {
        return false;
    }
    setIconSize(QSize(buttonSize, buttonSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (std::uint32_t command : ButtonCommands()) {
        if (command == 0) {
            addSeparator();
            continue;
        }
        QAction* action = platform::CommandAction(command);
        // Menus of this program show no pictures.
        action->setIconVisibleInMenu(false);
        addAction(action);
    }
    m_mutedLook = false;
    ApplyImages();
    adjustSize();
    m_strip = &strip;
    strip.toolBar = this;
    strip.toolBarWidth = sizeHint().width();
    return true;
}

void CColorToolBar::SetMutedLook(bool muted)
{
    if (muted == m_mutedLook) {
        return;
    }
    m_mutedLook = muted;
    ApplyImages();
    update();
}

void CColorToolBar::ApplyImages()
{
    const std::vector<QImage>& normal = m_mutedLook ? m_muted : m_normal;
    std::size_t image = 0;
    for (std::uint32_t command : ButtonCommands()) {
        if (command == 0) {
            continue;
        }
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(normal[image]), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(m_disabled[image]), QIcon::Disabled);
        platform::CommandAction(command)->setIcon(icon);
        ++image;
    }
}
