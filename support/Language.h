#pragma once

#include <QString>
#include <memory>

struct TCommon
{
    QString OK, Yes, No, Zoom, Resolution;
};
struct TMainMenu
{
    QString Preview, Drawing;
};
struct TPreviewMenu
{
    QString Load, Capture, Recording, Autofocus, Stop, FullScreen, InvertColor, Grayscale, FlipVert,
        FlipHorz, Rotate, Resolution, ZoomIn, ZoomOut;
};
struct TDrawingMenu
{
    QString Load, Save, Undo, Redo, PenOption, EraserTool, EraserAll, ShapeTool, BoardTool,
        InvertColor, GrayScale, FlipVert, FlipHorz;
};
struct TSetting
{
    QString Title, txtPathImage, txtPathMovie, btnApply, btnCancel, btnCamSetting;
};
struct TSelectCamera
{
    QString Title, btnApply, btnCancel;
};
struct TMsg
{
    QString q_Exit, m_ResourceNotFound, m_Capturing, m_PleaseWait, m_DeviceNotFound,
        m_NotSupportRes, m_Saved, m_RecordError, m_SaveError, m_LoadError;
};

// The user-visible texts, read once from "language.ini"; every entry the
// file lacks keeps its built-in Korean default.
class TLanguage
{
public:
    static constexpr const char *FileName = "language.ini";

    // Reads "language.ini" beside the running executable.
    TLanguage();
    // Reads the given file; a missing file gives the defaults.
    explicit TLanguage(const QString &AFileName);

    TCommon Common;
    TMainMenu MainMenu;
    TPreviewMenu PreviewMenu;
    TDrawingMenu DrawingMenu;
    TSetting Setting;
    TSelectCamera SelectCamera;
    TMsg Msg;

private:
    void Load(const QString &AFileName);
};

// The program's texts, created at start-up after the settings.
extern std::unique_ptr<TLanguage> Language;
