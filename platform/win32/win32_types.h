#pragma once
// The basic Win32 types the program's headers name. On Windows they come from <windows.h>;
// here they are our own declarations with the same names and sizes.
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

typedef unsigned int UINT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::intptr_t LONG_PTR;
typedef int BOOL;
typedef unsigned short WORD;
typedef unsigned long DWORD;

#define CALLBACK
#define WINAPI

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
#endif
