#pragma once
// The one header the program includes for Win32: the real one on Windows, our declarations elsewhere.
#ifdef _WIN32
#include <windows.h>
// Both need the types <windows.h> declares.
#include <shellapi.h>
#include <timeapi.h>
#else
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_constants.h"
#include "platform/win32/win32_types.h"
#endif
