// The block-diagram view (kind 1 of the view-layout file): every block of the design as a
// titled box with its pins, the connections between consecutive stages, light frames behind
// the blocks of one frame group, and the selection. The user selects with the mouse (click,
// Ctrl+click, dragging from a block over others); after every selection change the control
// view shows the panel of the first selected block. Its context menu copies one block's
// parameters to the clipboard and pastes them into another block of the same type.
#pragma once

#include <cstdint>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPoint>

#include "application/ui/CEnvironmentView.h"
#include "dsp_blocks/blocks/Rect.h"

class DiagramBlock;
class QContextMenuEvent;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;

class CBlockView : public CEnvironmentView {
    Q_OBJECT

public:
    static constexpr std::int32_t kControlId = 16401;
    static constexpr platform::ColorRef kLineColour = 0x808080;
    static constexpr platform::ColorRef kGroupFrameColour = 0xFFE8E8;        // RGB(232, 232, 255)
    static constexpr platform::ColorRef kSelectedFrameColour = 0xFF4040;     // RGB(64, 64, 255)
    static constexpr platform::ColorRef kSelectedTopColour = 0xFFA8A8;       // RGB(168, 168, 255)
    static constexpr platform::ColorRef kSelectedBottomColour = 0xFF8080;    // RGB(128, 128, 255)

    CBlockView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment);
    ~CBlockView() override;

    std::int32_t GetViewKind() const override { return 1; }

    // The font the diagram measures and draws its texts in (block names, preset names, pin
    // labels).
    static QFont TextFont();

    void OnInitialUpdate() override;
    void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override;

    // Geometry. LayoutBlock fills the block's three rectangles from its fields and returns its
    // selection rectangle; LayoutDiagram does every block, gives the blocks of a grouped type
    // their group's union as selection rectangle and stores the diagram bounds; CentreDiagram
    // lays out again and moves the diagram into the middle of the client area.
    ::Rect LayoutBlock(DiagramBlock& block) const;
    void LayoutDiagram();
    void CentreDiagram();

    // Selection by mouse, as the button and move messages give it (client coordinates).
    void ClearSelection();
    void OnLButtonDown(bool control, int x, int y);
    void OnMouseMove(bool control, int x, int y);
    void OnLButtonUp();
    // The context menu at a screen point: selects the block there and shows menu 264.
    void OnContextMenu(QPoint screenPoint);

    // Copy Block (33066) and Paste Block (32798) with their update handlers.
    void OnCopyBlock();
    void OnPasteBlock();
    void OnUpdateCopyBlock(platform::CommandUi& ui) const;
    void OnUpdatePasteBlock(platform::CommandUi& ui) const;

    // The block (after `stage`-wise search down to stage 0) that feeds channel `channel` of
    // `block`: the first block of the nearest lower stage, not passive, whose output channels
    // hold it; null when none does.
    static const DiagramBlock* FindSourceBlock(const std::vector<const DiagramBlock*>& blocks, const DiagramBlock& block,
                                               std::int32_t channel);

    // State for whoever looks (tests among them).
    bool IsInitialised() const { return initialised_ != 0; }
    bool IsTracking() const { return tracking_ != 0; }
    DiagramBlock* CurrentBlock() const { return current_; }
    QPoint PressPoint() const { return QPoint(pressX_, pressY_); }
    const ::Rect& RubberBand() const { return rubberBand_; }
    const ::Rect& DiagramBounds() const { return bounds_; }

protected:
    void OnDraw(platform::Canvas& dc) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::vector<const DiagramBlock*> ConstBlocks() const;
    void InvalidateBlockRect(const ::Rect& rect);
    void NotifyControlView();
    void InstallCommands();

    // Painting, in the order of a paint pass (CBlockViewPaint.cpp).
    void PaintDiagram(platform::Canvas& dc);
    void PaintGroupFrames(platform::Canvas& dc) const;
    void PaintSelectionLook(platform::Canvas& dc, const DiagramBlock& block) const;
    void PaintBlock(platform::Canvas& dc, const DiagramBlock& block) const;
    void DrawInputPins(platform::Canvas& dc, const DiagramBlock& block) const;
    void DrawOutputPins(platform::Canvas& dc, const DiagramBlock& block) const;
    void DrawConnections(platform::Canvas& dc) const;

    std::uint8_t initialised_ = 0;
    std::int32_t pressX_ = 0;
    std::int32_t pressY_ = 0;
    ::Rect rubberBand_{};
    std::uint8_t tracking_ = 0;
    DiagramBlock* current_ = nullptr;  // the Copy and Paste target; a block of the document
    ::Rect bounds_{};
    QImage backBuffer_;
};
