#include "player/ShellPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "core/game/Comment.h"
#include "core/module/MessageTable.h"
#include "player/CAboutDlg.h"
#include "player/CChangePasswordDlg.h"
#include "player/CCommentDlg.h"
#include "player/CDEFDICE.h"
#include "player/CDeal.h"
#include "player/CDefinePlayersDlg.h"
#include "player/CEncryptDlg.h"
#include "player/CIdentifyDlg.h"
#include "player/CInformationDlg.h"
#include "player/CInitPlayerDlg.h"
#include "player/CModuleInfoDlg.h"
#include "player/CPreferencesDlg.h"
#include "player/CReadback.h"
#include "player/CResult.h"
#include "player/CViewHand.h"
#include "player/CasciiPrefs.h"
#include "player/Cgivecard.h"
#include "player/Cplacecard.h"
#include "player/MailProgram.h"

namespace qmx {

QString fileDialogFilter(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& f : filters) {
        // The toolkit reads the patterns from the parentheses; "*.*" is every file.
        // A name that shows its patterns already ("QMX Saved Games(*.qms)") is
        // read as it stands.
        const QString name = fromBytes(f.name);
        if (name.contains(QChar('('))) {
            parts << name;
            continue;
        }
        const QString pattern = f.pattern == "*.*" ? QStringLiteral("*") : fromBytes(f.pattern);
        parts << QStringLiteral("%1 (%2)").arg(name, pattern);
    }
    return parts.join(QStringLiteral(";;"));
}

namespace {

QString messageTextOf(int number) {
    const auto text = messageText(MessageTable::Player, number);
    return text ? QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size()))
                : QString();
}

}  // namespace

// ---- ShellPrompts -------------------------------------------------------------

void ShellPrompts::showMessage(int number) {
    const QString text = messageTextOf(number);
    if (text.isEmpty()) return;
    QMessageBox box(QMessageBox::Warning,
                    QString::fromLatin1(kWarningTitle.data(), kWarningTitle.size()), text,
                    QMessageBox::Ok);
    box.exec();
}

void ShellPrompts::showText(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromFileText(text), QMessageBox::Ok);
    box.exec();
}

