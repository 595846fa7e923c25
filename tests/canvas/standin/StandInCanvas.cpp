// A stand-in for libKARVOCanvas.so: it exports only part of the table,
// writes every call into a log the test reads, and throws from SaveToFile.
#include "canvaslib/KARVOCanvas.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

std::string Log;
uint32_t PenColor = 0;
float PenThickness = 0;

void note(const std::string &ACall)
{
    Log += ACall;
    Log += '\n';
}

std::string text(const char16_t *AText)
{
    std::string out;
    for (; AText && *AText; ++AText)
        out += *AText < 128 ? char(*AText) : '?';
    return out;
}

std::string hex(uint32_t AValue)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", AValue);
    return buffer;
}

} // namespace

#define STANDIN extern "C" __attribute__((visibility("default")))

STANDIN const char *standInCalls()
{
    return Log.c_str();
}

STANDIN void standInReset()
{
    Log.clear();
}

// Present: the lifecycle, the pen, pictures and files. Absent on purpose:
// GetVersion, GetPenColor, SaveToSnapshot, Undo, Redo, Width, Height,
// GetZoom, GetShow, and the rest of the table.
STANDIN void InitCanvas(const char16_t *ACertStr)
{
    note("InitCanvas(" + text(ACertStr) + ")");
}

STANDIN void CreateCanvas(void *AHandle, void *AParent, bool AOutline)
{
    note(std::string("CreateCanvas(") + (AHandle ? "window" : "null") + "," +
         (AParent ? "parent" : "null") + "," + (AOutline ? "1" : "0") + ")");
}

STANDIN void RelaseCanvas()
{
    note("RelaseCanvas");
}

STANDIN void SetPenTool(int32_t ATool)
{
    note("SetPenTool(" + std::to_string(ATool) + ")");
}

STANDIN void SetPenColor(uint32_t AColor)
{
    PenColor = AColor;
    note("SetPenColor(" + hex(AColor) + ")");
}

STANDIN void SetPenThickness(float AThickness)
{
    PenThickness = AThickness;
    note("SetPenThickness(" + std::to_string(int(AThickness)) + ")");
}

STANDIN float GetPenThickness()
{
    return PenThickness;
}

STANDIN void SetImage(const char16_t *AFilename)
{
    note("SetImage(" + text(AFilename) + ")");
}

STANDIN void SetBackgroundFile(const char16_t *AFilename)
{
    note("SetBackgroundFile(" + text(AFilename) + ")");
}

STANDIN void SetBackgroundImage(const QImage *ABitmap)
{
    note(std::string("SetBackgroundImage(") + (ABitmap ? "image" : "null") + ")");
}

STANDIN bool LoadFromFile(const char16_t *AFilename)
{
    note("LoadFromFile(" + text(AFilename) + ")");
    return true;
}

STANDIN bool SaveToFile(const char16_t *AFilename)
{
    note("SaveToFile(" + text(AFilename) + ")");
    throw std::runtime_error("the disk is full");
}

STANDIN void SetCavaseSize(KARVOSize ASize)
{
    note("SetCavaseSize(" + std::to_string(ASize.cx) + "x" + std::to_string(ASize.cy) + ")");
}
