#include "editor/SheetImageStore.h"

#include <QImage>

#include "editor/EditorDocument.h"

namespace qmx {

namespace {

// One unit image changed: the 40 x 40 pixels before and after. The cell is
// found again from the module on every undo and redo.
class UnitImageEdit : public EditAction {
public:
    UnitImageEdit(EditorDocument& document, int image, PixelPicture before, PixelPicture after,
                  std::string label, int session, int operation)
        : m_document(document),
          m_image(image),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_label(std::move(label)),
          m_session(session),
          m_operation(operation) {}

    void redo() override { put(m_after); }
    void undo() override { put(m_before); }
    std::string label() const override { return m_label; }
    bool isNoOp() const override { return m_before == m_after; }
    std::size_t cost() const override {
        return (m_before.pixels().size() + m_after.pixels().size()) * sizeof(Rgb);
    }
    bool changesPicture() const override { return true; }
    bool mergeWith(const EditAction& next) override {
        const auto* same = dynamic_cast<const UnitImageEdit*>(&next);
        if (!same || same->m_session != m_session || same->m_operation != m_operation ||
            same->m_image != m_image) {
            return false;
        }
        m_after = same->m_after;
        return true;
    }

private:
    void put(const PixelPicture& picture) {
        writeUnitImage(m_document.module(), m_document.graphics().image(), m_image, picture);
    }

    EditorDocument& m_document;
    int m_image;
    PixelPicture m_before;
    PixelPicture m_after;
    std::string m_label;
    int m_session;
    int m_operation;
};

// The cell of image k when it is a whole 40 x 40 picture inside the image.
std::optional<QRect> cellOf(const Module& module, const QImage& image, int k) {
    if (k < 1 || k > module.imageCapacity()) return std::nullopt;
    const PixelRect r = unitImageRect(module, k);
    const QRect rect(r.x, r.y, r.width, r.height);
    if (r.width != kUnitImageSize || r.height != kUnitImageSize || !image.rect().contains(rect)) {
        return std::nullopt;
    }
    return rect;
}

int nextSession() {
    static int session = 0;
    return ++session;
}

}  // namespace

std::optional<PixelPicture> readUnitImage(const Module& module, const QImage& image, int k) {
    const std::optional<QRect> r = cellOf(module, image, k);
    if (!r) return std::nullopt;
    PixelPicture picture = blankUnitImage();
    for (int y = 0; y < kUnitImageSize; ++y) {
        for (int x = 0; x < kUnitImageSize; ++x) {
            picture.set(x, y, image.pixel(r->x() + x, r->y() + y) & 0xFFFFFF);
        }
    }
    return picture;
}

bool writeUnitImage(const Module& module, QImage& image, int k, const PixelPicture& picture) {
    const std::optional<QRect> r = cellOf(module, image, k);
    if (!r || picture.width() != kUnitImageSize || picture.height() != kUnitImageSize) return false;
    for (int y = 0; y < kUnitImageSize; ++y) {
        for (int x = 0; x < kUnitImageSize; ++x) {
            image.setPixel(r->x() + x, r->y() + y, 0xFF000000u | picture.at(x, y));
        }
    }
    return true;
}

SheetImageStore::SheetImageStore(EditorDocument& document)
    : m_document(document), m_session(nextSession()) {}

int SheetImageStore::capacity() const {
    return m_document.module().imageCapacity();
}

std::optional<PixelPicture> SheetImageStore::read(int k) const {
    return readUnitImage(m_document.module(), m_document.graphics().image(), k);
}

void SheetImageStore::write(int k, const PixelPicture& image, const std::string& label,
                            int operation) {
    std::optional<PixelPicture> before = read(k);
    if (!before) return;
    m_document.history().apply(std::make_unique<UnitImageEdit>(m_document, k, std::move(*before),
                                                               image, label, m_session, operation));
}

}  // namespace qmx
