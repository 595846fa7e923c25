#include "app/dialogs/InfoForm.h"

#include "app/MainGlyphs.h"
#include "app/MessageDlg.h"
#include "scene/TextItem.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// The logo, scaled to fit its box and centred, drawn at the screen's density.
class TLogoView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        const int side = std::min(width(), height());
        const qreal ratio = devicePixelRatioF();
        QImage logo = ProgramLogo(int(side * ratio));
        logo.setDevicePixelRatio(ratio);
        QPainter p(this);
        p.drawImage(QPointF((width() - side) / 2.0, (height() - side) / 2.0), logo);
    }
};

} // namespace

TInfoForm::TInfoForm(QWidget *AOwner)
    : QDialog(AOwner)
    , vgScene1(new QWidget(this))
    , Image1(new TLogoView(vgScene1))
    , txtProgram(new TTextItem(vgScene1))
    , txtLine1(new TTextItem(vgScene1))
    , txtLine2(new TTextItem(vgScene1))
{
    setObjectName(QStringLiteral("InfoForm"));
    vgScene1->setObjectName(QStringLiteral("vgScene1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    txtProgram->setObjectName(QStringLiteral("txtProgram"));
    setWindowTitle(MessageCaption());
    setFixedSize(334, 193);

    vgScene1->setGeometry(rect());
    vgScene1->setAutoFillBackground(true);
    QPalette palette = vgScene1->palette();
    palette.setColor(QPalette::Window, Qt::white);
    vgScene1->setPalette(palette);

    Image1->setGeometry(0, 5, width(), 97);
    Image1->setAccessibleName(QStringLiteral("로고"));
    txtProgram->setGeometry(0, 112, width(), 17);
    txtProgram->SetText(QStringLiteral("%1 %2").arg(MessageCaption(), QStringLiteral("v1.3")));
    QFont bold = font();
    bold.setPixelSize(14);
    bold.setBold(true);
    txtProgram->SetTextFont(bold);
    txtProgram->SetColor(QColor(0x22, 0x2B, 0x38));
    txtProgram->SetAlignment(Qt::AlignCenter);

    QFont small = font();
    small.setPixelSize(11);
    const struct
    {
        TTextItem *Line;
        const char *Name;
        int Top;
        QString Text;
    } lines[] = {
        {txtLine1, "txtLine1", 150, QStringLiteral("교실용 실물화상기 뷰어")},
        {txtLine2, "txtLine2", 168, QStringLiteral("Ovilen for Linux")},
    };
    for (const auto &l : lines) {
        l.Line->setObjectName(QLatin1String(l.Name));
        l.Line->setGeometry(0, l.Top, width(), 16);
        l.Line->SetText(l.Text);
        l.Line->SetTextFont(small);
        l.Line->SetColor(QColor(0x6A, 0x72, 0x7E));
        l.Line->SetAlignment(Qt::AlignCenter);
    }
    // A click anywhere closes the form, also on the logo.
    vgScene1->installEventFilter(this);
    Image1->installEventFilter(this);
}

void TInfoForm::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        accept();
}

bool TInfoForm::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AEvent->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(AEvent)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(AWatched, AEvent);
}
