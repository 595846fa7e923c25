#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class TFolderEdit;

// The settings dialog: the image and movie folders and the camera-settings
// button. Apply keeps a typed folder only when it is an absolute path to an
// existing folder that can be written; anything else leaves the configured
// folder as it was, without a message. The folders are kept in memory and
// reach the configuration file at its next save.
class TSettingForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSettingForm(QWidget *AOwner = nullptr);

    // The camera-settings button: called with the dialog as the owner of the
    // camera's controls dialog; nothing happens while unset.
    std::function<void(QWidget *AOwner)> OnVideoSetting;

    // Whether Apply takes AFolder.
    static bool UsableFolder(const QString &AFolder);

    QLabel *txtSavePath_Image;
    QLabel *txtSavePath_Movie;
    QPushButton *btnApply;
    QPushButton *btnCancel;
    TFolderEdit *edtSavePathImage;
    TFolderEdit *edtSavePathMovie;
    QPushButton *btnCamSetting;

    void btnApplyClick();
    void btnCancelClick();
    void btnCamSettingClick();

private:
    void ApplyCaptions();
    void ShowSetting();
    void ApplySetting();
};

// A one-line folder field with a browse button at its right end that opens
// the folder picker at the field's folder.
class TFolderEdit : public QWidget
{
    Q_OBJECT
public:
    explicit TFolderEdit(QWidget *AParent = nullptr);

    QString Text() const;
    void SetText(const QString &AText);
    QLineEdit *Edit() const { return FEdit; }
    QPushButton *BrowseButton() const { return FBrowse; }

private:
    void Browse();

    QLineEdit *FEdit;
    QPushButton *FBrowse;
};
