// The random-use part of the soak: keys (accents typed with the accent keys), clicks and double
// clicks on the program's windows, its icon and its menu, drawn from a seeded generator; the
// program must stay up, show no error box, and close every verdict box it opens. The menu's
// "Fechar" is never chosen. Test tooling (tests/soak).
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "tests/soak/Soak.h"

namespace soak {

namespace {

enum class TAction {
  Key,
  Accent,
  Number,
  Click,
  DoubleClick,
  RightClick,
  Icon,
  Menu,
  Elsewhere,
  Move
};

struct TWeighted {
  TAction action;
  int weight;
};
constexpr TWeighted kActions[] = {
    {TAction::Key, 30},        {TAction::Accent, 8},     {TAction::Number, 6}, {TAction::Click, 18},
    {TAction::DoubleClick, 6}, {TAction::RightClick, 3}, {TAction::Icon, 10},  {TAction::Menu, 8},
    {TAction::Elsewhere, 5},   {TAction::Move, 6},
};

// Keys of a user filling the fields, and the keys that answer boxes, oftener than the rest.
const std::vector<KeySym>& Keys() {
  static const std::vector<KeySym> keys = [] {
    std::vector<KeySym> k;
    for (KeySym s = XK_a; s <= XK_z; ++s)
      k.push_back(s);
    for (KeySym s = XK_A; s <= XK_Z; s += 5)
      k.push_back(s);
    for (KeySym s = XK_0; s <= XK_9; ++s)
      k.insert(k.end(), {s, s});
    for (KeySym s :
         {XK_period, XK_minus, XK_slash, XK_comma, XK_space, XK_BackSpace, XK_Delete, XK_Left,
          XK_Right, XK_Up, XK_Down, XK_Home, XK_End, XK_ccedilla, XK_Ccedilla, XK_ISO_Left_Tab})
      k.push_back(s);
    for (int i = 0; i < 4; ++i)
      k.insert(k.end(), {XK_Return, XK_Escape, XK_Tab});
    return k;
  }();
  return keys;
}

// An accent key and what follows it: letters it takes, letters it does not, another accent.
struct TAccented {
  KeySym accent, then;
};
constexpr TAccented kAccented[] = {
    {XK_dead_acute, XK_e},      {XK_dead_acute, XK_a},          {XK_dead_acute, XK_E},
    {XK_dead_acute, XK_c},      {XK_dead_acute, XK_s},          {XK_dead_acute, XK_1},
    {XK_dead_acute, XK_space},  {XK_dead_acute, XK_dead_acute}, {XK_dead_tilde, XK_a},
    {XK_dead_tilde, XK_o},      {XK_dead_tilde, XK_A},          {XK_dead_tilde, XK_n},
    {XK_dead_tilde, XK_Return}, {XK_dead_circumflex, XK_e},     {XK_dead_circumflex, XK_o},
    {XK_dead_grave, XK_a},      {XK_dead_diaeresis, XK_u},      {XK_dead_tilde, XK_dead_acute},
};

// The menu's rows, top to bottom: "Verifica", a line, "Licença", "Créditos", a line, "Fechar".
constexpr int kMenuBorder = 3, kMenuLine = 9, kMenuRows = 4;
constexpr const char* kSafeItems[] = {"Verifica",
                                      "Licen\xe7"
                                      "a",
                                      "Cr\xe9"
                                      "ditos"};
int MenuRowTop(const TWin& menu, int item) {
  const int row = (menu.height - 2 * kMenuBorder - 2 * kMenuLine) / kMenuRows;
  return kMenuBorder + item * row + (item > 0 ? kMenuLine : 0);
}

constexpr auto kDoubleClickWait = std::chrono::milliseconds(kDoubleClickMs);
// How long a menu may take to come on a loaded machine, when the random use ends.
constexpr auto kLateMenuWait = std::chrono::milliseconds(3000);
constexpr int kBoxPatience = 40;  // inputs a verdict box may stay before the soak answers it
constexpr size_t kRecentKept = 30;

class TRandomUse {
 public:
  TRandomUse(TSoak& soak, uint64_t seed, const std::string& part)
      : FSoak(soak), FScreen(soak.Screen()), FRandom(seed), FPart(part) {
    FLog.open(soak.Settings().workDir + "/" + part + "-" + std::to_string(seed) + ".log");
    for (const TWeighted& w : kActions)
      FTotalWeight += w.weight;
  }