bool ShellPrompts::askYesNo(const std::string& title, const std::string& question) {
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromBytes(question),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool ShellPrompts::askLoadDamaged(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromFileText(text), QMessageBox::Cancel,
                    m_parent);
    box.setObjectName(QStringLiteral("loadDamagedBox"));
    QPushButton* load = box.addButton(QStringLiteral("Load anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == load;
}

std::optional<std::string> ShellPrompts::askText(const std::string& title,
                                                 const std::string& prompt, int maxLength) {
    // Reading an encrypted comment during a replay.
    if (title == kEncryptedCommentTitle) {
        CEncryptDlg dialog(false, m_parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return toBytes(dialog.password().left(maxLength));
    }
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(fromBytes(title));
    dialog.setLabelText(fromBytes(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(maxLength);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toBytes(dialog.textValue().left(maxLength));
}

bool ShellPrompts::showPrompt(std::string_view text) {
    CInformationDlg dialog(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                           m_parent);
    dialog.exec();
    return dialog.dontShowAgain();
}

std::optional<std::string> ShellPrompts::openFileName(const std::string& title,
                                                      const std::string& folder,
                                                      const std::vector<FileFilter>& filters) {
    QFileDialog dialog(m_parent, fromBytes(title), fromBytes(folder), fileDialogFilter(filters));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toBytes(dialog.selectedFiles().constFirst());
}

std::vector<std::string> ShellPrompts::openFileNames(const std::string& title,
                                                     const std::string& folder,
                                                     const std::vector<FileFilter>& filters) {
    QFileDialog dialog(m_parent, fromBytes(title), fromBytes(folder), fileDialogFilter(filters));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<std::string> chosen;
    if (dialog.exec() != QDialog::Accepted) return chosen;
    for (const QString& f : dialog.selectedFiles()) chosen.push_back(toBytes(f));
    return chosen;
}

std::optional<std::string> ShellPrompts::chooseFolder(const std::string& title,
                                                      const std::string& folder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(m_parent, fromBytes(title), fromBytes(folder));
    if (chosen.isEmpty()) return std::nullopt;
    return toBytes(chosen);
}

std::optional<std::string> ShellPrompts::saveFileName(const std::string& title,
                                                      const std::string& folder,
                                                      const std::string& name,
                                                      const std::vector<FileFilter>& filters) {
    QFileDialog dialog(m_parent, fromBytes(title), fromBytes(folder), fileDialogFilter(filters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The command asks about overwriting itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!name.empty()) dialog.selectFile(fromBytes(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toBytes(dialog.selectedFiles().constFirst());
}

DefinePlayersAnswer ShellPrompts::definePlayers(PlayerDefinition& definition) {
    CDefinePlayersDlg dialog(definition, m_parent);
    dialog.exec();
    return dialog.answer();
}

std::optional<NewPlayerAnswer> ShellPrompts::askNewPlayer(const std::string& prompt) {
    CInitPlayerDlg dialog(fromBytes(prompt), m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return NewPlayerAnswer{toBytes(dialog.name()), toBytes(dialog.password())};
}

std::optional<IdentityAnswer> ShellPrompts::askIdentity(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& n : names) list << fromBytes(n);
    CIdentifyDlg dialog(list, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return IdentityAnswer{dialog.chosen(), toBytes(dialog.password())};
}

std::optional<std::string> ShellPrompts::askNewPassword() {
    CChangePasswordDlg dialog(m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toBytes(dialog.password());
}

std::optional<CommentAnswer> ShellPrompts::askComment(bool largeFont, bool mayCancel) {
    std::unique_ptr<CCommentDlg> dialog;
    if (largeFont) {
        dialog = std::make_unique<CCommentDlglg>(mayCancel, m_parent);
    } else {
        dialog = std::make_unique<CCommentDlg>(mayCancel, m_parent);
    }
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return CommentAnswer{toBytes(dialog->text()), dialog->encode()};
}

std::optional<std::string> ShellPrompts::askCommentPassword() {
    CEncryptDlg dialog(true, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toBytes(dialog.password());
}

std::string ShellPrompts::clipboardText() {
    return toBytes(QGuiApplication::clipboard()->text());
}

void ShellPrompts::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(fromBytes(text));
}

void ShellPrompts::handToMailProgram(const TurnMail& mail) {
    launchMailProgram(mail, *this, m_parent ? static_cast<QObject*>(m_parent) : qApp);
}

std::optional<Preferences> ShellPrompts::editPreferences(const Preferences& current) {
    CPreferencesDlg dialog(current, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.values();
}

void ShellPrompts::showAbout(const std::string& text) {
    CAboutDlg dialog(fromBytes(text), m_parent);
    dialog.exec();
}

void ShellPrompts::showModuleInformation(const std::string& notes) {
    CModuleInfoDlg dialog(notes, m_parent);
    dialog.exec();
}

void ShellPrompts::showReadback(const std::string& text, bool largeFont) {
    const QString shown = fromBytes(text);
    std::unique_ptr<CReadback> dialog;
    if (largeFont) {
        dialog = std::make_unique<CReadbacklg>(shown, m_parent);
    } else {
        dialog = std::make_unique<CReadback>(shown, m_parent);
    }
    dialog->exec();
}

void ShellPrompts::editReportOptions(ReportOptions& options) {
    CasciiPrefs dialog(options, m_parent);
    dialog.exec();
}

void ShellPrompts::showFindings(const std::string& title, const std::string& heading,
                                const std::vector<std::string>& lines) {
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("findingsDialog"));
    dialog.setWindowTitle(fromBytes(title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(fromBytes(heading), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("findingsList"));
    QStringList texts;
    for (const std::string& line : lines) texts << fromBytes(line);
    list->addItems(texts);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    // The list can go into a mail to the opponent or the referee.
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    QObject::connect(copy, &QPushButton::clicked, &dialog, [&] {
        QApplication::clipboard()->setText(label->text() + QLatin1Char('\n') +
                                           texts.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    dialog.exec();
}

// ---- the cards ----------------------------------------------------------------------

namespace {

QStringList listOf(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& n : names) list << fromBytes(n);
    return list;
}

}  // namespace

QWidget* ShellPrompts::dialogParent() const {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : m_parent;
}

bool ShellPrompts::askOkCancel(const std::string& title, const std::string& question) {
    QMessageBox box(QMessageBox::Warning, fromBytes(title), fromBytes(question),
                    QMessageBox::Ok | QMessageBox::Cancel, dialogParent());
    return box.exec() == QMessageBox::Ok;
}

std::optional<DealAnswer> ShellPrompts::askDeal(const std::vector<std::string>& sources,
                                                const std::vector<std::string>& receivers) {
    CDeal dialog(listOf(sources), listOf(receivers), dialogParent());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return DealAnswer{dialog.source(), dialog.receiver()};
}

void ShellPrompts::viewHand(CardHand& hand) {
    CViewHand dialog(hand, dialogParent());
    dialog.exec();
}

std::optional<int> ShellPrompts::askGiveCard(const std::vector<std::string>& players) {
    Cgivecard dialog(listOf(players), dialogParent());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

std::optional<int> ShellPrompts::askPlaceCard(const std::vector<std::string>& locations) {
    Cplacecard dialog(listOf(locations), dialogParent());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

std::optional<int> ShellPrompts::chooseItem(const std::string& title, const std::string& label,
                                            const std::vector<std::string>& items) {
    const QStringList list = listOf(items);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(dialogParent(), fromBytes(title), fromBytes(label),
                                                 list, 0, false, &ok);
    if (!ok) return std::nullopt;
    const qsizetype at = list.indexOf(chosen);
    if (at < 0) return std::nullopt;
    return static_cast<int>(at);
}

// ---- dice and results ----------------------------------------------------------------

DiceDefinition ShellPrompts::defineDice(DiceDefinition current) {
    CDEFDICE dialog(current.count, current.sides, m_parent);
    dialog.exec();
    return {dialog.count(), dialog.sides()};
}

CommentAnswer ShellPrompts::showResult(const std::string& text, bool largeFont) {
    std::unique_ptr<CResult> dialog;
    if (largeFont) {
        dialog = std::make_unique<CResultlg>(fromFileText(text), m_parent);
    } else {
        dialog = std::make_unique<CResult>(fromFileText(text), m_parent);
    }
    dialog->exec();
    return CommentAnswer{toBytes(dialog->comment()), dialog->encode()};
}

}  // namespace qmx
