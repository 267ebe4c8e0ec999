// Test controls for the system facts, the registry and the shell (headless.h). Layer:
// platform, headless driver.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/core/System.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/headless/headless.h"

namespace platform {

bool THeadlessDriver::OpenDocument(const std::string& target, const ShellRequest& request) {
  FOpenedDocuments.push_back(target);
  FShellRequests.push_back(request);
  return !FOpenDocumentFails;
}

}  // namespace platform

namespace headless {

namespace {

platform::THeadlessDriver& Driver() {
  auto* driver = dynamic_cast<platform::THeadlessDriver*>(&platform::CurrentDriver());
  if (!driver) {
    std::fprintf(stderr, "headless: the shell record needs the headless driver (call Reset)\n");
    std::abort();
  }
  return *driver;
}

}  // namespace

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

const std::vector<std::string>& OpenedDocuments() {
  return Driver().FOpenedDocuments;
}

const std::vector<platform::ShellRequest>& ShellRequests() {
  return Driver().FShellRequests;
}

void SetOpenDocumentFails(bool fails) {
  Driver().FOpenDocumentFails = fails;
}

}  // namespace headless
