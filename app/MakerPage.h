// The maker's page that the licence window's link opens: a web address chosen when the program
// is built, or else the program's own "about" page. Layer: the program (app/).
#pragma once

#include <string>

// The address the link opens. A packager names a web address with the build setting
// CALVIX_MAKER_URL; without one it is the about page installed with the program (share/doc
// beside the program's folder), or the one in the source tree when the program runs from its
// build folder.
std::string MakerPageAddress();

// The address as the link shows it: a web address without its scheme and closing slash
// ("www.example.com.br"), a file by its name ("about.html").
std::string MakerPageCaption(const std::string& address);
