#include "capture/component/CameraControlsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

TCameraControlsDialog::TCameraControlsDialog(TCameraControlsPtr AControls,
                                             const QString &ACameraName, QWidget *AParent)
    : QDialog(AParent)
    , FControls(std::move(AControls))
{
    setObjectName(QStringLiteral("CameraControlsDialog"));
    setWindowTitle(ACameraName);
    setModal(true);
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const TCameraControlInfo &info : FControls->Query())
        if (info.Type != cctButton)
            AddRow(info, grid, row++);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    Refresh();
}

void TCameraControlsDialog::AddRow(const TCameraControlInfo &AInfo, QGridLayout *AGrid, int ARow)
{
    TRow r;
    r.Info = AInfo;
    const QString id = QString::number(AInfo.Id);
    const auto index = FRows.size();
    const auto write = [this, index](int value) {
        Write(FRows[index], value);
    };
    AGrid->addWidget(new QLabel(AInfo.Name, this), ARow, 0);
    if (AInfo.Type == cctBoolean) {
        auto *box = new QCheckBox(this);
        connect(box, &QCheckBox::toggled, this, [write](bool on) { write(on ? 1 : 0); });
        r.Show = [box](int v) {
            const QSignalBlocker quiet(box);
            box->setChecked(v != 0);
        };
        r.Editor = box;
        AGrid->addWidget(box, ARow, 1, 1, 2);
    } else if (AInfo.Type == cctMenu) {
        auto *list = new QComboBox(this);
        for (const TCameraMenuItem &item : AInfo.Menu)
            list->addItem(item.Name, item.Value);
        connect(list, &QComboBox::activated, this,
                [list, write](int i) { write(list->itemData(i).toInt()); });
        r.Show = [list](int v) {
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(list->findData(v));
        };
        r.Editor = list;
        AGrid->addWidget(list, ARow, 1, 1, 2);
    } else {
        auto *slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(AInfo.Minimum, AInfo.Maximum);
        slider->setSingleStep(AInfo.Step);
        slider->setPageStep(std::max(AInfo.Step, (AInfo.Maximum - AInfo.Minimum) / 10));
        slider->setMinimumWidth(200);
        auto *value = new QLabel(this);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(slider, &QSlider::valueChanged, this, write);
        r.Show = [slider, value](int v) {
            const QSignalBlocker quiet(slider);
            slider->setValue(v);
            value->setNum(v);
        };
        r.Editor = slider;
        r.Value = value;
        AGrid->addWidget(slider, ARow, 1);
        AGrid->addWidget(value, ARow, 2);
    }
    auto *reset = new QPushButton(tr("Default"), this);
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, [write, def = AInfo.Default] { write(def); });
    r.Default = reset;
    AGrid->addWidget(reset, ARow, 3);
    r.Editor->setObjectName(QStringLiteral("control_") + id);
    reset->setObjectName(QStringLiteral("default_") + id);
    FRows.push_back(std::move(r));
}

void TCameraControlsDialog::Write(TRow &ARow, int AValue)
{
    WriteControl(*FControls, ARow.Info.Id, AValue);
    // A switch may change what else is active (autofocus and manual focus),
    // and the camera has the last word on every value.
    Refresh();
}

void TCameraControlsDialog::Refresh()
{
    for (TRow &r : FRows) {
        if (const auto info = FControls->QueryOne(r.Info.Id))
            r.Info = *info;
        const std::optional<int> value = FControls->Get(r.Info.Id);
        if (value)
            r.Show(*value);
        const bool usable = value && !r.Info.ReadOnly && !r.Info.Inactive;
        r.Editor->setEnabled(usable);
        r.Default->setEnabled(usable);
    }
}

QWidget *TCameraControlsDialog::Editor(std::uint32_t AId) const
{
    for (const TRow &r : FRows)
        if (r.Info.Id == AId)
            return r.Editor;
    return nullptr;
}

QWidget *TCameraControlsDialog::DefaultButton(std::uint32_t AId) const
{
    for (const TRow &r : FRows)
        if (r.Info.Id == AId)
            return r.Default;
    return nullptr;
}
