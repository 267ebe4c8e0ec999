// Test controls for the system facts and the registry. Layer: platform, headless driver.
#include "platform/headless/SystemControls.h"

#include <memory>

#include "platform/core/System.h"

namespace headless {

void SetCurrentDirectoryText(std::string text) {
  platform::SystemOverrides().currentDirectory = std::move(text);
}

void SetComputerNameText(std::string name) {
  platform::SystemOverrides().computerName = std::move(name);
}

void SetUserNameText(std::string name) {
  platform::SystemOverrides().userName = std::move(name);
}

void SetVersionRecord(const OSVERSIONINFOA& record) {
  platform::SystemOverrides().version = record;
  platform::SystemOverrides().versionFails = false;
}

void FailVersionQuery() {
  platform::SystemOverrides().versionFails = true;
}

void SetRegistryHive(platform::RegistryHive hive) {
  platform::InstallRegistryHive(std::make_shared<const platform::RegistryHive>(std::move(hive)));
}

void ResetSystemFacts() {
  platform::SystemOverrides() = {};
  platform::InstallRegistryHive(nullptr);
}

}  // namespace headless
