// Ovilen: document camera viewer. The start-up order: one copy only, the
// application, the program-wide objects, the main window; at the end the
// objects go in reverse order and the settings are written.
#include "app/AppStyle.h"
#include "app/MainForm.h"
#include "app/ProgramModules.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"

#include <QApplication>

int main(int argc, char **argv)
{
    const TSingleInstance instance;
    if (!instance.Acquired())
        return 0; // another copy runs: end silently

    QApplication app(argc, argv);
    SetUpApplication(app);
    const TProgramModules modules;
    TTerminationSignals termination;

    TMainForm form;
    if (!form.Created())
        return 1;
    termination.OnTerminate = [&form](int) {
        form.CloseWithoutQuestion();
    };
    form.show();
    return QApplication::exec();
}
