// What the preview commands see of the main window (IMainView): buttons and
// tabs by their tags, notices, status texts, the preview work area, dialogs
// and the resolution popup.
#include "app/MainForm.h"
#include "app/MessageDlg.h"
#include "app/PreviewCommands.h"
#include "app/PreviewRules.h"
#include "app/dialogs/InfoForm.h"
#include "app/dialogs/SettingForm.h"
#include "capture/component/CustomVideoCap.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/NoticePanel.h"
#include "scene/ResolutionPopup.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QFileDialog>
#include <QGraphicsOpacityEffect>

QWidget *TMainForm::Control(TControlId AControl) const
{
    if (const std::optional<TMenuButtonId> button = MenuButtonIdOf(AControl))
        return MenuButton(*button);
    switch (std::get<TTabTag>(AControl)) {
    case TTabTag::Preview:
        return tabPreview;
    case TTabTag::Drawing:
        return tabDrawing;
    }
    return nullptr;
}

TCustomPreviewType TMainForm::PreviewType() const
{
    return FPreviewCommands ? FPreviewCommands->PreviewType() : cptNone;
}

void TMainForm::SetPreviewType(TCustomPreviewType Value)
{
    if (FPreviewCommands)
        FPreviewCommands->SetPreviewType(Value);
}

void TMainForm::SetButtonEnabled(QWidget *AControl, bool AEnabled)
{
    if (auto *button = qobject_cast<TImageButton *>(AControl)) {
        button->SetButtonEnabled(AEnabled);
        return;
    }
    if (!AControl)
        return;
    // Other controls (the tabs) fade through an opacity effect.
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(AControl->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(AControl);
        AControl->setGraphicsEffect(effect);
    }
    effect->setOpacity(AEnabled ? 1.0 : 0.5);
    AControl->setAttribute(Qt::WA_TransparentForMouseEvents, !AEnabled);
    AControl->setEnabled(AEnabled);
}

void TMainForm::SetButtonEnabled(TControlId AControl, bool AEnabled)
{
    SetButtonEnabled(Control(AControl), AEnabled);
}

void TMainForm::SetButtonPressed(TMenuButtonId AButton, bool APressed)
{
    if (TImageButton *button = MenuButton(AButton))
        button->SetIsPressed(APressed);
}

void TMainForm::SetButtonImages(TMenuButtonId AButton, const QString &ABaseName)
{
    LoadButtonImages(MenuButton(AButton), ABaseName);
}

void TMainForm::InitWaitTexts()
{
    pnlPreviewLoading->SetText(Language->Msg.m_PleaseWait);
    pnlDrawingLoading->SetText(Language->Msg.m_PleaseWait);
}

void TMainForm::ShowWaiting(bool Value)
{
    TNoticePanel *panel = FMenuType == cmtPreview   ? pnlPreviewLoading
                          : FMenuType == cmtDrawing ? pnlDrawingLoading
                                                    : nullptr;
    if (!panel || panel->isVisibleTo(panel->parentWidget()) == Value)
        return;
    panel->SetText(Language->Msg.m_PleaseWait);
    panel->setVisible(Value);
    if (Value)
        panel->CentreInParent();
}

void TMainForm::ShowCapturing(bool Value)
{
    pnlPreviewLoading->SetText(Language->Msg.m_Capturing);
    pnlPreviewLoading->setVisible(Value);
    if (Value)
        pnlPreviewLoading->CentreInParent();
}

void TMainForm::SetZoomText(const QString &AText)
{
    txtZoom->SetText(AText);
}

void TMainForm::SetResolutionText(const QString &AText)
{
    txtResolution->SetText(AText);
    LayoutResInfo->show();
}

void TMainForm::SetRecordTime(const QString &AText, bool AVisible)
{
    txtRecordTime->SetText(AText);
    txtRecordTime->setVisible(AVisible);
}

void TMainForm::SetPreviewLayout(TCustomPreviewType AType)
{
    // The placement asks the preview commands for the type, which they have
    // set before they call here.
    pnlVideo->setVisible(AType != cptImage);
    pnlImage->setVisible(AType == cptSplit || AType == cptImage);
    Splitter->setVisible(AType == cptSplit);
    PlaceWorkAreas();
}

void TMainForm::ShowImage(const QImage &AImage)
{
    imgViewer->SetImage(AImage);
}

double TMainForm::ImageScale() const
{
    return imgViewer->Scale();
}

void TMainForm::SetImageScale(double AScale)
{
    imgViewer->SetScale(AScale);
}

void TMainForm::SetMenuVisible(bool AValue)
{
    vgSceneMenu->setVisible(AValue);
}

void TMainForm::imgIconClick()
{
    TInfoForm form(this);
    form.exec();
}

void TMainForm::ShowSettingDialog()
{
    TSettingForm form(this);
    form.OnVideoSetting = [this](QWidget *AOwner) {
        if (OnVideoSetting)
            OnVideoSetting(AOwner);
    };
    form.exec();
}

void TMainForm::ShowInformation(const QString &AText)
{
    ShowMessageDlg(MessageCaption(), AText, TMsgDlgType::mtCustom, mbOK, mrOk);
}

QString TMainForm::OpenFileDialog(const QString &AFilter)
{
    return QFileDialog::getOpenFileName(this, QString(), Config->PathImage,
                                        QtFileDialogFilter(AFilter));
}

void TMainForm::ShowResolutionPopup(const std::vector<TResolutionItem> &AItems,
                                    std::function<void(const QString &ATagText)> AOnChoose)
{
    std::vector<TResolutionPopup::TItem> lines;
    lines.reserve(AItems.size());
    for (const TResolutionItem &item : AItems)
        lines.push_back({item.Text, item.TagText, item.Current});
    PopupResolution->Open(MenuButton(TPreviewTag::Resolution), std::move(lines),
                          std::move(AOnChoose));
}
