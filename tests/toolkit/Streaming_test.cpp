// Form descriptions: round trips through the writer and reader, loading state, damaged input.
#include "toolkit/Streaming.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "tests/toolkit/Embedded.form.h"

namespace {

enum TTestShape { tsCircle, tsSquare, tsTriangle };
enum TTestOption { toFirst, toSecond, toThird };
using TTestOptions = TSet<TTestOption>;

// A nested object stored through its own properties, like a font.
class TTestStyle : public TPersistent {
 public:
  const std::string& Family() const { return FFamily; }
  void SetFamily(const std::string& v) { FFamily = v; }
  int Size() const { return FSize; }
  void SetSize(int v) { FSize = v; }

 private:
  std::string FFamily = "Arial";
  int FSize = 8;
};

// Every kind of stored value, and a journal of loading.
class TGadget : public TComponent {
 public:
  explicit TGadget(TComponent* owner) : TComponent(owner) {}

  int Count() const { return FCount; }
  void SetCount(int v) { FCount = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TTestShape Shape() const { return FShape; }
  void SetShape(TTestShape v) { FShape = v; }
  TTestOptions Options() const { return FOptions; }
  void SetOptions(TTestOptions v) { FOptions = v; }
  TStringList& Items() { return FItems; }
  TTestStyle& Style() { return FStyle; }
  TGadget* Buddy() const { return FBuddy; }
  void SetBuddy(TGadget* v) { FBuddy = v; }
  void SetRange(long long v) {
    if (v > 10) throw ERangeError("Range too large");
  }
  long long Range() const { return 0; }

  TNotifyEvent OnClick;
  TKeyPressEvent OnKeyPress;

  std::vector<uint8_t> Image;
  bool ImageValid = false;
  bool SawLoadingInConstructorOfRead = false;
  int LoadedCalls = 0;
  bool LoadingWhenCaptionSet = false;

 protected:
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty(
        "ImageValid", [this](const TValue& v) { ImageValid = v.AsBoolean(); },
        [this] { return TValue::Boolean(ImageValid); }, true);
    filer.DefineBinaryProperty(
        "Image", [this](const std::vector<uint8_t>& b) { Image = b; }, [this] { return Image; },
        ImageValid);
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
  }

 private:
  int FCount = 0;
  TColor FColor = clBlack;
  double FRatio = 1.0;
  std::string FCaption;
  bool FEnabled = true;
  TTestShape FShape = tsCircle;
  TTestOptions FOptions{toFirst};
  TStringList FItems;
  TTestStyle FStyle;
  TGadget* FBuddy = nullptr;
};

// A container whose nested objects become its children, like a panel on a form.
class TTray : public TComponent {
 public:
  explicit TTray(TComponent* owner) : TComponent(owner) {}
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* parent) override {
    FParent = dynamic_cast<TTray*>(parent);
    if (FParent) FParent->FChildren.push_back(this);
  }
  void GetChildren(const std::function<void(TComponent*)>& proc,
                   const TComponent* root) const override {
    TComponent::GetChildren(proc, root);
    for (TComponent* c : FChildren)
      proc(c);
  }
  ~TTray() override {
    if (FParent) std::erase(FParent->FChildren, this);
    for (TTray* c : FChildren)
      c->FParent = nullptr;
  }

 private:
  TTray* FParent = nullptr;
  std::vector<TTray*> FChildren;
};

class TTestForm : public TComponent {
 public:
  explicit TTestForm(TComponent* owner) : TComponent(owner) {}
  void GadgetClick(TObject* sender) { Clicks.push_back(sender); }
  void GadgetKey(TObject*, char& key) { key = 'x'; }

  TGadget* Gadget1 = nullptr;
  TGadget* Gadget2 = nullptr;
  TTray* Tray1 = nullptr;
  std::vector<TObject*> Clicks;
};

