#pragma once
// Handing a turn to the desktop's mail program through xdg-email.

#include <QObject>

#include "core/session/SessionPrompts.h"

namespace qmx {

// Runs xdg-email with the mail's subject, body and attachments, without
// waiting for it (it may run as long as the mail program does). When it is
// missing or fails, the text save goes on `prompts`' clipboard and a message
// says where the files are. The process belongs to `owner`.
void launchMailProgram(const TurnMail& mail, SessionPrompts& prompts, QObject* owner);

}  // namespace qmx
