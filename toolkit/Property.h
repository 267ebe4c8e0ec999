// The rule every property setter of the toolkit follows, written once: an unchanged value does
// nothing, a new one is stored and its change made known. Toolkit layer (header only).
#pragma once

#include <utility>

// Stores `value` in `field` and calls `changed` when they differ. Setting a property to the
// value it has must not repaint, rebuild or fire events, so equal values stop here.
template <class T, class U, class F>
void ChangeProperty(T& field, U&& value, F&& changed) {
  if (field == value) return;
  field = std::forward<U>(value);
  changed();
}
