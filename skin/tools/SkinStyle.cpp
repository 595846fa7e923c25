#include "SkinStyle.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

namespace {

// The Korean font package installs its files here (Debian's fonts-nanum).
constexpr const char *FontFolder = "/usr/share/fonts/truetype/nanum/";
constexpr const char *LabelFontFile = "NanumBarunGothicBold.ttf";
constexpr const char *NumeralFontFile = "NanumSquareB.ttf";

QString LabelFamily;
QString NumeralFamily;

QString RegisterFont(const char *AFile, QString &AError)
{
    const QString path = QString::fromLatin1(FontFolder) + QString::fromLatin1(AFile);
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families =
        id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        AError =
            QStringLiteral("cannot load the font %1 (install the package fonts-nanum)").arg(path);
        return {};
    }
    return families.first();
}

const QRectF FaceRect(2.5, 2.5, 50, 50);
constexpr qreal FaceRadius = 10;

} // namespace

QChar StateLetter(TButtonState AState)
{
    switch (AState) {
    case TButtonState::Normal:
        return u'N';
    case TButtonState::Down:
        return u'D';
    case TButtonState::Over:
        return u'O';
    }
    return u'N';
}

TInk InkFor(TButtonState AState)
{
    TInk ink;
    switch (AState) {
    case TButtonState::Normal:
        ink.Line = QColor(0x34, 0x36, 0x3B);
        ink.Accent = QColor(0xE0, 0x30, 0x2A);
        ink.Halo = QColor(0xFF, 0xFF, 0xFF);
        break;
    case TButtonState::Over:
        ink.Line = QColor(0x14, 0x57, 0xA6);
        ink.Accent = QColor(0xEE, 0x33, 0x2C);
        ink.Halo = QColor(0xFF, 0xFF, 0xFF);
        break;
    case TButtonState::Down:
        ink.Line = QColor(0xFF, 0xFF, 0xFF);
        ink.Accent = QColor(0xFF, 0x45, 0x3A);
        ink.Halo = QColor(0xFF, 0xFF, 0xFF);
        ink.Pressed = true;
        break;
    }
    ink.Soft = ink.Line;
    ink.Soft.setAlphaF(AState == TButtonState::Down ? 0.55 : 0.45);
    // On the dark pressed face a white outline would melt into a white pen.
    ink.Edge = AState == TButtonState::Down ? QColor(0x0B, 0x25, 0x45) : ink.Line;
    return ink;
}

TInk LabelInk()
{
    TInk ink = InkFor(TButtonState::Normal);
    ink.Line = QColor(0x4D, 0x4C, 0x53);
    ink.Soft = ink.Line;
    ink.Soft.setAlphaF(0.45);
    ink.Edge = ink.Line;
    return ink;
}

