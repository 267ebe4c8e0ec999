// Published properties that the standard controls share: the pointer (cursor, context menu,
// mouse events) and the keyboard (tab order, tab stop, key and focus events). Each control
// class registers them with its own. Toolkit layer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Menus.h"
#include "toolkit/TypInfo.h"

inline const std::vector<std::pair<std::string, long long>>& CursorIdents() {
  static const std::vector<std::pair<std::string, long long>> kIdents = {
      {"crDefault", crDefault},   {"crNone", crNone},           {"crArrow", crArrow},
      {"crCross", crCross},       {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
      {"crSizeNS", crSizeNS},     {"crSizeNWSE", crSizeNWSE},   {"crSizeWE", crSizeWE},
      {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass}, {"crNo", crNo},
      {"crAppStart", crAppStart}, {"crHelp", crHelp},           {"crHandPoint", crHandPoint},
      {"crSizeAll", crSizeAll}};
  return kIdents;
}

// `cursor` is the class's own default shape (edits show the text cursor).
template <class T>
void PublishPointer(TClassBuilder<T>& b, TCursor cursor = crDefault) {
  b.IntegerIdents("Cursor", &T::Cursor, &T::SetCursor, CursorIdents(), cursor)
      .template Component<TPopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu)
      .Event("OnMouseDown", Inherited<T>(&T::OnMouseDown))
      .Event("OnMouseMove", Inherited<T>(&T::OnMouseMove))
      .Event("OnMouseUp", Inherited<T>(&T::OnMouseUp));
}

template <class T>
void PublishKeyboard(TClassBuilder<T>& b) {
  b.Integer("TabOrder", &T::TabOrder, &T::SetTabOrder)
      .StoredWhen([](const T& c) { return c.Parent() != nullptr; })
      .Boolean("TabStop", &T::TabStop, &T::SetTabStop)
      .Event("OnEnter", Inherited<T>(&T::OnEnter))
      .Event("OnExit", Inherited<T>(&T::OnExit))
      .Event("OnKeyDown", Inherited<T>(&T::OnKeyDown))
      .Event("OnKeyPress", Inherited<T>(&T::OnKeyPress))
      .Event("OnKeyUp", Inherited<T>(&T::OnKeyUp));
}

// The border of the controls other than forms, by the names form descriptions give it.
inline const std::vector<std::string> kBorderStyles = {"bsNone", "bsSingle"};

// What an edit and a combo box publish alike: the text and how it is typed into.
template <class T>
void PublishEdit(TClassBuilder<T>& b) {
  PublishKeyboard(b);
  b.String("Text", &T::Text, &T::SetText, std::string())
      .Integer("MaxLength", &T::MaxLength, &T::SetMaxLength, 0)
      .Boolean("ReadOnly", &T::ReadOnly, &T::SetReadOnly, false)
      .Boolean("AutoSelect", &T::AutoSelect, &T::SetAutoSelect, true)
      .Boolean("Ctl3D", &T::Ctl3D, &T::SetCtl3D, true)
      .Enumeration("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, kBorderStyles, bsSingle)
      .IntegerIdents("Color", &T::Color, &T::SetColor, ColorIdents(), clWindow)
      .Event("OnChange", Inherited<T>(&T::OnChange));
}