const bool kRegistered = [] {
  PublishClass<TTestStyle, TPersistent>("TTestStyle")
      .String("Family", &TTestStyle::Family, &TTestStyle::SetFamily, std::string("Arial"))
      .Integer("Size", &TTestStyle::Size, &TTestStyle::SetSize, 8);
  PublishClass<TGadget, TComponent>("TGadget")
      .Integer("Count", &TGadget::Count, &TGadget::SetCount, 0)
      .IntegerIdents("Color", &TGadget::Color, &TGadget::SetColor,
                     {{"clBlack", clBlack}, {"clRed", clRed}}, clBlack)
      .Float("Ratio", &TGadget::Ratio, &TGadget::SetRatio)
      .String("Caption", &TGadget::Caption, &TGadget::SetCaption, std::string())
      .Boolean("Enabled", &TGadget::Enabled, &TGadget::SetEnabled, true)
      .Enumeration("Shape", &TGadget::Shape, &TGadget::SetShape,
                   {"tsCircle", "tsSquare", "tsTriangle"}, std::optional(tsCircle))
      .Set("Options", &TGadget::Options, &TGadget::SetOptions, {"toFirst", "toSecond", "toThird"},
           std::optional(TTestOptions{toFirst}))
      .Strings("Items", &TGadget::Items)
      .Object("Style", &TGadget::Style)
      .Component<TGadget>("Buddy", &TGadget::Buddy, &TGadget::SetBuddy)
      .Integer("Range", &TGadget::Range, &TGadget::SetRange, 0)
      .Event("OnClick", &TGadget::OnClick)
      .Event("OnKeyPress", &TGadget::OnKeyPress);
  PublishClass<TTray, TComponent>("TTray");
  PublishClass<TTestForm, TComponent>("TTestForm")
      .Handler("GadgetClick", &TTestForm::GadgetClick)
      .Handler("GadgetKey", &TTestForm::GadgetKey)
      .Field("Gadget1", &TTestForm::Gadget1)
      .Field("Gadget2", &TTestForm::Gadget2)
      .Field("Tray1", &TTestForm::Tray1);
  return true;
}();

const char* const kDescription = R"(object Form1: TTestForm
  Tag = 7
  object Gadget1: TGadget
    Count = -42
    Color = clRed
    Ratio = 0.1
    Caption = 'It''s '#231'a'#13#10'x'
    Enabled = False
    Shape = tsTriangle
    Options = [toSecond, toThird]
    Items = (
      'Amex'
      ''
      'Visa')
    Style.Family = 'Times New Roman'
    Buddy = Gadget2
    OnClick = GadgetClick
    ImageValid = True
    Image = {
      424D00FF}
  end
  object Gadget2: TGadget
    Ratio = 1E300
    Buddy = Gadget1
  end
end
)";

std::unique_ptr<TTestForm> Read(const std::string& text) {
  auto form = std::make_unique<TTestForm>(nullptr);
  ReadComponent(*form, text);
  return form;
}

TEST(StreamingTest, ReadsEveryKindOfValue) {
  auto form = Read(kDescription);
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->Tag(), 7);
  ASSERT_NE(form->Gadget1, nullptr);
  TGadget& g = *form->Gadget1;
  EXPECT_EQ(g.Owner(), form.get());
  EXPECT_EQ(g.Count(), -42);
  EXPECT_EQ(g.Color(), clRed);
  EXPECT_DOUBLE_EQ(g.Ratio(), 0.1);
  EXPECT_EQ(g.Caption(),
            "It's \xE7"
            "a\r\nx");
  EXPECT_FALSE(g.Enabled());
  EXPECT_EQ(g.Shape(), tsTriangle);
  EXPECT_EQ(g.Options(), (TTestOptions{toSecond, toThird}));
  EXPECT_THAT(g.Items().ToVector(), testing::ElementsAre("Amex", "", "Visa"));
  EXPECT_EQ(g.Style().Family(), "Times New Roman");
  EXPECT_EQ(g.Buddy(), form->Gadget2);
  EXPECT_THAT(g.Image, testing::ElementsAre(0x42, 0x4D, 0x00, 0xFF));
  g.OnClick(&g);
  EXPECT_THAT(form->Clicks, testing::ElementsAre(&g));
  EXPECT_EQ(g.OnClick.HandlerName(), "GadgetClick");
}