  void Run(int inputs) {
    int steps = 0;
    while (FInputs < inputs && !FFailed) {
      FSoak.AwaitProgramQuiet();
      Step();
      if (!FFailed) Look();
      // A user pauses now and then; the program catches up with its queue.
      TScreen::Pause(++steps % 50 == 0 ? 300 : Between(0, 25));
    }
    if (!FFailed) Finish();
    Summary(inputs);
  }

 private:
  int Between(int low, int high) { return low + int(FRandom() % uint64_t(high - low + 1)); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[FRandom() % items.size()];
  }

  void Note(const std::string& what) {
    FLog << FInputs << ' ' << what << '\n';
    FRecent.push_back(std::to_string(FInputs) + ": " + what);
    if (FRecent.size() > kRecentKept) FRecent.pop_front();
  }
  void Count(const std::string& kind, int n = 1) {
    FCounts[kind] += n;
    FInputs += n;
  }

  void Fail(const std::string& why) {
    FFailed = true;
    std::string recent;
    for (const std::string& line : FRecent)
      recent += "\n              " + line;
    FSoak.Report().Breach(FPart, "after input " + std::to_string(FInputs) + ": " + why +
                                     "; the last inputs were:" + recent);
  }

  // --- Actions ---

  void Step() {
    int roll = Between(1, FTotalWeight);
    TAction action = TAction::Key;
    for (const TWeighted& w : kActions) {
      if ((roll -= w.weight) <= 0) {
        action = w.action;
        break;
      }
    }
    switch (action) {
      case TAction::Key: {
        const KeySym key = Pick(Keys());
        Note(std::string("key ") + XKeysymToString(key));
        FScreen.Key(key);
        Count("keys");
        break;
      }
      case TAction::Accent: {
        const TAccented& a = kAccented[FRandom() % std::size(kAccented)];
        Note(std::string("accent ") + XKeysymToString(a.accent) + " " + XKeysymToString(a.then));
        FScreen.Key(a.accent);
        TScreen::Pause(10);
        FScreen.Key(a.then);
        Count("keys", 2);
        ++FCounts["accent sequences"];
        break;
      }
      case TAction::Number: {
        std::string digits(size_t(Between(8, 16)), '0');
        for (char& c : digits)
          c = char('0' + Between(0, 9));
        Note("types " + digits + " and Enter");
        FScreen.Type(digits);
        FScreen.Key(XK_Return);
        Count("keys", int(digits.size()) + 1);
        break;
      }
      case TAction::Click:
      case TAction::DoubleClick:
      case TAction::RightClick:
        ClickOwnWindow(action);
        break;
      case TAction::Icon:
        ClickIcon();
        break;
      case TAction::Menu:
        ChooseFromMenu();
        break;
      case TAction::Elsewhere:
        if (Between(0, 1) == 0) {
          Note("click on the bare desktop");
          FSoak.ClickBareDesktop();
        } else {
          const TWin& other = FSoak.OtherProgram();
          Note("click on another program");
          FScreen.ClickAt(other.x + other.width / 2, other.y + other.height / 2);
        }
        Count("clicks elsewhere");
        break;
      case TAction::Move: {
        const int x = Between(0, FScreen.Width() - 1), y = Between(0, FScreen.Height() - 1);
        Note("pointer to " + std::to_string(x) + "," + std::to_string(y));
        FScreen.MoveTo(x, y);
        Count("pointer moves");
        break;
      }
    }
  }

