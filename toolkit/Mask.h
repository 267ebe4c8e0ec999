// The masked edit: a single-line edit whose positions follow an edit mask (digits only where
// the mask asks for digits, literals fixed in place). Toolkit layer.
#pragma once

#include <string>

#include "toolkit/MaskFormat.h"
#include "toolkit/StdCtrls.h"

class TMaskEdit : public TCustomEdit {
 public:
  explicit TMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

  // The mask, e.g. "99\/9999;1;_". An empty mask makes a plain edit.
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& mask);
  bool IsMasked() const { return !FMask.Empty(); }
  // Nothing typed in any position.
  bool IsBlank() const;

  // Text is the field's text by the mask's rules; EditText is what the field shows.
  void SetText(const std::string& text) override;
  std::string EditText() const override;

 protected:
  void TypeChar(char c) override;
  void EraseBack() override;
  void EraseForward() override;
  void PasteText(const std::string& text) override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  // Blanks the input positions of the selection; returns where it started.
  int ClearSelection();
  void Store(const std::string& edit, int caret);

  std::string FEditMask;
  TMaskFormat FMask;
  std::string FEdit;  // the shown text of a masked field
};
