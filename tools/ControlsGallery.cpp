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

namespace {

// --- A small PNG writer: RGB rows in stored (uncompressed) deflate blocks ---

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(uint8_t(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  PutBig32(png, uint32_t(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  PutBig32(png, Crc32(body.data(), body.size()));
}

std::vector<uint8_t> EncodePng(const platform::Surface& surface) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < surface.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < surface.width; ++x) {
      const uint32_t p = surface.At(x, y);
      raw.insert(raw.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.insert(z.end(), {uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    if (n == 0) break;
  }
  PutBig32(z, (b << 16) | a);
  std::vector<uint8_t> header;
  PutBig32(header, uint32_t(surface.width));
  PutBig32(header, uint32_t(surface.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return png;
}

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

  const std::vector<uint8_t> png = EncodePng(headless::Screen());
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
