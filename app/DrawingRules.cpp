#include "app/DrawingRules.h"

#include "scene/PenOptionPopup.h"

#include <array>

QString PenColorText(uint32_t AColor)
{
    const uint32_t rgb = ((AColor & 0xFFu) << 16) | (AColor & 0xFF00u) | ((AColor >> 16) & 0xFFu);
    return QStringLiteral("#FF%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

QString PenOptionImageBase(TCustomPenType AType, const QString &AColorText)
{
    if (AType == cptMove)
        return {};
    for (const TPenOptionPopup::TSwatch &swatch : TPenOptionPopup::Swatches)
        if (AColorText == QLatin1String(swatch.ColorText))
            return (AType == cptPen ? QStringLiteral("RES_DRAWING_MENU_PEN_")
                                    : QStringLiteral("RES_DRAWING_MENU_MARKER_")) +
                   QLatin1String(swatch.Word) + u'_';
    return {};
}

int PenWidthOf(TPenWidthItem AItem)
{
    for (const TPenOptionPopup::TWidthFrame &frame : TPenOptionPopup::Widths)
        if (frame.Item == AItem)
            return frame.Thickness;
    return 0;
}

int WidthFrameIndex(int AValue)
{
    const auto &widths = TPenOptionPopup::Widths;
    for (std::size_t k = 0; k < widths.size(); ++k)
        if (widths[k].Thickness == AValue)
            return int(k);
    return -1;
}

int NextRotationAngle(int AAngle)
{
    const int next = AAngle + 90;
    return next > 270 ? 0 : next;
}

QString LoadPictureFilter()
{
    return QStringLiteral("Images|*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF");
}

QSize FittedPictureSize(QSize APicture, QSize ABounds)
{
    if (APicture.isEmpty() || ABounds.isEmpty())
        return APicture;
    if (APicture.width() <= ABounds.width() && APicture.height() <= ABounds.height())
        return APicture;
    return APicture.scaled(ABounds, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}
