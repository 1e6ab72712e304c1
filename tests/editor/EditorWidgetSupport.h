#pragma once
// What the editor's widget tests share: acting on a dialog once it is shown
// modally, and a small module with its image written in code.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "core/module/Clock.h"
#include "core/module/ModuleFile.h"
#include "graphics/ModuleGraphics.h"

namespace qmx::test {

// Calls `act` with the first visible top-level dialog of type D, as soon as
// one is shown (for dialogs that run their own event loop).
template <class D>
void whenShown(std::function<void(D*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<D*>(w);
            if (d && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(d);
                return;
            }
        }
    });
    timer->start();
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

}  // namespace qmx::test
