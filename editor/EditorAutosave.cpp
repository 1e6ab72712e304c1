#include "editor/EditorAutosave.h"

#include <QDateTime>
#include <QFileInfo>
#include <filesystem>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "graphics/ModuleGraphics.h"
#include "graphics/QtText.h"

namespace fs = std::filesystem;

namespace qmx {

namespace {

constexpr std::string_view kMarkerHead = "QMX editor autosave";

Bytes markerBytes(bool ownPicture, const std::string& source) {
    const std::string text = std::string(kMarkerHead) +
                             "\npicture=" + (ownPicture ? "own" : "source") + "\n" + source + "\n";
    return Bytes(text.begin(), text.end());
}

}  // namespace

std::string editorAutosaveQuestion(const std::string& source, const std::string& when) {
    const std::string what =
        source.empty() ? std::string("a new module") : fs::path(source).filename().string();
    return "The editor was not closed normally.  Your work on " + what + " was autosaved at " +
           when + ".  Do you want to continue from the autosave?";
}

std::string editorAutosaveFailedText(const std::string& path) {
    return "The autosave " + path +
           " could not be written (is the disk full?). If the editor stops now, the changes "
           "since your last save are lost: save your module.";
}

EditorAutosave::EditorAutosave(std::string programFolder) : m_folder(std::move(programFolder)) {}

EditorAutosave::~EditorAutosave() {
    finish();
}

std::string EditorAutosave::modulePath() const {
    return m_folder + kEditorAutosaveName;
}

std::string EditorAutosave::picturePath() const {
    return ModuleGraphics::graphicsName(modulePath());
}

std::optional<EditorAutosave::Found> EditorAutosave::find() const {
    const std::string marker = m_folder + kEditorAutosaveMarker;
    const auto bytes = readWholeFile(marker, 1 << 16);
    if (!bytes) return std::nullopt;
    const std::string text(bytes->begin(), bytes->end());
    const std::string head = std::string(kMarkerHead) + "\npicture=";
    if (text.compare(0, head.size(), head) != 0) return std::nullopt;
    const std::size_t kindEnd = text.find('\n', head.size());
    if (kindEnd == std::string::npos) return std::nullopt;
    Found found;
    found.ownPicture = text.compare(head.size(), kindEnd - head.size(), "own") == 0;
    const std::size_t sourceEnd = text.find('\n', kindEnd + 1);
    found.source = text.substr(
        kindEnd + 1, sourceEnd == std::string::npos ? std::string::npos : sourceEnd - kindEnd - 1);
    found.when = QFileInfo(qtPath(marker))
                     .lastModified()
                     .toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                     .toStdString();
    if (!fileExists(modulePath()) || (found.ownPicture && !fileExists(picturePath())))
        return std::nullopt;
    return found;
}

bool EditorAutosave::busy() const {
    return m_writing.valid() &&
           m_writing.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool EditorAutosave::finish() {
    if (m_writing.valid()) {
        m_lastOk = m_writing.get();
        if (!m_lastOk) m_picture.reset();
    }
    return m_lastOk;
}

bool EditorAutosave::start(const Module& module, const QImage& picture,
                           std::uint64_t pictureRevision, const std::string& source) {
    if (busy()) return false;
    finish();
    const bool ownPicture = !picture.isNull();
    // A picture already in the autosave is not encoded again.
    QImage toWrite;
    if (ownPicture && m_picture != pictureRevision) toWrite = picture;
    m_picture.reset();
    if (ownPicture) m_picture = pictureRevision;
    m_writing =
        std::async(std::launch::async, [this, bytes = serializeModule(module), toWrite, ownPicture,
                                        marker = markerBytes(ownPicture, source)] {
            if (!toWrite.isNull() && !ModuleGraphics(toWrite).exportImage(picturePath()).ok())
                return false;
            if (!ownPicture) {
                std::error_code ignored;
                fs::remove(picturePath(), ignored);
            }
            return writeFileAtomically(modulePath(), bytes) &&
                   writeFileAtomically(m_folder + kEditorAutosaveMarker, marker);
        });
    return true;
}

void EditorAutosave::remove() {
    finish();
    std::error_code ignored;
    fs::remove(m_folder + kEditorAutosaveMarker, ignored);
    fs::remove(modulePath(), ignored);
    fs::remove(picturePath(), ignored);
    m_picture.reset();
    m_lastOk = true;
}

}  // namespace qmx
