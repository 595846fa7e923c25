// What the preview commands see of the main window (IMainView): buttons by
// name, notices, status texts, the preview work area, dialogs and the
// resolution popup.
#include "app/MainForm.h"
#include "app/MessageDlg.h"
#include "app/PreviewCommands.h"
#include "app/dialogs/InfoForm.h"
#include "app/dialogs/SettingForm.h"
#include "capture/CustomVideoCap.h"
#include "scene/CalloutPopup.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/NoticePanel.h"
#include "scene/TabButton.h"
#include "scene/TextButton.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QFileDialog>
#include <QGraphicsOpacityEffect>

QWidget *TMainForm::Control(const QString &AName) const
{
    if (TImageButton *button = MenuButton(AName))
        return button;
    if (AName == QLatin1String("tabDrawing"))
        return tabDrawing;
    if (AName == QLatin1String("tabPreview"))
        return tabPreview;
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

void TMainForm::SetButtonEnabled(const QString &AName, bool AEnabled)
{
    SetButtonEnabled(Control(AName), AEnabled);
}

void TMainForm::SetButtonPressed(const QString &AName, bool APressed)
{
    if (TImageButton *button = MenuButton(AName))
        button->SetIsPressed(APressed);
}

void TMainForm::SetButtonImages(const QString &AName, const QString &ABaseName)
{
    LoadButtonImages(MenuButton(AName), ABaseName);
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
    FPreviewLayout = AType;
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
    // "Name|*.A;*.B|Name|..." becomes "Name (*.A *.a *.B *.b);;Name (...)";
    // both cases are listed, file names on Linux being case-sensitive.
    const QStringList parts = AFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << pattern << pattern.toLower();
        patterns.removeDuplicates();
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return QFileDialog::getOpenFileName(this, QString(), Config->PathImage,
                                        filters.join(QLatin1String(";;")));
}

void TMainForm::ShowResolutionPopup(const std::vector<TResolutionItem> &AItems,
                                    std::function<void(const QString &ATagText)> AOnChoose)
{
    // The lines stack from the top, 20 pixels in from each side, below an
    // inner top margin of 15; each mode is followed by a grey separator and
    // the list ends in the bold label "MJPG".
    constexpr int Width = 123, Side = 20, TopMargin = 15, LineHeight = 20, LabelHeight = 23;
    QWidget *content = PopupResolution->Content();
    // The old lines go from the event loop: one of them may be emitting the
    // click that led here.
    for (QWidget *old : content->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    winpopupResolution = content;
    content->setObjectName(QStringLiteral("winpopupResolution"));
    int y = TopMargin, H = 0;
    QFont regular = font();
    regular.setPixelSize(13);
    QFont bold = regular;
    bold.setBold(true);
    for (const TResolutionItem &item : AItems) {
        auto *line = new TTextButton(content);
        line->setObjectName(QStringLiteral("ResolutionItem"));
        line->setAccessibleName(item.Text);
        line->SetText(item.Text);
        line->SetTagText(item.TagText);
        line->SetTextFont(item.Current ? bold : regular);
        line->SetColor(item.Current ? QColor(0x4D, 0x4C, 0x53) : QColor(0x8E, 0x8E, 0x8E));
        line->setGeometry(Side, y, Width - 2 * Side, LineHeight);
        connect(line, &TTextButton::Clicked, this, [this, AOnChoose](TTextButton *ALine) {
            const QString tag = ALine->TagText();
            PopupResolution->hide();
            if (AOnChoose)
                AOnChoose(tag);
        });
        y += LineHeight;
        auto *separator = new QWidget(content);
        separator->setGeometry(Side, y, Width - 2 * Side, 1);
        separator->setAutoFillBackground(true);
        QPalette palette = separator->palette();
        palette.setColor(QPalette::Window, QColor(0x98, 0x97, 0x9B));
        separator->setPalette(palette);
        y += 1;
        H += LineHeight + 1;
    }
    if (!AItems.empty()) {
        auto *label = new TTextItem(content);
        label->setObjectName(QStringLiteral("ResolutionCodec"));
        label->SetText(QStringLiteral("MJPG"));
        label->SetTextFont(bold);
        label->SetColor(QColor(0x4D, 0x4C, 0x53));
        label->setGeometry(Side, y, Width - 2 * Side, LabelHeight);
        H += LabelHeight;
    }
    for (QObject *child : content->children())
        if (auto *w = qobject_cast<QWidget *>(child))
            w->show();
    PopupResolution->PopupBelow(MenuButton(QStringLiteral("btnPreview_Resolution")), Width,
                                H + 30 + PopupResolution->CalloutLength());
}