TEST(StreamingTest, RoundTripKeepsEveryValueAndBinaryDataByteForByte) {
  auto form = Read(kDescription);
  std::vector<uint8_t> image(4734);
  for (size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<uint8_t>(i * 7 + 3);
  form->Gadget1->Image = image;
  std::string all;
  for (int c = 1; c < 256; ++c)
    all += static_cast<char>(c);
  form->Gadget1->SetCaption(all);
  form->Gadget1->SetRatio(1.0 / 3.0);
  form->Gadget1->OnKeyPress = BindHandler<TKeyPressEvent>(*form, "GadgetKey");

  const std::string written = WriteComponent(*form);
  auto copy = Read(written);
  TGadget& g = *copy->Gadget1;
  EXPECT_EQ(g.Image, image);
  EXPECT_EQ(g.Caption(), all);
  EXPECT_EQ(g.Ratio(), 1.0 / 3.0);
  EXPECT_EQ(g.Color(), clRed);
  EXPECT_EQ(g.Options(), (TTestOptions{toSecond, toThird}));
  EXPECT_EQ(g.Buddy(), copy->Gadget2);
  EXPECT_EQ(copy->Gadget2->Buddy(), copy->Gadget1);
  EXPECT_EQ(copy->Gadget2->Ratio(), 1E300);
  char key = 'a';
  g.OnKeyPress(&g, key);
  EXPECT_EQ(key, 'x');
  // Writing what was read gives the same text again.
  EXPECT_EQ(WriteComponent(*copy), written);
}

TEST(StreamingTest, WriterLeavesOutDefaultsAndUnnamedEvents) {
  TTestForm form(nullptr);
  form.SetName("Form1");
  auto* g = new TGadget(&form);
  g->SetName("Plain");
  g->OnClick = [](TObject*) {};
  EXPECT_EQ(WriteComponent(form),
            "object Form1: TTestForm\n"
            "  object Plain: TGadget\n"
            "    Ratio = 1.0\n"
            "    ImageValid = False\n"
            "  end\n"
            "end\n");
}

TEST(StreamingTest, NestedObjectsBecomeChildrenAndAreWrittenInside) {
  auto form = Read(R"(object Form1: TTestForm
  object Tray1: TTray
    object Inner: TTray
      object Deepest: TTray
      end
    end
  end
end)");
  ASSERT_NE(form->Tray1, nullptr);
  auto* inner = dynamic_cast<TTray*>(form->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Owner(), form.get());
  EXPECT_EQ(inner->GetParentComponent(), form->Tray1);
  EXPECT_EQ(WriteComponent(*form), R"(object Form1: TTestForm
  object Tray1: TTray
    object Inner: TTray
      object Deepest: TTray
      end
    end
  end
end
)");
}

TEST(StreamingTest, EveryComponentIsLoadingWhileReadAndLoadedRunsOnceEach) {
  struct TWatch : TGadget {
    using TGadget::TGadget;
    void SetCaptionWatched(const std::string& v) { SawLoading = IsLoading(); }
    const std::string& CaptionWatched() const { return Caption(); }
    bool SawLoading = false;
  };
  static const bool registered =
      (PublishClass<TWatch, TGadget>("TWatch").String("Watched", &TWatch::CaptionWatched,
                                                      &TWatch::SetCaptionWatched),
       true);
  (void)registered;
  auto form = Read(R"(object Form1: TTestForm
  object W: TWatch
    Watched = 'x'
  end
  object Gadget1: TGadget
  end
end)");
  auto* w = dynamic_cast<TWatch*>(form->FindComponent("W"));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->SawLoading);
  EXPECT_EQ(w->LoadedCalls, 1);
  EXPECT_EQ(form->Gadget1->LoadedCalls, 1);
  EXPECT_FALSE(w->IsLoading());
  EXPECT_FALSE(form->IsLoading());
}

struct TDamage {
  const char* Text;
  int Line;
  const char* Message;
};

class DamagedDescriptionTest : public testing::TestWithParam<TDamage> {};

