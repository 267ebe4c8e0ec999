// The tray icon family on the headless desktop: the timer manager, the tray icon and its
// conversation with the shell, mouse input, the moves between taskbar and tray, animation.
#include "controls/tray/LwTray95.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/controls/tray/TrayHarness.h"
#include "toolkit/Streaming.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// --- Timer manager ---

class TimerManagerTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    Manager = new TLwTimerManager(MainForm);
    Manager->SetEnabled(true);
    Start = GetTickCount();
  }
  // An item that records the clock, relative to the start, each time it fires.
  TLwTimerItem* Recorded(TLwTimerInterval interval, std::vector<DWORD>& fired) {
    return Manager->AddTimer(true, interval,
                             [this, &fired](TObject*) { fired.push_back(GetTickCount() - Start); });
  }

  TLwTimerManager* Manager = nullptr;
  DWORD Start = 0;
};

TEST_F(TimerManagerTest, ASecondItemFiresEverySeventhTickOfTheBasePeriod) {
  std::vector<DWORD> fired;
  Recorded(1000, fired);
  EXPECT_EQ(Manager->BasePeriod(), 150u);
  headless::RunFor(3200);
  EXPECT_THAT(fired, ElementsAre(1050, 2100, 3150));
}

TEST_F(TimerManagerTest, EnablingAnotherItemRestartsTheWaitOfTheFirst) {
  std::vector<DWORD> fired;
  Recorded(1000, fired);
  headless::RunFor(600);
  Manager->AddTimer(true, 5000, [](TObject*) {});
  headless::RunFor(1100);
  EXPECT_THAT(fired, ElementsAre(1650));
}

TEST_F(TimerManagerTest, AShortItemLowersTheBasePeriodWhileItIsEnabled) {
  std::vector<DWORD> slow, fast;
  Recorded(1000, slow);
  TLwTimerItem* shortItem = Recorded(70, fast);
  EXPECT_EQ(Manager->BasePeriod(), 70u);
  headless::RunFor(210);
  EXPECT_THAT(fast, ElementsAre(70, 140, 210));
  shortItem->SetEnabled(false);
  EXPECT_EQ(Manager->BasePeriod(), 150u);
  TLwTimerItem* medium = Manager->AddTimer(true, 100, [](TObject*) {});
  EXPECT_EQ(Manager->BasePeriod(), 100u);
  medium->SetInterval(400);
  EXPECT_EQ(Manager->BasePeriod(), 150u);
}

TEST_F(TimerManagerTest, NoEnabledItemStopsTheTimer) {
  std::vector<DWORD> fired;
  TLwTimerItem* item = Recorded(1000, fired);
  EXPECT_TRUE(Manager->Ticking());
  item->SetEnabled(false);
  EXPECT_FALSE(Manager->Ticking());
  headless::RunFor(3000);
  EXPECT_THAT(fired, IsEmpty());
  item->SetEnabled(true);
  EXPECT_TRUE(Manager->Ticking());
}

TEST_F(TimerManagerTest, ItemsKeepFiringAcrossTheWrapOfTheTickCount) {
  headless::SetTick(0xFFFFFFFFu - 500);
  Start = GetTickCount();
  std::vector<DWORD> fired;
  Recorded(1000, fired);
  headless::RunFor(3200);
  EXPECT_THAT(fired, ElementsAre(1050, 2100, 3150));
}

TEST_F(TimerManagerTest, ACallbackThatRearmsMakesLaterItemsOfTheTickWait) {
  std::vector<DWORD> second;
  TLwTimerItem* other = nullptr;
  Manager->AddTimer(true, 150, [&](TObject*) { other->SetInterval(other->Interval() + 1); });
  other = Recorded(150, second);
  headless::RunFor(150);
  EXPECT_THAT(second, IsEmpty());
}

TEST_F(TimerManagerTest, ARaisingCallbackLeavesItsItemDueAndReachesTheErrorBox) {
  int calls = 0;
  Manager->AddTimer(true, 150, [&](TObject*) {
    ++calls;
    throw Exception("boom");
  });
  headless::RunFor(300);
  EXPECT_EQ(calls, 2);
  EXPECT_THAT(Errors, ElementsAre("boom.", "boom."));
}

// --- The tray icon and the shell ---

