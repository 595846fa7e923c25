/*
 * KARVOCanvas: the annotation canvas that Ovilen's drawing mode writes on.
 *
 * libKARVOCanvas.so exports the functions below with C linkage; nothing else
 * is visible. The library keeps one canvas per process: CreateCanvas puts its
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

/* Pen tools of SetPenTool / GetPenTool. */
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

/* Lifecycle. */
KARVO_API void InitCanvas(const char16_t *ACertStr);
KARVO_API void CreateCanvas(void *AHandle, void *AParent, bool AOutline);
KARVO_API void RelaseCanvas(void);
KARVO_API const char16_t *GetVersion(void);

/* Drawing size, visible area and placement in the host. */
KARVO_API void SetCavaseSize(KARVOSize ASize);
KARVO_API void SetParentSize(KARVOSize ASize);
KARVO_API void Position(int32_t ALeft, int32_t ATop);
KARVO_API void Centre(void);
KARVO_API int32_t Width(void);
KARVO_API int32_t Height(void);
KARVO_API void SetZoom(float AZoom);
KARVO_API float GetZoom(void);
KARVO_API void SetShow(bool AShow);
KARVO_API bool GetShow(void);
KARVO_API void ShowLoading(bool AShow);

/* Pen. */
KARVO_API void SetPenTool(int32_t ATool);
KARVO_API int32_t GetPenTool(void);
KARVO_API void SetPenColor(uint32_t AColor);
KARVO_API uint32_t GetPenColor(void);
KARVO_API void SetPenThickness(float AThickness);
KARVO_API float GetPenThickness(void);

/* Picture and background. */
KARVO_API void SetImage(const char16_t *AFilename);
KARVO_API void SetBackgroundFile(const char16_t *AFilename);
KARVO_API void SetBackgroundImage(const QImage *ABitmap);
KARVO_API void SetBackgroundColor(uint32_t AColor);
KARVO_API uint32_t GetBackgroundColor(void);

/* Editing; every change except New is undoable. */
KARVO_API void New(void);
KARVO_API void Clear(void);
KARVO_API void EraserAll(void);
KARVO_API void Undo(void);
KARVO_API void Redo(void);
KARVO_API void SetUndoCount(int32_t ACount);
KARVO_API void InvertColor(void);
KARVO_API void Grayscale(void);
KARVO_API void FlipHorz(void);
KARVO_API void FlipVert(void);

/* Files. */
KARVO_API bool LoadFromFile(const char16_t *AFilename);
KARVO_API bool SaveToFile(const char16_t *AFilename);
KARVO_API bool SaveToSnapshot(const char16_t *AFilename);

/* Stroke recording and playback. */
KARVO_API void SetRecordFilename(const char16_t *AFilename);
KARVO_API const char16_t *GetRecordFilename(void);
KARVO_API void SetRecording(bool ARecording);
KARVO_API bool IsRecording(void);
KARVO_API void CanvasPlayer(void *AHandle, void *AParent, const char16_t *AFilename);

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
