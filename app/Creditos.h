// The credits window: the teams behind the program, its version and the maker's name.
// Layer: the program (app/).
#pragma once

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TFormCredito : public TForm {
 public:
  explicit TFormCredito(TComponent* owner) : TForm(owner) {}

  // --- Published components, set from the form description ---
  TLabel* Label7 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label5 = nullptr;
  TImage* ImageLogo = nullptr;
  TLabel* LbVersao = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label1 = nullptr;

  // --- Published handlers ---
  // Every showing: the version label takes the program's version as the main window read it.
  void FormShow(TObject* sender);
};

// The credits window, created hidden at start-up.
extern TFormCredito* FormCredito;
