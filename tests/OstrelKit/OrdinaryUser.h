#pragma once

// The tests may run as root, whom no permission bits stop. This runs a piece of a test as any other user
// would meet the files: on a thread of its own without the capabilities that override permission bits.
// The files stay root's own, so their owner's bits are the ones that apply.

#include <functional>

namespace dormio::test {

void asOrdinaryUser(const std::function<void()>& work);

} // namespace dormio::test
