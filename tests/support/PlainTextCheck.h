#pragma once
// For the widget tests of both programs: a text from a file that looks like
// markup must be shown as it is. These list the labels that would render it
// as markup instead.

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace qmx::test {

inline constexpr const char* kMarkupText = "<b>x</b><img src=\"/etc/hosts\">";

// The labels under `root` (every widget when null) that show `needle` and
// would take it for markup.
inline QStringList markupLabels(const QString& needle, QWidget* root = nullptr) {
    QStringList out;
    const QList<QLabel*> labels = root ? root->findChildren<QLabel*>() : [] {
        QList<QLabel*> all;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* l = qobject_cast<QLabel*>(w)) all << l;
        return all;
    }();
    for (QLabel* l : labels) {
        if (l->text().contains(needle) && l->textFormat() != Qt::PlainText)
            out << QString::fromLatin1(l->metaObject()->className()) + QLatin1Char(' ') +
                       l->objectName();
    }
    return out;
}

// Runs `open` (which shows a modal dialog) and, once the dialog is up, lists
// its labels that would take `needle` for markup, then closes it.
inline QStringList markupInModal(const QString& needle, const std::function<void()>& open) {
    QStringList found;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            seen = true;
            found = markupLabels(needle, dialog);
            dialog->close();
        }
    });
    open();
    if (!seen) found << QStringLiteral("no dialog");
    return found;
}

}  // namespace qmx::test
