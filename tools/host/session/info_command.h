#pragma once

// orlinhost info [path-to-dll]: loads the plug-in as the driver's UI core does and reports what it
// answered. Returns the process exit code.
int RunInfoCommand(const wchar_t* dllPath);
