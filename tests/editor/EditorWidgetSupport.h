#pragma once
// What the editor's widget tests share: acting on a dialog once it is shown
// modally, a small module with its image written in code, and a program
// folder holding it with the scripted boxes and the clock.
//
//   EditorHome home;                     // modules/Battle.qm4 written
//   auto app = home.editor();            // CEditorApp on the folder
//   whenShown<CStartDlg>([](CStartDlg* d) { d->reject(); });
//   ...
//   void cleanup() { finishDialogWaits(); }   // in every test class

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/module/Clock.h"
#include "core/module/ModuleFile.h"
#include "editor/CEditorApp.h"
#include "editor/CQMXEditDlg.h"
#include "editor/EditorDocument.h"
#include "graphics/ModuleGraphics.h"
#include "tests/support/ScriptedEditorDialogs.h"

namespace qmx::test {

// How long a dialog may take to be shown before the test fails.
constexpr int kDialogWaitMs = 10000;

struct DialogWait {
    QTimer* timer;
    QString dialog;
};

// The waits of whenShown whose dialog has not been shown yet.
inline std::vector<DialogWait>& pendingDialogWaits() {
    static std::vector<DialogWait> waits;
    return waits;
}

inline void endDialogWait(QTimer* timer) {
    auto& waits = pendingDialogWaits();
    std::erase_if(waits, [timer](const DialogWait& w) { return w.timer == timer; });
    timer->stop();
    timer->deleteLater();
}

// Calls `act` with the first visible top-level dialog of type D, as soon as
// one is shown (for dialogs that run their own event loop). A dialog not
// shown within kDialogWaitMs fails the test, and the modal dialog open then
// is closed so that the test does not hang; so is D when a check in `act`
// failed.
template <class D>
void whenShown(std::function<void(D*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QElapsedTimer waited;
    waited.start();
    const QString name = QString::fromLatin1(D::staticMetaObject.className());
    QObject::connect(timer, &QTimer::timeout, [timer, act, waited, name] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<D*>(w);
            if (d && d->isVisible()) {
                endDialogWait(timer);
                act(d);
                if (QTest::currentTestFailed() && d->isVisible()) d->reject();
                return;
            }
        }
        if (waited.hasExpired(kDialogWaitMs)) {
            endDialogWait(timer);
            QTest::qFail(qPrintable(name + QStringLiteral(" was not shown")), __FILE__, __LINE__);
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                open->reject();
        }
    });
    pendingDialogWaits().push_back({timer, name});
    timer->start();
}

// For every test's cleanup(): stops the waits left, so that none acts on a
// later test's dialog, and fails the test for each dialog never shown.
inline void finishDialogWaits() {
    const std::vector<DialogWait> left = std::exchange(pendingDialogWaits(), {});
    for (const DialogWait& w : left) {
        delete w.timer;
        QTest::qFail(qPrintable(w.dialog + QStringLiteral(" was never shown")), __FILE__, __LINE__);
    }
}

inline std::string str(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

// A module of 20 x 20 hexes and 40 units, value names set, with its image;
// unit image k is filled with the grey k.
inline bool writeSmallModule(const std::string& path) {
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 40);
    m.valueNames = {"Att", "Def", "Mov", "", "", ""};
    m.authorNotes = "Notes";
    ModuleGraphics g = ModuleGraphics::createBlank(m);
    {
        QPainter p(&g.image());
        for (int k = 1; k <= m.imageCapacity(); ++k) {
            if (auto r = g.unitImageSource(m, k)) p.fillRect(*r, QColor(k, k, k));
        }
    }
    FixedClock clock;
    return g.save(path).ok() && saveModuleFile(path, m, clock);
}

// A program folder of the test's own, removed with the test, with the small
// module as modules/Battle.qm4, and the boxes and the clock the editor uses.
class EditorHome {
public:
    EditorHome() {
        m_ok = m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("modules")) &&
               writeSmallModule(str(modulePath()));
    }

    bool isValid() const { return m_ok; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString modulePath() const { return path(QStringLiteral("modules/Battle.qm4")); }
    std::string folder() const { return str(m_dir.path()) + "/"; }

    // A new editor program on the folder (another one is as a restart).
    std::unique_ptr<CEditorApp> editor() {
        return std::make_unique<CEditorApp>(folder(), prompts, clock);
    }
    // The editor's main dialog on the small module, shown; null when it did
    // not open.
    CQMXEditDlg* open(CEditorApp& app) const {
        EditorOptions o;
        o.module = str(modulePath());
        CQMXEditDlg* main = app.startUp(o);
        if (main) main->show();
        return main;
    }
    // The small module loaded as an editor document; null when it failed.
    std::unique_ptr<EditorDocument> document() {
        auto doc = std::make_unique<EditorDocument>(folder(), prompts, clock);
        return doc->loadModule(str(modulePath())) ? std::move(doc) : nullptr;
    }

    ScriptedEditorDialogs prompts;
    FixedClock clock;

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

}  // namespace qmx::test
