// Shared helpers of the COM server tests: where the built libraries are,
// copying them into test folders, running regsvr32 and reading the registry.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::test {

// Built in this build tree (paths given by the build).
const char* BuiltDllPath();        // quillet.dll
const char* BuiltNoTlbDllPath();   // the same library without its embedded type library
const char* BuiltTypeLibPath();    // quillet.tlb

// Copies `source` to `folder`\`name`, creating the folder; returns the new path.
std::string CopyIntoFolder(const char* source, const std::string& folder, const char* name);
// Deletes `folder`\`name` and then the folder when it is empty.
void RemoveFromFolder(const std::string& folder, const char* name);

// Runs "regsvr32.exe <arguments>" and returns its exit code (~0u when it could not run or hung).
DWORD RunRegsvr32(const std::string& arguments);
// Runs `commandLine` and returns what it wrote to its standard output and
// error, without carriage returns; "<did not start>" when it could not run,
// "<hung>" added when it did not end within `timeoutMs` (it is then ended).
std::string RunCapturingOutput(const std::string& commandLine, DWORD timeoutMs = 60000);

// REG_SZ text of a value (name null for the default value); false when absent or of another type.
bool ReadText(HKEY root, const std::string& path, const char* name, std::string* text);

}  // namespace quillet::test
