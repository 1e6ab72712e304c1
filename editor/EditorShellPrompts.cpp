#include "editor/EditorShellPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "core/module/MessageTable.h"

namespace qmx {

void EditorShellPrompts::showMessage(int number) {
    const auto text = messageText(MessageTable::Editor, number);
    showBox(fromBytes(std::string(kWarningTitle)),
            text ? fromBytes(std::string(*text)) : QStringLiteral("Message %1").arg(number));
}

void EditorShellPrompts::showText(const std::string& title, const std::string& text) {
    showBox(fromBytes(title), fromFileText(text));
}

void EditorShellPrompts::showDialogError(unsigned code) {
    const auto text = dialogErrorText(code);
    if (!text) return;
    showBox(fromBytes(std::string(kDialogErrorTitle)), fromBytes(std::string(*text)));
}

// ---- the real boxes --------------------------------------------------------------

void EditorDialogs::showBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void EditorDialogs::showInformation(const QString& text) {
    QMessageBox box(QMessageBox::Information, QString(), text, QMessageBox::Ok);
    box.exec();
}

namespace {

bool askYesOrNo(const std::string& title, const std::string& question,
                QMessageBox::StandardButton byDefault) {
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromBytes(question),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(byDefault);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool EditorDialogs::askYesNo(const std::string& title, const std::string& question) {
    return askYesOrNo(title, question, QMessageBox::No);
}

bool EditorDialogs::askYesFirst(const std::string& title, const std::string& question) {
    return askYesOrNo(title, question, QMessageBox::Yes);
}

SaveChoice EditorDialogs::askSaveChanges() {
    QMessageBox box(QMessageBox::Warning, fromBytes(std::string(kWarningTitle)),
                    QString::fromLatin1(kSaveChangesQuestion),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool EditorDialogs::askOkCancel(const std::string& title, const std::string& question,
                                QWidget* parent) {
    QMessageBox box(QMessageBox::Question, fromBytes(title), fromBytes(question),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

QString EditorDialogs::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) {
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString EditorDialogs::saveFile(QWidget* parent, const QString& caption, const QString& start,
                                const QString& filter, int* selectedFilter) {
    QFileDialog dialog(parent, caption, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The command asks about overwriting itself, after fixing the extension.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (selectedFilter) {
        *selectedFilter = static_cast<int>(
            filter.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter()));
        if (*selectedFilter < 0) *selectedFilter = 0;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace qmx
