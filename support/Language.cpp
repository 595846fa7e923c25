#include "support/Language.h"

#include "support/IniFile.h"
#include "support/Logging.h"

#include <QCoreApplication>
#include <QFileInfo>

std::unique_ptr<TLanguage> Language;

TLanguage::TLanguage()
{
    Load(QCoreApplication::applicationDirPath() + u'/' + QLatin1String(FileName));
}

TLanguage::TLanguage(const QString &AFileName)
{
    Load(AFileName);
}

void TLanguage::Load(const QString &AFileName)
{
    if (QFileInfo::exists(AFileName))
        qCDebug(lcSupport) << "language texts read from" << AFileName;
    else
        qCDebug(lcSupport) << "no language file at" << AFileName << "- built-in texts";
    const TIniFile ini(AFileName);
    auto read = [&ini](QString &AField, const char *ASection, const char *AKey,
                       const char *ADefault) {
        AField = ini.ReadString(QLatin1String(ASection), QLatin1String(AKey),
                                QString::fromUtf8(ADefault));
    };
    read(Common.OK, "COMMON", "Ok", "확인");
    read(Common.Yes, "COMMON", "Yes", "예");
    read(Common.No, "COMMON", "No", "아니오");
    read(Common.Zoom, "COMMON", "Zoom", "확대비율");
    read(Common.Resolution, "COMMON", "Resolution", "해상도");

    read(MainMenu.Preview, "MENU", "Preview", "프리뷰");
    read(MainMenu.Drawing, "MENU", "Drawing", "판서");

    read(PreviewMenu.Load, "PREVIEW_MENU", "Load", "불러오기");
    read(PreviewMenu.Capture, "PREVIEW_MENU", "Capture", "화면캡쳐");
    read(PreviewMenu.Recording, "PREVIEW_MENU", "Recording", "동영상녹화");
    read(PreviewMenu.Autofocus, "PREVIEW_MENU", "Autofocus", "자동초점");
    read(PreviewMenu.Stop, "PREVIEW_MENU", "Stop", "동영상중지");
    read(PreviewMenu.FullScreen, "PREVIEW_MENU", "FullScreen", "전체화면");
    read(PreviewMenu.InvertColor, "PREVIEW_MENU", "InvertColor", "음화");
    read(PreviewMenu.Grayscale, "PREVIEW_MENU", "Grayscale", "흑백");
    read(PreviewMenu.FlipVert, "PREVIEW_MENU", "FlipVert", "상하반전");
    read(PreviewMenu.FlipHorz, "PREVIEW_MENU", "FlipHorz", "좌우반전");
    read(PreviewMenu.Rotate, "PREVIEW_MENU", "Rotate", "회전");
    read(PreviewMenu.Resolution, "PREVIEW_MENU", "Resolution", "해상도");
    read(PreviewMenu.ZoomIn, "PREVIEW_MENU", "ZoomIn", "확대");
    read(PreviewMenu.ZoomOut, "PREVIEW_MENU", "ZoomOut", "축소");

    read(DrawingMenu.Load, "DRAWING_MENU", "Load", "불러오기");
    read(DrawingMenu.Save, "DRAWING_MENU", "Save", "저장");
    read(DrawingMenu.Undo, "DRAWING_MENU", "Undo", "취소");
    read(DrawingMenu.Redo, "DRAWING_MENU", "Redo", "되돌리기");
    read(DrawingMenu.PenOption, "DRAWING_MENU", "PenOption", "펜설정");
    read(DrawingMenu.EraserTool, "DRAWING_MENU", "EraserTool", "지우개");
    read(DrawingMenu.EraserAll, "DRAWING_MENU", "EraserAll", "전체삭제");
    read(DrawingMenu.ShapeTool, "DRAWING_MENU", "ShapeTool", "도형");
    read(DrawingMenu.BoardTool, "DRAWING_MENU", "BoardTool", "보드");
    read(DrawingMenu.InvertColor, "DRAWING_MENU", "InvertColor", "음화");
    read(DrawingMenu.GrayScale, "DRAWING_MENU", "Grayscale", "흑백");
    read(DrawingMenu.FlipVert, "DRAWING_MENU", "FlipVert", "상하반전");
    read(DrawingMenu.FlipHorz, "DRAWING_MENU", "FlipHorz", "좌우반전");

    read(Setting.Title, "SETTING", "title", "환경설정");
    read(Setting.txtPathImage, "SETTING", "txtPathImage", "이미지 저장 경로");
    read(Setting.txtPathMovie, "SETTING", "txtPathMovie", "동영상 저장 경로");
    read(Setting.btnApply, "SETTING", "btnApply", "적용");
    read(Setting.btnCancel, "SETTING", "btnCancel", "취소");
    read(Setting.btnCamSetting, "SETTING", "btnCamSetting", "카메라설정");

    read(SelectCamera.Title, "SELECTCAMERA", "title", "카메라 선택");
    read(SelectCamera.btnApply, "SELECTCAMERA", "btnApply", "적용");
    read(SelectCamera.btnCancel, "SELECTCAMERA", "btnCancel", "취소");

    read(Msg.q_Exit, "MESSAGE", "q_exit", "프로그램을 종료하시겠습니까?");
    read(Msg.m_ResourceNotFound, "MESSAGE", "m_ResourceNotFound",
         "리소스 화일을 찾을 수 없습니다.");
    read(Msg.m_DeviceNotFound, "MESSAGE", "m_DeviceNotFound", "카메라 장치를 찾을 수 없습니다.");
    read(Msg.m_Capturing, "MESSAGE", "m_Capturing", "캡쳐중...");
    read(Msg.m_PleaseWait, "MESSAGE", "m_PleaseWait", "잠시만 기다려 주세요");
    read(Msg.m_NotSupportRes, "MESSAGE", "m_NotSupportRes", "지원하지 않는 해상도 입니다.");
    read(Msg.m_RecordError, "MESSAGE", "m_RecordError", "녹화중에 오류가 발생 했습니다.");
    read(Msg.m_Saved, "MESSAGE", "m_Saved", "저장 되었습니다.");
    read(Msg.m_SaveError, "MESSAGE", "m_SaveError", "이미지를 저장하지 못했습니다.");
    read(Msg.m_LoadError, "MESSAGE", "m_LoadError", "이미지 파일을 열 수 없습니다.");
}
