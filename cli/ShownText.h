// How the command shows the bytes of an input, which may be anything a file holds: in a text
// line, or in a JSON string that must stay valid JSON. Layer: the command line (cli/).
#pragma once

#include <string>
#include <string_view>

// Appends the bytes as they are, except control characters (codes 0 to 31 and 127), which
// would break the line or its tab-separated fields, and are shown as '?'.
void AppendPlainText(std::string& out, std::string_view bytes);

// Appends the bytes as a JSON string, quotes included: well-formed UTF-8 is kept, quotes,
// backslashes and control characters are escaped, and every ill-formed UTF-8 sequence (its
// maximal subpart, as Unicode recommends) becomes U+FFFD.
void AppendJsonString(std::string& out, std::string_view bytes);
