#pragma once

#include <QString>
#include <QStringList>

// Shared folders and the text form of capture resolutions.

// Shell folder identifiers understood by GetSpecialFolder.
constexpr int CSIDL_PERSONAL = 5; // the user's documents folder

// The data folder <documents>/Ovilen and its "Temp" subfolder; set by
// InitFolders at start-up, without a trailing separator.
extern QString PathData;
extern QString PathTemp;

// Path of a special folder, or the empty text when it cannot be named.
QString GetSpecialFolder(int AFolder);
QString GetDocumentsFolder();

// Sets PathData and PathTemp from the documents folder and creates both
// folders with their parents. Failures to create are not reported.
void InitFolders();

// Integer value of a text: decimal, or hexadecimal after "$" or "0x"/"0X"
// (at least one digit after the prefix); an optional sign and leading blanks
// are allowed. Anything else, or a value outside 32 bits, gives ADefault.
int StrToIntDef(const QString &AText, int ADefault);

struct TResolutionInfo
{
    int Width = 0;
    int Height = 0;
    QString Codec; // upper case; empty when nothing was parsed
};

// "%dx%d".
QString SizeToText(int AWidth, int AHeight);
// Clears AList and fills it with the pieces of AText between ASeparator
// characters and line breaks; leading blanks of a piece are skipped, empty
// pieces dropped, and text in single or double quotes is not split.
void SplitText(const QString &AText, QChar ASeparator, QStringList &AList);
// The size at the start of a resolution text ("1600x1200 MJPG", "800x600").
void ParseSize(const QString &AText, int &AWidth, int &AHeight);
// Width, height and code of "1600x1200 MJPG" or of a mode text "1600x1200 (MJPG)".
TResolutionInfo ParseResolution(const QString &AText);
// Sort order of resolution texts: the larger width + height first.
int CompareResolution(const QStringList &AList, int AIndex1, int AIndex2);
