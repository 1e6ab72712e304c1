#pragma once
// The editor's boxes and file dialogs for widget tests and benchmarks:
// nothing opens, every box is recorded, and questions and file dialogs are
// answered from queues (yes, cancel when a queue is empty).

#include <deque>
#include <vector>

#include "editor/EditorShellPrompts.h"

namespace qmx::test {

class ScriptedEditorDialogs : public EditorShellPrompts {
public:
    struct Shown {
        QString title;
        QString text;
    };

    void showBox(const QString& title, const QString& text) override {
        shown.push_back({title, text});
    }
    void showInformation(const QString& text) override { shown.push_back({QString(), text}); }
    bool askYesNo(const std::string& title, const std::string& question) override {
        shown.push_back({fromBytes(title), fromBytes(question)});
        return next(yesNoAnswers, true);
    }
    bool askYesFirst(const std::string& title, const std::string& question) override {
        return askYesNo(title, question);
    }
    bool askOkCancel(const std::string& title, const std::string& question, QWidget*) override {
        return askYesNo(title, question);
    }
    SaveChoice askSaveChanges() override {
        shown.push_back(
            {fromBytes(std::string(kWarningTitle)), QString::fromLatin1(kSaveChangesQuestion)});
        return next(saveChoices, SaveChoice::Cancel);
    }
    QString openFile(QWidget*, const QString& caption, const QString&,
                     const QString& filter) override {
        shown.push_back({caption, filter});
        return next(fileAnswers, QString());
    }
    QString saveFile(QWidget*, const QString& caption, const QString&, const QString& filter,
                     int* selectedFilter = nullptr) override {
        shown.push_back({caption, filter});
        if (selectedFilter) *selectedFilter = next(filterAnswers, 0);
        return next(fileAnswers, QString());
    }

    std::vector<Shown> shown;
    std::deque<bool> yesNoAnswers;
    std::deque<SaveChoice> saveChoices;
    std::deque<QString> fileAnswers;
    std::deque<int> filterAnswers;

private:
    template <typename T>
    static T next(std::deque<T>& queue, T whenEmpty) {
        if (queue.empty()) return whenEmpty;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

}  // namespace qmx::test
