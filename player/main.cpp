// qmx4: the player program.
#include <QApplication>
#include <cstdio>

#include "player/CQMXApp.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const qmx::StartOptions options = qmx::parseStartOptions(QApplication::arguments());
    if (options.help) {
        std::fputs(qmx::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    qmx::CQMXApp player(options);
    if (player.start() != qmx::CQMXApp::StartResult::Running) return player.exitCode();
    return QApplication::exec();
}
