// The licence terms window: the terms of use in a list, the program's version, the maker's
// directors and the link that opens the maker's page. Layer: the program (app/).
#pragma once

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TFormLicence : public TForm {
 public:
  explicit TFormLicence(TComponent* owner) : TForm(owner) {}

  // Reads the window's description, then gives the link the maker's address as its caption.
  void AfterConstruction() override;

  // --- Published components, set from the form description ---
  TBevel* Bevel1 = nullptr;
  TImage* ImageLogo = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label12 = nullptr;
  TLabel* LbVersao = nullptr;
  TLabel* Label11 = nullptr;
  TListBox* ListBox1 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label8 = nullptr;
  TImage* ImageAbout = nullptr;
  TLabel* Label9 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label10 = nullptr;

  // --- Published handlers ---
  // Every showing: the version label takes the program's version as the main window read it.
  void FormShow(TObject* sender);
  // The link: opens the maker's page with the desktop's handler; a failure is not reported.
  void Label9Click(TObject* sender);
};

// The licence window, created hidden at start-up.
extern TFormLicence* FormLicence;
