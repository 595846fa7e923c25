#pragma once

#include <QFlags>
#include <QString>

// The program's message box.

enum class TMsgDlgType
{
    mtWarning,
    mtError,
    mtInformation,
    mtConfirmation,
    mtCustom
};

enum TMsgDlgBtn
{
    mbYes = 0x1,
    mbNo = 0x2,
    mbOK = 0x4
};
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

// Result codes.
constexpr int mrOk = 1;
constexpr int mrClose = 2; // closed by the window's close control
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// The caption of every message the program shows.
QString MessageCaption();

// Shows a modal message: the text word-wrapped, the kind's icon (none for
// mtCustom), the buttons in the order Yes, No, OK with the captions of the
// language table. The button whose result equals ADefaultResult is the
// default and has the keyboard focus; Escape presses No (or OK without No).
// Returns the result of the pressed button, or mrClose.
int ShowMessageDlg(const QString &ACaption, const QString &AMessage, TMsgDlgType AType,
                   TMsgDlgButtons AButtons, int ADefaultResult, int AHelpContext = 0);
