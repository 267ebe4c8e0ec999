// Tests of the shaped button as a control: its properties, pointer handling, groups, stored
// images, and painting through its mask on a form.
#include "controls/circbutton/MorCircBut.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Streaming.h"

namespace {

// --- The control ---

// Reaches the pointer notifications the form would deliver, and records the events.
class TTestButton : public TMorCircButton {
 public:
  explicit TTestButton(TComponent* owner) : TMorCircButton(owner) {
    OnClick = [this](TObject* sender) { Log(sender, "Click"); };
    OnDblClick = [this](TObject* sender) { Log(sender, "DblClick"); };
    OnMouseDown = [this](TObject* sender, TMouseButton, TShiftState, int, int) {
      Log(sender, "MouseDown");
    };
    OnMouseUp = [this](TObject* sender, TMouseButton, TShiftState, int, int) {
      Log(sender, "MouseUp");
    };
  }
  void Press(int x, int y, TMouseButton button = mbLeft, TShiftState shift = {}) {
    MouseDown(button, shift, x, y);
  }
  void Move(int x, int y) { MouseMove({}, x, y); }
  void Release(int x, int y, TMouseButton button = mbLeft) { MouseUp(button, {}, x, y); }
  void Click(int x = 38, int y = 15) {
    Press(x, y);
    Release(x, y);
  }

  std::vector<std::string> Events;

 private:
  void Log(TObject* sender, const char* what) {
    EXPECT_EQ(sender, this);
    Events.push_back(what);
  }
};

// A 77 by 30 button with one bevel of width 1, as on the main window.
TTestButton* MainButton(TComponent* owner) {
  auto* button = new TTestButton(owner);
  button->SetBevelWidth(1);
  button->SetBounds(0, 0, 77, 30);
  return button;
}

using Events = std::vector<std::string>;

TEST(MorCircButton, StartsWithItsDefaultsAndNoImages) {
  TMorCircButton button(nullptr);
  EXPECT_EQ(button.Width(), 25);
  EXPECT_EQ(button.Height(), 25);
  EXPECT_TRUE(button.ImageOut().Empty());
  EXPECT_EQ(button.RebuildCount(), 0);
  EXPECT_EQ(button.BevelOuter(), hbLowered);
  EXPECT_EQ(button.BevelInner(), hbNone);
  EXPECT_EQ(button.BevelWidth(), 2);
  EXPECT_EQ(button.FaceColor(), clGray);
  EXPECT_EQ(button.FaceRed(), 128);
  EXPECT_EQ(button.GlyphIndex(), 1);
  EXPECT_EQ(button.NumGlyphs(), 1);
  EXPECT_FALSE(button.GlyphValid());
  EXPECT_DOUBLE_EQ(button.AttenControl(), 1.0);
}

TEST(MorCircButton, SizeChangesRebuildOnceAndTinySizesKeepTheImages) {
  TMorCircButton button(nullptr);
  button.SetBounds(5, 5, 77, 30);
  EXPECT_EQ(button.RebuildCount(), 1);
  EXPECT_EQ(button.ImageOut().Width(), 77);
  button.SetBounds(9, 9, 77, 30);  // a move only
  EXPECT_EQ(button.RebuildCount(), 1);
  button.SetBounds(9, 9, 1, 30);
  EXPECT_EQ(button.RebuildCount(), 1);
  EXPECT_EQ(button.ImageOut().Width(), 77);
  EXPECT_EQ(button.ImageMask().Height(), 30);
}

TEST(MorCircButton, PictureWritesRebuildAndOthersDoNot) {
  TMorCircButton button(nullptr);
  button.SetBounds(0, 0, 21, 21);
  int rebuilds = button.RebuildCount();
  auto expectRebuild = [&](bool expected, const char* what) {
    EXPECT_EQ(button.RebuildCount(), rebuilds + (expected ? 1 : 0)) << what;
    rebuilds = button.RebuildCount();
  };
  button.SetCaption("x");
  expectRebuild(true, "caption");
  button.SetCaption("x");
  expectRebuild(false, "same caption");
  button.SetBevelWidth(0);
  expectRebuild(false, "bevel width 0");
  EXPECT_EQ(button.BevelWidth(), 2);
  button.SetAttenControl(0.5);
  expectRebuild(true, "attenuation");
  button.SetBorderStyle(bsSingle);
  expectRebuild(true, "border style");
  button.SetFaceShaded(false);
  expectRebuild(true, "face shaded");
  button.SetDown(true);
  expectRebuild(false, "down");
  button.SetGroupIndex(3);
  expectRebuild(false, "group index");
  button.SetAllowAllUp(true);
  expectRebuild(false, "allow all up");
  button.SetGlyphIndex(2);  // NumGlyphs is 1
  expectRebuild(false, "glyph index out of range");
  EXPECT_EQ(button.GlyphIndex(), 1);
  TFont font;
  font.SetColor(clRed);
  button.SetFont(font);
  expectRebuild(true, "font");
  button.SetFont(font);
  expectRebuild(true, "the same font again");
  button.Font().SetColor(clBlue);
  expectRebuild(false, "font changed in place");
}

TEST(MorCircButton, FaceColorIsSplitIntoItsComponents) {
  TMorCircButton button(nullptr);
  button.SetFaceColor(0x00FF0000);
  EXPECT_EQ(button.FaceRed(), 0);
  EXPECT_EQ(button.FaceGreen(), 0);
  EXPECT_EQ(button.FaceBlue(), 255);
  button.SetFaceColor(clBtnFace);  // a system colour is taken as it stands
  EXPECT_EQ(button.FaceRed(), 15);
  EXPECT_EQ(button.FaceBlue(), 0);
}

TEST(MorCircButton, FaceEndsInsideTheBevels) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  EXPECT_FALSE(button->PointInFace(0, 15));
  EXPECT_TRUE(button->PointInFace(1, 15));
  EXPECT_TRUE(button->PointInFace(38, 2));
  EXPECT_FALSE(button->PointInFace(38, 0));
  button->Press(0, 15);
  EXPECT_TRUE(button->Events.empty());
  EXPECT_FALSE(button->Down());
  button->Press(1, 15);
  EXPECT_TRUE(button->Down());
  // A button too small for its bevels still answers on its ellipse.
  button->SetBevelWidth(20);
  EXPECT_TRUE(button->PointInFace(38, 15));
  button->SetBounds(0, 0, 0, 30);
  EXPECT_FALSE(button->PointInFace(0, 15));
}

