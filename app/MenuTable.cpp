#include "app/MenuTable.h"

namespace {

using enum TMenuPlace;
using PT = TPreviewTag;
using DT = TDrawingTag;
using P = TPreviewMenu;
using D = TDrawingMenu;

// clang-format off
const TMenuButtonEntry Table[] = {
    {"btnPreview_Load",        PT::Load,        "RES_PREVIEW_MENU_LOAD_",         Row,    0,  false, &P::Load,        nullptr,         u"불러오기"},
    {"btnPreview_Capture",     PT::Capture,     "RES_PREVIEW_MENU_CAPTURE_",      Row,    1,  false, &P::Capture,     nullptr,         u"화면캡쳐"},
    {"btnPreview_Record",      PT::Record,      "RES_PREVIEW_MENU_RECORDING_",    Row,    2,  false, &P::Recording,   nullptr,         u"동영상녹화"},
    {"btnPreview_AutoFocus",   PT::AutoFocus,   "RES_PREVIEW_MENU_AF_",           Row,    3,  false, &P::Autofocus,   nullptr,         u"자동초점"},
    {"btnPreview_FullScreen",  PT::FullScreen,  "RES_PREVIEW_MENU_FULLSCREENON_", Row,    4,  false, &P::FullScreen,  nullptr,         u"전체화면"},
    {"btnPreview_InvertColor", PT::InvertColor, "RES_PREVIEW_MENU_INVERTCOLOR_",  Row,    5,  true,  &P::InvertColor, nullptr,         u"음화"},
    {"btnPreview_GrayScale",   PT::GrayScale,   "RES_PREVIEW_MENU_GRAYSCALE_",    Row,    6,  true,  &P::Grayscale,   nullptr,         u"흑백"},
    {"btnPreview_FlipVert",    PT::FlipVert,    "RES_PREVIEW_MENU_FLIPVERT_",     Hidden, -1, true,  &P::FlipVert,    nullptr,         u"상하반전"},
    {"btnPreview_FlipHorz",    PT::FlipHorz,    "RES_PREVIEW_MENU_FLIPHORZ_",     Hidden, -1, true,  &P::FlipHorz,    nullptr,         u"좌우반전"},
    {"btnPreview_Rotate",      PT::Rotate,      "RES_PREVIEW_MENU_ROTATE_",       Row,    7,  true,  &P::Rotate,      nullptr,         u"회전"},
    {"btnPreview_Resolution",  PT::Resolution,  "RES_PREVIEW_MENU_RESOLUTION_",   Row,    8,  false, &P::Resolution,  nullptr,         u"해상도"},
    {"btnPreview_Wide",        PT::Wide,        "RES_PREVIEW_MENU_16_9_",         Row,    9,  false, nullptr,         nullptr,         u"와이드 화면"},
    {"btnPreview_Back",        PT::Back,        "RES_PREVIEW_MENU_BACK_",         Row,    10, false, nullptr,         nullptr,         u"실시간 화면으로"},
    {"btnPreview_Setting",     PT::Setting,     "RES_PREVIEW_MENU_SETTING_",      Row,    11, false, nullptr,         nullptr,         u"환경설정"},
    {"btnPreview_Camera",      PT::Camera,      "RES_PREVIEW_MENU_CAMERA_",       Hidden, -1, false, nullptr,         nullptr,         u"카메라 선택"},
    {"btnPreview_ZoomIn",      PT::ZoomIn,      "RES_PREVIEW_MENU_ZOOMIN_",       Zoom,   0,  false, &P::ZoomIn,      nullptr,         u"확대"},
    {"btnPreview_ZoomOut",     PT::ZoomOut,     "RES_PREVIEW_MENU_ZOOMOUT_",      Zoom,   1,  false, &P::ZoomOut,     nullptr,         u"축소"},

    {"btnDrawing_Load",        DT::Load,        "RES_DRAWING_MENU_LOAD_",         Row,    0,  false, nullptr,         &D::Load,        u"불러오기"},
    {"btnDrawing_Save",        DT::Save,        "RES_DRAWING_MENU_Save_",         Row,    1,  false, nullptr,         &D::Save,        u"저장"},
    {"btnDrawing_Undo",        DT::Undo,        "RES_DRAWING_MENU_UNDO_",         Row,    2,  false, nullptr,         &D::Undo,        u"취소"},
    {"btnDrawing_Redo",        DT::Redo,        "RES_DRAWING_MENU_REDO_",         Row,    3,  false, nullptr,         &D::Redo,        u"되돌리기"},
    {"btnDrawing_PenOption",   DT::PenOption,   "RES_DRAWING_MENU_PENOPTION_",    Row,    4,  false, nullptr,         &D::PenOption,   u"펜설정"},
    {"btnDrawing_EraserTool",  DT::EraserTool,  "RES_DRAWING_MENU_ERASERTOOL_",   Row,    5,  false, nullptr,         &D::EraserTool,  u"지우개"},
    {"btnDrawing_ShapeTool",   DT::ShapeTool,   "RES_DRAWING_MENU_SHAPE_",        Row,    6,  false, nullptr,         &D::ShapeTool,   u"도형"},
    {"btnDrawing_InvertColor", DT::InvertColor, "RES_DRAWING_MENU_INVERTCOLOR_",  Row,    7,  false, nullptr,         &D::InvertColor, u"음화"},
    {"btnDrawing_Rotate",      DT::Rotate,      "RES_DRAWING_MENU_ROTATE_",       Row,    8,  true,  nullptr,         nullptr,         u"회전"},
    {"btnDrawing_FlipHorz",    DT::FlipHorz,    "RES_DRAWING_MENU_FLIPHORZ_",     Row,    9,  false, nullptr,         &D::FlipHorz,    u"좌우반전"},
    {"btnDrawing_FlipVert",    DT::FlipVert,    "RES_DRAWING_MENU_FLIPVERT_",     Row,    10, false, nullptr,         &D::FlipVert,    u"상하반전"},
    {"btnDrawing_Back",        DT::Back,        "RES_DRAWING_MENU_RETURN_",       Row,    11, false, nullptr,         nullptr,         u"처음 화면으로"},
    {"btnDrawing_Move",        DT::Move,        "RES_DRAWING_MENU_MOVE_",         Row,    12, false, nullptr,         nullptr,         u"이동"},
};
// clang-format on

} // namespace

