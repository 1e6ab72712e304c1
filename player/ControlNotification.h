#pragma once
// The one private message the player's windows post to each other. It carries
// a ControlCode; the receiver handles it in customEvent() when its event queue
// reaches it, so notifications act in the order they were posted.

#include <QEvent>

#include "core/session/ControlCode.h"

class QObject;

namespace qmx {

class ControlNotification : public QEvent {
public:
    // The system's message number; it lies in Qt's range of user event types.
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(49792);

    explicit ControlNotification(ControlCode code) : QEvent(kType), m_code(code) {}
    ControlCode code() const { return m_code; }

    // The code of `event` if it is a ControlNotification, otherwise nullptr.
    static const ControlNotification* from(const QEvent* event) {
        return event->type() == kType ? static_cast<const ControlNotification*>(event) : nullptr;
    }

private:
    ControlCode m_code;
};

// Posts `code` to `receiver` (never sends): it is handled after the current
// handler returns, after everything posted before it.
void postControl(QObject* receiver, ControlCode code);

}  // namespace qmx