TEST_F(TrayTest, ATrayIconMustBeOwnedByAForm) {
  TComponent owner(nullptr);
  try {
    new TLwTrayIcon95(&owner);
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "TrayIcons must be owned by a Form !");
  }
  EXPECT_EQ(owner.ComponentCount(), 0);
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes)
    out += std::string{kDigits[b >> 4], kDigits[b & 15]};
  return out;
}

TEST_F(TrayTest, AFormReadWithActiveTrueAddsTheIconOnceAfterReading) {
  auto* form = new TForm(Application);
  ReadComponent(*form,
                "object Form1: TForm\n"
                "  object LwTrayIcon951: TLwTrayIcon95\n"
                "    Icon.Data = {" +
                    Hex(SolidIconFile(kRed)) +
                    "}\n"
                    "    Active = True\n"
                    "    AutoPopup = True\n"
                    "    Hint = 'Calvix - verifica CPF e CGC'\n"
                    "    State = tsDisabled\n"
                    "  end\n"
                    "end\n");
  auto* tray = dynamic_cast<TLwTrayIcon95*>(form->FindComponent("LwTrayIcon951"));
  ASSERT_NE(tray, nullptr);
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
  EXPECT_EQ(calls[0].owner, tray->WindowHandle());
  EXPECT_EQ(calls[0].id, 42u);
  EXPECT_EQ(calls[0].callbackMessage, 1124u);
  EXPECT_EQ(calls[0].tip, "Calvix - verifica CPF e CGC");
  EXPECT_EQ(ImageColor(calls[0]), 0xFFFFFFFFu);  // the stored state shows the empty DisabledIcon
  EXPECT_TRUE(tray->Active());
  EXPECT_EQ(tray->State(), tsDisabled);
  tray->SetState(tsEnabled);
  EXPECT_EQ(ImageColor(headless::TrayCalls().back()), kRed);
  // The icon keeps the file it came from, to be written back.
  TMemoryStream saved;
  tray->Icon()->SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), SolidIconFile(kRed));
  EXPECT_THAT(WriteComponent(*tray), testing::HasSubstr("Icon.Data = {"));
  EXPECT_TRUE(headless::TrayIconShown(tray->WindowHandle(), 42));
}

TEST_F(TrayTest, StoredPropertiesAreWrittenOnlyWhenTheyDifferFromTheDefaults) {
  TLwTrayIcon95* tray = NewTray(false);
  tray->SetName("LwTrayIcon951");
  tray->SetHint("Dica");
  tray->SetOptions({toMinimizeToTray});
  const std::string text = WriteComponent(*tray);
  EXPECT_THAT(text, testing::HasSubstr("Hint = 'Dica'"));
  EXPECT_THAT(text, testing::HasSubstr("Options = [toMinimizeToTray]"));
  EXPECT_THAT(text, testing::Not(testing::HasSubstr("ShowHint")));
  EXPECT_THAT(text, testing::Not(testing::HasSubstr("State")));
  EXPECT_THAT(text, testing::Not(testing::HasSubstr("Animation.Interval")));
}

TEST_F(TrayTest, DamagedIconDataIsRefusedWithTheLineOfTheDescription) {
  auto* form = new TForm(Application);
  std::vector<uint8_t> bytes = SolidIconFile(kRed);
  bytes[18] = 0xFF;  // the image's offset now points outside the file
  EXPECT_THROW(ReadComponent(*form,
                             "object Form1: TForm\n"
                             "  object LwTrayIcon951: TLwTrayIcon95\n"
                             "    Icon.Data = {" +
                                 Hex(bytes) +
                                 "}\n"
                                 "  end\n"
                                 "end\n"),
               EReadError);
  EXPECT_THAT(headless::TrayCalls(), IsEmpty());
}

TEST_F(TrayTest, ActivationAddsOnceAndDestructionRemoves) {
  TLwTrayIcon95* tray = NewTray(false);
  tray->SetActive(false);
  tray->SetActive(true);
  tray->SetActive(true);
  EXPECT_THAT(Messages(), ElementsAre(NIM_ADD));
  EXPECT_EQ(ImageColor(headless::TrayCalls()[0]), kBlue);
  const HWND owner = tray->WindowHandle();
  delete tray;
  EXPECT_THAT(Messages(), ElementsAre(NIM_ADD, NIM_DELETE));
  EXPECT_FALSE(headless::TrayIconShown(owner, 42));
}

