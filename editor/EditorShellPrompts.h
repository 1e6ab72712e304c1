#pragma once
// Everything the editor's windows ask the author: the core's boxes and
// questions (EditorPrompts), the Save/Discard/Cancel question on quitting,
// the OK/Cancel questions and the file dialogs. EditorDialogs opens the real
// boxes; the tests answer through a scripted implementation of their own.

#include <QString>
#include <string>

#include "core/edit/EditorPrompts.h"
#include "graphics/QtText.h"

class QWidget;

namespace qmx {

enum class SaveChoice { Save, Discard, Cancel };

inline constexpr const char* kSaveChangesQuestion =
    "The module has changes that are not saved.  Do you wish to save them?";

class EditorShellPrompts : public EditorPrompts {
public:
    // A warning box under a title; an information box without one.
    virtual void showBox(const QString& title, const QString& text) = 0;
    virtual void showInformation(const QString& text) = 0;
    // Quitting with unsaved changes: Save, Discard or Cancel.
    virtual SaveChoice askSaveChanges() = 0;
    // A Yes/No question whose safe answer is Yes (Enter keeps the work).
    virtual bool askYesFirst(const std::string& title, const std::string& question) = 0;
    // True for OK.
    virtual bool askOkCancel(const std::string& title, const std::string& question,
                             QWidget* parent) = 0;
    // File dialogs: an empty string when cancelled. `selectedFilter`
    // receives the index of the filter entry chosen.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& start,
                             const QString& filter, int* selectedFilter = nullptr) = 0;

    // The core's boxes, shown through showBox.
    void showMessage(int number) final;
    void showText(const std::string& title, const std::string& text) final;
    // A file dialog that came back without a file: the text of its error
    // code under "Error!" (nothing for 0, a plain cancel).
    void showDialogError(unsigned code);
};

// The real message boxes and file dialogs.
class EditorDialogs : public EditorShellPrompts {
public:
    void showBox(const QString& title, const QString& text) override;
    void showInformation(const QString& text) override;
    bool askYesNo(const std::string& title, const std::string& question) override;
    bool askYesFirst(const std::string& title, const std::string& question) override;
    SaveChoice askSaveChanges() override;
    bool askOkCancel(const std::string& title, const std::string& question,
                     QWidget* parent) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& start,
                     const QString& filter, int* selectedFilter = nullptr) override;
};

}  // namespace qmx
