#include "widgets/PlainText.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

namespace qmx {

namespace {

constexpr const char* kMarkupProperty = "qmxMarkup";

// Every label, also those inside message boxes and the tool tip's own, is
// made plain before it is first drawn.
class PlainTextFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Polish && type != QEvent::Show) return false;
        auto* label = qobject_cast<QLabel*>(watched);
        if (!label || label->textFormat() == Qt::PlainText) return false;
        if (label->property(kMarkupProperty).toBool()) return false;
        label->setTextFormat(Qt::PlainText);
        // A tool tip is sized for its text before it is shown.
        if (label->isWindow()) label->adjustSize();
        return false;
    }
};

}  // namespace

void keepTextPlain() {
    static PlainTextFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new PlainTextFilter(qApp);
    qApp->installEventFilter(filter);
}

void markupAllowed(QLabel* label) {
    label->setProperty(kMarkupProperty, true);
}

void showTextAt(QPlainTextEdit* edit, const QString& text, int cursor) {
    edit->setPlainText(text);
    QTextCursor at = edit->textCursor();
    at.setPosition(std::clamp(cursor, 0, static_cast<int>(text.size())));
    edit->setTextCursor(at);
}

}  // namespace qmx
