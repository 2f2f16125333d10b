// The process's platform: one set of ports, installed once by the entry point
// (Win32 adapters) or by a test fixture (fakes). The operations of the setup
// and tray programs reach Windows only through it.
#pragma once

#include "ports.h"

namespace port {

// Ports declared beside the operations that use them.
class ShellLinks;     // shelllink_port.h
class SystemFacts;    // winver_port.h
class ProcessControl; // killprocess_port.h
class TrayShell;      // tray_port.h

struct Ports {
    Environment* env = nullptr;
    FileSystem* files = nullptr;
    Registry* registry = nullptr;
    Shell* shell = nullptr;
    Dialogs* dialogs = nullptr;
    Processes* processes = nullptr;
    Modules* modules = nullptr;
    ShellLinks* links = nullptr;
    SystemFacts* facts = nullptr;
    ProcessControl* processControl = nullptr;
    TrayShell* tray = nullptr;
};

// The installed ports. Every member is set before any operation runs.
Ports& Os();
void Install(const Ports& ports);

// Environment lookup where an unset variable counts as empty text.
std::string GetEnvOrEmpty(const std::string& name);

}  // namespace port
