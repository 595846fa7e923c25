#pragma once

#include <QString>

class QApplication;

// The light slate look of the dialogs, message boxes and panels, compiled
// into the program. The menu bar and the work areas paint themselves.
QString AppStyleSheet();
// Names the application, its desktop entry and icon, and applies the style.
void SetUpApplication(QApplication &AApp);
