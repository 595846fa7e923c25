#include "app/ProgramModules.h"

#include "support/CameraDiscovery.h"
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
    InitCameraList();
}

TProgramModules::~TProgramModules()
{
    CameraList.clear();
    Language.reset();
    Config.reset(); // saves
    SkinResource.reset();
}
