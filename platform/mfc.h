// Our own stand-in for the subset of the MFC class library the game uses.
#pragma once

#include "platform/win32.h"

#include "platform/mfc/Object.h"
#include "platform/mfc/Exceptions.h"
#include "platform/mfc/String.h"
#include "platform/mfc/File.h"
#include "platform/mfc/StdioFile.h"
#include "platform/mfc/FileFind.h"
#include "platform/mfc/Archive.h"
#include "platform/mfc/Collections.h"
#include "platform/mfc/Time.h"
#include "platform/mfc/Sync.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/TreeCtrl.h"
