// The line the command writes for each input: a verdict, a completed number or a generated
// one, as text or as a JSON object. Layer: the command line (cli/).
#include "cli/Report.h"

#include "checks/NumberMask.h"
#include "checks/NumberText.h"
#include "cli/ShownText.h"

using namespace checks;

namespace {

constexpr std::string_view kTruncationMark = "...";

void AppendNumber(std::string& out, TNumberKind kind, std::string_view number, bool masked) {
  if (masked) {
    AppendMasked(out, kind, number);
  } else {
    out.append(number);
  }
}

void AppendTextVerdict(std::string& out, const TLine& input, const TVerdict& verdict) {
  AppendPlainText(out, input.Text);
  if (input.Truncated()) out.append(kTruncationMark);
  out.push_back('\t');
  out.append(KindName(verdict.Kind));
  if (verdict.Valid()) {
    out.append("\tvalid");
  } else {
    out.append("\tinvalid\t");
    out.append(ReasonName(verdict.Reason));
  }
}

// Opens the object and writes the fields every verdict has; the caller adds its own fields
// and closes the object.
void AppendJsonVerdict(std::string& out, const TLine& input, const TVerdict& verdict) {
  out.append("{\"input\":");
  AppendJsonString(out, input.Text);
  if (input.Truncated()) {
    out.append(",\"truncated\":true,\"length\":");
    out.append(std::to_string(input.Length));
  }
  out.append(",\"kind\":\"");
  out.append(KindName(verdict.Kind));
  out.push_back('"');
  if (verdict.Kind == nkCard) {
    out.append(",\"brand\":\"");
    out.append(BrandName(verdict.Brand));
    out.push_back('"');
  }
  if (verdict.Valid()) {
    out.append(",\"valid\":true");
  } else {
    out.append(",\"valid\":false,\"reason\":\"");
    out.append(ReasonName(verdict.Reason));
    out.push_back('"');
  }
}

void AppendJsonField(std::string& out, std::string_view name, TNumberKind kind,
                     std::string_view number, bool masked) {
  out.append(",\"");
  out.append(name);
  out.append("\":\"");
  AppendNumber(out, kind, number, masked);
  out.push_back('"');
}

}  // namespace

void AppendCheckReport(std::string& out, const TLine& input, const TVerdict& verdict,
                       const TReportStyle& style) {
  // Only a valid number is masked, and a valid one is never truncated.
  const bool masked = style.Format && verdict.Valid();
  if (!style.Json) {
    if (masked) {
      AppendMasked(out, verdict.Kind, TNumberText(input.Text).Kept());
    } else {
      AppendTextVerdict(out, input, verdict);
    }
    return;
  }
  AppendJsonVerdict(out, input, verdict);
  if (masked) AppendJsonField(out, "formatted", verdict.Kind, TNumberText(input.Text).Kept(), true);
  out.push_back('}');
}

void AppendCompletionReport(std::string& out, const TLine& input, const TVerdict& verdict,
                            std::string_view number, const TReportStyle& style) {
  if (!verdict.Valid()) {
    AppendCheckReport(out, input, verdict, {style.Json, false});
  } else if (!style.Json) {
    AppendNumber(out, verdict.Kind, number, style.Format);
  } else {
    AppendJsonVerdict(out, input, verdict);
    AppendJsonField(out, "number", verdict.Kind, number, style.Format);
    out.push_back('}');
  }
}

void AppendGeneratedReport(std::string& out, std::string_view number, TNumberKind kind,
                           const TReportStyle& style) {
  if (!style.Json) {
    AppendNumber(out, kind, number, style.Format);
    return;
  }
  out.append("{\"number\":\"");
  AppendNumber(out, kind, number, style.Format);
  out.append("\",\"kind\":\"");
  out.append(KindName(kind));
  out.append("\"}");
}