std::span<const TMenuButtonEntry> MenuButtons()
{
    return Table;
}

const TMenuButtonEntry *FindMenuButton(const QString &AName)
{
    for (const TMenuButtonEntry &entry : Table)
        if (AName == QLatin1String(entry.Name))
            return &entry;
    return nullptr;
}

const TMenuButtonEntry *FindMenuButton(TMenuButtonId ACommand)
{
    for (const TMenuButtonEntry &entry : Table)
        if (entry.Command == ACommand)
            return &entry;
    return nullptr;
}

namespace {

template <typename TTag>
std::optional<TTag> TagOf(int ATag)
{
    for (const TMenuButtonEntry &entry : Table)
        if (const TTag *tag = std::get_if<TTag>(&entry.Command); tag && int(*tag) == ATag)
            return *tag;
    return std::nullopt;
}

} // namespace

std::optional<TPreviewTag> PreviewTagOf(int ATag)
{
    return TagOf<TPreviewTag>(ATag);
}

std::optional<TDrawingTag> DrawingTagOf(int ATag)
{
    return TagOf<TDrawingTag>(ATag);
}

QLatin1String ControlName(TControlId AControl)
{
    if (const std::optional<TMenuButtonId> button = MenuButtonIdOf(AControl)) {
        const TMenuButtonEntry *entry = FindMenuButton(*button);
        return entry ? QLatin1String(entry->Name) : QLatin1String();
    }
    switch (std::get<TTabTag>(AControl)) {
    case TTabTag::Preview:
        return QLatin1String("tabPreview");
    case TTabTag::Drawing:
        return QLatin1String("tabDrawing");
    }
    return {};
}

QString AccessibleNameOf(const TMenuButtonEntry &AEntry, const TLanguage *ALanguage)
{
    QString text;
    if (ALanguage && AEntry.PreviewText)
        text = ALanguage->PreviewMenu.*AEntry.PreviewText;
    if (ALanguage && AEntry.DrawingText)
        text = ALanguage->DrawingMenu.*AEntry.DrawingText;
    return text.isEmpty() ? QString::fromUtf16(AEntry.Fallback) : text;
}
