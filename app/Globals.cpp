#include "app/Globals.h"

#include "platform/clsFSConnect.h"

MainWindowView* gFrmMain = nullptr;
QString gVersion;
QString gAppPath;
QString gFopPath;
QString gXslPath;
QString gExportTable;
bool gOverwriteAsked = false;
std::unique_ptr<clsFSConnect> gLog;
QString gTempXmlFile;