  void ClickOwnWindow(TAction action) {
    // A menu is never a target here: a click on it could choose "Fechar".
    std::vector<TWin> own = FSoak.View().Own();
    std::erase_if(own, [](const TWin& w) { return w.resClass == kMenuClass; });
    if (const std::optional<TWin> icon = FSoak.Icon()) own.push_back(*icon);
    if (own.empty()) return;
    const TWin& w = Pick(own);
    const int x = w.x + Between(0, w.width - 1), y = w.y + Between(0, w.height - 1);
    const char* kind = action == TAction::DoubleClick  ? "double click"
                       : action == TAction::RightClick ? "right click"
                                                       : "click";
    Note(std::string(kind) + " on \"" + w.name + "\" at " + std::to_string(x - w.x) + "," +
         std::to_string(y - w.y));
    // The window may have gone since the soak looked (the program was still taking an earlier
    // input): a right click on the bare desktop would open the window manager's menu, which
    // takes the keys and clicks meant for the program. A click on another window of the program
    // that came over the point is still a click on the program.
    if (std::none_of(own.begin(), own.end(),
                     [&](const TWin& shown) { return FScreen.Shows(shown.id, x, y); })) {
      Note("  not clicked: no window of the program shows there any more");
      return;
    }
    if (action == TAction::DoubleClick) {
      FScreen.DoubleClickAt(x, y);
      Count("double clicks");
    } else {
      FScreen.ClickAt(x, y, action == TAction::RightClick ? 3 : 1);
      Count(action == TAction::RightClick ? "right clicks" : "clicks");
      if (action == TAction::RightClick) FLastRightPress = std::chrono::steady_clock::now();
    }
    if (action == TAction::RightClick && w.name == kTip)
      FLastIconRightPress = std::chrono::steady_clock::now();
    // The skin's context menu is the icon's: it opens on a right click.
    if (action == TAction::RightClick && !ResolveMenu(FSoak.Wait(1500))) CloseOtherMenu();
  }

  // A right click that met another program's window, or the bare desktop when a window went
  // in the moment before it, may have opened that program's or the window manager's menu,
  // which holds the pointer and the keyboard: Esc closes it.
  // True when the pointer is free afterwards. A window that went in the moment between the
  // soak's look and its click is caught here too.
  bool CloseOtherMenu() {
    for (int attempt = 0; attempt < 3 && FScreen.PointerHeld(); ++attempt) {
      Note("a menu holds the pointer: Esc");
      FScreen.Key(XK_Escape);
      Count("keys");
      if (FSoak.WaitFor([&] { return !FScreen.PointerHeld(); }, FSoak.Wait(1000))) return true;
    }
    return !FScreen.PointerHeld();
  }

  void PressIcon(const TWin& icon, int button) {
    FScreen.ClickAt(icon.x + icon.width / 2, icon.y + icon.height / 2, button);
    if (button == 3) FLastIconRightPress = FLastRightPress = std::chrono::steady_clock::now();
  }

  void ClickIcon() {
    const std::optional<TWin> icon = FSoak.Icon();
    if (!icon) return;
    const int x = icon->x + icon->width / 2, y = icon->y + icon->height / 2;
    switch (Between(0, 2)) {
      case 0:
        Note("click on the icon");
        FScreen.ClickAt(x, y);
        break;
      case 1:
        Note("double click on the icon");
        FScreen.DoubleClickAt(x, y);
        break;
      default:
        Note("right click on the icon");
        PressIcon(*icon, 3);
        if (!ResolveMenu(FSoak.Wait(1500))) CloseOtherMenu();
        break;
    }
    Count("icon clicks");
  }

  void ChooseFromMenu() {
    const std::optional<TWin> icon = FSoak.Icon();
    if (!icon) return;
    // A second right press on the icon within the double-click time is a double click, which
    // shows the window instead of the menu: this press waits that time out.
    const auto since = std::chrono::steady_clock::now() - FLastIconRightPress;
    if (since < kDoubleClickWait) std::this_thread::sleep_for(kDoubleClickWait - since);
    // The press must reach the icon, not close a menu that holds the pointer.
    if (!CloseOtherMenu()) return Fail("the pointer stayed held by a window, Esc did not free it");
    Note("menu from the icon");
    PressIcon(*icon, 3);
    Count("icon clicks");
    if (!ResolveMenu(FSoak.Wait(10000))) Fail("a right click on the icon opened no menu");
  }

