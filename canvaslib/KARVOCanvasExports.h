/*
 * The exports of libKARVOCanvas.so, one row each: X(result, name, parameters).
 *
 * This table is the only list of them. KARVOCanvas.h declares the functions
 * from it, the build writes the linker's version script from it (so nothing
 * else becomes visible), and the run-time binding makes one entry point per
 * row. A row added here is declared, exported and bound; its definition goes
 * into KarvoExports.cpp. Names and signatures are fixed: callers built
 * against earlier versions bind them by name.
 *
 * Plain C with no includes: the version script is made by running the C
 * preprocessor over this file alone (exports.map.in).
 */
#ifndef KARVOCANVASEXPORTS_H
#define KARVOCANVASEXPORTS_H

#define KARVO_CANVAS_EXPORTS(X)                                                                    \
    /* Lifecycle. */                                                                               \
    X(void, InitCanvas, (const char16_t *ACertStr))                                                \
    X(void, CreateCanvas, (void *AHandle, void *AParent, bool AOutline))                           \
    X(void, RelaseCanvas, (void))                                                                  \
    X(const char16_t *, GetVersion, (void))                                                        \
    /* Drawing size, visible area and placement in the host. */                                    \
    X(void, SetCavaseSize, (KARVOSize ASize))                                                      \
    X(void, SetParentSize, (KARVOSize ASize))                                                      \
    X(void, Position, (int32_t ALeft, int32_t ATop))                                               \
    X(void, Centre, (void))                                                                        \
    X(int32_t, Width, (void))                                                                      \
    X(int32_t, Height, (void))                                                                     \
    X(void, SetZoom, (float AZoom))                                                                \
    X(float, GetZoom, (void))                                                                      \
    X(void, SetShow, (bool AShow))                                                                 \
    X(bool, GetShow, (void))                                                                       \
    X(void, ShowLoading, (bool AShow))                                                             \
    /* Pen. */                                                                                     \
    X(void, SetPenTool, (int32_t ATool))                                                           \
    X(int32_t, GetPenTool, (void))                                                                 \
    X(void, SetPenColor, (uint32_t AColor))                                                        \
    X(uint32_t, GetPenColor, (void))                                                               \
    X(void, SetPenThickness, (float AThickness))                                                   \
    X(float, GetPenThickness, (void))                                                              \
    /* Picture and background. */                                                                  \
    X(void, SetImage, (const char16_t *AFilename))                                                 \
    X(void, SetBackgroundFile, (const char16_t *AFilename))                                        \
    X(void, SetBackgroundImage, (const QImage *ABitmap))                                           \
    X(void, SetBackgroundColor, (uint32_t AColor))                                                 \
    X(uint32_t, GetBackgroundColor, (void))                                                        \
    /* Editing; every change except New is undoable. */                                            \
    X(void, New, (void))                                                                           \
    X(void, Clear, (void))                                                                         \
    X(void, EraserAll, (void))                                                                     \
    X(void, Undo, (void))                                                                          \
    X(void, Redo, (void))                                                                          \
    X(void, SetUndoCount, (int32_t ACount))                                                        \
    X(void, InvertColor, (void))                                                                   \
    X(void, Grayscale, (void))                                                                     \
    X(void, FlipHorz, (void))                                                                      \
    X(void, FlipVert, (void))                                                                      \
    /* Files. */                                                                                   \
    X(bool, LoadFromFile, (const char16_t *AFilename))                                             \
    X(bool, SaveToFile, (const char16_t *AFilename))                                               \
    X(bool, SaveToSnapshot, (const char16_t *AFilename))                                           \
    /* Stroke recording and playback. */                                                           \
    X(void, SetRecordFilename, (const char16_t *AFilename))                                        \
    X(const char16_t *, GetRecordFilename, (void))                                                 \
    X(void, SetRecording, (bool ARecording))                                                       \
    X(bool, IsRecording, (void))                                                                   \
    X(void, CanvasPlayer, (void *AHandle, void *AParent, const char16_t *AFilename))

#endif /* KARVOCANVASEXPORTS_H */
