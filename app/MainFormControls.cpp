// The main window's controls: creating them from the menu table, the skin,
// the wiring of the handlers, and switching menus and work areas.
#include "app/AppLog.h"
#include "app/DrawingCommands.h"
#include "app/DrawingPopups.h"
#include "app/MainForm.h"
#include "app/MainGlyphs.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/CalloutPopup.h"
#include "scene/GlyphButton.h"
#include "scene/GradientPanel.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/NoticePanel.h"
#include "scene/PathIcon.h"
#include "scene/ResolutionPopup.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"
#include "support/CustomResource.h"
#include "support/Language.h"

#include <QPainter>

namespace {

// The skin image family a menu button shows (its base name).
constexpr const char *SkinBaseProperty = "skinBase";

template <typename T>
T *Make(QWidget *AParent, const char *AName, const QString &AAccessible = {})
{
    auto *w = new T(AParent);
    w->setObjectName(QLatin1String(AName));
    w->setAccessibleName(AAccessible.isEmpty() ? QLatin1String(AName) : AAccessible);
    return w;
}

QWidget *MakeBlack(QWidget *AParent, const char *AName)
{
    auto *w = Make<QWidget>(AParent, AName);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, Qt::black);
    w->setPalette(palette);
    w->setAutoFillBackground(true);
    return w;
}

