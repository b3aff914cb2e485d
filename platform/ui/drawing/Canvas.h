// The surface every window draws on: a QPainter over a back-buffer QImage (or, for owner-draw
// hooks, a painter the caller already has), with the drawing state and rules the windows were
// designed for: colour words with red in the low byte, selected pen, brush, font, text colour
// and background mode, rectangles whose right and bottom edges lie outside, lines that leave
// out their last pixel, exact two-colour gradients, 3-D and focus frames, and text placed by
// flags. Pixels come out the same on every machine (fixed colours and fonts, integer
// placement), so tests compare them exactly.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>

#include "platform/ui/drawing/Brush.h"
#include "platform/ui/drawing/ColorRef.h"
#include "platform/ui/drawing/Pen.h"
#include "platform/ui/drawing/Rect.h"

class QColor;
class QImage;
class QPainter;

namespace platform {

// Text placement flags of Canvas::DrawText (combine with |).
namespace TextFlag {
inline constexpr unsigned kLeft = 0x0000;
inline constexpr unsigned kCenter = 0x0001;       // horizontally
inline constexpr unsigned kRight = 0x0002;
inline constexpr unsigned kVCenter = 0x0004;      // single-line text only
inline constexpr unsigned kBottom = 0x0008;       // single-line text only
inline constexpr unsigned kSingleLine = 0x0020;   // line breaks are drawn as spaces
inline constexpr unsigned kNoClip = 0x0100;       // may draw outside the rectangle
inline constexpr unsigned kCalcRect = 0x0400;     // measure only: sets right and bottom, draws nothing
inline constexpr unsigned kNoPrefix = 0x0800;     // '&' is shown as it is
inline constexpr unsigned kEndEllipsis = 0x8000;  // cut a line that does not fit and end it with "..."
}  // namespace TextFlag

enum class BackgroundMode {
    Transparent,  // text and dotted lines leave the background as it is
    Opaque,       // text cells are filled with the background colour first
};

// How lines and shapes are rasterised. Integer drawing puts whole pixels (coordinates
// truncated, no smoothing); anti-aliased drawing keeps fractions and smooths edges, with
// pixel centres on whole coordinates.
enum class DrawMode { Integer, AntiAliased };

enum class GradientDirection {
    Horizontal,  // start colour in the left column, end colour in the right one
    Vertical,    // start colour in the top row, end colour in the bottom one
};

QColor ToQColor(ColorRef colour);
ColorRef FromQColor(const QColor& colour);

// The colour of item i of n evenly stepped colours from start to end: per channel
// start + (end - start) * i / (n - 1), the division truncating toward zero; item 0 is exactly
// start and item n - 1 exactly end (n <= 1 gives start).
ColorRef GradientStep(ColorRef start, ColorRef end, int i, int n);

class Canvas {
public:
    // Draws into `target` (a 32-bit image: RGB32, ARGB32 or ARGB32 premultiplied), which must
    // outlive the canvas.
    explicit Canvas(QImage& target);
    // Draws through a painter that is already active (a paint event, an owner-draw hook). The
    // painter's state is saved here and restored when the canvas goes.
    explicit Canvas(QPainter& painter);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QPainter& Painter() { return *m_painter; }
    // The image the pixels land in: the target image, or the painter's device when that is an
    // image; null for a window, whose pixels cannot be read back.
    QImage* TargetImage() const { return m_image; }
    // Where logical (0, 0) lies in TargetImage(): the painter's translation. False when the
    // painter's transform is more than a whole-pixel translation.
    bool DeviceOffset(QPoint& offset) const;

    // Selecting returns what was selected before, so a caller can put it back.
    Pen SelectPen(const Pen& pen);
    Brush SelectBrush(const Brush& brush);
    // Fonts in points are converted to pixels at 96 dots per inch, whatever the device says.
    QFont SelectFont(const QFont& font);
    ColorRef SetTextColor(ColorRef colour);
    ColorRef SetBkColor(ColorRef colour);
    BackgroundMode SetBkMode(BackgroundMode mode);
    DrawMode SetDrawMode(DrawMode mode);

    const Pen& CurrentPen() const { return m_state.pen; }
    const Brush& CurrentBrush() const { return m_state.brush; }
    const QFont& CurrentFont() const { return m_state.font; }
    ColorRef TextColor() const { return m_state.textColour; }
    ColorRef BkColor() const { return m_state.bkColour; }
    BackgroundMode BkMode() const { return m_state.bkMode; }
    DrawMode CurrentDrawMode() const { return m_state.drawMode; }

    // Saves the selections, the clip and the current position; Restore brings back the last
    // saved set (nothing when none is saved).
    void Save();
    void Restore();