TEST_F(TrayTest, TheTooltipShowsAtMost63CharactersOfTheHint) {
  TLwTrayIcon95* tray = NewTray();
  const std::string hint(100, 'h');
  tray->SetHint(hint);
  EXPECT_EQ(headless::TrayCalls().back().tip, std::string(63, 'h'));
  EXPECT_EQ(tray->Hint(), hint);
  tray->SetHint(std::string(63, 'k'));
  EXPECT_EQ(headless::TrayCalls().back().tip, std::string(63, 'k'));
}

TEST_F(TrayTest, ShowHintFalseEmptiesTheTooltipButKeepsTheHint) {
  TLwTrayIcon95* tray = NewTray();
  tray->SetHint("Calvix");
  tray->SetShowHint(false);
  EXPECT_EQ(headless::TrayCalls().back().tip, "");
  tray->SetHint("Outra");  // only stored
  EXPECT_EQ(headless::TrayCalls().back().tip, "");
  EXPECT_EQ(tray->Hint(), "Outra");
  tray->SetShowHint(true);
  EXPECT_EQ(headless::TrayCalls().back().tip, "Outra");
  headless::ClearTrayCalls();
  tray->SetHint("Outra");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TrayTest, AnInactiveIconOnlyStoresItsStateAndShowsItWhenActivated) {
  TLwTrayIcon95* tray = NewTray(false);
  TIcon red;
  red.SetHandle(SolidIcon(kRed));
  tray->SetDisabledIcon(&red);
  int changing = 0;
  tray->OnStateChanging = [&](TObject*, TLwTrayIconState&) { ++changing; };
  tray->SetState(tsDisabled);
  EXPECT_EQ(changing, 0);
  EXPECT_THAT(Messages(), IsEmpty());
  tray->SetActive(true);
  ASSERT_THAT(Messages(), ElementsAre(NIM_ADD));
  EXPECT_EQ(ImageColor(headless::TrayCalls()[0]), kRed);
  tray->SetState(tsEnabled);
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(ImageColor(headless::TrayCalls().back()), kBlue);
}

TEST_F(TrayTest, OnStateChangingMayCancelTheChange) {
  TLwTrayIcon95* tray = NewTray();
  tray->OnStateChanging = [](TObject*, TLwTrayIconState& newState) { newState = tsEnabled; };
  tray->SetState(tsDisabled);
  EXPECT_EQ(tray->State(), tsEnabled);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TrayTest, OnStateChangingThatRaisesLeavesTheStateAndTheNextChangeWorks) {
  TLwTrayIcon95* tray = NewTray();
  tray->OnStateChanging = [](TObject*, TLwTrayIconState&) { throw Exception("no"); };
  EXPECT_THROW(tray->SetState(tsDisabled), Exception);
  EXPECT_EQ(tray->State(), tsEnabled);
  tray->OnStateChanging = nullptr;
  tray->SetState(tsDisabled);
  EXPECT_EQ(tray->State(), tsDisabled);
  EXPECT_THAT(Messages(), ElementsAre(NIM_MODIFY));
}

TEST_F(TrayTest, AssigningStateInsideOnStateChangingOfAnyTrayIconIsRefused) {
  TLwTrayIcon95* tray = NewTray();
  TLwTrayIcon95* other = NewTray();
  tray->OnStateChanging = [&](TObject*, TLwTrayIconState&) { other->SetState(tsDisabled); };
  try {
    tray->SetState(tsDisabled);
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "You cannot modify the state property in the OnStateChanging event !!!");
  }
  EXPECT_EQ(tray->State(), tsEnabled);
  EXPECT_EQ(other->State(), tsEnabled);
  other->SetState(tsDisabled);  // the guard is down again
  EXPECT_EQ(other->State(), tsDisabled);
}

TEST_F(TrayTest, DestroyingThePopupMenuEmptiesThePropertyWhateverItsForm) {
  TLwTrayIcon95* tray = NewTray();
  auto* sameForm = new TPopupMenu(MainForm);
  tray->SetPopupMenu(sameForm);
  delete sameForm;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  TForm* other = nullptr;
  Application->CreateForm(other);
  auto* otherForm = new TPopupMenu(other);
  tray->SetPopupMenu(otherForm);
  delete other;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
}

