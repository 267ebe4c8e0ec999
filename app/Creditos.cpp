// The credits window: its version label. Layer: the program (app/).
#include "app/Creditos.h"

#include "app/Creditos.form.h"
#include "core/MORTypes.h"
#include "toolkit/TypInfo.h"

TFormCredito* FormCredito = nullptr;

namespace {

const bool kRegistered = (PublishClass<TFormCredito, TForm>("TFormCredito")
                              .Field("Label7", &TFormCredito::Label7)
                              .Field("Label3", &TFormCredito::Label3)
                              .Field("Label6", &TFormCredito::Label6)
                              .Field("Label5", &TFormCredito::Label5)
                              .Field("ImageLogo", &TFormCredito::ImageLogo)
                              .Field("LbVersao", &TFormCredito::LbVersao)
                              .Field("Label8", &TFormCredito::Label8)
                              .Field("Label2", &TFormCredito::Label2)
                              .Field("Label1", &TFormCredito::Label1)
                              .Handler("FormShow", &TFormCredito::FormShow),
                          true);

}  // namespace

void TFormCredito::FormShow(TObject*) {
  LbVersao->SetCaption(ExeVersion);
}
