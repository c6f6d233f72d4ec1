// corvane: the desktop program. Shows the main window, initialises the
// machine once (which may ask for plugins in the selection dialog), opens
// the file named on the command line if any, and runs until Exit. Exit
// shuts nothing down: the process ends with the machine as it stands.
#include <QApplication>
#include <QStringList>

#include "frontend/main_window.h"
#include "machine/emulation.h"
#include "plugins/plugin_dialog.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("corvane");
    MainWindow window;
    window.show();
    installPluginDialogAsChoiceHook();
    emuInit();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.openFile(arguments.at(1));
    return QApplication::exec();
}