TEST_F(TrayTest, OnlyTheLastOfTwoDeferredRequestsRuns) {
  TLwTrayIcon95* tray = NewTray();
  std::vector<int> ran;
  TObject* seen = nullptr;
  tray->PostDeferredCall(nullptr, [&](TObject*) { ran.push_back(1); });
  tray->PostDeferredCall(MainForm, [&](TObject* arg) {
    ran.push_back(2);
    seen = arg;
  });
  headless::RunPending();
  EXPECT_THAT(ran, ElementsAre(2));
  EXPECT_EQ(seen, MainForm);
}

TEST_F(TrayTest, ADeferredCallThatRaisesIsSwallowedAndEmptiesTheSlot) {
  TLwTrayIcon95* tray = NewTray();
  int calls = 0;
  tray->PostDeferredCall(nullptr, [&](TObject*) {
    ++calls;
    throw Exception("lost");
  });
  headless::RunPending();
  PostMessageA(tray->WindowHandle(), kDeferredCallMessage, 0, 0);
  headless::RunPending();
  EXPECT_EQ(calls, 1);
  EXPECT_THAT(Errors, IsEmpty());
}

TEST_F(TrayTest, ADeferredCallPendingWhenTheTrayIconGoesIsDropped) {
  TLwTrayIcon95* tray = NewTray();
  int calls = 0;
  tray->PostDeferredCall(tray, [&](TObject*) { ++calls; });
  delete tray;
  headless::RunPending();
  EXPECT_EQ(calls, 0);
}

TEST_F(TrayTest, TheHiddenWindowAnswersTheEndOfTheSession) {
  TLwTrayIcon95* tray = NewTray();
  const HWND window = tray->WindowHandle();
  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
  SendMessageA(window, WM_ENDSESSION, 0x100, 0);  // only the low byte counts
  EXPECT_TRUE(tray->Active());
  SendMessageA(window, WM_ENDSESSION, 1, 0);
  EXPECT_FALSE(tray->Active());
  EXPECT_THAT(Messages(), ElementsAre(NIM_DELETE));
}

// --- Mouse input ---

class TrayMouseTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    Tray = NewTray();
  }
  void Notify(UINT mouseMessage) {
    ASSERT_TRUE(headless::PostTrayCallback(Tray->WindowHandle(), 42, mouseMessage));
    headless::RunPending();
  }
  void CountClicks() {
    Tray->OnClick = [this](TObject* sender) {
      EXPECT_EQ(sender, Tray);
      ++Clicks;
    };
  }
  void CountDoubleClicks() {
    Tray->OnDblClick = [this](TObject*) { ++DoubleClicks; };
  }

  TLwTrayIcon95* Tray = nullptr;
  int Clicks = 0;
  int DoubleClicks = 0;
};

TEST_F(TrayMouseTest, ADoubleClickFiresOnlyOnDblClick) {
  CountClicks();
  CountDoubleClicks();
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  Notify(WM_LBUTTONDBLCLK);
  Notify(WM_LBUTTONUP);
  headless::RunFor(1000);
  EXPECT_EQ(DoubleClicks, 1);
  EXPECT_EQ(Clicks, 0);
}

TEST_F(TrayMouseTest, ASingleClickFiresOnClickOnTheThirdTickAfterThePress) {
  CountClicks();
  CountDoubleClicks();
  Notify(WM_LBUTTONDOWN);
  Notify(WM_LBUTTONUP);
  headless::RunFor(440);
  EXPECT_EQ(Clicks, 0);
  headless::RunFor(20);
  EXPECT_EQ(Clicks, 1);
  headless::RunFor(1000);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(DoubleClicks, 0);
  EXPECT_FALSE(Tray->TimerManager()->Ticking());
}

TEST_F(TrayMouseTest, WithOnlyOnClickEveryPressFiresAtOnce) {
  CountClicks();
  Notify(WM_LBUTTONDOWN);
  EXPECT_EQ(Clicks, 1);
  Notify(WM_LBUTTONDBLCLK);  // fires nothing: OnDblClick is not assigned
  Notify(WM_MBUTTONDOWN);
  Notify(WM_RBUTTONDOWN);  // AutoPopup is off: an ordinary click
  Notify(WM_LBUTTONUP);
  Notify(WM_RBUTTONUP);
  Notify(WM_MBUTTONUP);
  EXPECT_EQ(Clicks, 3);
  EXPECT_EQ(Tray->MsgWindow()->LastButton(), mbRight);
}