void PaintButtonFace(QPainter &APainter, TButtonState AState)
{
    APainter.save();
    APainter.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    face.addRoundedRect(FaceRect, FaceRadius, FaceRadius);

    switch (AState) {
    case TButtonState::Normal: {
        APainter.fillPath(face.translated(0, 1.5), QColor(0, 0, 0, 60));
        QLinearGradient fill(FaceRect.topLeft(), FaceRect.bottomLeft());
        fill.setColorAt(0.0, QColor(0xFD, 0xFD, 0xFD));
        fill.setColorAt(0.55, QColor(0xEC, 0xEC, 0xEE));
        fill.setColorAt(1.0, QColor(0xCF, 0xD0, 0xD3));
        APainter.fillPath(face, fill);
        APainter.setPen(QPen(QColor(0x5E, 0x60, 0x66), 1.0));
        APainter.drawPath(face);
        APainter.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
        APainter.drawRoundedRect(FaceRect.adjusted(1.2, 1.2, -1.2, -1.2), FaceRadius - 1.2,
                                 FaceRadius - 1.2);
        break;
    }
    case TButtonState::Over: {
        QPainterPath glow;
        glow.addRoundedRect(FaceRect.adjusted(-2, -2, 2, 2), FaceRadius + 2, FaceRadius + 2);
        APainter.fillPath(glow, QColor(0x3C, 0x96, 0xFF, 90));
        QLinearGradient fill(FaceRect.topLeft(), FaceRect.bottomLeft());
        fill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
        fill.setColorAt(0.5, QColor(0xF1, 0xF7, 0xFE));
        fill.setColorAt(1.0, QColor(0xCF, 0xE3, 0xFA));
        APainter.fillPath(face, fill);
        APainter.setPen(QPen(QColor(0x1E, 0x6F, 0xD0), 2.0));
        APainter.drawRoundedRect(FaceRect.adjusted(0.5, 0.5, -0.5, -0.5), FaceRadius - 0.5,
                                 FaceRadius - 0.5);
        break;
    }
    case TButtonState::Down: {
        QLinearGradient fill(FaceRect.topLeft(), FaceRect.bottomLeft());
        fill.setColorAt(0.0, QColor(0x13, 0x40, 0x78));
        fill.setColorAt(0.35, QColor(0x1D, 0x5C, 0xAA));
        fill.setColorAt(1.0, QColor(0x35, 0x82, 0xDA));
        APainter.fillPath(face, fill);
        // A shadow along the inner top edge makes the face look pushed in.
        APainter.save();
        APainter.setClipPath(face);
        QLinearGradient shade(FaceRect.topLeft(), FaceRect.topLeft() + QPointF(0, 7));
        shade.setColorAt(0.0, QColor(0, 0, 0, 110));
        shade.setColorAt(1.0, QColor(0, 0, 0, 0));
        APainter.fillRect(FaceRect, shade);
        APainter.restore();
        APainter.setPen(QPen(QColor(0x0D, 0x2B, 0x52), 1.2));
        APainter.drawPath(face);
        break;
    }
    }
    APainter.restore();
}

void EnterGlyphBox(QPainter &APainter, TButtonState AState)
{
    const qreal shift = AState == TButtonState::Down ? 1.0 : 0.0;
    APainter.translate(11.5, 11.5 + shift);
}

QPen InkPen(const QColor &AColor, qreal AWidth)
{
    QPen pen(AColor, AWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

bool LoadSkinFonts(QString &AError)
{
    LabelFamily = RegisterFont(LabelFontFile, AError);
    if (LabelFamily.isEmpty())
        return false;
    NumeralFamily = RegisterFont(NumeralFontFile, AError);
    return !NumeralFamily.isEmpty();
}

QPainterPath TextOutline(const QString &AText, TTypeface AFace, qreal APixelSize)
{
    // Outlines are taken at a large size and scaled down, so that fractional
    // sizes keep their proportions and no hinting distorts the shapes.
    constexpr int master = 200;
    QFont font(AFace == TTypeface::Label ? LabelFamily : NumeralFamily);
    font.setPixelSize(master);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, AText);
    return QTransform::fromScale(APixelSize / master, APixelSize / master).map(path);
}

QPainterPath CenteredText(const QString &AText, TTypeface AFace, qreal APixelSize, QPointF ACenter)
{
    const QPainterPath path = TextOutline(AText, AFace, APixelSize);
    return path.translated(ACenter - path.boundingRect().center());
}

QPainterPath LeftText(const QString &AText, TTypeface AFace, qreal APixelSize, const QRectF &ABox)
{
    const QPainterPath path = TextOutline(AText, AFace, APixelSize);
    const QRectF ink = path.boundingRect();
    return path.translated(ABox.left() - ink.left(), ABox.center().y() - ink.center().y());
}

void PaintText(QPainter &APainter, const QPainterPath &AText, const QColor &AColor, qreal AExtra)
{
    APainter.fillPath(AText, AColor);
    if (AExtra > 0)
        APainter.strokePath(AText, InkPen(AColor, AExtra));
}
