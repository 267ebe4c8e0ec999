// Test controls for the system facts, the registry and the shell: answers a test gives in
// place of the system's own. Layer: platform, headless driver (tests only).
#pragma once

#include <string>

#include "platform/core/Registry.h"
#include "platform/win32/kernel.h"

namespace headless {

// GetCurrentDirectoryA presents exactly this text (for instance "C:\Tools"); file functions
// still resolve relative names against the process's real current directory.
void SetCurrentDirectoryText(std::string text);
void SetComputerNameText(std::string name);
void SetUserNameText(std::string name);
// GetVersionExA reports this record (its size field is the caller's, as always).
void SetVersionRecord(const OSVERSIONINFOA& record);
// GetVersionExA fails with ERROR_INSUFFICIENT_BUFFER whatever size it is given.
void FailVersionQuery();
// Every RegOpenKeyExA after this reads `hive`; keys opened before keep their hive.
void SetRegistryHive(platform::RegistryHive hive);

// Puts back the system's own answers for everything above.
void ResetSystemFacts();

}  // namespace headless
