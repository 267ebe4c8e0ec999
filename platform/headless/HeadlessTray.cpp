// The notification area of the headless desktop: it records every Shell_NotifyIconA call and
// lets tests work the icons as a user would. Internal to platform/ (headless driver).
#include <cstdio>
#include <cstdlib>

#include "platform/core/DriverSink.h"
#include "platform/headless/HeadlessDriver.h"
#include "platform/headless/headless.h"

namespace platform {

bool THeadlessDriver::Tray(DWORD message, const TrayIcon& icon) {
  const auto key = std::make_pair(icon.owner, icon.id);
  bool done = false;
  switch (message) {
    case NIM_ADD:
      done = FTrayHost && FTrayIcons.count(key) == 0;
      if (done) FTrayIcons[key] = icon;
      break;
    case NIM_MODIFY:
      done = FTrayIcons.count(key) != 0;
      if (done) FTrayIcons[key] = icon;
      break;
    case NIM_DELETE:
      done = FTrayIcons.erase(key) != 0;
      break;
    default:
      break;
  }
  FTrayCalls.emplace_back(message, icon);
  FTrayAnswers.push_back(done);
  return done;
}

}  // namespace platform

namespace headless {

namespace {

platform::THeadlessDriver& TrayDriver() {
  auto* d = dynamic_cast<platform::THeadlessDriver*>(&platform::CurrentDriver());
  if (d == nullptr) {
    std::fprintf(stderr, "headless: the tray controls need the headless driver (call Reset)\n");
    std::abort();
  }
  return *d;
}

}  // namespace

std::vector<TTrayCall> TrayCalls() {
  const platform::THeadlessDriver& d = TrayDriver();
  std::vector<TTrayCall> calls;
  for (size_t i = 0; i < d.FTrayCalls.size(); ++i) {
    const auto& [message, icon] = d.FTrayCalls[i];
    calls.push_back({message, icon.owner, icon.id, icon.callbackMessage, icon.tip, icon.image,
                     d.FTrayAnswers[i]});
  }
  return calls;
}

void ClearTrayCalls() {
  TrayDriver().FTrayCalls.clear();
  TrayDriver().FTrayAnswers.clear();
}

void SetTrayHost(bool running) {
  TrayDriver().FTrayHost = running;
}

bool TrayIconShown(HWND owner, UINT id) {
  const platform::THeadlessDriver& d = TrayDriver();
  return d.FTrayHost && d.FTrayIcons.count({owner, id}) != 0;
}

bool PostTrayCallback(HWND owner, UINT id, UINT mouseMessage) {
  const platform::THeadlessDriver& d = TrayDriver();
  const auto it = d.FTrayIcons.find({owner, id});
  if (!d.FTrayHost || it == d.FTrayIcons.end() || it->second.callbackMessage == 0) return false;
  platform::sink::ForeignMessage(owner, it->second.callbackMessage, WPARAM(id),
                                 LPARAM(mouseMessage));
  return true;
}

}  // namespace headless