// An image of the given logical size for the skin to fill.
QImage Blank(QSize ASize)
{
    QImage image(ASize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

void TMainForm::CreateControls()
{
    vgSceneMenu = MakeBlack(this, "vgSceneMenu");
    LayoutMenu = Make<QWidget>(vgSceneMenu, "LayoutMenu");
    LayoutMenu->installEventFilter(this);
    imgIcon = Make<TImageButton>(LayoutMenu, "imgIcon", QStringLiteral("정보"));
    imgIcon->SetImages(ProgramIcon(), ProgramIcon(), ProgramIcon());
    imgIcon->setCursor(Qt::PointingHandCursor);
    Layout29 = Make<QWidget>(LayoutMenu, "Layout29");
    tabPreview = Make<TTabButton>(Layout29, "tabPreview", Language->MainMenu.Preview);
    tabDrawing = Make<TTabButton>(Layout29, "tabDrawing", Language->MainMenu.Drawing);
    LayoutSystem = Make<QWidget>(LayoutMenu, "LayoutSystem");
    btnSystemMin = Make<TGlyphButton>(LayoutSystem, "btnSystemMin", QStringLiteral("최소화"));
    btnSystemMax = Make<TGlyphButton>(LayoutSystem, "btnSystemMax", QStringLiteral("최대화"));
    btnSystemClose = Make<TGlyphButton>(LayoutMenu, "btnSystemClose", QStringLiteral("닫기"));

    LayoutSubMenu = Make<QWidget>(vgSceneMenu, "LayoutSubMenu");
    rectSubMenu = Make<TGradientPanel>(LayoutSubMenu, "rectSubMenu");
    layoutMenuPreview = Make<QWidget>(rectSubMenu, "layoutMenuPreview");
    LayoutMenuDrawing = Make<QWidget>(rectSubMenu, "LayoutMenuDrawing");
    LayoutZoom = Make<QWidget>(layoutMenuPreview, "LayoutZoom");
    txtRecordTime = Make<TTextItem>(layoutMenuPreview, "txtRecordTime");
    LayoutResInfo = Make<QWidget>(layoutMenuPreview, "LayoutResInfo");
    imgResolution = Make<TPathIcon>(LayoutResInfo, "imgResolution");
    txtResolution = Make<TTextItem>(LayoutResInfo, "txtResolution", Language->Common.Resolution);
    LayoutZoomInfo = Make<QWidget>(layoutMenuPreview, "LayoutZoomInfo");
    imgZoom = Make<TPathIcon>(LayoutZoomInfo, "imgZoom");
    txtZoom = Make<TTextItem>(LayoutZoomInfo, "txtZoom", Language->Common.Zoom);
    CreateMenuButtons();

    pnlPreview = MakeBlack(this, "pnlPreview");
    pnlVideo = MakeBlack(pnlPreview, "pnlVideo");
    Splitter = Make<QWidget>(pnlPreview, "Splitter");
    pnlImage = MakeBlack(pnlPreview, "pnlImage");
    imgViewer = Make<TImageViewer>(pnlImage, "imgViewer");
    pnlPreviewLoading = Make<TNoticePanel>(pnlVideo, "pnlPreviewLoading");
    pnlPreviewLoading->TextItem()->setObjectName(QStringLiteral("txtPreviewLoading"));
    pnlPreviewLoading->TextItem()->setAccessibleName(QStringLiteral("txtPreviewLoading"));
    pnlDrawing = MakeBlack(this, "pnlDrawing");
    pnlCanvas = MakeBlack(pnlDrawing, "pnlCanvas");
    pnlDrawingLoading = Make<TNoticePanel>(pnlDrawing, "pnlDrawingLoading");
    pnlDrawingLoading->TextItem()->setObjectName(QStringLiteral("txtDrawingLoading"));
    pnlDrawingLoading->TextItem()->setAccessibleName(QStringLiteral("txtDrawingLoading"));

    PopupResolution = Make<TResolutionPopup>(this, "PopupResolution");
    winpopupResolution = PopupResolution->Content();
    winpopupResolution->setObjectName(QStringLiteral("winpopupResolution"));
    PopupResolution->SetCallout(23, 11);
    PopupResolution->hide();
    // The drawing popups are made by the drawing commands (InitVariables).
}

void TMainForm::CreateMenuButtons()
{
    for (const TMenuButtonEntry &entry : ::MenuButtons()) {
        QWidget *parent = entry.Menu() == TMenuKind::Drawing ? LayoutMenuDrawing
                          : entry.Place == TMenuPlace::Zoom  ? LayoutZoom
                                                             : layoutMenuPreview;
        auto *button =
            Make<TImageButton>(parent, entry.Name, AccessibleNameOf(entry, Language.get()));
        button->resize(MenuGeometry::Button, MenuGeometry::Button);
        button->setVisible(entry.Place != TMenuPlace::Hidden);
        FMenuButtons.push_back(button);
    }
}

TImageButton *TMainForm::MenuButton(const QString &AName) const
{
    for (TImageButton *button : FMenuButtons)
        if (button->objectName() == AName)
            return button;
    return nullptr;
}

TImageButton *TMainForm::MenuButton(TMenuButtonId AButton) const
{
    const TMenuButtonEntry *entry = FindMenuButton(AButton);
    return entry ? MenuButton(QLatin1String(entry->Name)) : nullptr;
}

void TMainForm::LoadButtonImages(TImageButton *AButton, const QString &ABase)
{
    if (!AButton)
        return;
    const QSize size(MenuGeometry::Button, MenuGeometry::Button);
    QImage normal = Blank(size), pressed = Blank(size), hot = Blank(size);
    SkinResource->LoadFromResource(&normal, ABase + u'N', FSkinRatio);
    SkinResource->LoadFromResource(&pressed, ABase + u'D', FSkinRatio);
    SkinResource->LoadFromResource(&hot, ABase + u'O', FSkinRatio);
    AButton->SetImages(normal, pressed, hot);
    // Kept so that a change of screen loads the images the button shows now
    // (a recording's, the pen's), not the ones it started with.
    AButton->setProperty(SkinBaseProperty, ABase);
}

bool TMainForm::LoadSkin()
{
    if (!SkinResource)
        return false;
    if (!SkinResource->IsOpen() &&
        !(SkinFile.isEmpty() ? SkinResource->Open() : SkinResource->Open(SkinFile)))
        return false;
    FSkinRatio = SkinRatioOfScreen();
    for (TImageButton *button : FMenuButtons) {
        const QString current = button->property(SkinBaseProperty).toString();
        if (!current.isEmpty())
            LoadButtonImages(button, current);
        else if (const TMenuButtonEntry *entry = FindMenuButton(button->objectName()))
            LoadButtonImages(button, QLatin1String(entry->SkinBase));
    }
    return true;
}

qreal TMainForm::SkinRatioOfScreen() const
{
    // The skin has images for ordinary screens and twice-dense ones.
    return devicePixelRatioF() > 1.0 ? 2.0 : 1.0;
}

void TMainForm::SkinRatioCheck()
{
    // Dragged from a laptop's dense screen to the projector (or back), or
    // the screen's scale changed: the images are loaded again for it.
    if (!FCreated || FClosing || SkinRatioOfScreen() == FSkinRatio)
        return;
    if (!LoadSkin())
        return;
    qCInfo(lcApp) << "skin loaded again for a device pixel ratio of" << FSkinRatio;
    if (FDrawingCommands)
        FDrawingCommands->Popups().LoadSkin(*SkinResource, FSkinRatio);
    LoadTabFills(FMenuType);
}

void TMainForm::LoadTabFills(TCustomMenuType AType)
{
    QImage previewFill = Blank({MenuGeometry::TabWidth, MenuGeometry::TabHeight});
    QImage drawingFill = previewFill;
    const bool preview = AType == cmtPreview;
    SkinResource->LoadFromResource(&previewFill,
                                   preview ? QStringLiteral("RES_MENU_PREVIEW_ON")
                                           : QStringLiteral("RES_MENU_PREVIEW_OFF"),
                                   FSkinRatio);
    SkinResource->LoadFromResource(&drawingFill,
                                   preview ? QStringLiteral("RES_MENU_DRAWING_OFF")
                                           : QStringLiteral("RES_MENU_DRAWING_ON"),
                                   FSkinRatio);
    tabPreview->SetFill(previewFill);
    tabDrawing->SetFill(drawingFill);
}

void TMainForm::InitControls()
{
    txtResolution->SetText(QString());
    txtRecordTime->SetText(QString());
    LayoutResInfo->hide();
    vgSceneMenu->resize(vgSceneMenu->width(), MenuHeight);
    tabPreview->SetOutline(QColor());
    tabDrawing->SetOutline(QColor());

    rectSubMenu->SetCornerRadius(10);
    rectSubMenu->SetStops({{0.0, QColor(0xFF, 0xFF, 0xFF)},
                           {0.1, QColor(0x90, 0x90, 0x90)},
                           {0.6069, QColor(0x82, 0x82, 0x82)},
                           {1.0, QColor(0x6E, 0x6E, 0x6E)}});

    QFont clock = txtRecordTime->TextFont();
    clock.setPixelSize(35);
    clock.setBold(true);
    clock.setHintingPreference(QFont::PreferNoHinting);
    txtRecordTime->SetTextFont(clock);
    txtRecordTime->SetColor(QColor(0xFF, 0x3C, 0x3C));
    txtRecordTime->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont status = txtZoom->TextFont();
    status.setPixelSize(13);
    txtZoom->SetTextFont(status);
    txtZoom->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtZoom->SetText(QStringLiteral("100%"));
    txtResolution->SetTextFont(status);
    txtResolution->SetShrinkToFit(true);
    txtRecordTime->SetShrinkToFit(true);
    pnlPreviewLoading->hide();
    pnlDrawingLoading->hide();
    imgResolution->SetPath(ResolutionIconPath(), Qt::white, 1.6);
    imgZoom->SetPath(ZoomIconPath(), Qt::white, 1.6);

    connect(imgIcon, &TImageButton::Clicked, this, &TMainForm::imgIconClick);
    // The tabs and the window buttons carry their typed tags as integers; a
    // click hands the typed value on (a value of no control does nothing).
    tabPreview->SetTag(int(TTabTag::Preview));
    tabDrawing->SetTag(int(TTabTag::Drawing));
    for (TTabButton *tab : {tabPreview, tabDrawing})
        connect(tab, &TTabButton::Clicked, this,
                [this](TSceneButton *t) { TabClick(TTabTag(t->Tag())); });

    btnSystemMin->SetTag(int(TSystemTag::Min));
    btnSystemMax->SetTag(int(TSystemTag::Max));
    btnSystemClose->SetTag(int(TSystemTag::Close));
    SetWindowGlyphs();
    for (TGlyphButton *b : {btnSystemMin, btnSystemMax, btnSystemClose})
        connect(b, &TGlyphButton::Clicked, this,
                [this](TSceneButton *g) { SystemButtonClick(TSystemTag(g->Tag())); });

    for (TImageButton *button : FMenuButtons) {
        const TMenuButtonEntry *entry = FindMenuButton(button->objectName());
        button->SetTag(entry->Tag());
        button->SetStaysPressed(entry->StaysPressed);
        button->setCursor(Qt::PointingHandCursor);
        if (entry->Menu() == TMenuKind::Preview)
            connect(button, &TImageButton::Clicked, this,
                    [this, button] { PreviewMenuClick(button); });
        else
            connect(button, &TImageButton::Clicked, this,
                    [this, button] { DrawingMenuClick(button); });
    }
    PlaceControls();
}

void TMainForm::PreviewMenuClick(TImageButton *AButton)
{
    if (!OnPreviewCommand || !AButton)
        return;
    if (const std::optional<TPreviewTag> tag = PreviewTagOf(AButton->Tag()))
        OnPreviewCommand(*tag);
}

void TMainForm::DrawingMenuClick(TImageButton *AButton)
{
    if (!OnDrawingCommand || !AButton)
        return;
    if (const std::optional<TDrawingTag> tag = DrawingTagOf(AButton->Tag()))
        OnDrawingCommand(*tag);
}

void TMainForm::TabClick(TTabTag ATag)
{
    switch (ATag) {
    case TTabTag::Preview:
        SetMenuType(cmtPreview);
        break;
    case TTabTag::Drawing:
        SetMenuType(cmtDrawing);
        break;
    }
}

void TMainForm::SetMenuType(TCustomMenuType Value)
{
    if (Value == FMenuType)
        return;
    const bool preview = Value == cmtPreview;
    LoadTabFills(Value);
    if (preview) {
        pnlPreview->show();
        pnlPreview->raise();
        pnlDrawing->hide();
        SetPreviewType(cptPreview);
        tabPreview->raise();
    } else if (Value == cmtDrawing) {
        if (OnCaptureForDrawing)
            OnCaptureForDrawing();
        pnlDrawing->show();
        pnlDrawing->raise();
        tabDrawing->raise();
    }
    layoutMenuPreview->setVisible(preview);
    LayoutMenuDrawing->setVisible(Value == cmtDrawing);
    LayoutSystem->setVisible(preview && !FFullScreen);
    FMenuType = Value;
    vgSceneMenu->raise();
    if (FVideoCap && (FVideoCap->Previewing() || FVideoCap->Recording()))
        FVideoCap->Centre();
}

void TMainForm::SetMenuAlign(TCustomMenuAlign Value)
{
    if (Value == FMenuAlign)
        return;
    FMenuAlign = Value;
    PlaceControls();
}

void TMainForm::paintEvent(QPaintEvent *)
{
    // The window's own background shows only in its padding.
    QPainter(this).fillRect(rect(), FFullScreen ? Qt::black : Qt::white);
}
