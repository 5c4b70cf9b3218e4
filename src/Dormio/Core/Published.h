#pragma once

// Assigns a published field and announces the change, only when the value changes.

#include <utility>

namespace dormio {

template <typename Owner, typename T, typename Signal>
void publish(Owner* owner, T& field, T value, Signal changed) {
    if (field == value) return;
    field = std::move(value);
    emit(owner->*changed)();
}

} // namespace dormio
