#pragma once

#include <QString>

class QWidget;

// When OVILEN_SCREENSHOTS names a folder, saves the widget's picture there as
// <name>.png (how docs/screenshots is made: run the GUI tests under Xvfb with
// it set); does nothing otherwise. GUI tests only.
void saveScreenshot(QWidget *widget, const QString &name);
