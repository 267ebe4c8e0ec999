// The credits window on the headless desktop: its layout as the description gives it, the
// version label and closing.
#include "app/Creditos.h"

#include <gtest/gtest.h>

#include "core/MORTypes.h"
#include "platform/headless/headless.h"

namespace {

class CreditosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DoneApplication();
    headless::Reset();
    headless::SetScreenSize(800, 600);
    ExeVersion = "2.1.3.13";
    Application->Initialize();
    Application->SetTitle("Calvix");
    Application->CreateForm(FormCredito);
    headless::RunPending();
  }
  void TearDown() override {
    DoneApplication();
    FormCredito = nullptr;
    ExeVersion.clear();
  }
};

TEST_F(CreditosTest, ShowingSetsTheVersionLabel) {
  TFormCredito& f = *FormCredito;
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.LbVersao->Caption(), "0.0.0.0");
  f.Show();
  headless::RunPending();
  EXPECT_EQ(f.LbVersao->Caption(), "2.1.3.13");
}

}  // namespace
