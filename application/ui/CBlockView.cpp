// The block-diagram view: selection, hints, the context menu and the block clipboard.
#include "application/ui/CBlockView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QString>

#include "application/clipboard/BlockClipboardData.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CControlView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/base/Cp1252.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Clipboard.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/PopupMenu.h"
#include "resources/commands/BlockMenu.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"

namespace {

constexpr std::string_view kBlockViewTitle = "Blocks";
constexpr std::string_view kCopyPrefix = "Copy ";
constexpr std::string_view kPastePrefix = "Paste ";


// The block on the clipboard, when it holds one that reads back whole.
std::optional<BlockClipboardData> ClipboardBlock()
{
    const auto bytes = platform::ClipboardBytes(platform::kBlockParamClipboardFormat);
    if (!bytes) {
        return std::nullopt;
    }
    return ReadBlockClipboardData(*bytes);
}

}  // namespace

CBlockView::CBlockView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment)
    : CEnvironmentView(host, std::move(environment), kBlockViewTitle, kControlId)
{
    InstallCommands();
}

CBlockView::~CBlockView() = default;

void CBlockView::InstallCommands()
{
    platform::CommandMap& commands = Commands();
    commands.On(CommandId::kCopyBlock, [this] { OnCopyBlock(); });
    commands.OnUpdate(CommandId::kCopyBlock, [this](platform::CommandUi& ui) { OnUpdateCopyBlock(ui); });
    commands.On(CommandId::kPasteBlock, [this] { OnPasteBlock(); });
    commands.OnUpdate(CommandId::kPasteBlock, [this](platform::CommandUi& ui) { OnUpdatePasteBlock(ui); });
}

std::vector<const DiagramBlock*> CBlockView::ConstBlocks() const
{
    std::vector<const DiagramBlock*> blocks;
    if (const CCorvantEditorDoc* document = GetDocument()) {
        blocks.reserve(document->Blocks().size());
        for (const auto& block : document->Blocks()) {
            blocks.push_back(block.get());
        }
    }
    return blocks;
}

void CBlockView::OnInitialUpdate()
{
    initialised_ = 1;
    CentreDiagram();
    update();
}

void CBlockView::OnUpdate(CCorvantEditorDoc&, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier*)
{
    switch (hint) {
    case UpdateHint::Reset:
        tracking_ = 0;
        current_ = nullptr;
        break;
    case UpdateHint::RedrawDiagram:
        update();
        break;
    default:
        // Nothing else changes what this view shows.
        break;
    }
}

void CBlockView::resizeEvent(QResizeEvent* event)
{
    CEnvironmentView::resizeEvent(event);
    if (initialised_ != 0) {
        CentreDiagram();
    }
}

void CBlockView::InvalidateBlockRect(const ::Rect& rect)
{
    if (!IsRectEmpty(rect)) {
        update(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
    }
}

void CBlockView::NotifyControlView()
{
    if (CControlView* controlView = GetControlView()) {
        controlView->OnSelectionChanged();
    }
}

void CBlockView::ClearSelection()
{
    current_ = nullptr;
    CCorvantEditorDoc* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    for (const auto& block : document->Blocks()) {
        if (block->ClearState()) {
            InvalidateBlockRect(block->selRect);
        }
    }
}

void CBlockView::OnLButtonDown(bool control, int x, int y)
{
    if (!control) {
        ClearSelection();
    }
    pressX_ = x;
    pressY_ = y;
    rubberBand_ = ::Rect{x, y, x, y};
    CCorvantEditorDoc* document = GetDocument();
    DiagramBlock* block = document != nullptr ? document->BlockAtPoint(x, y) : nullptr;
    if (block == nullptr) {
        return;
    }
    ::Rect changed{};
    if (!control) {
        if (!block->SetState(1, changed, false)) {
            return;
        }
        current_ = block;
    } else {
        // Ctrl+click leaves the Copy and Paste target where it was.
        block->ToggleState(changed);
    }
    InvalidateBlockRect(changed);
    tracking_ = 1;
}

void CBlockView::OnMouseMove(bool control, int x, int y)
{
    if (tracking_ == 0) {
        return;
    }
    ::Rect band = NormalizeRect(::Rect{pressX_, pressY_, x, y});
    if (band.right == band.left) {
        band.right = band.left + 1;
    }
    if (band.bottom == band.top) {
        band.bottom = band.top + 1;
    }
    rubberBand_ = band;
    CCorvantEditorDoc* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    for (const auto& block : document->Blocks()) {
        // A passive block is never drawn, so the band must not select it unseen either.
        if ((block->flags & (BlockFlag::kNoRubberBandOrToggle | BlockFlag::kSelectionLocked | BlockFlag::kPassive)) != 0) {
            continue;
        }
        ::Rect changed{};
        if (block->IntersectsRect(band)) {
            if (block->SetState(1, changed, true)) {
                InvalidateBlockRect(changed);
            }
        } else if (!control && block->SetState(0, changed, true)) {
            InvalidateBlockRect(changed);
        }
    }
}

void CBlockView::OnLButtonUp()
{
    tracking_ = 0;
    NotifyControlView();
}

void CBlockView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        OnLButtonDown((event->modifiers() & Qt::ControlModifier) != 0, at.x(), at.y());
    }
    CEnvironmentView::mousePressEvent(event);
}

