// Shortcut creation through the shell's link object.
#include "core/os.h"
#include "core/shelllink_port.h"
#include "setup/set1.h"

long CreateShortcut(const char* target, const char* arguments, const char* linkPath,
                    const char* description, int showCommand, const char* workingFolder,
                    const char* iconFile, int iconIndex) {
    port::ShellLinks& links = *port::Os().links;
    long result = port::kEInvalidArg;
    links.CoInitialize();  // before any argument is looked at

    // Checked in argument order; present means not null.
    const bool accepted = target && *target && arguments && linkPath && *linkPath && description &&
                          showCommand >= 0 && workingFolder && iconFile && iconIndex >= 0;
    if (accepted) {
        port::Handle link = 0;
        result = links.CreateShellLink(&link);
        if (!port::Failed(result)) {
            // Each status replaces the result; a failure does not stop.
            result = links.SetPath(link, target);
            result = links.SetArguments(link, arguments);
            if (*description) result = links.SetDescription(link, description);
            if (showCommand > 0) result = links.SetShowCmd(link, showCommand);
            if (*workingFolder) result = links.SetWorkingDirectory(link, workingFolder);
            if (*iconFile && iconIndex >= 0) result = links.SetIconLocation(link, iconFile, iconIndex);

            port::Handle file = 0;
            result = links.QueryPersistFile(link, &file);
            if (!port::Failed(result)) {
                port::WideChar widePath[port::kMaxPath];
                // A link path that does not fit the buffer with its terminator
                // is refused rather than saved under a cut name.
                if (links.AnsiToWide(linkPath, widePath, port::kMaxPath) > 0)
                    result = links.Save(file, widePath, true);
                else
                    result = port::kEFilenameTooLong;
                links.ReleasePersistFile(file);
            }
            links.ReleaseLink(link);
        }
    }
    links.CoUninitialize();  // on every path
    return result;
}