TEST(MorCircButton, PressedFaceFollowsThePointerUntilTheRelease) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->Press(38, 15);
  EXPECT_TRUE(button->Down());
  button->Move(70, 2);
  EXPECT_FALSE(button->Down());
  button->Move(40, 14);
  EXPECT_TRUE(button->Down());
  button->Release(40, 14);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(button->Events, (Events{"MouseDown", "Click", "MouseUp"}));
}

TEST(MorCircButton, ClickIsSeenWhileThePressedFaceShows) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  bool downDuringClick = false;
  button->OnClick = [&](TObject*) { downDuringClick = button->Down(); };
  button->Click();
  EXPECT_TRUE(downDuringClick);
  EXPECT_FALSE(button->Down());
}

TEST(MorCircButton, ReleaseOffTheFaceFiresOnlyMouseUp) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->Press(38, 15);
  button->Move(200, 200);
  button->Release(200, 200);
  EXPECT_EQ(button->Events, (Events{"MouseDown", "MouseUp"}));
  EXPECT_FALSE(button->Down());
}

TEST(MorCircButton, RightButtonAloneDoesNotPress) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->Press(38, 15, mbRight);
  EXPECT_FALSE(button->Down());
  button->Release(38, 15, mbRight);
  EXPECT_EQ(button->Events, (Events{"MouseDown", "MouseUp"}));
}

TEST(MorCircButton, AnyReleaseEndsALeftPress) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->Press(38, 15);
  button->Press(38, 15, mbRight);
  button->Release(38, 15, mbRight);
  button->Release(38, 15);
  EXPECT_EQ(button->Events, (Events{"MouseDown", "MouseDown", "Click", "MouseUp", "MouseUp"}));
}

