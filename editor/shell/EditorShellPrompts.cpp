#include "editor/shell/EditorShellPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "module/MessageTable.h"

namespace qmx {

QString latin1Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string latin1Bytes(const QString& text) {
    const QByteArray b = text.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QString shownFileText(const std::string& bytes) {
    QString s = latin1Text(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

std::string storedFileText(const QString& text) {
    QString s = text;
    s.replace(QChar('\n'), QStringLiteral("\r\n"));
    return latin1Bytes(s);
}

void EditorShellPrompts::showBox(const QString& title, const QString& text) {
    if (m_scripted) {
        shown.push_back({title, text});
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void EditorShellPrompts::showInformation(const QString& text) {
    if (m_scripted) {
        shown.push_back({QString(), text});
        return;
    }
    QMessageBox box(QMessageBox::Information, QString(), text, QMessageBox::Ok);
    box.exec();
}

void EditorShellPrompts::showMessage(int number) {
    const auto text = messageText(MessageTable::Editor, number);
    showBox(latin1Text(std::string(kWarningTitle)),
            text ? latin1Text(std::string(*text)) : QStringLiteral("Message %1").arg(number));
}

void EditorShellPrompts::showText(const std::string& title, const std::string& text) {
    showBox(latin1Text(title), shownFileText(text));
}

bool EditorShellPrompts::askYesNo(const std::string& title, const std::string& question) {
    if (m_scripted) {
        shown.push_back({latin1Text(title), latin1Text(question)});
        if (yesNoAnswers.empty()) return true;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Warning, latin1Text(title), latin1Text(question),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice EditorShellPrompts::askSaveChanges() {
    const QString title = latin1Text(std::string(kWarningTitle));
    const QString text = QString::fromLatin1(kSaveChangesQuestion);
    if (m_scripted) {
        shown.push_back({title, text});
        if (saveChoices.empty()) return SaveChoice::Cancel;
        const SaveChoice c = saveChoices.front();
        saveChoices.pop_front();
        return c;
    }
    QMessageBox box(QMessageBox::Warning, title, text,
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

void EditorShellPrompts::showDialogError(unsigned code) {
    const auto text = dialogErrorText(code);
    if (!text) return;
    showBox(latin1Text(std::string(kDialogErrorTitle)), latin1Text(std::string(*text)));
}

QString EditorShellPrompts::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                     const QString& filter) {
    if (m_scripted) {
        shown.push_back({caption, filter});
        if (fileAnswers.empty()) return {};
        const QString a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString EditorShellPrompts::saveFile(QWidget* parent, const QString& caption, const QString& start,
                                     const QString& filter, int* selectedFilter) {
    if (m_scripted) {
        shown.push_back({caption, filter});
        if (selectedFilter) {
            *selectedFilter = filterAnswers.empty() ? 0 : filterAnswers.front();
            if (!filterAnswers.empty()) filterAnswers.pop_front();
        }
        if (fileAnswers.empty()) return {};
        const QString a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
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
