// Ovilen: document camera viewer.
#include "support/Common.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ovilen"));

    InitFolders();
    Config = std::make_unique<TConfig>(PathData);
    Language = std::make_unique<TLanguage>();

    QTextStream(stdout) << "Ovilen data folder: " << PathData << '\n'
                        << "images: " << Config->PathImage << '\n'
                        << "movies: " << Config->PathMovie << '\n';

    Config->Save();
    Language.reset();
    Config.reset();
    return 0;
}