TEST(MorCircButton, DoubleClickEventOrder) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->Press(38, 15);
  button->Release(38, 15);
  button->Press(38, 15, mbLeft, {ssLeft, ssDouble});
  button->Release(38, 15);
  EXPECT_EQ(button->Events,
            (Events{"MouseDown", "Click", "MouseUp", "MouseDown", "DblClick", "Click", "MouseUp"}));
}

TEST(MorCircButton, DisabledButtonIgnoresPresses) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->SetEnabled(false);
  button->Click();
  EXPECT_EQ(button->Events, (Events{"MouseUp"}));
  EXPECT_FALSE(button->Down());
}

class MorCircGroup : public ::testing::Test {
 protected:
  void SetUp() override {
    First = MainButton(&Owner);
    Second = MainButton(&Owner);
    Other = MainButton(&Owner);
    First->SetGroupIndex(1);
    Second->SetGroupIndex(1);
    Other->SetGroupIndex(2);
  }
  TComponent Owner{nullptr};
  TTestButton* First = nullptr;
  TTestButton* Second = nullptr;
  TTestButton* Other = nullptr;
};

TEST_F(MorCircGroup, ClickedButtonStaysDownAndReleasesTheOthers) {
  Other->SetDown(true);
  First->Click();
  EXPECT_TRUE(First->Down());
  Second->Click();
  EXPECT_TRUE(Second->Down());
  EXPECT_FALSE(First->Down());
  Second->Click();
  EXPECT_TRUE(Second->Down());
  EXPECT_EQ(Second->Events,
            (Events{"MouseDown", "Click", "MouseUp", "MouseDown", "Click", "MouseUp"}));
  EXPECT_TRUE(Other->Down());  // another group
}

TEST_F(MorCircGroup, AllowAllUpLetsTheDownButtonGoUp) {
  First->SetAllowAllUp(true);
  EXPECT_TRUE(Second->AllowAllUp());
  EXPECT_FALSE(Other->AllowAllUp());
  First->Click();
  EXPECT_TRUE(First->Down());
  First->Click();
  EXPECT_FALSE(First->Down());
  EXPECT_FALSE(Second->Down());
}

TEST_F(MorCircGroup, DownInCodeLeavesTheOthers) {
  First->SetDown(true);
  Second->SetDown(true);
  EXPECT_TRUE(First->Down());
  EXPECT_TRUE(Second->Down());
}

TEST(MorCircButton, GroupWithoutOwnerActsOnTheButtonAlone) {
  auto button = std::unique_ptr<TTestButton>(MainButton(nullptr));
  button->SetGroupIndex(4);
  button->SetAllowAllUp(true);
  EXPECT_TRUE(button->AllowAllUp());
  button->Click();
  EXPECT_TRUE(button->Down());
  button->Click();
  EXPECT_FALSE(button->Down());
}

std::unique_ptr<TBitmap> Strip(int width, int height) {
  auto strip = std::make_unique<TBitmap>(width, height);
  strip->Canvas().SetPixels(0, height - 1, clGreen);
  return strip;
}

TEST(MorCircButton, GlyphStripSetsItsCellCount) {
  TMorCircButton button(nullptr);
  button.SetBounds(0, 0, 40, 40);
  const auto four = Strip(64, 16);
  button.SetGlyph(four.get());
  EXPECT_TRUE(button.GlyphValid());
  EXPECT_EQ(button.NumGlyphs(), 4);
  EXPECT_EQ(button.GlyphIndex(), 1);
  button.SetGlyphIndex(3);
  EXPECT_EQ(button.GlyphIndex(), 3);
  const auto odd = Strip(50, 16);
  button.SetGlyph(odd.get());
  EXPECT_EQ(button.NumGlyphs(), 1);
  EXPECT_EQ(button.GlyphIndex(), 1);
  button.SetGlyph(four.get());
  button.SetGlyphIndex(2);
  const int rebuilds = button.RebuildCount();
  button.SetGlyph(nullptr);
  EXPECT_FALSE(button.GlyphValid());
  EXPECT_EQ(button.NumGlyphs(), 4);
  EXPECT_EQ(button.GlyphIndex(), 2);
  EXPECT_EQ(button.Glyph().Width(), 64);  // kept, not drawn
  EXPECT_EQ(button.RebuildCount(), rebuilds + 1);
  const auto flat = Strip(10, 0);
  button.SetGlyph(flat.get());
  EXPECT_EQ(button.NumGlyphs(), 1);
}

