// Components: ownership, destruction order, notifications, names; string lists.
#include "toolkit/Classes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its own destruction and every notification it receives in a shared journal.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::vector<std::string>* journal, std::string label)
      : TComponent(owner), FJournal(journal), FLabel(std::move(label)) {}
  ~TProbe() override { FJournal->push_back("~" + FLabel); }

  TComponent* Watched = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component != this) {
      FJournal->push_back(FLabel + " heard removal");
      if (component == Watched) Watched = nullptr;
    }
  }

 private:
  std::vector<std::string>* FJournal;
  std::string FLabel;
};

TEST(ComponentTest, OwnerKeepsCreationOrderAndDestroysInReverse) {
  std::vector<std::string> journal;
  auto* owner = new TProbe(nullptr, &journal, "owner");
  auto* a = new TProbe(owner, &journal, "a");
  auto* b = new TProbe(owner, &journal, "b");
  auto* c = new TProbe(owner, &journal, "c");
  EXPECT_THAT(owner->ComponentList(), testing::ElementsAre(a, b, c));
  EXPECT_EQ(a->Owner(), owner);

  delete owner;
  // Owned components go last-first and quietly: siblings on their way out are not told.
  EXPECT_THAT(journal, testing::ElementsAre("~owner", "~c", "~b", "~a"));
}

TEST(ComponentTest, ComponentDestroyedFirstLeavesOwnerAndSiblingsHearOfIt) {
  std::vector<std::string> journal;
  TProbe owner(nullptr, &journal, "owner");
  auto* a = new TProbe(&owner, &journal, "a");
  auto* b = new TProbe(&owner, &journal, "b");
  auto* c = new TProbe(&owner, &journal, "c");
  a->Watched = b;

  delete b;
  EXPECT_THAT(owner.ComponentList(), testing::ElementsAre(a, c));
  EXPECT_EQ(a->Watched, nullptr);
  EXPECT_THAT(journal, testing::ElementsAre("~b", "c heard removal", "a heard removal",
                                            "owner heard removal"));
}

TEST(ComponentTest, FreeNotificationReachesComponentsOfOtherOwners) {
  std::vector<std::string> journal;
  TProbe formA(nullptr, &journal, "formA");
  TProbe formB(nullptr, &journal, "formB");
  auto* menu = new TProbe(&formA, &journal, "menu");
  auto* user = new TProbe(&formB, &journal, "user");
  user->Watched = menu;
  user->FreeNotification(menu);

  delete menu;
  EXPECT_EQ(user->Watched, nullptr);
  // Once gone, the menu is forgotten: destroying the user later touches nothing stale.
  delete user;
}

TEST(ComponentTest, InsertNotifiesTheOwnersComponents) {
  struct TCounter : TComponent {
    using TComponent::TComponent;
    int Inserts = 0;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opInsert && c != this) ++Inserts;
    }
  };
  TComponent owner(nullptr);
  auto* first = new TCounter(&owner);
  new TComponent(&owner);
  new TComponent(&owner);
  EXPECT_EQ(first->Inserts, 2);
}

TEST(ComponentTest, NamesAreIdentifiersAndUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Edit1");
  EXPECT_THROW(b->SetName("EDIT1"), EComponentError);
  EXPECT_THROW(b->SetName("1Edit"), EComponentError);
  EXPECT_THROW(b->SetName("Edit 2"), EComponentError);
  b->SetName("Edit2");
  EXPECT_EQ(owner.FindComponent("edit2"), b);
  EXPECT_EQ(owner.FindComponent("Missing"), nullptr);
  EXPECT_THROW(owner.Components(2), ERangeError);
}

TEST(ComponentTest, InsertComponentMovesBetweenOwners) {
  TComponent first(nullptr), second(nullptr);
  auto* c = new TComponent(&first);
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(c->Owner(), &second);
}

TEST(ComponentTest, DestroyingIsMarkedOnOwnedComponentsBeforeTheyGo) {
  struct TStateProbe : TComponent {
    TStateProbe(TComponent* o, bool* sawDestroying) : TComponent(o), FSaw(sawDestroying) {}
    ~TStateProbe() override { *FSaw = IsDestroying(); }
    bool* FSaw;
  };
  bool saw = false;
  auto* owner = new TComponent(nullptr);
  new TStateProbe(owner, &saw);
  delete owner;
  EXPECT_TRUE(saw);
}

TEST(ComponentTest, AssignBetweenUnrelatedClassesFails) {
  TStringList list;
  TComponent component(nullptr);
  EXPECT_THROW(list.Assign(&component), EConvertError);
  EXPECT_THROW(list.Assign(nullptr), EConvertError);
}

TEST(StringListTest, TextSplitsEveryLineEndingAndJoinsWithCrLf) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_THAT(list.ToVector(), testing::ElementsAre("one", "two", "three", "four"));
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  list.SetText("a\r\n\r\n");
  EXPECT_THAT(list.ToVector(), testing::ElementsAre("a", ""));
}

TEST(StringListTest, SortedListKeepsOrderAndRefusesDuplicates) {
  TStringList list;
  list.SetSorted(true);
  list.Add("Visa");
  list.Add("amex");
  list.Add("MasterCard");
  EXPECT_EQ(list.Add("VISA"), 2);
  EXPECT_THAT(list.ToVector(), testing::ElementsAre("amex", "MasterCard", "Visa"));
  EXPECT_THROW(list.Insert(0, "x"), EInvalidOperation);
}

TEST(StringListTest, ChangesFireOnChangeAndBoundsAreChecked) {
  TStringList list{"a", "b"};
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.Add("c");
  list.Delete(0);
  list.SetStrings(0, "B");
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(list.Strings(2), ERangeError);
  EXPECT_THROW(list.Delete(-1), ERangeError);
  EXPECT_EQ(list.IndexOf("c"), 1);
  EXPECT_EQ(list.CommaText(), "B,c");
}

}  // namespace