TEST_P(DamagedDescriptionTest, RaisesReadingErrorWithLineAndLeavesNothingBehind) {
  TTestForm form(nullptr);
  try {
    ReadComponent(form, GetParam().Text);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Line(), GetParam().Line) << e.Message();
    EXPECT_THAT(e.Message(), testing::HasSubstr(GetParam().Message));
  }
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.Gadget1, nullptr);
  EXPECT_EQ(form.Gadget2, nullptr);
  EXPECT_FALSE(form.IsLoading());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedDescriptionTest,
    testing::Values(
        TDamage{"object F: TTestForm\n  object Gadget1: TNoSuchClass\n  end\nend", 2,
                "Class TNoSuchClass not found"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Colour = 1\n  end\nend", 3,
                "Property Colour does not exist"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Count = 'x'\n  end\nend", 3,
                "integer"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n  Caption = 'abc\n  end\nend", 3,
                "Unterminated string"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Count = 1\n", 2,
                "not terminated"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Image = {4}\n  end\nend", 3,
                "odd number"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Count = 1\n\n    COUNT = 2\n"
                "  end\nend",
                5, "set twice"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Shape = tsHexagon\n  end\nend",
                3, "identifiers of Shape"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Options = [toFourth]\n  end\n"
                "end",
                3, "members of Options"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Buddy = Nobody\n  end\nend", 3,
                "Component Nobody not found"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Buddy = F\n  end\nend", 3,
                "F cannot be Buddy"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    OnClick = Missing\n  end\n"
                "end",
                3, "Handler Missing not found"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    OnClick = GadgetKey\n  end\n"
                "end",
                3, "does not fit"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Count = 4294967296\n  end\n"
                "end",
                3, "out of range"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Range = 11\n  end\nend", 3,
                "Range too large"},
        TDamage{"object F: TTestForm\n  object Gadget1: TTray\n  end\nend", 2, "does not fit"},
        TDamage{"object F: TTestForm\n  object A: TGadget\n  end\n  object a: TGadget\n  end\nend",
                4, "already exists"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Style = 'x'\n  end\nend", 3,
                "not the object"},
        TDamage{"object F: TTestForm\n  object Gadget1: TGadget\n    Caption = 'Licen\xC3\xA7"
                "a'\n"
                "  end\nend",
                3, "#nnn"},
        TDamage{"object F: TGadget\nend", 1, "cannot be read into"},
        TDamage{"object F: TTestForm\nend\nend", 3, "Text after the end"},
        TDamage{"object F: TTestForm\n  object Gadget2: TGadget\n  end\n  object Gadget1: TGadget\n"
                "    Enabled = Maybe\n  end\nend",
                5, "True or False"}),
    // Named by position: the default name would print the case's pointers, which differ
    // from run to run and so from one test listing to the next.
    [](const testing::TestParamInfo<TDamage>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(StreamingTest, ReadingANewRootFromItsClassNameLeavesNothingOnError) {
  TComponent owner(nullptr);
  std::unique_ptr<TComponent> root(ReadComponent("object Form1: TTestForm\nend\n", &owner));
  EXPECT_EQ(root->ClassName(), "TTestForm");
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_THROW(ReadComponent("object Form2: TTestForm\n  Tag = x\nend\n", &owner), EReadError);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(StreamingTest, EmbeddedDescriptionsAreFoundByTheirRootClass) {
  const std::string text = "object Form1: TTestForm\n  Tag = 3\nend\n";
  RegisterFormResource("", text.data(), text.size());
  TTestForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(form));
  EXPECT_EQ(form.Tag(), 3);
  TGadget gadget(nullptr);
  EXPECT_FALSE(InitInheritedComponent(gadget));
}

TEST(StreamingTest, DescriptionsCompiledInAtBuildTimeAreRegistered) {
  struct TEmbeddedForm : TComponent {
    using TComponent::TComponent;
  };
  static const bool registered = (PublishClass<TEmbeddedForm, TComponent>("TEmbeddedForm"), true);
  (void)registered;
  TEmbeddedForm form(nullptr);
  ASSERT_TRUE(InitInheritedComponent(form));
  EXPECT_EQ(form.Name(), "Embedded1");
  EXPECT_EQ(form.Tag(), 1252);
}

// A class that puts an inherited property among its own.
class TOrderedGadget : public TComponent {
 public:
  explicit TOrderedGadget(TComponent* owner) : TComponent(owner) {}
  int Alpha() const { return FAlpha; }
  void SetAlpha(int value) { FAlpha = value; }
  int Zeta() const { return FZeta; }
  void SetZeta(int value) { FZeta = value; }

 private:
  int FAlpha = 1, FZeta = 2;
};
const bool kOrderedRegistered =
    (PublishClass<TOrderedGadget, TComponent>("TOrderedGadget")
         .Integer("Zeta", &TOrderedGadget::Zeta, &TOrderedGadget::SetZeta)
         .Integer("Alpha", &TOrderedGadget::Alpha, &TOrderedGadget::SetAlpha)
         .Order({"Alpha", "Tag", "Zeta"}),
     true);

TEST(StreamingTest, AClassCanOrderItsInheritedPropertiesAmongItsOwn) {
  TTestForm form(nullptr);
  form.SetName("Form1");
  auto* g = new TOrderedGadget(&form);
  g->SetName("Ordered");
  g->SetTag(7);
  EXPECT_EQ(WriteComponent(form),
            "object Form1: TTestForm\n"
            "  object Ordered: TOrderedGadget\n"
            "    Alpha = 1\n"
            "    Tag = 7\n"
            "    Zeta = 2\n"
            "  end\n"
            "end\n");
}

}  // namespace
