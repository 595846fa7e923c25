#include "scene/PenOptionPopup.h"

#include "scene/OptionFrame.h"

#include <QLabel>
#include <QPixmap>

namespace {

const QColor SeparatorColor(0x98, 0x97, 0x9B);
const QColor SwatchBorder(0xBF, 0xBF, 0xBF);
constexpr QSize TypeFrameSize(55, 55), TypeImageSize(45, 45);
constexpr QSize WidthFrameSize(46, 37), SwatchSize(30, 30), CheckSize(25, 19);

QLabel *Label(QWidget *AParent, const char *AName, QRect AGeometry)
{
    auto *label = new QLabel(AParent);
    label->setObjectName(QLatin1String(AName));
    label->setScaledContents(true);
    label->setGeometry(AGeometry);
    return label;
}

QWidget *Line(QWidget *AParent, QRect AGeometry)
{
    auto *line = new QWidget(AParent);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, SeparatorColor);
    line->setPalette(palette);
    line->setGeometry(AGeometry);
    return line;
}

} // namespace

TPenOptionPopup::TPenOptionPopup(QWidget *AParent)
    : TCalloutPopup(AParent)
    , FPanel(new QWidget(Content()))
{
    setObjectName(QStringLiteral("PopupPenOption"));
    resize(PopupWidth, PopupHeight);
    FPanel->setGeometry(PanelInset, PanelInset, PopupWidth - 2 * PanelInset,
                        PopupHeight - CalloutLength() - 2 * PanelInset);

    FPenTypeLabel = Label(FPanel, "imgPenOption_pentype", {10, 27, 52, 20});
    const auto typeFrame = [this](const char *AName, TPenTypeItem AItem, int AX) {
        auto *frame = new TOptionFrame(FPanel);
        frame->setObjectName(QLatin1String(AName));
        frame->SetTag(int(AItem));
        frame->setGeometry(QRect(QPoint(AX, 47), TypeFrameSize));
        connect(frame, &TOptionFrame::Clicked, this, [this, AItem] { emit PenTypeClicked(AItem); });
        return frame;
    };
    FPen = typeFrame("btnDrawing_Pen", TPenTypeItem::Pen, 17);
    FMarker = typeFrame("btnDrawing_Marker", TPenTypeItem::Marker, 90);
    Line(FPanel, {81, 47, 1, TypeFrameSize.height()});
    Line(FPanel, {14, 111, 330, 1});

    FPenWidthLabel = Label(FPanel, "imgPenOption_penWidth", {14, 123, 52, 20});
    for (int k = 0; k < int(Widths.size()); ++k) {
        const TPenWidthItem item = Widths[std::size_t(k)].Item;
        auto *frame = new TOptionFrame(FPanel);
        frame->setObjectName(QStringLiteral("btnDrawing_PenWidth%1").arg(int(item)));
        frame->SetTag(int(item));
        frame->setGeometry(
            QRect(QPoint(WidthFrameX + WidthFramePitch * k, WidthFrameY), WidthFrameSize));
        connect(frame, &TOptionFrame::Clicked, this, [this, item] { emit PenWidthClicked(item); });
        FWidthFrames[std::size_t(k)] = frame;
    }

    FPenColorLabel = Label(FPanel, "imgPenOption_penColor", {14, 200, 52, 20});
    for (int k = 0; k < int(Swatches.size()); ++k) {
        const TSwatch &swatch = Swatches[std::size_t(k)];
        auto *frame = new TOptionFrame(FPanel);
        frame->setObjectName(QLatin1String(swatch.Name));
        frame->SetTag(int(swatch.Item));
        frame->SetTagText(QLatin1String(swatch.ColorText));
        frame->SetFillColor(QColor::fromString(QLatin1String(swatch.ColorText)));
        frame->SetBorder(SwatchBorder, 1);
        frame->setGeometry(QRect(QPoint(SwatchX + SwatchPitch * k, SwatchY), SwatchSize));
        frame->SetCheckImage(QImage(), CheckSize);
        connect(frame, &TOptionFrame::Clicked, this,
                [this](TOptionFrame *ASender) { emit PenColorClicked(ASender->TagText()); });
        FSwatches[std::size_t(k)] = frame;
    }
}

void TPenOptionPopup::SetImages(const TImages &AImages)
{
    FPenTypeLabel->setPixmap(QPixmap::fromImage(AImages.PenTypeLabel));
    FPenWidthLabel->setPixmap(QPixmap::fromImage(AImages.PenWidthLabel));
    FPenColorLabel->setPixmap(QPixmap::fromImage(AImages.PenColorLabel));
    FPen->SetImage(AImages.Pen, TypeImageSize);
    FMarker->SetImage(AImages.Marker, TypeImageSize);
    for (std::size_t k = 0; k < FWidthFrames.size(); ++k)
        FWidthFrames[k]->SetFillImage(AImages.Thickness[k]);
    for (TOptionFrame *swatch : FSwatches)
        swatch->SetCheckImage(AImages.Check, CheckSize);
}

void TPenOptionPopup::Open(QWidget *AAnchor)
{
    PopupBelow(AAnchor, PopupWidth, PopupHeight);
}

void TPenOptionPopup::SetTypeOutlines(bool APen, bool AMarker)
{
    FPen->SetOutlined(APen);
    FMarker->SetOutlined(AMarker);
}

void TPenOptionPopup::SetWidthOutline(int AIndex)
{
    for (int k = 0; k < int(FWidthFrames.size()); ++k)
        FWidthFrames[std::size_t(k)]->SetOutlined(k == AIndex);
}

void TPenOptionPopup::SetCheckedColor(const QString &AColorText)
{
    for (TOptionFrame *swatch : FSwatches)
        swatch->SetChecked(swatch->TagText() == AColorText);
}
