// Popup menus: menu items with captions, separators and click events, and the popup menu that
// shows them at a screen point and returns when it has closed. Toolkit layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

class TPopupMenuWindow;
class TUtilityWindow;
struct TMessage;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "-" makes a separator line.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked) { FChecked = checked; }
  bool Default() const { return FDefault; }
  void SetDefault(bool value) { FDefault = value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool IsLine() const { return FCaption == "-"; }

  // --- Sub-items ---
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises ERangeError for an index outside 0..Count()-1.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return FParent; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  int IndexOf(const TMenuItem* item) const;
  // The number that a chosen item's command carries; unique in the program.
  UINT Command() const { return FCommand; }
  TMenuItem* FindCommand(UINT command);

  // What choosing the item does: the menu calls it when the user picks the item, and a program
  // may call it to act as if they had. Fires OnClick; virtual so that an item class can add to it.
  virtual void Click();

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const std::function<void(TComponent*)>& proc,
                   const TComponent* root) const override;

  TNotifyEvent OnClick;

 private:
  friend class TPopupMenu;
  std::string FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FDefault = false;
  std::string FHint;
  TMenuItem* FParent = nullptr;
  TComponent* FMenu = nullptr;  // the menu whose root item holds this one
  std::vector<TMenuItem*> FItems;
  UINT FCommand;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // The root item; its sub-items are the menu's entries.
  TMenuItem* Items() const { return FItems.get(); }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment alignment) { FAlignment = alignment; }
  // The control whose right click opened the menu last.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component) { FPopupComponent = component; }

  // Shows the menu with its corner at the screen point and returns when it has closed: after
  // an item was chosen (with the mouse, or with the arrows and Enter), or Esc, or a press
  // outside it. The chosen item's OnClick runs from the message loop right after, once.
  virtual void Popup(int x, int y);
  bool IsShown() const { return FWindow != nullptr; }

  void GetChildren(const std::function<void(TComponent*)>& proc,
                   const TComponent* root) const override;

  TNotifyEvent OnPopup;

 private:
  void CommandMessage(TMessage& message);

  std::unique_ptr<TMenuItem> FItems;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
  TComponent* FPopupComponent = nullptr;
  TPopupMenuWindow* FWindow = nullptr;
  std::unique_ptr<TUtilityWindow> FCommandWindow;
};