TEST(MorCircButton, GlyphIndexBeyondTheCellsOnlyWhileLoading) {
  TMorCircButton button(nullptr);
  button.SetNumGlyphs(2);
  button.SetGlyphIndex(3);
  EXPECT_EQ(button.GlyphIndex(), 1);
  button.SetLoading(true);
  button.SetGlyphIndex(3);
  EXPECT_EQ(button.GlyphIndex(), 3);
  button.SetGlyphIndex(0);
  EXPECT_EQ(button.GlyphIndex(), 3);
}

// --- Stored images ---

std::string Hex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes)
    text += {kDigits[b >> 4], kDigits[b & 15]};
  return text;
}

// A button description with 16-bit images of its size, red released face, as the main
// window stores them.
std::string SixteenBitDescription(int width, int height) {
  TBitmap image(width, height);
  image.SetPixelFormat(pf16bit);
  image.Canvas().SetPixels(0, 0, clRed);
  const std::string hex = Hex(image.SaveToBytes());
  return "object Host: TForm\n"
         "  object Button1: TMorCircButton\n"
         "    Width = " +
         std::to_string(width) +
         "\n"
         "    Height = " +
         std::to_string(height) +
         "\n"
         "    Caption = 'Verifica CGC'\n"
         "    GlyphValid = False\n"
         "    ImageOut = {" +
         hex +
         "}\n"
         "    ImageIn = {" +
         hex +
         "}\n"
         "    ImageMask = {" +
         hex +
         "}\n"
         "  end\n"
         "end\n";
}

// The stored tests run on the headless desktop: the root of a description is a form, since
// buttons are written as the children of their parent.
using MorCircStored = FormTest;

// A form to hold the buttons read from a description.
struct THostForm {
  THostForm() : Form(CreateComponent<TForm>(nullptr)) {}
  std::unique_ptr<TForm> Form;
  TComponent* FindComponent(const std::string& name) const { return Form->FindComponent(name); }
};

TMorCircButton* ButtonOf(THostForm& host) {
  return dynamic_cast<TMorCircButton*>(host.FindComponent("Button1"));
}

TEST_F(MorCircStored, LoadedImagesAreKeptAsStoredWithoutRebuilding) {
  for (const auto& [width, height, bytes] : {std::tuple{77, 30, 4734u}, std::tuple{21, 21, 978u}}) {
    THostForm host;
    ReadComponent(*host.Form, SixteenBitDescription(width, height));
    TMorCircButton* button = ButtonOf(host);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->RebuildCount(), 0);
    EXPECT_EQ(button->Width(), width);
    EXPECT_EQ(button->ImageOut().SaveToBytes().size(), bytes);
    EXPECT_EQ(button->ImageMask().SaveToBytes().size(), bytes);
    // Written again, the images travel at their own depth, still without a rebuild.
    THostForm copy;
    ReadComponent(*copy.Form, WriteComponent(*host.Form));
    EXPECT_EQ(ButtonOf(copy)->RebuildCount(), 0);
    EXPECT_EQ(ButtonOf(copy)->ImageIn().SaveToBytes(), button->ImageIn().SaveToBytes());
    EXPECT_EQ(ButtonOf(copy)->ImageIn().SaveToBytes().size(), bytes);
    // A later size change computes fresh faces.
    ButtonOf(copy)->SetBounds(0, 0, width + 2, height);
    EXPECT_EQ(ButtonOf(copy)->RebuildCount(), 1);
  }
}

