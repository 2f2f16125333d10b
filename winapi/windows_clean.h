// <windows.h> without the ANSI/wide renaming macros that clash with the ports'
// method names (CopyFile, DeleteFile, MessageBox, ...). Adapters call the "A"
// functions by their full names.
#pragma once

#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef MessageBox
#undef CreateProcess
#undef LoadLibrary
#undef GetModuleHandle
#undef CreateDirectory
#undef RemoveDirectory
#undef SetCurrentDirectory
#undef GetEnvironmentVariable
#undef GetVersionEx
