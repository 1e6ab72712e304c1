#pragma once
// The editor's autosave: the module being edited, written now and then to
// "editor-autosave.qm4" in the program folder, so that a crash or a power
// cut loses a few seconds of work instead of everything since the last Save.
//
// Three files make one autosave: the module, its picture
// ("editor-autosave.PNG", written only when the picture differs from the
// one in the module's own file) and a marker naming the module file the work
// belongs to. The marker is written last, so an autosave without it is
// never offered back. The writing runs on a worker thread: the module's
// bytes and a shared copy of the picture are taken at once, and a large
// picture is encoded without holding up the window.

#include <QImage>
#include <cstdint>
#include <future>
#include <optional>
#include <string>

#include "core/module/Module.h"

namespace qmx {

inline constexpr const char* kEditorAutosaveName = "editor-autosave.qm4";
inline constexpr const char* kEditorAutosaveMarker = "editor-autosave.txt";

// Asked at start-up when an autosave is there.
std::string editorAutosaveQuestion(const std::string& source, const std::string& when);
// Shown once when an autosave cannot be written.
std::string editorAutosaveFailedText(const std::string& path);

class EditorAutosave {
public:
    explicit EditorAutosave(std::string programFolder);
    ~EditorAutosave();
    EditorAutosave(const EditorAutosave&) = delete;
    EditorAutosave& operator=(const EditorAutosave&) = delete;

    std::string modulePath() const;
    std::string picturePath() const;

    // What a marker found at start-up says.
    struct Found {
        std::string source;       // the module file the work belongs to, "" for a new module
        bool ownPicture = false;  // the picture is the autosave's own, else the source's
        std::string when;         // "2026-12-09 15:42"
    };
    std::optional<Found> find() const;

    // Starts writing `module`. `picture` is null when the source's own
    // picture file holds it; otherwise it is written unless the last
    // autosave already wrote the same `pictureRevision`. False when a write
    // is still running (nothing is started then).
    bool start(const Module& module, const QImage& picture, std::uint64_t pictureRevision,
               const std::string& source);
    bool busy() const;
    // Waits for a write in progress. False when the last write failed.
    bool finish();
    // Waits, then removes the three files.
    void remove();

private:
    std::string m_folder;
    std::future<bool> m_writing;
    bool m_lastOk = true;
    // The picture revision the autosave's picture file holds.
    std::optional<std::uint64_t> m_picture;
};

}  // namespace qmx
