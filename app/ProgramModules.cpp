#include "app/ProgramModules.h"

#include "support/Common.h"
#include "support/Config.h"
#include "support/CustomResource.h"
#include "support/Language.h"

TProgramModules::TProgramModules()
{
    SkinResource = std::make_unique<TCustomResource>();
    InitFolders();
    Config = std::make_unique<TConfig>(PathData);
    Language = std::make_unique<TLanguage>();
}

TProgramModules::~TProgramModules()
{
    Language.reset();
    Config.reset(); // saves
    SkinResource.reset();
}
