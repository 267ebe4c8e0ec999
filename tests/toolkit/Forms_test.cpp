// The application object, forms, the screen, utility windows and timers on the headless desktop.
#include "toolkit/Forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Streaming.h"
#include "toolkit/TypInfo.h"

namespace {

constexpr UINT kProbeMessage = WM_USER + 7;

class FormsTest : public testing::Test {
 protected:
  void SetUp() override {
    DoneApplication();
    headless::Reset();
    headless::SetScreenSize(1000, 800);
    SetErrorBox([this](const std::string& title, const std::string& message) {
      Errors.push_back(message);
    });
  }
  void TearDown() override {
    DoneApplication();
    SetErrorBox([](const std::string&, const std::string&) {});
  }

  static std::vector<UINT> Messages(const std::vector<MSG>& seen, HWND hwnd) {
    std::vector<UINT> out;
    for (const MSG& m : seen)
      if (m.hwnd == hwnd) out.push_back(m.message);
    return out;
  }

  std::vector<std::string> Errors;
};

TEST_F(FormsTest, ApplicationWindowIsAHiddenTopLevelWindowTitledWithTheTitle) {
  Application->SetTitle("Calvix");
  const HWND app = Application->Handle();
  char text[64], cls[64];
  GetWindowTextA(app, text, sizeof text);
  GetClassNameA(app, cls, sizeof cls);
  EXPECT_STREQ(text, "Calvix");
  EXPECT_STREQ(cls, "TApplication");
  EXPECT_FALSE(IsWindowVisible(app));
}

TEST_F(FormsTest, CreateFormSetsTheReferenceFirstAndTheFirstFormIsMain) {
  struct TProbeForm;
  static TProbeForm* first = nullptr;
  static TForm* second = nullptr;
  // The reference is set before the create handler runs, so the handler may use it.
  struct TProbeForm : TForm {
    explicit TProbeForm(TComponent* owner) : TForm(owner) {
      OnCreate = [this](TObject*) { SeenReference = first == this; };
    }
    bool SeenReference = false;
  };
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_TRUE(first->SeenReference);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_THAT(Screen->FormList(), testing::ElementsAre(first, second));
  EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), Application->Handle());
  delete second;
  EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(FormsTest, HookSeesEveryMessageOfNestedLoopsBeforeDispatch) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  std::vector<MSG> seen;
  std::vector<UINT> dispatched;
  Application->OnMessage = [&](MSG& msg, bool& handled) {
    seen.push_back(msg);
    handled = msg.message == kProbeMessage + 2;  // a handled message is not dispatched
  };
  const HWND window = AllocateHWnd([&](TMessage& m) {
    dispatched.push_back(m.Msg);
    if (m.Msg == kProbeMessage) {
      // A handler that runs a nested loop, as a modal box does.
      PostMessageA(GetActiveWindow() ? GetActiveWindow() : Application->Handle(), WM_NULL, 0, 0);
      PostMessageA(m.Msg == kProbeMessage ? Application->Handle() : nullptr, kProbeMessage + 1, 0,
                   0);
      Application->ProcessMessages();
    }
  });
  PostMessageA(window, kProbeMessage, 0, 0);
  PostMessageA(window, kProbeMessage + 2, 0, 0);
  Application->ProcessMessages();
  EXPECT_THAT(Messages(seen, Application->Handle()), testing::Contains(kProbeMessage + 1));
  EXPECT_THAT(Messages(seen, window), testing::ElementsAre(kProbeMessage, kProbeMessage + 2));
  EXPECT_THAT(dispatched, testing::ElementsAre(kProbeMessage));
  DeallocateHWnd(window);
}

TEST_F(FormsTest, LosingActivationPostsTheDeactivationNotificationOnce) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  Application->ProcessMessages();
  std::vector<MSG> seen;
  int deactivations = 0;
  Application->OnMessage = [&](MSG& msg, bool&) { seen.push_back(msg); };
  Application->OnDeactivate = [&](TObject*) { ++deactivations; };

  const HWND other = headless::AddForeignWindow({"Other", "Other program"});
  headless::ActivateForeign(other);
  Application->ProcessMessages();
  const auto app = Messages(seen, Application->Handle());
  EXPECT_EQ(std::count(app.begin(), app.end(), 45057u), 1);
  EXPECT_EQ(
      std::count_if(seen.begin(), seen.end(), [](const MSG& m) { return m.message == 45057; }), 1);
  EXPECT_EQ(deactivations, 1);
}

// Hiding or parking the active window hands the activation to the window below, another
// program's, until the program takes it back; a loss won back before the notification is
// taken reaches neither the hook nor the deactivation event.
TEST_F(FormsTest, ADeactivationWonBackBeforeItIsTakenIsDropped) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  Application->ProcessMessages();
  int notifications = 0, deactivations = 0;
  Application->OnMessage = [&](MSG& msg, bool&) { notifications += msg.message == 45057; };
  Application->OnDeactivate = [&](TObject*) { ++deactivations; };

  headless::ActivateForeign(headless::AddForeignWindow({"Other", "Other program"}));
  SetForegroundWindow(form->Handle());
  Application->ProcessMessages();
  EXPECT_EQ(notifications, 0);
  EXPECT_EQ(deactivations, 0);

  headless::ActivateForeign(headless::AddForeignWindow({"Other", "Another program"}));
  Application->ProcessMessages();
  EXPECT_EQ(notifications, 1);
  EXPECT_EQ(deactivations, 1);
}