TEST_F(TrayMouseTest, NotificationsOutsideTheMouseMessagesAreIgnored) {
  CountClicks();
  Notify(WM_MOUSEMOVE - 1);
  Notify(WM_MBUTTONDBLCLK + 1);
  headless::RunFor(1000);
  EXPECT_EQ(Clicks, 0);
}

class TRecordingMenu : public TPopupMenu {
 public:
  using TPopupMenu::TPopupMenu;
  void Popup(int x, int y) override {
    Shown.push_back(POINT{x, y});
    ForegroundWhileShown = GetForegroundWindow();
  }
  std::vector<POINT> Shown;
  HWND ForegroundWhileShown = nullptr;
};

TEST_F(TrayMouseTest, ARightPressWithAutoPopupOpensTheMenuWhereTheMouseLastMoved) {
  CountClicks();
  CountDoubleClicks();
  auto* menu = new TRecordingMenu(MainForm);
  Tray->SetPopupMenu(menu);
  Tray->SetAutoPopup(true);
  headless::MovePointer(700, 590);
  Notify(WM_MOUSEMOVE);
  headless::MovePointer(10, 10);  // the press is reported after the pointer moved on
  Notify(WM_RBUTTONDOWN);
  ASSERT_EQ(menu->Shown.size(), 1u);
  EXPECT_EQ(menu->Shown[0].x, 700);
  EXPECT_EQ(menu->Shown[0].y, 590);
  EXPECT_EQ(menu->ForegroundWhileShown, Application->Handle());
  // No form is on screen: the desktop takes the foreground once the menu has closed.
  EXPECT_EQ(GetForegroundWindow(), GetDesktopWindow());
  headless::RunFor(1000);
  EXPECT_EQ(Clicks, 0);
  Notify(WM_RBUTTONDBLCLK);
  EXPECT_EQ(DoubleClicks, 1);
}

TEST_F(TrayMouseTest, TheMouseEntersMovesAndLeavesWithTheLastNotifiedPosition) {
  std::vector<std::string> seen;
  auto record = [&](const char* what) {
    return [&seen, what](TObject*, TShiftState, int x, int y) {
      seen.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    };
  };
  Tray->OnMouseEnter = record("enter");
  Tray->OnMouseMove = record("move");
  Tray->OnMouseExit = record("exit");
  headless::MovePointer(700, 590);
  Notify(WM_MOUSEMOVE);
  headless::MovePointer(702, 591);
  Notify(WM_MOUSEMOVE);
  headless::RunFor(140);  // within two pixels: still over the icon
  EXPECT_THAT(seen, ElementsAre("enter 700,590", "move 702,591"));
  headless::MovePointer(400, 300);
  headless::RunFor(70);
  EXPECT_THAT(seen, ElementsAre("enter 700,590", "move 702,591", "exit 702,591"));
  EXPECT_FALSE(Tray->MsgWindow()->MouseInside());
  EXPECT_FALSE(Tray->TimerManager()->Ticking());
}

TEST_F(TrayMouseTest, MovesDuringTheClickWaitFireNoOnMouseMove) {
  int moves = 0;
  CountDoubleClicks();
  Tray->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ(moves, 1);  // without enter and exit handlers the first move counts
  Notify(WM_LBUTTONDOWN);
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ(moves, 1);
  headless::RunFor(500);
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ(moves, 2);
}

TEST_F(TrayMouseTest, ShiftStateReportsKeysAndButtonsHeldDown) {
  TShiftState shift;
  Tray->OnMouseMove = [&](TObject*, TShiftState s, int, int) { shift = s; };
  MainForm->Show();  // the keys go to the active form
  headless::RunPending();
  headless::KeyDown(VK_SHIFT);
  headless::KeyDown(VK_CONTROL);
  headless::RunPending();  // the key state follows the keys taken from the queue
  Notify(WM_MOUSEMOVE);
  EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl}));
  headless::KeyUp(VK_SHIFT);
  headless::KeyUp(VK_CONTROL);
}

