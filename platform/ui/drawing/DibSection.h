// A 32-bit bottom-up device-independent bitmap whose bytes live in a QImage (stored with the
// picture's bottom row first, as the header says), and the DIB view of an ordinary QImage.
#pragma once

#include <cstdint>

#include <QImage>

#include "platform/ui/drawing/BlendBits.h"

namespace platform {

class DibSection {
public:
    DibSection() = default;
    // width x height pixels, header size 40 in the original's terms: one plane, 32 bits, no
    // compression, every byte 0. Null when either size is below 1.
    static DibSection Create32(int width, int height);
    // A bottom-up 32-bit copy of a picture (straight alpha; opaque for images without alpha).
    static DibSection FromImage(const QImage& picture);

    bool IsNull() const { return m_rows.isNull(); }
    const DibHeader& Header() const { return m_header; }
    std::uint8_t* Bits() { return m_rows.bits(); }
    const std::uint8_t* Bits() const { return m_rows.constBits(); }
    // The picture, top row first, as a straight-alpha QImage::Format_ARGB32 copy.
    QImage ToImage() const;

private:
    DibHeader m_header;
    QImage m_rows;  // ARGB32; row 0 holds the picture's bottom row
};

// The DIB header of a QImage's own bytes (top-down, so a negative height): 32 bits for RGB32
// and ARGB32, 24 bits for BGR888. Width 0 for any other format (convert it first).
DibHeader DibHeaderOf(const QImage& image);

}  // namespace platform