  // When a menu is up (or comes up within `ms`), ends it without ever choosing "Fechar": one of
  // the other items by click or by keys, Esc, or a click outside. False when none came.
  bool ResolveMenu(int ms) {
    std::optional<TWin> menu;
    if (!FSoak.WaitFor([&] { return (menu = FSoak.Menu()).has_value(); }, ms)) return false;
    const int choice = Between(0, 4);
    if (choice <= 2) {
      const int item = Between(0, 2);
      ++FCounts[std::string("menu \"") + kSafeItems[item] + "\""];
      if (choice == 0) {
        Note(std::string("menu: click on ") + kSafeItems[item]);
        FScreen.ClickAt(menu->x + menu->width / 2, menu->y + MenuRowTop(*menu, item) + 4);
        Count("clicks");
      } else {
        // Home puts the highlight on the first item whatever the pointer touched.
        Note(std::string("menu: keys to ") + kSafeItems[item]);
        FScreen.Key(XK_Home);
        for (int i = 0; i < item; ++i)
          FScreen.Key(XK_Down);
        FScreen.Key(XK_Return);
        Count("keys", item + 2);
      }
    } else if (choice == 3) {
      Note("menu: Esc");
      FScreen.Key(XK_Escape);
      Count("keys");
    } else {
      Note("menu: click outside");
      FSoak.ClickBareDesktop();
      Count("clicks elsewhere");
    }
    if (!FSoak.WaitFor([&] { return !FSoak.Menu().has_value(); }, FSoak.Wait(5000))) {
      FScreen.Key(XK_Escape);
      if (!FSoak.WaitFor([&] { return !FSoak.Menu().has_value(); }, FSoak.Wait(5000)))
        Fail("the menu stayed up");
    }
    return true;
  }

  // --- What the program shows ---

  void Look() {
    if (!FSoak.ProgramAlive())
      return Fail("the program ended (" + FSoak.Program().HowItEnded() + ")");
    const TView view = FSoak.View();
    std::string names;
    for (const TWin& w : view.Own())
      names += " \"" + (w.name.empty() ? w.resClass : w.name) + "\"";
    FLog << "    shown:" << names << '\n';
    if (const std::optional<TWin> error = view.ErrorBox()) {
      return Fail("an error box came up (window 0x" + Hex(error->id) + ")");
    }
    if (view.Menu()) ResolveMenu(0);
    std::set<Window> shown;
    for (const TWin& box : view.VerdictBoxes()) {
      shown.insert(box.id);
      if (FOpen.emplace(box.id, FInputs).second) ++FOpened;
    }
    for (auto it = FOpen.begin(); it != FOpen.end();) {
      if (shown.count(it->first) == 0) {
        ++FClosed;
        it = FOpen.erase(it);
      } else {
        ++it;
      }
    }
    // A box nobody answers stays, as it would for a user who went away: the soak answers it
    // after a while, and it must go. A box that came while another was up holds the older one,
    // so the newest is answered first.
    const bool overdue = std::any_of(FOpen.begin(), FOpen.end(), [&](const auto& open) {
      return FInputs - open.second >= kBoxPatience;
    });
    if (!overdue) return;
    for (const Window id : NewestFirst()) {
      TWin box;
      if (!FScreen.Describe(id, box)) continue;
      Note("answers the box \"" + box.name + "\"");
      ++FAnswered;
      if (!FSoak.CloseBox(box)) return Fail("the verdict box \"" + box.name + "\" did not close");
    }
  }

  // The boxes up, the one that came last first.
  std::vector<Window> NewestFirst() const {
    std::vector<std::pair<int, Window>> open;
    for (const auto& [id, since] : FOpen)
      open.emplace_back(since, id);
    std::sort(open.rbegin(), open.rend());
    std::vector<Window> ids;
    for (const auto& entry : open)
      ids.push_back(entry.second);
    return ids;
  }

