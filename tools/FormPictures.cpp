// calvix-form-pictures: stores picture files in a form description of the program, so that the
// window shows them as soon as it is read:
//   calvix-form-pictures app/Licenca.form ImageLogo.Picture=assets/logo.bmp ...
// Each assignment names a component of the form (or the form itself), then a published
// property holding a picture, a bitmap or an icon (nested ones by more dots), and the file
// (.bmp or .ico). With no assignment the description is only written back in its stored form.
// A tool of the program's developers.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "toolkit/Graphics.h"
#include "toolkit/Streaming.h"
#include "toolkit/TypInfo.h"

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Before(const std::string& text, char separator) {
  return text.substr(0, text.find(separator));
}

std::string After(const std::string& text, char separator) {
  const size_t at = text.find(separator);
  return at == std::string::npos ? std::string() : text.substr(at + 1);
}

// The object that a dotted property path ("Picture", "Icon", "Glyph.Bitmap") leads to from
// `object`, through published nested objects.
TPersistent& NestedObject(TPersistent& object, const std::string& path) {
  TPersistent* current = &object;
  std::string rest = path;
  while (!rest.empty()) {
    const std::string name = Before(rest, '.');
    rest = After(rest, '.');
    const TClassInfo* info = ClassInfoOf(*current);
    const TPropInfo* prop = info ? info->FindProperty(name) : nullptr;
    if (prop == nullptr || prop->Kind != tkClass)
      throw Exception(current->ClassName() + " has no picture property " + name);
    current = prop->GetObject(*current);
    if (current == nullptr) throw Exception("Property " + name + " holds nothing");
  }
  return *current;
}

// Applies one "Component.Property=file" assignment to the form read into `root`.
void StorePicture(TComponent& root, const std::string& assignment) {
  const std::string target = Before(assignment, '=');
  const std::string file = After(assignment, '=');
  const std::string componentName = Before(target, '.');
  const std::string path = After(target, '.');
  if (file.empty() || path.empty())
    throw Exception("Expected Component.Property=FILE, not " + assignment);
  TComponent* component =
      SameText(componentName, root.Name()) ? &root : root.FindComponent(componentName);
  if (component == nullptr) throw Exception("No component " + componentName + " in the form");
  TPersistent& holder = NestedObject(*component, path);
  if (auto* picture = dynamic_cast<TPicture*>(&holder))
    picture->LoadFromFile(file);
  else if (auto* graphic = dynamic_cast<TGraphic*>(&holder))
    graphic->LoadFromFile(file);
  else
    throw Exception(target + " is not a picture, a bitmap or an icon");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: calvix-form-pictures FORM [Component.Property=FILE ...]\n");
    return 2;
  }
  const std::string name = argv[1];
  const std::string text = ReadFile(name);
  if (text.empty()) {
    std::fprintf(stderr, "calvix-form-pictures: cannot read %s\n", name.c_str());
    return 1;
  }
  try {
    std::unique_ptr<TComponent> root(ReadComponent(text, nullptr));
    for (int i = 2; i < argc; ++i)
      StorePicture(*root, argv[i]);
    std::ofstream(name, std::ios::binary) << WriteComponent(*root);
    std::printf("calvix-form-pictures: %d pictures stored in %s\n", argc - 2, name.c_str());
  } catch (const std::exception& e) {
    const auto* ours = dynamic_cast<const Exception*>(&e);
    std::fprintf(stderr, "calvix-form-pictures: %s\n", ours ? ours->Message().c_str() : e.what());
    return 1;
  }
  return 0;
}
