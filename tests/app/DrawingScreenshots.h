#pragma once

#include <functional>

class TMainForm;

// Draws on the picture in the drawing menu with real mouse events and saves
// the screen with the drawing and with each drawing popup open, through
// ASave(file name). Leaves the window in the preview menu.
void TakeDrawingScreenshots(TMainForm &AForm, const std::function<void(const char *)> &ASave);
