// The program's one application object.
#include "UninstallApp.h"

CUninstallApp g_theApp;