  void Finish() {
    for (int round = 0; round < 5 && !FOpen.empty() && !FFailed; ++round) {
      for (const Window id : NewestFirst()) {
        TWin box;
        if (!FScreen.Describe(id, box) || !box.viewable) continue;
        Note("answers the box \"" + box.name + "\" at the end");
        ++FAnswered;
        FSoak.CloseBox(box);
      }
      Look();
    }
    if (!FFailed && !FOpen.empty())
      Fail(std::to_string(FOpen.size()) + " verdict box(es) did not close");
    // A menu that came after the soak stopped waiting for it holds the pointer, and would take
    // the next part's first click: it is given the time to come, then closed.
    const auto sinceRightPress = std::chrono::steady_clock::now() - FLastRightPress;
    if (!FFailed && sinceRightPress < kLateMenuWait)
      std::this_thread::sleep_for(kLateMenuWait - sinceRightPress);
    if (!FFailed && FSoak.Menu()) ResolveMenu(0);
    if (!FFailed) CloseOtherMenu();
    if (!FFailed && !FSoak.WaitFor([&] { return !FScreen.PointerHeld(); }, FSoak.Wait(3000)))
      Fail("after the last input the pointer stayed held by a window");
    // The next part finds the window in the tray, as a user leaves it. "Verifica" keeps the
    // window up through the next switch to another program, which may not have come since it
    // was chosen: the window then stays, inactive, and the user comes back to it and leaves it
    // again. Shown and hidden here, the window leaves nothing of that to the next part.
    std::string why;
    if (FFailed) return;
    if (!FSoak.MainWindow() && !FSoak.ShowFromTray(why)) return Fail("at the end, " + why);
    if (FSoak.HideByGoingElsewhere(false, why)) return;
    const std::optional<TWin> main = FSoak.MainWindow();
    if (!main) return Fail(why);
    Note("the window stayed up through a switch: back to it, then elsewhere");
    FScreen.ClickAt(main->x + main->width / 2, main->y + kAboveTheFields);
    if (!FSoak.WaitUntilActive(why) || !FSoak.HideByGoingElsewhere(true, why)) Fail(why);
  }

  void Summary(int inputs) {
    std::string kinds;
    for (const auto& [kind, n] : FCounts) {
      if (n == 0) continue;
      kinds += (kinds.empty() ? "" : ", ") + std::to_string(n) + " " + kind;
    }
    FSoak.Report().Figure(
        FPart, std::to_string(FInputs) + " of " + std::to_string(inputs) + " inputs: " + kinds);
    FSoak.Report().Figure(FPart, "verdict boxes opened " + std::to_string(FOpened) + ", closed " +
                                     std::to_string(FClosed) + " (" + std::to_string(FAnswered) +
                                     " answered by the soak after waiting)");
  }

  TSoak& FSoak;
  TScreen& FScreen;
  std::mt19937_64 FRandom;
  std::string FPart;
  std::ofstream FLog;
  int FTotalWeight = 0;
  int FInputs = 0;
  bool FFailed = false;
  std::map<std::string, int> FCounts;
  std::deque<std::string> FRecent;
  std::map<Window, int> FOpen;  // verdict boxes up, with the input count when each came
  int FOpened = 0, FClosed = 0, FAnswered = 0;
  std::chrono::steady_clock::time_point FLastIconRightPress{};
  std::chrono::steady_clock::time_point FLastRightPress{};  // anywhere
};

}  // namespace

void RandomUse(TSoak& soak, int inputs, uint64_t seed, const std::string& part) {
  if (soak.EnsureProgram()) soak.Report().Figure(part, "(started a new copy of the program)");
  soak.Report().Figure(part, "seed " + std::to_string(seed));
  TRandomUse(soak, seed, part).Run(inputs);
}

}  // namespace soak
