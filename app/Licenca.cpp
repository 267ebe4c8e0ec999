// The licence terms window: its version label and the link to the maker's page.
// Layer: the program (app/).
#include "app/Licenca.h"

#include <cstring>

#include "app/Licenca.form.h"
#include "app/MakerPage.h"
#include "core/MORTypes.h"
#include "toolkit/TypInfo.h"

TFormLicence* FormLicence = nullptr;

namespace {

// The shell receives the address in a buffer of the classic fixed size.
constexpr size_t kAddressBufferSize = 256;

const bool kRegistered = (PublishClass<TFormLicence, TForm>("TFormLicence")
                              .Field("Bevel1", &TFormLicence::Bevel1)
                              .Field("ImageLogo", &TFormLicence::ImageLogo)
                              .Field("Label6", &TFormLicence::Label6)
                              .Field("Label1", &TFormLicence::Label1)
                              .Field("Label5", &TFormLicence::Label5)
                              .Field("Label12", &TFormLicence::Label12)
                              .Field("LbVersao", &TFormLicence::LbVersao)
                              .Field("Label11", &TFormLicence::Label11)
                              .Field("ListBox1", &TFormLicence::ListBox1)
                              .Field("Label3", &TFormLicence::Label3)
                              .Field("Label2", &TFormLicence::Label2)
                              .Field("Label7", &TFormLicence::Label7)
                              .Field("Label8", &TFormLicence::Label8)
                              .Field("ImageAbout", &TFormLicence::ImageAbout)
                              .Field("Label9", &TFormLicence::Label9)
                              .Field("Label4", &TFormLicence::Label4)
                              .Field("Label10", &TFormLicence::Label10)
                              .Handler("FormShow", &TFormLicence::FormShow)
                              .Handler("Label9Click", &TFormLicence::Label9Click),
                          true);

}  // namespace

void TFormLicence::AfterConstruction() {
  TForm::AfterConstruction();
  // The address is a setting of the build, so the description carries no caption for it.
  Label9->SetCaption(MakerPageCaption(MakerPageAddress()));
}

void TFormLicence::FormShow(TObject*) {
  LbVersao->SetCaption(ExeVersion);
}

void TFormLicence::Label9Click(TObject*) {
  char address[kAddressBufferSize] = {};
  const std::string page = MakerPageAddress();
  std::strncpy(address, page.c_str(), sizeof address - 1);
  ShellExecuteA(Application->Handle(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