TEST_F(TrayMouseTest, AnExitHandlerThatRaisesIsCheckedAgain) {
  int exits = 0;
  Tray->OnMouseExit = [&](TObject*, TShiftState, int, int) {
    if (++exits == 1) throw Exception("once");
  };
  Notify(WM_MOUSEMOVE);
  headless::MovePointer(300, 300);
  headless::RunFor(140);
  EXPECT_EQ(exits, 2);
  EXPECT_THAT(Errors, IsEmpty());
}

// --- Taskbar and tray ---

class TrayMoveTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    Application->CreateForm(OtherForm);
    Tray = NewTray();
    Tray->OnAppMinimize = [this](TObject*) { ++Minimized; };
    MainForm->Show();
    OtherForm->Show();
    headless::RunPending();
  }
  HWND App() const { return Application->Handle(); }

  TForm* OtherForm = nullptr;
  TLwTrayIcon95* Tray = nullptr;
  int Minimized = 0;
};

TEST_F(TrayMoveTest, MinimisingWithTheDefaultsTakesEverythingIntoTheTray) {
  int closed = 0;
  OtherForm->OnClose = [&](TObject*, TCloseAction&) { ++closed; };
  Application->Minimize();
  headless::RunPending();
  EXPECT_FALSE(MainForm->Visible());
  EXPECT_FALSE(OtherForm->Visible());
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(IsWindowVisible(App()));
  EXPECT_EQ(GetParent(App()), nullptr);
  EXPECT_EQ(Minimized, 1);
  EXPECT_TRUE(headless::TrayIconShown(Tray->WindowHandle(), 42));
  EXPECT_EQ(DesktopLockCount(), 0);
  EXPECT_EQ(headless::LockedWindow(), nullptr);
}

TEST_F(TrayMoveTest, WithoutClosingFormsTheApplicationIsMinimisedAndHiddenLater) {
  Tray->SetOptions({toMinimizeToTray});
  ANIMATIONINFO info{sizeof(ANIMATIONINFO), 1};
  SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
  Application->Minimize();
  EXPECT_EQ(Minimized, 1);
  headless::RunPending();
  EXPECT_EQ(Minimized, 2);
  EXPECT_FALSE(IsWindowVisible(App()));
  EXPECT_FALSE(IsWindowVisible(MainForm->Handle()));
  EXPECT_TRUE(OtherForm->Visible());
  EXPECT_EQ(GetParent(App()), nullptr);
  EXPECT_EQ(headless::LockedWindow(), nullptr);
  SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0);
  EXPECT_NE(info.iMinAnimate, 0);  // switched back on after the minimise
}

TEST_F(TrayMoveTest, AnInactiveTrayIconLeavesMinimisingToTheToolkit) {
  Tray->SetActive(false);
  Application->Minimize();
  headless::RunPending();
  EXPECT_EQ(Minimized, 1);
  EXPECT_TRUE(IsIconic(App()));
  EXPECT_TRUE(OtherForm->Visible());
}

TEST_F(TrayMoveTest, RestoringBringsTheMainFormBack) {
  int restored = 0;
  Tray->OnAppRestore = [&](TObject*) { ++restored; };
  Tray->SetOptions({toMinimizeToTray});
  Application->Minimize();
  headless::RunPending();
  ASSERT_TRUE(IsIconic(App()));
  Tray->ShowApplication();
  headless::RunPending();
  EXPECT_FALSE(IsIconic(App()));
  EXPECT_TRUE(IsWindowVisible(App()));
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_EQ(GetParent(App()), nullptr);
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(DesktopLockCount(), 0);
}

TEST_F(TrayMoveTest, WithoutTaskbarButtonClosingTheShownFormKeepsItAway) {
  Tray->SetOptions(kDefaultTrayOptions + TLwTrayIconOptions{toHideTaskBarIconOnShowApp});
  Application->Minimize();
  headless::RunPending();
  // The other form stands in for the main form, so that closing it does not end the program.
  Tray->ShowApplication();
  headless::RunPending();
  EXPECT_TRUE(MainForm->Visible());
  EXPECT_FALSE(IsWindowVisible(App()));
  int closed = 0;
  MainForm->OnClose = [&](TObject*, TCloseAction& action) {
    ++closed;
    action = caNone;
  };
  MainForm->Close();  // through the hook, which then runs this handler
  headless::RunPending();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(IsWindowVisible(App()));
  EXPECT_EQ(DesktopLockCount(), 0);
}