TEST_F(MorCircStored, GlyphTravelsOnlyWhenValid) {
  THostForm host;
  auto* button = new TMorCircButton(host.Form.get());
  button->SetParent(host.Form.get());
  button->SetName("Button1");
  button->SetBounds(0, 0, 40, 40);
  std::string text = WriteComponent(*host.Form);
  EXPECT_NE(text.find("GlyphValid = False"), std::string::npos);
  EXPECT_EQ(text.find("ImageGlyph"), std::string::npos);
  const auto strip = Strip(32, 16);
  button->SetGlyph(strip.get());
  text = WriteComponent(*host.Form);
  const size_t mask = text.find("ImageMask"), glyph = text.find("ImageGlyph");
  ASSERT_NE(glyph, std::string::npos);
  EXPECT_LT(mask, glyph);
  THostForm copy;
  ReadComponent(*copy.Form, text);
  EXPECT_TRUE(ButtonOf(copy)->GlyphValid());
  EXPECT_EQ(ButtonOf(copy)->Glyph().Width(), 32);
  EXPECT_EQ(ButtonOf(copy)->NumGlyphs(), 2);
  EXPECT_EQ(ButtonOf(copy)->RebuildCount(), 0);
}

TEST_F(MorCircStored, DescriptionWithoutImagesPaintsNothingUntilAChange) {
  THostForm host;
  ReadComponent(*host.Form,
                "object Host: TForm\n  object Button1: TMorCircButton\n"
                "    Width = 77\n    Height = 30\n    GlyphIndex = 3\n    NumGlyphs = 2\n"
                "  end\nend\n");
  TMorCircButton* button = ButtonOf(host);
  EXPECT_TRUE(button->ImageOut().Empty());
  EXPECT_EQ(button->GlyphIndex(), 3);
  button->SetCaption("x");
  EXPECT_EQ(button->ImageOut().Width(), 77);
}

// --- On a form ---

// The main window's yellow button over a patterned picture, on a form of the headless desktop.
class MorCircOnForm : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    auto* picture = new TImage(Form.get());
    picture->SetParent(Form.get());
    picture->SetBounds(0, 0, 200, 100);
    TCanvas& canvas = picture->Canvas();
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x)
        canvas.SetPixels(x, y, Pattern(x, y));
    Button = new TTestButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetFaceColor(clYellow);
    Button->SetBevelWidth(1);
    Button->SetCaption("Verifica CGC");
    Button->SetBounds(kLeft, kTop, 77, 30);
    ShowForm();
  }
  static TColor Pattern(int x, int y) { return (x + y) % 2 ? RGB(10, 200, 30) : RGB(200, 10, 90); }
  static TColor ImagePixel(const TBitmap& image, int x, int y) {
    TBitmap copy;
    copy.Assign(&image);
    return copy.Canvas().Pixels(x, y);
  }
  // Whether the screen shows `face` on the button's shape and the picture around it.
  void ExpectPainted(const TBitmap& face) {
    TBitmap faceCopy, mask;
    faceCopy.Assign(&face);
    mask.Assign(&Button->ImageMask());
    const platform::Surface screen = headless::Screen();
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 77; ++x) {
        const bool shape = mask.Canvas().Pixels(x, y) == clBlack;
        const TColor expected =
            shape ? faceCopy.Canvas().Pixels(x, y) : Pattern(kLeft + x, kTop + y);
        const POINT at = ScreenPoint(Form.get(), kLeft + x, kTop + y);
        ASSERT_EQ(platform::ColorRefFromPixel(screen.At(at.x, at.y)), COLORREF(expected))
            << x << "," << y;
      }
  }

  static constexpr int kLeft = 20;
  static constexpr int kTop = 30;
  TTestButton* Button = nullptr;
};

TEST_F(MorCircOnForm, PaintsTheFaceThroughItsMaskOverTheParent) {
  ExpectPainted(Button->ImageOut());
  // The lit centre and the shaded rim of the released face reach the screen.
  EXPECT_EQ(Pixel(kLeft + 38, kTop + 5), RGB(255, 255, 0));
  // Down shows the pressed face at once, without a rebuild or a paint of the form.
  const int rebuilds = Button->RebuildCount();
  Button->SetDown(true);
  ExpectPainted(Button->ImageIn());
  EXPECT_EQ(Button->RebuildCount(), rebuilds);
  // The form paints it pressed too, and released again once Down is cleared.
  Form->Invalidate();
  headless::RunPending();
  ExpectPainted(Button->ImageIn());
  Button->SetDown(false);
  ExpectPainted(Button->ImageOut());
}

