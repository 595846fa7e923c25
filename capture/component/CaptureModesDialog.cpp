#include "capture/component/CaptureModesDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

TCaptureModesDialog::TCaptureModesDialog(const std::vector<TVideoSizeItem> &AModes,
                                         const QString &ACurrent, QWidget *AParent)
    : QDialog(AParent)
{
    setObjectName(QStringLiteral("CaptureModesDialog"));
    setModal(true);
    lbModes = new QListWidget(this);
    lbModes->setObjectName(QStringLiteral("lbModes"));
    for (const TVideoSizeItem &mode : AModes) {
        auto *item = new QListWidgetItem(mode.Text, lbModes);
        item->setData(Qt::UserRole, mode.Index);
        if (mode.Text == ACurrent)
            lbModes->setCurrentItem(item);
    }
    if (!lbModes->currentItem() && lbModes->count() > 0)
        lbModes->setCurrentRow(0);
    connect(lbModes, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbModes);
    layout->addWidget(buttons);
}

int TCaptureModesDialog::ChosenIndex() const
{
    const QListWidgetItem *item = lbModes->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}