TEST_F(TrayMoveTest, HidingNoFormIsRefused) {
  try {
    Tray->HideForm(nullptr);
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "You cant hide a \"nil\" form !");
  }
}

TEST_F(TrayMoveTest, AFailingCloseHandlerStillReleasesTheLock) {
  OtherForm->OnClose = [](TObject*, TCloseAction&) { throw Exception("stays"); };
  EXPECT_THROW(Tray->HideForm(OtherForm), Exception);
  EXPECT_EQ(DesktopLockCount(), 0);
  EXPECT_EQ(headless::LockedWindow(), nullptr);
}

TEST_F(TrayMoveTest, NestedLocksFreezeTheDesktopOnceAndReleaseItOnce) {
  const HWND desktop = GetDesktopWindow();
  Tray->LockDesktop(true);
  Tray->LockDesktop(true);
  EXPECT_EQ(headless::LockedWindow(), desktop);
  Tray->LockDesktop(false);
  EXPECT_EQ(headless::LockedWindow(), desktop);
  Tray->LockDesktop(false);
  EXPECT_EQ(headless::LockedWindow(), nullptr);
  // Coming back to one lock asks for the desktop again, which is already the locked window.
  EXPECT_THAT(headless::LockWindowUpdateCalls(), ElementsAre(desktop, desktop, nullptr));
}

TEST_F(TrayMoveTest, AFormCarriesOneCloseHookAndTheFirstStays) {
  std::vector<std::string> order;
  OtherForm->OnClose = [&](TObject*, TCloseAction&) { order.push_back("form"); };
  auto* first = new TLwNotifyOnFormClose(OtherForm);
  EXPECT_TRUE(first->Install(OtherForm, [&](TObject* sender) {
    EXPECT_EQ(sender, OtherForm);
    order.push_back("first");
  }));
  auto* second = new TLwNotifyOnFormClose(OtherForm);
  EXPECT_FALSE(second->Install(OtherForm, [&](TObject*) { order.push_back("second"); }));
  int hooks = 0;
  for (TComponent* c : OtherForm->ComponentList())
    hooks += dynamic_cast<TLwNotifyOnFormClose*>(c) != nullptr;
  EXPECT_EQ(hooks, 1);
  OtherForm->Close();
  EXPECT_THAT(order, ElementsAre("first", "form"));
}

TEST_F(TrayMoveTest, AHookOutlivingItsTrayIconOnlyRunsTheFormsHandler) {
  Tray->SetOptions(kDefaultTrayOptions + TLwTrayIconOptions{toHideTaskBarIconOnShowApp});
  Application->Minimize();
  headless::RunPending();
  Tray->ShowApplication();
  headless::RunPending();
  delete Tray;
  int closed = 0;
  MainForm->OnClose = [&](TObject*, TCloseAction& action) {
    ++closed;
    action = caNone;
  };
  MainForm->Close();
  headless::RunPending();
  EXPECT_EQ(closed, 1);
}

TEST_F(TrayMoveTest, ADestroyedTrayIconNoLongerHearsTheApplication) {
  delete Tray;
  Application->Minimize();
  headless::RunPending();
  EXPECT_EQ(Minimized, 0);
  EXPECT_TRUE(IsIconic(App()));
}

// --- Animation ---

class TrayAnimationTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    Tray = NewTray();
    Tray->OnAnimation = [this](TObject*) { ++Steps; };
    Frames.SetText(IconFile("red.ico", kRed) + "\n" + IconFile("green.ico", kGreen) + "\n" +
                   IconFile("blue.ico", kBlue));
  }

  TLwTrayIcon95* Tray = nullptr;
  TStringList Frames;
  int Steps = 0;
};

TEST_F(TrayAnimationTest, ThreeFramesCycleAtTheInterval) {
  Tray->Animation()->SetIcons(&Frames);
  // The change of state shows frame 0, and so does the animation's first step.
  Tray->SetState(tsAnimated);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed));
  headless::RunFor(1050 * 3);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed, kGreen, kBlue, kRed));
  EXPECT_EQ(Steps, 4);
  Tray->SetState(tsEnabled);
  headless::RunFor(3000);
  EXPECT_EQ(Steps, 4);
}

