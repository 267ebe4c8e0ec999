// The pointer's shape over windowless controls: each control's Cursor takes effect under the
// pointer through the form's WM_SETCURSOR, edits show the text cursor, a combo box's button
// the arrow, and crDefault leaves the choice to the parent and then to the window's class.
#include <gtest/gtest.h>

#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Mask.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

namespace {

using platform::PointerShape;

template <class T>
T* Place(TWinControl& parent, int left, int top, int width, int height) {
  auto* control = new T(parent.Owner() != nullptr ? parent.Owner() : &parent);
  control->SetParent(&parent);
  control->SetBounds(left, top, width, height);
  return control;
}

class PointerShapeTest : public FormTest {
 protected:
  // The shape the platform shows once the pointer has moved to a point of `control`.
  PointerShape ShapeOver(TControl* control, int x, int y) {
    // A move from elsewhere first, so that every check is a fresh WM_SETCURSOR.
    const POINT away = ScreenPoint(Form.get(), 1, 1);
    headless::MovePointer(away.x, away.y);
    headless::RunPending();
    const POINT p = ScreenPoint(control, x, y);
    headless::MovePointer(p.x, p.y);
    headless::RunPending();
    return headless::PointerShape();
  }
};

TEST_F(PointerShapeTest, EachControlShowsItsOwnShapeAndTheFormTheArrow) {
  auto* edit = Place<TEdit>(*Form, 10, 10, 100, 21);
  auto* masked = Place<TMaskEdit>(*Form, 10, 40, 100, 21);
  auto* link = Place<TLabel>(*Form, 10, 70, 80, 16);
  link->SetAutoSize(false);
  link->SetCursor(crHandPoint);
  auto* list = Place<TListBox>(*Form, 150, 10, 100, 80);
  auto* image = Place<TImage>(*Form, 150, 100, 40, 40);
  image->SetCursor(crCross);
  ShowForm();
  EXPECT_EQ(edit->Cursor(), crIBeam);
  EXPECT_EQ(masked->Cursor(), crIBeam);

  EXPECT_EQ(ShapeOver(edit, 5, 5), PointerShape::psIBeam);
  EXPECT_EQ(headless::PointerShapeWindow(), Form->Handle());
  EXPECT_EQ(ShapeOver(masked, 50, 10), PointerShape::psIBeam);
  EXPECT_EQ(ShapeOver(link, 3, 3), PointerShape::psHand);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(ShapeOver(list, 10, 10), PointerShape::psArrow);
  EXPECT_EQ(ShapeOver(image, 10, 10), PointerShape::psCross);
  EXPECT_EQ(ShapeOver(Form.get(), 300, 250), PointerShape::psArrow);

  // A change takes effect with the next move; crNone hides the pointer.
  link->SetCursor(crNone);
  EXPECT_EQ(ShapeOver(link, 3, 3), PointerShape::psNone);
}

TEST_F(PointerShapeTest, TheComboBoxFieldShowsTheTextCursorAndItsButtonTheArrow) {
  auto* combo = Place<TComboBox>(*Form, 10, 10, 145, 21);
  ShowForm();
  EXPECT_EQ(ShapeOver(combo, 10, 10), PointerShape::psIBeam);
  EXPECT_EQ(ShapeOver(combo, 140, 10), PointerShape::psArrow);
  combo->SetStyle(csDropDownList);
  EXPECT_EQ(ShapeOver(combo, 10, 10), PointerShape::psArrow);
}

TEST_F(PointerShapeTest, DefaultShapesComeFromTheParentAndDisabledControlsGiveWay) {
  Form->SetCursor(crHourGlass);
  auto* label = Place<TLabel>(*Form, 10, 10, 80, 16);
  label->SetAutoSize(false);
  auto* edit = Place<TEdit>(*Form, 10, 40, 100, 21);
  ShowForm();
  EXPECT_EQ(ShapeOver(label, 3, 3), PointerShape::psWait);
  EXPECT_EQ(ShapeOver(edit, 3, 3), PointerShape::psIBeam);
  edit->SetEnabled(false);
  EXPECT_EQ(ShapeOver(edit, 3, 3), PointerShape::psWait);
}

TEST_F(PointerShapeTest, NoShapeChangesWhileAControlHoldsThePointer) {
  auto* edit = Place<TEdit>(*Form, 10, 10, 100, 21);
  auto* link = Place<TLabel>(*Form, 10, 70, 80, 16);
  link->SetAutoSize(false);
  link->SetCursor(crHandPoint);
  ShowForm();
  EXPECT_EQ(ShapeOver(edit, 5, 5), PointerShape::psIBeam);
  // Selecting text drags over the link: the text cursor stays until the button is up.
  const POINT from = ScreenPoint(edit, 5, 5), to = ScreenPoint(link, 3, 3);
  headless::Press(from.x, from.y);
  headless::RunPending();
  headless::MovePointer(to.x, to.y);
  headless::RunPending();
  EXPECT_EQ(headless::PointerShape(), PointerShape::psIBeam);
  headless::Release(to.x, to.y);
  headless::RunPending();
  headless::MovePointer(to.x + 1, to.y);
  headless::RunPending();
  EXPECT_EQ(headless::PointerShape(), PointerShape::psHand);
}

TEST_F(PointerShapeTest, DescriptionsStoreOnlyShapesOtherThanTheClassDefault) {
  auto* edit = Place<TEdit>(*Form, 10, 10, 100, 21);
  edit->SetName("Edit1");
  auto* link = Place<TLabel>(*Form, 10, 40, 80, 16);
  link->SetName("Link");
  link->SetCursor(crHandPoint);
  const std::string text = WriteComponent(*Form);
  EXPECT_EQ(text.find("crIBeam"), std::string::npos) << text;
  EXPECT_NE(text.find("Cursor = crHandPoint"), std::string::npos) << text;
}

}  // namespace
