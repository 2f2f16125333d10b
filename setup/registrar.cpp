#include <string>

#include "core/os.h"
#include "set1.h"

void DisableFsRedirection() {
    port::Modules& modules = *port::Os().modules;
    port::Handle kernel32 = modules.LoadLibrary("kernel32.dll");
    if (!kernel32) return;
    port::Handle disable = modules.GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection");
    if (disable) {
        port::Handle previous = 0;  // dropped: redirection stays off for the rest of the run
        modules.CallWow64DisableFsRedirection(disable, &previous);
    }
    modules.FreeLibrary(kernel32);
}

void StartProcess(const char* applicationName, std::string& commandLine) {
    port::Ports& os = port::Os();
    DisableFsRedirection();
    port::Handle process = 0;
    if (os.processes->CreateProcess(applicationName, commandLine, &process)) {
        setupState.registrarProcess = process;
        setupState.registrarExitCode = port::kStillActive;
        return;
    }
    std::uint32_t error = os.processes->GetLastError();
    std::string text = os.processes->SystemMessage(error).value_or(
        "The program \"" + commandLine + "\" could not be started (error " +
        std::to_string(error) + ").");
    os.dialogs->MessageBox(text, "GetLastError", port::kMbOk | port::kMbIconInformation);
}
