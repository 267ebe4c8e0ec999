// calvix-licence-text: writes the licence terms that the licence window shows as UTF-8 text, for
// the documentation installed with the program. A tool of the build:
//   calvix-licence-text OUTPUT                            the terms, one line per line of the list
//   calvix-licence-text --debian-copyright HEADER OUTPUT  Debian's copyright file: HEADER, then
//                                                         the terms as its licence text
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Licenca.h"
#include "platform/core/CodePage.h"
#include "platform/headless/headless.h"
#include "toolkit/Forms.h"

namespace {

// The lines of the window's list, read the way the program reads its window: the description
// compiled into the program, on a desktop of its own that shows nothing.
std::vector<std::string> TermsOfTheWindow() {
  headless::Reset();
  Application->Initialize();
  Application->CreateForm(FormLicence);
  std::vector<std::string> lines;
  const TStringList& items = FormLicence->ListBox1->Items();
  for (int i = 0; i < items.Count(); ++i)
    lines.push_back(platform::Utf8FromCp1252(items[i]));
  DoneApplication();
  FormLicence = nullptr;
  return lines;
}

// A licence text inside a Debian copyright file is a field's continuation: every line starts
// with a space, and an empty line is written as a lone dot.
std::string DebianLicenceBody(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines)
    out += line.empty() ? " .\n" : " " + line + "\n";
  return out;
}

bool WriteFile(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << text;
  return bool(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  const bool debian = argc == 4 && std::string(argv[1]) == "--debian-copyright";
  if (!debian && argc != 2) {
    std::fprintf(stderr,
                 "usage: calvix-licence-text OUTPUT\n"
                 "       calvix-licence-text --debian-copyright HEADER OUTPUT\n");
    return 2;
  }
  const std::string output = argv[argc - 1];
  try {
    const std::vector<std::string> lines = TermsOfTheWindow();
    if (lines.empty()) throw Exception("the licence window's list is empty");
    std::string text;
    if (debian) {
      std::ifstream header(argv[2], std::ios::binary);
      if (!header) throw Exception(std::string("cannot read ") + argv[2]);
      std::ostringstream content;
      content << header.rdbuf();
      text = content.str() + DebianLicenceBody(lines);
    } else {
      for (const std::string& line : lines)
        text += line + "\n";
    }
    if (!WriteFile(output, text)) throw Exception("cannot write " + output);
  } catch (const Exception& e) {
    std::fprintf(stderr, "calvix-licence-text: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
