#include "app/MessageDlg.h"

#include "app/MessageDlgText.h"
#include "support/Language.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

class TMessageForm : public QDialog
{
public:
    TMessageForm(const QString &ACaption, const QString &AMessage, TMsgDlgType AType,
                 TMsgDlgButtons AButtons, int ADefaultResult)
    {
        setWindowTitle(ACaption);
        setModal(true);
        setObjectName(QStringLiteral("MessageForm"));

        const TLanguage defaults(QString{});
        const TLanguage &texts = Language ? *Language : defaults;

        auto *text = new TMessageText(AMessage, this);
        text->setObjectName(QStringLiteral("Message"));
        text->setMinimumWidth(260);
        text->setMaximumWidth(560);

        auto *top = new QHBoxLayout;
        if (const QStyle::StandardPixmap icon = IconOf(AType); icon != QStyle::SP_CustomBase) {
            auto *image = new QLabel(this);
            const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            image->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
            image->setAlignment(Qt::AlignTop);
            top->addWidget(image);
        }
        top->addWidget(text, 1);

        auto *row = new QHBoxLayout;
        row->addStretch();
        QPushButton *focus = nullptr;
        auto add = [&](TMsgDlgBtn ABtn, const QString &ACaptionText, int AResult) {
            if (!AButtons.testFlag(ABtn))
                return;
            auto *button = new QPushButton(ACaptionText, this);
            button->setProperty("modalResult", AResult);
            button->setMinimumWidth(80);
            button->setAutoDefault(false);
            button->setDefault(AResult == ADefaultResult);
            if (AResult == ADefaultResult)
                focus = button;
            connect(button, &QPushButton::clicked, this, [this, AResult] { done(AResult); });
            row->addWidget(button);
        };
        add(mbYes, texts.Common.Yes, mrYes);
        add(mbNo, texts.Common.No, mrNo);
        add(mbOK, texts.Common.OK, mrOk);
        row->addStretch();

        FEscapeResult = AButtons.testFlag(mbNo) ? mrNo : AButtons.testFlag(mbOK) ? mrOk : mrClose;

        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(20, 18, 20, 14);
        layout->setSpacing(16);
        layout->addLayout(top);
        layout->addLayout(row);
        layout->setSizeConstraint(QLayout::SetFixedSize);

        if (!focus) {
            const auto buttons = findChildren<QPushButton *>();
            if (!buttons.isEmpty())
                focus = buttons.back();
        }
        if (focus)
            focus->setFocus();
    }

    void reject() override { done(mrClose); }

protected:
    void keyPressEvent(QKeyEvent *AEvent) override
    {
        if (AEvent->key() == Qt::Key_Escape && AEvent->modifiers() == Qt::NoModifier) {
            AEvent->accept();
            done(FEscapeResult);
            return;
        }
        QDialog::keyPressEvent(AEvent);
    }

private:
    static QStyle::StandardPixmap IconOf(TMsgDlgType AType)
    {
        switch (AType) {
        case TMsgDlgType::mtWarning:
            return QStyle::SP_MessageBoxWarning;
        case TMsgDlgType::mtError:
            return QStyle::SP_MessageBoxCritical;
        case TMsgDlgType::mtInformation:
            return QStyle::SP_MessageBoxInformation;
        case TMsgDlgType::mtConfirmation:
            return QStyle::SP_MessageBoxQuestion;
        case TMsgDlgType::mtCustom:
            break;
        }
        return QStyle::SP_CustomBase;
    }

    int FEscapeResult = mrClose;
};

} // namespace

QString MessageCaption()
{
    return QStringLiteral("오빌렌");
}

int ShowMessageDlg(const QString &ACaption, const QString &AMessage, TMsgDlgType AType,
                   TMsgDlgButtons AButtons, int ADefaultResult, int AHelpContext)
{
    TMessageForm form(ACaption, AMessage, AType, AButtons, ADefaultResult);
    form.setProperty("helpContext", AHelpContext);
    return form.exec();
}