void CBlockView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    OnMouseMove((event->modifiers() & Qt::ControlModifier) != 0, at.x(), at.y());
    CEnvironmentView::mouseMoveEvent(event);
}

void CBlockView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        OnLButtonUp();
    }
    CEnvironmentView::mouseReleaseEvent(event);
}

void CBlockView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    OnContextMenu(event->globalPos());
}

void CBlockView::OnContextMenu(QPoint screenPoint)
{
    // The menu's commands go to this view first.
    if (CMainFrame* frame = GetMainFrame()) {
        frame->SetActiveView(this);
    }
    const QPoint at = mapFromGlobal(screenPoint);
    CCorvantEditorDoc* document = GetDocument();
    DiagramBlock* block = document != nullptr ? document->BlockAtPoint(at.x(), at.y()) : nullptr;
    if (block == nullptr) {
        if (current_ != nullptr) {
            ClearSelection();
            update();
            NotifyControlView();
        }
    } else if (block != current_) {
        ClearSelection();
        pressX_ = at.x();
        pressY_ = at.y();
        rubberBand_ = ::Rect{at.x(), at.y(), at.x(), at.y()};
        ::Rect changed{};
        if (block->SetState(1, changed, false)) {
            current_ = block;
        }
        InvalidateBlockRect(changed);
        NotifyControlView();
    }

    const auto popups = BlockMenu();
    if (popups.empty()) {
        return;
    }
    const std::string_view title = popups.front().text;
    QMenu menu(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())), this);
    platform::WatchMenu(&menu);
    for (const MenuItemEntry& item : popups.front().items) {
        platform::AddMenuItem(menu, item.command, item.text);
    }
    platform::RemoveMenuItemByCommand(menu, CommandId::kBlockBypass);
    platform::RemoveMenuItemByCommand(menu, CommandId::kBlockMute);
    const QList<QAction*> items = menu.actions();
    if (!items.isEmpty() && items.back()->isSeparator()) {
        menu.removeAction(items.back());
    }
    platform::TrackPopupMenu(menu, screenPoint);
}

void CBlockView::OnUpdateCopyBlock(platform::CommandUi& ui) const
{
    if (current_ == nullptr) {
        ui.Enable(false);
        return;
    }
    ui.SetText(std::string(kCopyPrefix) + platform::Utf16ToUtf8(current_->name));
    ui.Enable(current_->IsFlagBit9Clear());
}

void CBlockView::OnCopyBlock()
{
    if (current_ == nullptr) {
        return;
    }
    const std::uint8_t* blob = nullptr;
    const std::uint32_t size = current_->GetParamBlob(blob);
    const std::vector<std::uint8_t> bytes =
        WriteBlockClipboardData(static_cast<std::uint32_t>(current_->type), current_->name, blob, size);
    platform::SetClipboardBytes(platform::kBlockParamClipboardFormat, bytes);
}

void CBlockView::OnUpdatePasteBlock(platform::CommandUi& ui) const
{
    const std::optional<BlockClipboardData> data = ClipboardBlock();
    if (!data) {
        ui.Enable(false);
        return;
    }
    ui.SetText(std::string(kPastePrefix) + platform::Utf16ToUtf8(data->name));
    ui.Enable(current_ != nullptr && static_cast<std::uint32_t>(current_->type) == data->type);
}

void CBlockView::OnPasteBlock()
{
    const auto bytes = platform::ClipboardBytes(platform::kBlockParamClipboardFormat);
    if (!bytes) {
        return;
    }
    // Foreign bytes are checked whole before anything reaches a block.
    const std::optional<BlockClipboardData> data = ReadBlockClipboardData(*bytes);
    if (!data) {
        platform::InfoBoxFromResource(StringId::kPasteFailed);
        return;
    }
    if (current_ == nullptr || static_cast<std::uint32_t>(current_->type) != data->type) {
        return;
    }
    const bool applied = data->blob.empty()
                             ? current_->ApplyBlobToController(nullptr, 0)
                             : current_->ApplyBlobToController(data->blob.data(),
                                                               static_cast<std::uint32_t>(data->blob.size()));
    if (!applied) {
        platform::InfoBoxFromResource(StringId::kPasteFailed);
        return;
    }
    if (CCorvantEditorDoc* document = GetDocument()) {
        document->SetModifiedFlag(true);
        document->RedrawBlockViews();
    }
}
