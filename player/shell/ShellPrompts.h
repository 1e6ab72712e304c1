#pragma once
// The player's dialogs for the core: numbered messages, texts, yes/no
// questions, text entry, the help prompts' "Information" dialog, file-dialog
// errors and the file dialogs themselves.
//
// In scripted mode (tests, --no-dialogs) nothing opens: every message is
// recorded, questions are answered from queues (yes, unticked, cancel when a
// queue is empty), so start-up and commands run without a person.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "player/document/UserPrompts.h"
#include "player/shell/HelpPrompts.h"

class QWidget;

namespace qmx {

class ShellPrompts : public UserPrompts, public PromptDialog {
public:
    // What a scripted run showed: title and text of each box, in order.
    struct Shown {
        QString title;
        QString text;
    };

    explicit ShellPrompts(bool scripted = false) : m_scripted(scripted) {}

    bool scripted() const { return m_scripted; }
    void setScripted(bool on) { m_scripted = on; }

    // --- UserPrompts -----------------------------------------------------------
    void showMessage(int number) override;
    void showText(const std::string& title, const std::string& text) override;
    bool askYesNo(const std::string& title, const std::string& question) override;
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       int maxLength) override;

    // --- PromptDialog: the "Information" dialog of the help prompts -------------
    bool showPrompt(std::string_view text) override;

    // A file dialog returned without a file: shows the text of its extended
    // error code under "Error!"; nothing for 0 (cancelled) or unknown codes.
    void showDialogError(unsigned code);

    // A message box without owner: title, text, exclamation icon, OK.
    void showBox(const QString& title, const QString& text);

    // File dialogs; an empty string when cancelled.
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter);
    QString saveFile(QWidget* parent, const QString& caption, const QString& start,
                     const QString& filter);

    // Scripted answers and what was shown.
    std::vector<Shown> shown;
    std::vector<QString> promptsShown;
    std::deque<bool> yesNoAnswers;
    std::deque<bool> promptTicks;
    std::deque<QString> fileAnswers;
    std::deque<std::optional<std::string>> textAnswers;

private:
    // The next scripted file-dialog answer; empty (cancelled) when none is left.
    QString nextFileAnswer();

    bool m_scripted = false;
};

// Bytes of the core as text for a widget and back; every byte survives.
QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text);
// A text with CR LF line ends as shown in a widget (line breaks only).
QString fromFileText(const std::string& bytes);

}  // namespace qmx
