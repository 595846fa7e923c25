#include "app/dialogs/SelectForm.h"

#include "support/Language.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {
constexpr int ClientWidth = 279;
constexpr int ClientHeight = 137;
constexpr int ItemHeight = 13;
} // namespace

TSelectForm::TSelectForm(QWidget *AParent)
    : QDialog(AParent)
{
    setObjectName(QStringLiteral("SelectForm"));
    // A fixed border and a title bar without buttons: no close control.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);

    lbCameraList = new QListWidget(this);
    lbCameraList->setObjectName(QStringLiteral("lbCameraList"));
    lbCameraList->setGeometry(8, 8, 262, 88);
    lbCameraList->setSelectionMode(QAbstractItemView::SingleSelection);
    lbCameraList->setUniformItemSizes(true);
    connect(lbCameraList, &QListWidget::itemSelectionChanged, this, &TSelectForm::KeepOneSelected);
    connect(lbCameraList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    btnApply = new QPushButton(this);
    btnApply->setObjectName(QStringLiteral("btnApply"));
    btnApply->setGeometry(96, 104, 75, 25);
    btnApply->setDefault(true);
    connect(btnApply, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TSelectForm::FormCreate()
{
    lbCameraList->clear();
    // Before the language table exists, its built-in texts.
    const TSelectCamera texts =
        Language ? Language->SelectCamera : TLanguage(QString{}).SelectCamera;
    setWindowTitle(texts.Title);
    btnApply->setText(texts.btnApply);
}

void TSelectForm::setCameraList(const TCameraList &AList)
{
    for (const TCameraEntry &entry : AList) {
        auto *item = new QListWidgetItem(entry.Name, lbCameraList);
        item->setData(Qt::UserRole, entry.DeviceIndex);
        item->setSizeHint(QSize(0, std::max(ItemHeight, fontMetrics().height())));
        FCameras.append(entry);
    }
    if (lbCameraList->count() > 0)
        lbCameraList->setCurrentRow(0);
}

void TSelectForm::KeepOneSelected()
{
    // A click with Ctrl (or a click beside the lines) may clear the
    // selection: the current line stays the choice.
    if (lbCameraList->count() > 0 && lbCameraList->selectedItems().isEmpty()) {
        const int row = std::max(lbCameraList->currentRow(), 0);
        lbCameraList->item(row)->setSelected(true);
    }
}

TCameraEntry TSelectForm::Camera() const
{
    const QList<QListWidgetItem *> selected = lbCameraList->selectedItems();
    const int row = selected.isEmpty() ? -1 : lbCameraList->row(selected.front());
    return row >= 0 && row < FCameras.size() ? FCameras[row] : TCameraEntry{};
}

QString TSelectForm::CameraName() const
{
    return Camera().Name;
}

int TSelectForm::CameraIndex() const
{
    return Camera().DeviceIndex;
}

QString TSelectForm::CameraPath() const
{
    return Camera().DevicePath;
}

void TSelectForm::reject()
{
    accept();
}

void TSelectForm::closeEvent(QCloseEvent *AEvent)
{
    // Closed by the window system: as Apply.
    AEvent->accept();
    if (result() != QDialog::Accepted)
        accept();
}