TEST_F(MorCircOnForm, PointerThroughTheFormPressesAndClicks) {
  // The boundary of the face: (0, 15) lies on the bevel, (1, 15) on the face.
  // The press fires nothing; the release notification still reports OnMouseUp.
  Click(Button, 0, 15);
  EXPECT_EQ(Button->Events, (Events{"MouseUp"}));
  EXPECT_FALSE(Button->Down());
  Button->Events.clear();
  headless::Advance(1000);  // not a double click
  bool pressedDuringClick = false;
  Button->OnClick = [&](TObject*) {
    Button->Events.push_back("Click");
    pressedDuringClick = Pixel(kLeft + 38, kTop + 15) == ImagePixel(Button->ImageIn(), 38, 15);
  };
  Click(Button, 1, 15);
  EXPECT_EQ(Button->Events, (Events{"MouseDown", "Click", "MouseUp"}));
  EXPECT_TRUE(pressedDuringClick);
  EXPECT_FALSE(Button->Down());
  ExpectPainted(Button->ImageOut());
}

TEST_F(MorCircOnForm, DoubleClickThroughTheForm) {
  const POINT p = ScreenPoint(Button, 38, 15);
  headless::DoubleClick(p.x, p.y);
  headless::RunPending();
  EXPECT_EQ(Button->Events,
            (Events{"MouseDown", "Click", "MouseUp", "MouseDown", "DblClick", "Click", "MouseUp"}));
}

TEST_F(MorCircOnForm, DraggingOffTheFaceReleasesItAndClicksNothing) {
  const POINT on = ScreenPoint(Button, 38, 15), off = ScreenPoint(Button, 150, 60);
  headless::Press(on.x, on.y);
  headless::RunPending();
  ExpectPainted(Button->ImageIn());
  headless::MovePointer(off.x, off.y);
  headless::RunPending();
  ExpectPainted(Button->ImageOut());
  headless::Release(off.x, off.y);
  headless::RunPending();
  EXPECT_EQ(Button->Events, (Events{"MouseDown", "MouseUp"}));
}

// A form whose description binds a button's click to a handler.
class TClickForm : public TForm {
 public:
  explicit TClickForm(TComponent* owner) : TForm(owner) {}
  void ButtonClick(TObject*) { ++Clicks; }
  int Clicks = 0;
};
const bool kClickFormRegistered =
    (PublishClass<TClickForm, TForm>("TClickForm").Handler("ButtonClick", &TClickForm::ButtonClick),
     true);

TEST_F(MorCircStored, FontAndEventsAreTheButtonsOwnAndWrittenOnce) {
  std::unique_ptr<TClickForm> form(CreateComponent<TClickForm>(nullptr));
  ReadComponent(*form,
                "object ClickForm: TClickForm\n  object Button1: TMorCircButton\n"
                "    Width = 77\n    Height = 30\n    ParentFont = False\n"
                "    Font.Color = clRed\n    OnClick = ButtonClick\n  end\nend\n");
  auto* button = dynamic_cast<TMorCircButton*>(form->FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Font().Color(), clRed);
  ASSERT_TRUE(button->OnClick.Assigned());
  EXPECT_FALSE(static_cast<TControl*>(button)->OnClick.Assigned());
  EXPECT_NE(static_cast<TControl*>(button)->Font()->Color(), clRed);
  const std::string text = WriteComponent(*form);
  // Each is written once, in the button's order, the extra values after the properties;
  // GlyphIndex comes before NumGlyphs, which is why loading accepts any index.
  size_t last = 0;
  for (const char* once :
       {"Width = 77", "Caption = ''", "Down = False", "FaceColor", "Font.Color = clRed",
        "GlyphIndex", "NumGlyphs", "OnClick = ButtonClick", "ParentFont = False", "GlyphValid"}) {
    const size_t at = text.find(once);
    ASSERT_NE(at, std::string::npos) << once;
    EXPECT_EQ(text.find(once, at + 1), std::string::npos) << once;
    EXPECT_GT(at, last) << once;
    last = at;
  }
}

}  // namespace