TEST_F(FormsTest, MainFormStoredMinimisedMinimisesTheApplicationWhenRunStarts) {
  struct TMinimised : TForm {
    explicit TMinimised(TComponent* owner) : TForm(owner) { SetWindowState(wsMinimized); }
  };
  TMinimised* form = nullptr;
  Application->CreateForm(form);
  int minimised = 0, restored = 0;
  Application->OnMinimize = [&](TObject* sender) {
    ++minimised;
    EXPECT_EQ(sender, Application.Get());
    // Once minimised, the program closes its main form, which ends the loop.
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  };
  Application->OnRestore = [&](TObject*) { ++restored; };
  Application->Run();
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  Application->Restore();
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(IsIconic(Application->Handle()));
  Application->Restore();  // not minimised: nothing to do
  EXPECT_EQ(restored, 1);
}

TEST_F(FormsTest, ClosingTheMainFormEndsRunAndOtherFormsOnlyHide) {
  TForm* main = nullptr;
  TForm* other = nullptr;
  Application->CreateForm(main);
  Application->CreateForm(other);
  other->Show();
  std::vector<TCloseAction> actions;
  other->OnClose = [&](TObject*, TCloseAction& action) { actions.push_back(action); };
  PostMessageA(other->Handle(), WM_CLOSE, 0, 0);
  PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_THAT(actions, testing::ElementsAre(caHide));
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(IsWindowVisible(other->Handle()));
}

TEST_F(FormsTest, OnShowRunsBeforeTheFormIsOnScreenAndCentringHappensOnceOnly) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->SetBounds(10, 20, 200, 100);
  form->SetPosition(poScreenCenter);
  std::vector<std::pair<bool, int>> atShow;  // on screen, left
  form->OnShow = [&](TObject*) {
    atShow.emplace_back(IsWindowVisible(form->Handle()) != 0, form->Left());
  };
  form->Show();
  EXPECT_EQ(form->Left(), 400);
  EXPECT_EQ(form->Top(), 350);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, 400);
  form->Hide();
  form->SetLeft(30);
  form->Show();
  EXPECT_EQ(form->Left(), 30) << "a later showing keeps the place";
  EXPECT_THAT(atShow, testing::ElementsAre(std::pair(false, 10), std::pair(false, 30)));
}

TEST_F(FormsTest, HandlerExceptionIsShownAndTheLoopGoesOn) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  int after = 0;
  const HWND window = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == kProbeMessage) throw EInvalidOperation("You cant hide a \"nil\" form !");
    if (m.Msg == kProbeMessage + 1) {
      ++after;
      Application->Terminate();
    }
  });
  PostMessageA(window, kProbeMessage, 0, 0);
  PostMessageA(window, kProbeMessage + 1, 0, 0);
  Application->Run();
  EXPECT_THAT(Errors, testing::ElementsAre("You cant hide a \"nil\" form !."));
  EXPECT_EQ(after, 1);
  DeallocateHWnd(window);
}

TEST_F(FormsTest, CreateHandlerExceptionIsShownAndCreationGoesOn) {
  struct TFaulty : TForm {
    explicit TFaulty(TComponent* owner) : TForm(owner) {
      OnCreate = [](TObject*) { throw Exception("Boom"); };
    }
  };
  TFaulty* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_THAT(Errors, testing::ElementsAre("Boom."));
}

TEST_F(FormsTest, TimerFiresWhenTheClockAdvancesAndStopsWhenDisabled) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  timer->SetInterval(150);
  int ticks = 0;
  timer->OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, timer);
    ++ticks;
  };
  headless::RunFor(460);
  EXPECT_EQ(ticks, 3);
  timer->SetEnabled(false);
  headless::RunFor(1000);
  EXPECT_EQ(ticks, 3);
  timer->SetEnabled(true);
  timer->OnTimer = [&](TObject*) { throw ERangeError("late"); };
  headless::RunFor(150);
  EXPECT_THAT(Errors, testing::ElementsAre("late."));
}

TEST_F(FormsTest, UtilityWindowIsHiddenAndReleasedWithItsOwner) {
  HWND handle = nullptr;
  {
    TUtilityWindow window([](TMessage& m) { m.Result = 42; });
    handle = window.Handle();
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_EQ(SendMessageA(handle, kProbeMessage, 0, 0), 42);
  }
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(FormsTest, FormReadsItsCompiledInDescription) {
  struct TDescribed : TForm {
    using TForm::TForm;
    void FormShow(TObject*) { ++Shows; }
    int Shows = 0;
  };
  static const bool registered =
      (PublishClass<TDescribed, TForm>("TDescribed").Handler("FormShow", &TDescribed::FormShow),
       true);
  (void)registered;
  const std::string text =
      "object Described1: TDescribed\n"
      "  Left = 5\n  Top = 6\n  Width = 356\n  Height = 259\n"
      "  Caption = 'Morvane Calvix - Freeware'\n"
      "  BorderStyle = bsNone\n  WindowState = wsMinimized\n"
      "  Visible = True\n  OnShow = FormShow\n"
      "end\n";
  RegisterFormResource("", text.data(), text.size());
  TDescribed* form = nullptr;
  Application->CreateForm(form);
  EXPECT_EQ(form->Caption(), "Morvane Calvix - Freeware");
  EXPECT_EQ(form->Shows, 1);
  EXPECT_TRUE(IsIconic(form->Handle()));
  char cls[64];
  GetClassNameA(form->Handle(), cls, sizeof cls);
  EXPECT_STREQ(cls, "TDescribed");
  EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CAPTION, 0);
}

}  // namespace
