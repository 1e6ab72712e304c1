#include "player/MailProgram.h"

#include <QProcess>
#include <QStringList>

#include "graphics/QtText.h"

namespace qmx {

void launchMailProgram(const TurnMail& mail, SessionPrompts& prompts, QObject* owner) {
    auto* process = new QProcess(owner);
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"),
                          fromBytes(mail.subject), QStringLiteral("--body"), fromBytes(mail.body)};
    for (const std::string& file : mail.attachments)
        arguments << QStringLiteral("--attach") << fromBytes(file);
    auto failed = [&prompts, mail, process](const std::string& reason) {
        prompts.setClipboardText(mail.text);
        prompts.showText("Send Turn by Mail", turnMailFailureText(mail, reason));
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             failed("xdg-email is not installed (it comes with xdg-utils)");
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [failed, process](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) {
                             failed("xdg-email ended with status " + std::to_string(code));
                         } else {
                             process->deleteLater();
                         }
                     });
    process->start(QStringLiteral("xdg-email"), arguments);
}

}  // namespace qmx
