// calvix-gallery: renders a form with every kind of control on the headless desktop and saves
// the screen as a PNG file (docs/controls.png). A tool of the toolkit's developers.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Mask.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "tools/PngWriter.h"

namespace {

template <class T>
T* Place(TForm& form, int left, int top, int width, int height) {
  auto* control = new T(&form);
  control->SetParent(&form);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "controls.png";
  headless::Reset();
  headless::SetScreenSize(560, 400);
  Application->Initialize();
  TForm* form = CreateComponent<TForm>(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(20, 20, 520, 360);

  auto* bevel = Place<TBevel>(*form, 8, 8, 504, 344);
  bevel->SetShape(bsFrame);
  auto* title = Place<TLabel>(*form, 20, 16, 10, 10);
  title->SetCaption("Controles && caixas");
  title->Font()->SetHeight(-20);
  title->Font()->SetColor(clNavy);
  title->Font()->SetStyle({fsBold});
  auto* image = Place<TImage>(*form, 20, 48, 100, 60);
  image->Canvas().Brush().SetColor(clNavy);
  image->Canvas().FillRect(RECT{0, 0, 100, 60});
  auto* skin = Place<TImage>(*form, 20, 48, 100, 60);
  TBitmap& picture = skin->Picture().Bitmap();
  picture.SetSize(100, 60);
  picture.Canvas().Brush().SetColor(clYellow);
  picture.Canvas().Ellipse(10, 8, 90, 52);
  skin->SetTransparent(true);

  auto* label = Place<TLabel>(*form, 140, 52, 10, 10);
  label->SetCaption("Digite o C.G.C.");
  label->SetTransparent(true);
  auto* cgc = Place<TMaskEdit>(*form, 240, 48, 135, 21);
  cgc->SetEditMask("99\\.999\\.999\\/9999\\-99;0;_");
  cgc->SetText("1122233");
  auto* date = Place<TMaskEdit>(*form, 240, 76, 54, 21);
  date->SetEditMask("99\\/9999;1;_");
  date->SetText("07/2001");
  auto* edit = Place<TEdit>(*form, 300, 76, 134, 21);
  edit->SetMaxLength(20);
  edit->SetText("4111 1111 1111 1111");
  auto* combo = Place<TComboBox>(*form, 140, 120, 90, 21);
  combo->SetCtl3D(false);
  combo->SetItemHeight(13);
  for (const char* brand : {"Amex", "Visa", "MasterCard", "Discover", "Other"})
    combo->Items().Add(brand);
  combo->SetItemIndex(1);
  auto* list = Place<TListBox>(*form, 20, 200, 200, 120);
  for (int i = 1; i <= 20; ++i)
    list->Items().Add(">> linha " + std::to_string(i) +
                      " da licen\xE7"
                      "a");
  list->SetItemIndex(2);
  auto* version = Place<TLabel>(*form, 308, 217, 33, 13);
  version->SetAlignment(taRightJustify);
  version->SetCaption("2.1.3.13");
  auto* ok = Place<TButton>(*form, 300, 300, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  auto* cancel = Place<TButton>(*form, 385, 300, 75, 25);
  cancel->SetCaption("Cancel");

  form->Show();
  headless::RunPending();
  edit->SetFocus();
  combo->SetDroppedDown(true);
  headless::RunPending();

  const platform::Surface screen = headless::Screen();
  const std::vector<uint8_t> png =
      tools::EncodePng(screen.width, screen.height, screen.pixels, /*withAlpha=*/false);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  combo->SetDroppedDown(false);
  delete form;
  DoneApplication();
  if (!out) {
    std::fprintf(stderr, "calvix-gallery: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("calvix-gallery: wrote %s\n", path.c_str());
  return 0;
}
