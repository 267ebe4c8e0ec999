// The line the command writes for each input: a verdict, a completed number or a generated
// one, as text or as a JSON object. Layer: the command line (cli/).
#pragma once

#include <string>
#include <string_view>

#include "checks/Verdict.h"
#include "cli/LineReader.h"

struct TReportStyle {
  bool Json = false;
  bool Format = false;  // valid numbers in their standard mask
};

// A checked input. As text: the input, its kind and "valid", or "invalid" and the reason,
// separated by tabs; with Format a valid number is written alone, in its mask. As JSON:
//   {"input":"…","kind":"cpf","valid":true}
//   {"input":"…","kind":"cnpj","valid":false,"reason":"check digit"}
// with "brand" for a card, "formatted" for a valid number with Format, and "truncated":true
// with the "length" of an input too long to show whole. A long input shows its start,
// followed by "..." in a text line.
void AppendCheckReport(std::string& out, const TLine& input, const checks::TVerdict& verdict,
                       const TReportStyle& style);

// A base given to complete: a good one gives the whole number alone (in its mask with Format),
// a bad one the line of a check that failed. As JSON a good one gives
//   {"input":"…","kind":"cpf","valid":true,"number":"…"}
void AppendCompletionReport(std::string& out, const TLine& input, const checks::TVerdict& verdict,
                            std::string_view number, const TReportStyle& style);

// A generated number, alone (in its mask with Format); as JSON {"number":"…","kind":"cpf"}.
void AppendGeneratedReport(std::string& out, std::string_view number, checks::TNumberKind kind,
                           const TReportStyle& style);