    // Clipping in logical coordinates. SetClipRect replaces the clip, IntersectClipRect narrows
    // it; an empty rectangle clips everything away.
    void SetClipRect(const Rect& rect);
    void IntersectClipRect(const Rect& rect);
    void RemoveClip();

    // Fills exactly the pixels of the rectangle with one colour (any pen and brush ignored).
    void FillSolidRect(const Rect& rect, ColorRef colour);
    // As FillSolidRect with the brush's colour; a hollow brush fills nothing.
    void FillRect(const Rect& rect, const Brush& brush);
    // One-pixel border on the rectangle's outermost pixels in the brush's colour.
    void FrameRect(const Rect& rect, const Brush& brush);
    // Two-colour linear gradient over the rectangle: row (or column) i of n gets
    // GradientStep(start, end, i, n), so the first is exactly start and the last exactly end.
    void GradientFill(const Rect& rect, ColorRef start, ColorRef end, GradientDirection direction);

    // Outline with the current pen (its pixels inside the rectangle for a 1-pixel pen) and
    // interior with the current brush. With the null pen the brush fills the whole rectangle.
    void Rectangle(const Rect& rect);
    void Ellipse(const Rect& rect);
    // Closed polygon: outline with the current pen through every point, inside with the brush.
    void Polygon(std::span<const QPoint> points);

    // Lines with the current pen from the current position; LineTo leaves out the end pixel
    // and makes the end the current position.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint CurrentPosition() const { return m_state.position; }
    // Connected lines through the points, the last pixel left out (as LineTo).
    void Polyline(std::span<const QPoint> points);
    // Connected lines through points that keep their fractions, drawn in the current draw mode
    // as one stroke (end point included); at least two points, or nothing is drawn.
    void PolylineF(std::span<const QPointF> points);

    // One-pixel frame just inside the rectangle: top and left in topLeft (the top row without
    // its last pixel, the left column without its last pixel), right and bottom in bottomRight.
    void Draw3dRect(const Rect& rect, ColorRef topLeft, ColorRef bottomRight);
    // Dotted frame on the outermost pixels of the rectangle, made by inverting every other
    // pixel (the top-left one first), so drawing it a second time removes it.
    void DrawFocusRect(const Rect& rect);
    // Two-pixel sunken edge (shadow and dark shadow at the top and left, highlight and light at
    // the bottom and right, in the system colours); returns the rectangle inside it.
    Rect DrawSunkenEdge(const Rect& rect);
    // The size grip of a status bar in the bottom-right corner of rect: three ridges of
    // diagonal lines, each a highlight line and two shadow lines, on the existing background.
    void DrawSizeGrip(const Rect& rect);

    // Draws text in the current font, text colour and background mode. Without kSingleLine the
    // text breaks at '\n' only. Without kNoPrefix a single '&' is dropped and "&&" shows one '&'.
    // With kCalcRect nothing is drawn; rect.right and rect.bottom are set to enclose the text
    // from rect.left and rect.top. Returns the height of the text.
    int DrawText(const QString& text, Rect& rect, unsigned flags);
    int DrawText(std::string_view utf8, Rect& rect, unsigned flags);
    // Width and height of one line of text in the current font.
    QSize TextExtent(const QString& text) const;
    int LineHeight() const;

    // Copies pixels (no blending): the part of source at (sourceX, sourceY) of width x height
    // (-1: up to the source's edge) lands at (x, y).
    void DrawImage(int x, int y, const QImage& source, int sourceX = 0, int sourceY = 0, int width = -1,
                   int height = -1);

    // Pixel of the target image at logical (x, y); kInvalidColor outside it or without an image.
    ColorRef GetPixel(int x, int y) const;
    void SetPixel(int x, int y, ColorRef colour);

private:
    struct State {
        Pen pen = StockPen::kBlack;
        Brush brush = StockBrush::kWhite;
        QFont font;
        ColorRef textColour = 0x000000;
        ColorRef bkColour = 0xFFFFFF;
        BackgroundMode bkMode = BackgroundMode::Opaque;
        DrawMode drawMode = DrawMode::Integer;
        QPoint position;
    };

    void ApplyPen(int minimumWidth = 0);
    void ApplyBrush();
    void ApplyRenderMode();
    void DrawLineWithoutEnd(QPoint from, QPoint to);

    std::unique_ptr<QPainter> m_ownedPainter;  // the canvas made on an image paints with its own painter
    QPainter* m_painter = nullptr;
    QImage* m_image = nullptr;
    State m_state;
    std::vector<State> m_saved;
};

}  // namespace platform
