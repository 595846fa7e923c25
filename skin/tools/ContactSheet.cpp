#include "ContactSheet.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr int SheetWidth = 1860;
constexpr int Margin = 24;
constexpr int Gap = 8;
constexpr int LabelHeight = 22;
constexpr int StripHeight = 76; // the height of the sub-menu strip

const QColor SheetColour(0x2B, 0x2B, 0x2F);
const QColor TextColour(0xEE, 0xEE, 0xF0);

// The sub-menu's grey gradient, on which every button is shown.
void PaintSubMenu(QPainter &P, const QRectF &ABox)
{
    QLinearGradient g(ABox.topLeft(), ABox.bottomLeft());
    g.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(0.1, QColor(0x90, 0x90, 0x90));
    g.setColorAt(0.6069, QColor(0x82, 0x82, 0x82));
    g.setColorAt(1.0, QColor(0x6E, 0x6E, 0x6E));
    P.fillRect(ABox, g);
}

void PaintCaption(QPainter &P, const QString &AText, QPointF ALeftMiddle, qreal ASize)
{
    const QRectF line(ALeftMiddle.x(), ALeftMiddle.y() - 10, 600, 20);
    P.fillPath(LeftText(AText, TTypeface::Numeral, ASize, line), TextColour);
}

// How one catalogue entry is laid out: its images side by side at 1x, then at 2x.
struct TCell
{
    const TSkinImage *Image = nullptr;
    int Count = 0; // pictures per density
    QSize Slot;    // the room of one picture at 1x
    bool Swatches = false;

    int BlockWidth(int AScale) const { return Count * (Slot.width() * AScale + Gap) + Gap; }
    int Width() const { return qMax(BlockWidth(1) + 2 * Gap + BlockWidth(2), 420); }
    int Height() const { return LabelHeight + 2 * StripHeight + 18; }
};

TCell MakeCell(const TSkinImage &AImage)
{
    TCell cell;
    cell.Image = &AImage;
    // The check mark is reviewed on each of the nine colour swatches it is shown on.
    cell.Swatches = AImage.Name.endsWith(QStringLiteral("CHECKED"));
    cell.Count = cell.Swatches ? 9 : int(AImage.ResourceNames().size());
    cell.Slot = cell.Swatches ? QSize(30, 30) : AImage.Size;
    return cell;
}

// Draws one image of the package at its pixel size, or a red box when it is missing.
void PaintImage(QPainter &P, const QString &ARoot, const QString &AName, int AScale, QPointF AAt,
                QSize ASize, QStringList &AMissing)
{
    const QString path = ARoot + (AScale == 2 ? QStringLiteral("2x/") : QString()) + AName;
    const QImage image(path);
    if (image.isNull() || image.size() != ASize * AScale) {
        AMissing << path;
        P.fillRect(QRectF(AAt, ASize * AScale), QColor(0xD0, 0x20, 0x20));
        return;
    }
    P.drawImage(AAt, image);
}

void PaintCell(QPainter &P, const TCell &ACell, QPointF AAt, const QString &ARoot,
               QStringList &AMissing)
{
    const TSkinImage &entry = *ACell.Image;
    PaintCaption(P, entry.ThreeState ? entry.Name + QStringLiteral("  N / D / O") : entry.Name,
                 AAt + QPointF(0, LabelHeight / 2.0), 12.5);
    const QStringList names = entry.ResourceNames();
    const bool tab = entry.Name.startsWith(QStringLiteral("RES_MENU_"));
    qreal left = AAt.x();
    for (int scale = 1; scale <= 2; ++scale) {
        const QRectF back(left, AAt.y() + LabelHeight, ACell.BlockWidth(scale),
                          StripHeight * scale);
        if (entry.ThreeState)
            PaintSubMenu(P, back);
        else if (tab)
            P.fillRect(back, Qt::black); // the menu bar
        else
            P.fillRect(back, QColor(0xFA, 0xFA, 0xFB)); // a popup
        const QSize slot = ACell.Slot * scale;
        for (int k = 0; k < ACell.Count; ++k) {
            const QRectF room(back.left() + Gap + k * (slot.width() + Gap),
                              back.center().y() - slot.height() / 2.0, slot.width(), slot.height());
            if (ACell.Swatches) {
                P.fillRect(room, QColor::fromRgba(PenColours[k].Value));
                P.setPen(QPen(QColor(0xBF, 0xBF, 0xBF), scale));
                P.drawRect(room);
            }
            const QSizeF size = QSizeF(entry.Size * scale);
            const QPointF at = room.center() - QPointF(size.width(), size.height()) / 2.0;
            PaintImage(P, ARoot, names[ACell.Swatches ? 0 : k], scale, at, entry.Size, AMissing);
        }
        left = back.right() + 2 * Gap;
    }
}

} // namespace

QImage MakeContactSheet(const QList<TSkinImage> &ACatalogue, const QString &ARoot,
                        QStringList &AMissing)
{
    // Flow layout: cells left to right, a new row when the next one does not fit.
    QList<TCell> cells;
    QList<QPoint> places;
    int x = Margin;
    int y = Margin + 34;
    int rowHeight = 0;
    for (const TSkinImage &image : ACatalogue) {
        const TCell cell = MakeCell(image);
        if (x > Margin && x + cell.Width() > SheetWidth - Margin) {
            x = Margin;
            y += rowHeight;
            rowHeight = 0;
        }
        cells << cell;
        places << QPoint(x, y);
        x += cell.Width() + 3 * Gap;
        rowHeight = qMax(rowHeight, cell.Height());
    }

    QImage sheet(SheetWidth, y + rowHeight + Margin, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(SheetColour);
    QPainter P(&sheet);
    P.setRenderHint(QPainter::Antialiasing);
    int count = 0;
    for (const TSkinImage &image : ACatalogue)
        count += int(image.ResourceNames().size());
    PaintCaption(
        P,
        QStringLiteral("Ovilen skin: %1 images. States N (normal), D (pressed), O (hover); "
                       "each at 1x, then 2x.")
            .arg(count),
        QPointF(Margin, Margin + 10), 15);
    for (int i = 0; i < cells.size(); ++i)
        PaintCell(P, cells[i], places[i], ARoot, AMissing);
    return sheet;
}
