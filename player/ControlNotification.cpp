#include "player/ControlNotification.h"

#include <QCoreApplication>

namespace qmx {

void postControl(QObject* receiver, ControlCode code) {
    if (receiver == nullptr) return;
    QCoreApplication::postEvent(receiver, new ControlNotification(code));
}

}  // namespace qmx
