// Writes the bundled demo module and its saved games:
//   qmxdemo <module folder> [<saved-game folder>]
// (Demo.qm4 and Demo.PNG; Demo-setup.qms and Demo-turn1.qms)
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "core/module/ModuleFile.h"
#include "tools/demo/DemoGames.h"
#include "tools/demo/DemoModule.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the map's names
    const std::string moduleFolder = argc > 1 ? argv[1] : "modules";
    if (!qmx::demo::writeDemoModule(moduleFolder)) return 1;
    if (argc < 3) return 0;
    // The saved games are checked against the module as written, identity included.
    const std::string modulePath = (std::filesystem::path(moduleFolder) / "Demo.qm4").string();
    const qmx::ModuleLoad load = qmx::loadModuleFile(modulePath, qmx::ModuleReader::Player);
    if (!load.ok) {
        std::fprintf(stderr, "cannot read back %s\n", modulePath.c_str());
        return 1;
    }
    return qmx::demo::writeDemoGames(argv[2], load.module) ? 0 : 1;
}
