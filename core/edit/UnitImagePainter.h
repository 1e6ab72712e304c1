#pragma once
// The rules of the unit image painter ("Unit Editor"): which area of the
// dialog a click or a drag lands in and what it does to the current unit
// image, the armed tools, the buttons, the dialog's one-level undo copy and
// the strip of images. Every change is written at once through the store;
// the dialog only forwards mouse and buttons and shows surface().

#include <optional>
#include <string>

#include "core/edit/PainterPictures.h"
#include "core/edit/PixelPicture.h"

namespace qmx {

// The unit images the painter works on: the cells of the module image.
class UnitImageStore {
public:
    virtual ~UnitImageStore() = default;
    virtual int capacity() const = 0;
    // Image k (1-based); nothing when k has no 40 x 40 cell in the image.
    virtual std::optional<PixelPicture> read(int k) const = 0;
    // Writes image k. Writes with the same `operation` number in a row belong
    // to one change (a stroke, a glyph moved around before it is placed).
    virtual void write(int k, const PixelPicture& image, const std::string& label,
                       int operation) = 0;
};

// Screen areas of the dialog (client pixels).
constexpr PixelRect kStripArea{14, 23, 351, 127};
constexpr PixelRect kEnlargedArea{50, 235, 200, 200};
constexpr PixelRect kSwatchArea{340, 385, 80, 30};
constexpr PixelRect kSwatchInner{365, 395, 30, 10};
constexpr int kStripColumns = 8;
constexpr int kStripRows = 3;
constexpr int kStripCount = kStripColumns * kStripRows;
constexpr int kZoom = 5;
// Symbols are stamped here on the image.
constexpr PixelPoint kSymbolOffset{8, 6};

enum class PainterTool { None, PickForeground, PickBackground, Fill, Glyph };
enum class PainterCursor { Arrow, Pick, Fill };
enum class PainterButton { Left, Right };

// Top-left corner of strip cell i (0..23).
PixelPoint stripCellCorner(int i);

struct PainterColours {
    Rgb foreground = kBlack;
    Rgb background = kWhite;
};

class UnitImagePainter {
public:
    // `firstShownImage` is shared with the picker of Define Units; `colours`
    // live on between openings. The painter opens on `current` (the first
    // shown image when 0), clamped to the capacity.
    UnitImagePainter(UnitImageStore& store, int& firstShownImage, PainterColours& colours,
                     int current = 0);

    int capacity() const { return m_capacity; }
    int firstShownImage() const { return m_first; }
    int currentImage() const { return m_current; }
    // Images drawn in the strip: from the first shown image up to the capacity, at most 24.
    int shownCount() const;
    Rgb foreground() const { return m_colours.foreground; }
    Rgb background() const { return m_colours.background; }
    PainterTool tool() const { return m_tool; }
    bool undoHeld() const { return m_undoHeld; }
    int copySource() const { return m_copySource; }
    // The glyph chosen last: its rectangle in the dialog.
    PixelRect glyph() const { return m_glyph; }
    bool dragPainting() const { return m_drag; }
    PainterCursor cursor() const;

    // One step of the spin under the strip: a column of three images forward
    // (positive) or back.
    void spin(int steps);

    // Mouse, in dialog client pixels. press() returns true when something to
    // show changed; move() likewise.
    bool press(int x, int y, PainterButton button);
    bool move(int x, int y, bool leftHeld, bool rightHeld);
    void release();

    // The buttons; each does nothing while a tool is armed (fill too). True
    // when the image changed.
    bool swapForeBack();
    bool armFill();
    bool border();
    bool undo();
    void copy();
    bool paste();

    // The current image, and the whole dialog face as it is shown now.
    std::optional<PixelPicture> image() const { return m_store.read(m_current); }
    PixelPicture surface() const;

private:
    bool buttonsBlocked() const { return m_tool != PainterTool::None; }
    void clampFirst();
    bool takeUndo();
    void write(const PixelPicture& image, const char* label);
    void newOperation() { ++m_operation; }
    void pickColour(int x, int y, bool foreground);
    bool paintAt(int x, int y, PainterButton button, bool click);
    bool placeGlyph(int x, int y);

    UnitImageStore& m_store;
    int& m_first;
    PainterColours& m_colours;
    int m_capacity = 0;
    int m_current = 1;
    int m_copySource = 0;
    PainterTool m_tool = PainterTool::None;
    PixelPicture m_undo;
    bool m_undoHeld = false;
    PixelRect m_glyph{};
    bool m_glyphShown = false;
    bool m_drag = false;
    int m_operation = 0;
    PixelPoint m_pointer{-1, -1};
};

}  // namespace qmx
