/* The public header of the canvas library must stay usable from C. */
#include "canvaslib/KARVOCanvas.h"

int karvo_header_is_c(void);

int karvo_header_is_c(void)
{
    KARVOSize size = {4, 3};
    TKARVOSizeProc setSize = SetCavaseSize;
    (void)setSize;
    return size.cx * size.cy + KARVO_TOOL_LINE;
}
