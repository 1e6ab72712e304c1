#include "player/shell/ShellPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "module/MessageTable.h"
#include "player/shell/CInformationDlg.h"

namespace qmx {

QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    const QByteArray b = text.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QString fromFileText(const std::string& bytes) {
    QString s = fromBytes(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

void ShellPrompts::showBox(const QString& title, const QString& text) {
    if (m_scripted) {
        shown.push_back({title, text});
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

void ShellPrompts::showMessage(int number) {
    const auto text = messageText(MessageTable::Player, number);
    if (!text) return;
    showBox(QString::fromLatin1(kWarningTitle.data(), kWarningTitle.size()),
            QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size())));
}

void ShellPrompts::showText(const std::string& title, const std::string& text) {
    showBox(fromBytes(title), fromFileText(text));
}

bool ShellPrompts::askYesNo(const std::string& title, const std::string& question) {
    if (m_scripted) {
        shown.push_back({fromBytes(title), fromBytes(question)});
        if (yesNoAnswers.empty()) return true;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromBytes(question),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> ShellPrompts::askText(const std::string& title,
                                                 const std::string& prompt, int maxLength) {
    if (m_scripted) {
        shown.push_back({fromBytes(title), fromBytes(prompt)});
        if (textAnswers.empty()) return std::nullopt;
        auto answer = textAnswers.front();
        textAnswers.pop_front();
        if (answer && static_cast<int>(answer->size()) > maxLength) {
            answer->resize(static_cast<std::size_t>(maxLength));
        }
        return answer;
    }
    QInputDialog dialog;
    dialog.setWindowTitle(fromBytes(title));
    dialog.setLabelText(fromBytes(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(maxLength);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toBytes(dialog.textValue().left(maxLength));
}

bool ShellPrompts::showPrompt(std::string_view text) {
    const QString qtext = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    if (m_scripted) {
        promptsShown.push_back(qtext);
        if (promptTicks.empty()) return false;
        const bool tick = promptTicks.front();
        promptTicks.pop_front();
        return tick;
    }
    CInformationDlg dialog(qtext);
    dialog.exec();
    return dialog.dontShowAgain();
}

void ShellPrompts::showDialogError(unsigned code) {
    const auto text = dialogErrorText(code);
    if (!text) return;
    showBox(QString::fromLatin1(kDialogErrorTitle.data(), kDialogErrorTitle.size()),
            QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size())));
}

QString ShellPrompts::nextFileAnswer() {
    if (fileAnswers.empty()) return {};
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ShellPrompts::openFile(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter) {
    if (m_scripted) return nextFileAnswer();
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString ShellPrompts::saveFile(QWidget* parent, const QString& caption, const QString& start,
                               const QString& filter) {
    if (m_scripted) return nextFileAnswer();
    QFileDialog dialog(parent, caption, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Overwriting is asked by the command itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace qmx
