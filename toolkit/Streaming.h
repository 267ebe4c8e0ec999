// Form descriptions: a readable text of the component tree with its published property values
// and extra stored values (binary data as hex), read into components and written back from
// them. Toolkit layer.
//
//   object FormMain: TFormMain
//     Caption = 'Licen'#231'a de uso'
//     Font.Name = 'Arial'
//     Options = [toMinimizeToTray, toCloseFormsOnHideApp]
//     OnShow = FormShow
//     object ComboBox1: TComboBox
//       Items = (
//         'Amex'
//         'Visa')
//     end
//     object Button1: TButton
//       ImageOut = {424D3600...}
//     end
//   end
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/TypInfo.h"

// Given to TPersistent::DefineProperties so that a class can store values beyond its published
// properties. A value is written when `hasData` says so, and read back by name.
class TFiler {
 public:
  using TValueReader = std::function<void(const TValue&)>;
  using TValueWriter = std::function<TValue()>;
  using TBinaryReader = std::function<void(const std::vector<uint8_t>&)>;
  using TBinaryWriter = std::function<std::vector<uint8_t>()>;

  virtual ~TFiler() = default;
  virtual void DefineProperty(const std::string& name, TValueReader read, TValueWriter write,
                              bool hasData) = 0;
  virtual void DefineBinaryProperty(const std::string& name, TBinaryReader read,
                                    TBinaryWriter write, bool hasData) = 0;
};

// Reads the description `text` into `root`, an existing component of the class the description
// names (or a descendant). Components of nested objects are created with `root` as owner and
// the enclosing object as parent, and the root's fields of their names are set. While reading,
// every component carries csLoading; at the end Loaded runs on each, the root first.
// A damaged description raises EReadError with the line number; the components made so far are
// destroyed and the root's fields that pointed at them are cleared.
void ReadComponent(TComponent& root, std::string_view text);

// Creates the root from the class the description names, owned by `owner`, and reads it.
// On error nothing stays behind.
TComponent* ReadComponent(std::string_view text, TComponent* owner);

// Writes `root`, its stored properties and the components it lists as children.
std::string WriteComponent(const TComponent& root);

// --- Embedded descriptions ---
// Descriptions compiled into the program (cmake: calvix_embed_forms) register themselves under
// their root's class name at start-up. The text is read where it lies, so it must last as long
// as the program (compiled-in data does).
void RegisterFormResource(const std::string& className, const char* text, size_t size);
// The description of a class, or null when none was compiled in.
const std::string_view* FindFormResource(const std::string& className);
// Reads the compiled-in description of `root`'s class into it; false when there is none.
bool InitInheritedComponent(TComponent& root);
