#include "app/AppStyle.h"

#include "app/MainGlyphs.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

QString AppStyleSheet()
{
    return QStringLiteral(R"(
QDialog {
    background-color: #E9EDF2;
    color: #1F2A36;
}
QDialog QLabel {
    color: #2A3542;
}
QDialog QPushButton {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FBFCFD, stop:1 #DCE2EA);
    border: 1px solid #9AA6B4;
    border-radius: 4px;
    padding: 3px 10px;
    color: #1F2A36;
    min-height: 17px;
}
QDialog QPushButton#btnBrowse {
    padding: 0px;
}
QDialog QPushButton:hover {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #E6ECF3);
    border-color: #6F8196;
}
QDialog QPushButton:pressed {
    background-color: #CBD4DF;
}
QDialog QPushButton:default {
    border: 1px solid #50698A;
}
QDialog QPushButton:focus {
    outline: none;
    border-color: #4F79AE;
}
QDialog QLineEdit {
    background-color: #FFFFFF;
    border: 1px solid #A5B0BD;
    border-radius: 3px;
    padding: 1px 4px;
    color: #1F2A36;
    selection-background-color: #6C8EBF;
}
QDialog QLineEdit:focus {
    border-color: #4F79AE;
}
QDialog QListWidget {
    background-color: #FFFFFF;
    border: 1px solid #A5B0BD;
    border-radius: 3px;
    color: #1F2A36;
}
QDialog QListWidget::item:selected {
    background-color: #6C8EBF;
    color: #FFFFFF;
}
)");
}

void SetUpApplication(QApplication &AApp)
{
    QApplication::setApplicationName(QStringLiteral("Ovilen"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ovilen.Ovilen"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(ProgramLogo(128))));
    AApp.setStyleSheet(AppStyleSheet());
}
