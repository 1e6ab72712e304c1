// Writes the bundled demo module: qmxdemo <folder>  (Demo.qm4 and Demo.PNG)
#include <QGuiApplication>

#include "tools/demo/DemoModule.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the map's names
    return qmx::demo::writeDemoModule(argc > 1 ? argv[1] : "modules") ? 0 : 1;
}
