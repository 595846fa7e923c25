/*
 * KARVOCanvas: the annotation canvas that Ovilen's drawing mode writes on.
 *
 * libKARVOCanvas.so exports the functions of the table in
 * KARVOCanvasExports.h with C linkage, declared below; nothing else is
 * visible. The library keeps one canvas per process: CreateCanvas puts its
 * drawing surface into a host widget and RelaseCanvas removes it again.
 *
 * Types across this interface:
 *   - a Boolean is bool, an integer int32_t, a thickness or zoom float;
 *   - a colour is uint32_t with red in the low byte (0x00BBGGRR); the high
 *     byte is kept as given but never drawn;
 *   - a size is KARVOSize, passed by value;
 *   - a string argument is a zero-terminated UTF-16 text; a string result
 *     stays valid until the next call of the same export;
 *   - a window handle is a QWidget * passed as void *;
 *   - the bitmap of SetBackgroundImage is a const QImage *.
 *
 * Every export must be called on the thread of the QApplication. No export
 * throws: failures are reported by the result, or written to the log
 * category "ovilen.canvaslib".
 */
#ifndef KARVOCANVAS_H
#define KARVOCANVAS_H

#include "canvaslib/KARVOCanvasExports.h"

#include <stdint.h>

#ifdef __cplusplus
class QImage;
#define KARVO_EXTERN_C extern "C"
#else
#include <stdbool.h>
#include <uchar.h>
typedef struct QImage QImage;
#define KARVO_EXTERN_C
#endif

#define KARVO_API KARVO_EXTERN_C __attribute__((visibility("default")))

/* Width and height in pixels. */
typedef struct KARVOSize
{
    int32_t cx, cy;
} KARVOSize;

/* The text Ovilen passes to InitCanvas. */
#define KARVO_CERT_TEXT u"Ovilen-KARVOCanvas-2018"

/* Pen tools of SetPenTool / GetPenTool. Drawings and stroke recordings store
 * each annotation under the number of the tool that drew it. */
enum
{
    KARVO_TOOL_PEN = 3,
    KARVO_TOOL_MARKER = 5,
    KARVO_TOOL_ERASER = 7,
    KARVO_TOOL_MOVE = 10,
    KARVO_TOOL_RECTANGLE = 11,
    KARVO_TOOL_ELLIPSE = 12,
    KARVO_TOOL_LINE = 13
};

/* The pen of a new canvas: the pen tool, white, 4 pixels thick. */
#define KARVO_DEFAULT_PEN_TOOL KARVO_TOOL_PEN
#define KARVO_DEFAULT_PEN_COLOR 0x00FFFFFFu
#define KARVO_DEFAULT_PEN_THICKNESS 4.0f

/* A colour reading that means "no colour": GetPenColor when the call is refused
 * (off the application's thread), and a binding's reading without the library. */
#define KARVO_NO_COLOR 0x1FFFFFFFu

/* The exports, declared from their table. */
#define KARVO_DECLARE_EXPORT(AResult, AName, AParameters) KARVO_API AResult AName AParameters;
KARVO_CANVAS_EXPORTS(KARVO_DECLARE_EXPORT)
#undef KARVO_DECLARE_EXPORT

/* Pointer types of the exports, for callers that bind them at run time. */
typedef void (*TKARVOProc)(void);
typedef void (*TKARVOStrProc)(const char16_t *);
typedef bool (*TKARVOStrFunc)(const char16_t *);
typedef const char16_t *(*TKARVOGetStr)(void);
typedef void (*TKARVOBoolProc)(bool);
typedef bool (*TKARVOGetBool)(void);
typedef void (*TKARVOIntProc)(int32_t);
typedef int32_t (*TKARVOGetInt)(void);
typedef void (*TKARVOPositionProc)(int32_t, int32_t);
typedef void (*TKARVOColorProc)(uint32_t);
typedef uint32_t (*TKARVOGetColor)(void);
typedef void (*TKARVOFloatProc)(float);
typedef float (*TKARVOGetFloat)(void);
typedef void (*TKARVOSizeProc)(KARVOSize);
typedef void (*TKARVOCreateProc)(void *, void *, bool);
typedef void (*TKARVOPlayerProc)(void *, void *, const char16_t *);
typedef void (*TKARVOImageProc)(const QImage *);

#endif /* KARVOCANVAS_H */
