/* The public header of the canvas library must stay usable from C. */
#include "canvaslib/KARVOCanvas.h"

int karvoHeaderIsC(void);

int karvoHeaderIsC(void)
{
    KARVOSize size = {4, 3};
    TKARVOSizeProc setSize = SetCavaseSize;
    (void)setSize;
    return size.cx * size.cy + KARVO_TOOL_LINE;
}
