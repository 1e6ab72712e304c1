#pragma once
// The painter's unit images in the module image of the editor. Every write
// goes into the image's sheet at once, as a step of the editor's edit
// history; writes of one painter operation (a stroke, a glyph moved about
// until it is placed) merge into one step.

#include "core/edit/UnitImagePainter.h"

class QImage;

namespace qmx {

class EditorDocument;

// Image k of the sheet as a picture, and back; nothing when k has no
// 40 x 40 cell inside the image.
std::optional<PixelPicture> readUnitImage(const Module& module, const QImage& image, int k);
bool writeUnitImage(const Module& module, QImage& image, int k, const PixelPicture& picture);

class SheetImageStore : public UnitImageStore {
public:
    explicit SheetImageStore(EditorDocument& document);

    int capacity() const override;
    std::optional<PixelPicture> read(int k) const override;
    void write(int k, const PixelPicture& image, const std::string& label, int operation) override;

private:
    EditorDocument& m_document;
    int m_session;  // tells this store's operations from another opening's
};

}  // namespace qmx
