#pragma once
// The editor's message boxes and file dialogs. In scripted mode (tests)
// nothing opens: every box is recorded and questions and file dialogs are
// answered from queues (yes, cancel when a queue is empty).

#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "editor/shell/EditorPrompts.h"

class QWidget;

namespace qmx {

enum class SaveChoice { Save, Discard, Cancel };

inline constexpr const char* kSaveChangesQuestion =
    "The module has changes that are not saved.  Do you wish to save them?";

class EditorShellPrompts : public EditorPrompts {
public:
    struct Shown {
        QString title;
        QString text;
    };

    explicit EditorShellPrompts(bool scripted = false) : m_scripted(scripted) {}
    bool scripted() const { return m_scripted; }

    void showMessage(int number) override;
    void showText(const std::string& title, const std::string& text) override;
    bool askYesNo(const std::string& title, const std::string& question) override;

    // Quitting with unsaved changes: Save, Discard or Cancel.
    SaveChoice askSaveChanges();
    // A file dialog that came back without a file: the text of its error
    // code under "Error!" (nothing for 0, a plain cancel).
    void showDialogError(unsigned code);
    void showBox(const QString& title, const QString& text);
    // An information box without title.
    void showInformation(const QString& text);

    // File dialogs: an empty string when cancelled. `selectedFilter`
    // receives the index of the filter entry chosen.
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter);
    QString saveFile(QWidget* parent, const QString& caption, const QString& start,
                     const QString& filter, int* selectedFilter = nullptr);

    std::vector<Shown> shown;
    std::deque<bool> yesNoAnswers;
    std::deque<SaveChoice> saveChoices;
    std::deque<QString> fileAnswers;
    std::deque<int> filterAnswers;

private:
    bool m_scripted = false;
};

// Module bytes as widget text and back (Latin-1, every byte survives).
QString latin1Text(const std::string& bytes);
std::string latin1Bytes(const QString& text);
// Texts with CR LF line ends (notes, card texts) as a widget shows them and back.
QString shownFileText(const std::string& bytes);
std::string storedFileText(const QString& text);

}  // namespace qmx
