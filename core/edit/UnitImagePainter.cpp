#include "core/edit/UnitImagePainter.h"

#include <algorithm>

namespace qmx {

namespace {

constexpr Rgb kCurrentFrame = 0x0000FF;
constexpr Rgb kNoImage = 0xA0A0A0;

bool inside(const PixelRect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

// Clicks and drags on the enlarged image count from one pixel inside its
// top-left corner.
bool onEnlarged(int x, int y) {
    return x > kEnlargedArea.x && y > kEnlargedArea.y &&
           x < kEnlargedArea.x + kEnlargedArea.width && y < kEnlargedArea.y + kEnlargedArea.height;
}

PixelPoint enlargedPixel(int x, int y) {
    return {(x - kEnlargedArea.x) / kZoom, (y - kEnlargedArea.y) / kZoom};
}

}  // namespace

PixelPoint stripCellCorner(int i) {
    return {15 + 44 * (i / kStripRows), 22 + 44 * (i % kStripRows)};
}

UnitImagePainter::UnitImagePainter(UnitImageStore& store, int& firstShownImage,
                                   PainterColours& colours, int current)
    : m_store(store), m_first(firstShownImage), m_colours(colours), m_capacity(store.capacity()) {
    clampFirst();
    m_current = std::clamp(current > 0 ? current : m_first, std::min(1, m_capacity), m_capacity);
}

int UnitImagePainter::shownCount() const {
    return std::clamp(m_capacity - m_first + 1, 0, kStripCount);
}

PainterCursor UnitImagePainter::cursor() const {
    if (m_tool == PainterTool::Fill) return PainterCursor::Fill;
    if (m_tool == PainterTool::PickForeground || m_tool == PainterTool::PickBackground ||
        inside(kColourPaletteArea, m_pointer.x, m_pointer.y)) {
        return PainterCursor::Pick;
    }
    return PainterCursor::Arrow;
}

void UnitImagePainter::clampFirst() {
    // The strip never starts later than capacity - 23, so that the last
    // image stays reachable, and never before image 1, also in a sheet of
    // fewer than 24 images.
    if (m_first + kStripCount - 1 > m_capacity) m_first = m_capacity - kStripCount + 1;
    if (m_first < 1) m_first = 1;
}

void UnitImagePainter::spin(int steps) {
    m_first += steps * kStripRows;
    clampFirst();
}

bool UnitImagePainter::takeUndo() {
    std::optional<PixelPicture> now = image();
    if (!now) return false;
    m_undo = std::move(*now);
    m_undoHeld = true;
    return true;
}

void UnitImagePainter::write(const PixelPicture& picture, const char* label) {
    m_store.write(m_current, picture, label, m_operation);
}

void UnitImagePainter::pickColour(int x, int y, bool foreground) {
    const Rgb c = surface().at(x, y);
    (foreground ? m_colours.foreground : m_colours.background) = c;
}

bool UnitImagePainter::press(int x, int y, PainterButton button) {
    m_pointer = {x, y};
    const bool left = button == PainterButton::Left;
    switch (m_tool) {
        case PainterTool::Glyph:
            // The glyph stays where its last preview put it.
            m_tool = PainterTool::None;
            m_glyphShown = false;
            newOperation();
            return true;
        case PainterTool::PickForeground:
        case PainterTool::PickBackground:
            pickColour(x, y, m_tool == PainterTool::PickForeground);
            m_tool = PainterTool::None;
            return true;
        default:
            break;
    }

    if (inside(kSwatchArea, x, y)) {
        m_tool = left ? PainterTool::PickForeground : PainterTool::PickBackground;
        return true;
    }
    if (left && inside(kStripArea, x, y)) {
        const int image = ((x - 13) / 44) * kStripRows + (y - 22) / 44 + m_first;
        // Only a cell that shows an image can be chosen.
        if (image - m_first >= shownCount() || image == m_current) return false;
        m_current = image;
        // The undo copy belongs to the image it was taken from.
        m_undoHeld = false;
        return true;
    }
    // The glyph strips lie inside the symbol palette's rectangle and go first.
    if (left && (inside(kSmallGlyphArea, x, y) || inside(kLargeGlyphArea, x, y))) {
        if (!takeUndo()) return false;
        if (inside(kSmallGlyphArea, x, y)) {
            m_glyph = smallGlyphRect(std::clamp((x - 381) / 8 + 1, 1, kGlyphCount));
        } else {
            m_glyph = largeGlyphRect(std::clamp((x - 377) / 11 + 1, 1, kGlyphCount));
        }
        m_tool = PainterTool::Glyph;
        m_glyphShown = false;
        newOperation();
        return true;
    }
    if (left && inside(kSymbolArea, x, y)) {
        const int col = (x - 375) / kSymbolCellWidth;
        const int row = (y - 26) / kSymbolCellHeight;
        // Only the cells that hold a symbol: the rest of the rectangle lies
        // under the glyph strips or beyond the palette's edge.
        if (col >= kSymbolColumns || row >= kSymbolRows) return false;
        if (!takeUndo()) return false;
        PixelPicture stamped = m_undo;
        const PixelPoint from = symbolCorner(col, row);
        stampTransparent(stamped, painterFace(), {from.x, from.y, kSymbolWidth, kSymbolHeight},
                         kSymbolOffset.x, kSymbolOffset.y);
        newOperation();
        write(stamped, "Unit Symbol");
        return true;
    }
    if (onEnlarged(x, y)) return paintAt(x, y, button, true);
    if (inside(kColourPaletteArea, x, y)) {
        pickColour(x, y, left);
        return true;
    }
    return false;
}

bool UnitImagePainter::paintAt(int x, int y, PainterButton button, bool click) {
    const PixelPoint p = enlargedPixel(x, y);
    const Rgb colour = button == PainterButton::Left ? m_colours.foreground : m_colours.background;
    if (click) {
        if (!takeUndo()) return false;
        newOperation();
    }
    std::optional<PixelPicture> picture = image();
    if (!picture) return false;
    if (click && m_tool == PainterTool::Fill) {
        floodFill(*picture, p.x, p.y, colour);
        m_tool = PainterTool::None;
        write(*picture, "Fill");
        return true;
    }
    if (click) m_drag = true;
    if (picture->at(p.x, p.y) == colour) return false;
    picture->set(p.x, p.y, colour);
    write(*picture, "Paint");
    return true;
}

bool UnitImagePainter::placeGlyph(int x, int y) {
    if (!m_undoHeld) return false;
    const int px = std::clamp((x - kEnlargedArea.x) / kZoom, 0, kUnitImageSize - m_glyph.width);
    const int py = std::clamp((y - kEnlargedArea.y) / kZoom, 0, kUnitImageSize - m_glyph.height);
    PixelPicture preview = m_undo;
    stampTransparent(preview, painterFace(), m_glyph, px, py);
    write(preview, "Number");
    m_glyphShown = true;
    return true;
}

bool UnitImagePainter::move(int x, int y, bool leftHeld, bool rightHeld) {
    m_pointer = {x, y};
    if (m_tool == PainterTool::Glyph) return placeGlyph(x, y);
    if (m_drag && onEnlarged(x, y) && (leftHeld || rightHeld)) {
        return paintAt(x, y, rightHeld ? PainterButton::Right : PainterButton::Left, false);
    }
    return false;
}

void UnitImagePainter::release() {
    m_drag = false;
    if (m_tool != PainterTool::Glyph) newOperation();
}

bool UnitImagePainter::swapForeBack() {
    if (buttonsBlocked() || !takeUndo()) return false;
    PixelPicture swapped = m_undo;
    swapColours(swapped, m_colours.foreground, m_colours.background);
    newOperation();
    write(swapped, "FGnd <--> BGnd");
    return true;
}

bool UnitImagePainter::armFill() {
    if (buttonsBlocked() || !takeUndo()) return false;
    m_tool = PainterTool::Fill;
    return true;
}

bool UnitImagePainter::border() {
    if (buttonsBlocked() || !takeUndo()) return false;
    PixelPicture framed = m_undo;
    drawBorder(framed, m_colours.foreground);
    newOperation();
    write(framed, "Border");
    return true;
}

bool UnitImagePainter::undo() {
    if (buttonsBlocked() || !m_undoHeld) return false;
    newOperation();
    write(m_undo, "Undo Image");
    return true;
}

void UnitImagePainter::copy() {
    if (buttonsBlocked()) return;
    m_copySource = m_current;
}

bool UnitImagePainter::paste() {
    if (buttonsBlocked() || m_copySource == 0) return false;
    std::optional<PixelPicture> source = m_store.read(m_copySource);
    if (!source || !takeUndo()) return false;
    newOperation();
    write(*source, "Paste Image");
    return true;
}

PixelPicture UnitImagePainter::surface() const {
    PixelPicture s = painterFace();
    for (int i = 0; i < shownCount(); ++i) {
        const PixelPoint at = stripCellCorner(i);
        const int k = m_first + i;
        if (std::optional<PixelPicture> cell = m_store.read(k)) {
            s.draw(*cell, at.x, at.y);
        } else {
            s.fillRect(at.x, at.y, kUnitImageSize, kUnitImageSize, kNoImage);
        }
        if (k == m_current) {
            s.fillRect(at.x - 2, at.y - 2, kUnitImageSize + 4, 1, kCurrentFrame);
            s.fillRect(at.x - 2, at.y + kUnitImageSize + 1, kUnitImageSize + 4, 1, kCurrentFrame);
            s.fillRect(at.x - 2, at.y - 1, 1, kUnitImageSize + 2, kCurrentFrame);
            s.fillRect(at.x + kUnitImageSize + 1, at.y - 1, 1, kUnitImageSize + 2, kCurrentFrame);
        }
    }
    if (std::optional<PixelPicture> now = image()) {
        for (int py = 0; py < kUnitImageSize; ++py) {
            for (int px = 0; px < kUnitImageSize; ++px) {
                s.fillRect(kEnlargedArea.x + kZoom * px, kEnlargedArea.y + kZoom * py, kZoom, kZoom,
                           now->at(px, py));
            }
        }
    } else {
        s.fillRect(kEnlargedArea.x, kEnlargedArea.y, kEnlargedArea.width, kEnlargedArea.height,
                   kNoImage);
    }
    s.fillRect(kSwatchArea.x, kSwatchArea.y, kSwatchArea.width, kSwatchArea.height,
               m_colours.background);
    s.fillRect(kSwatchInner.x, kSwatchInner.y, kSwatchInner.width, kSwatchInner.height,
               m_colours.foreground);
    return s;
}

}  // namespace qmx
