// calvix-faces: computes the stored faces of every shaped button in a form description and
// writes the description back with them, so that the window shows its buttons as soon as it
// is read: `calvix-faces app/Principal.form`. A tool of the program's developers.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/Principal.h"
#include "controls/circbutton/MorCircBut.h"
#include "toolkit/Streaming.h"

namespace {

// The program's windows register their classes with their modules; naming one links it in.
std::string (*volatile const kLinkWindows)(const std::string&) = &VerdictMessage;

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A button read from a description keeps the faces stored there; a change of size makes it
// compute them afresh from its settings.
void RecomputeFaces(TMorCircButton& button) {
  const int width = button.Width();
  button.SetBounds(button.Left(), button.Top(), width + 1, button.Height());
  button.SetBounds(button.Left(), button.Top(), width, button.Height());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: calvix-faces FORM\n");
    return 2;
  }
  const std::string name = argv[1];
  const std::string text = ReadFile(name);
  if (text.empty()) {
    std::fprintf(stderr, "calvix-faces: cannot read %s\n", name.c_str());
    return 1;
  }
  try {
    std::unique_ptr<TComponent> root(ReadComponent(text, nullptr));
    int buttons = 0;
    for (int i = 0; i < root->ComponentCount(); ++i) {
      if (auto* button = dynamic_cast<TMorCircButton*>(root->Components(i))) {
        RecomputeFaces(*button);
        ++buttons;
      }
    }
    std::ofstream(name, std::ios::binary) << WriteComponent(*root);
    std::printf("calvix-faces: %d buttons in %s\n", buttons, name.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "calvix-faces: %s\n", e.what());
    return 1;
  }
  return 0;
}