TEST_F(TrayAnimationTest, ANewIconListStartsAgainAtTheFirstFrame) {
  Tray->Animation()->SetIcons(&Frames);
  Tray->SetState(tsAnimated);
  headless::RunFor(1050);
  TStringList other;
  other.SetText(Frames[2] + "\n" + Frames[0]);
  Tray->Animation()->SetIcons(&other);
  headless::RunFor(1050);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed, kGreen, kBlue));
}

TEST_F(TrayAnimationTest, AMissingFrameFileIsSkipped) {
  Frames.SetStrings(1, (FilesDir / "missing.ico").string());
  Tray->Animation()->SetIcons(&Frames);
  Tray->SetState(tsAnimated);
  headless::RunFor(1050 * 3);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed, kRed, kBlue, kRed));
  EXPECT_EQ(Steps, 4);
}

TEST_F(TrayAnimationTest, AnIntervalOutOfRangeRaisesAfterTheFirstFrame) {
  Tray->Animation()->SetIcons(&Frames);
  Tray->Animation()->SetInterval(54);
  EXPECT_THROW(Tray->SetState(tsAnimated), ERangeError);
  headless::RunFor(3000);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed));
  EXPECT_EQ(Steps, 1);
  EXPECT_EQ(Tray->State(), tsAnimated);
  EXPECT_THROW(Tray->Animation()->SetInterval(100001), ERangeError);
  Tray->Animation()->SetInterval(100000);
  EXPECT_EQ(Steps, 3);
  EXPECT_TRUE(Tray->TimerManager()->Ticking());
}

TEST_F(TrayAnimationTest, AnEmptyListKeepsTheImageAndStillFiresOnAnimation) {
  Tray->SetState(tsAnimated);
  headless::RunFor(1050);
  EXPECT_EQ(Steps, 2);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kBlue, kBlue, kBlue));
}

TEST_F(TrayAnimationTest, TheIntervalRestartsARunningAnimationOnly) {
  Tray->Animation()->SetIcons(&Frames);
  Tray->Animation()->SetInterval(300);  // not animated yet: only stored
  EXPECT_EQ(Steps, 0);
  Tray->SetState(tsAnimated);
  headless::RunFor(300);
  Tray->Animation()->SetInterval(600);
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed, kGreen, kRed));
}

TEST_F(TrayAnimationTest, DeactivatingStopsAndReactivatingRestarts) {
  Tray->Animation()->SetIcons(&Frames);
  Tray->SetState(tsAnimated);
  Tray->SetActive(false);
  headless::RunFor(3000);
  EXPECT_EQ(Steps, 1);
  Tray->SetActive(true);
  EXPECT_EQ(Steps, 2);
  EXPECT_EQ(ImageColor(headless::TrayCalls().back()), kRed);
}

TEST_F(TrayAnimationTest, AnotherAnimationObjectIsCopied) {
  TLwTrayIcon95* other = NewTray(false);
  other->Animation()->SetIcons(&Frames);
  other->Animation()->SetInterval(500);
  other->Animation()->SetOptions(aoIconsInExe);
  Tray->SetAnimation(other->Animation());
  EXPECT_EQ(Tray->Animation()->Interval(), 500);
  EXPECT_EQ(Tray->Animation()->Options(), aoIconsInExe);
  EXPECT_EQ(*Tray->Animation()->Icons(), Frames);
  delete other;
  EXPECT_EQ(Tray->Animation()->Icons()->Count(), 3);
}

TEST_F(TrayAnimationTest, ResourceFramesAreLookedUpInCapitalsAndMissingOnesAreEmpty) {
  TStringList names;
  names.SetText("trayframe\nnosuchframe");
  Tray->Animation()->SetOptions(aoIconsInExe);
  Tray->Animation()->SetIcons(&names);
  Tray->SetState(tsAnimated);
  headless::RunFor(1050);
  // The 16-pixel image of the resource, twice at the start, then an empty image.
  EXPECT_THAT(ModifiedColors(), ElementsAre(kRed, kRed, 0xFFFFFFFFu));
}

}  // namespace
