// Runs test code as a user without rights of its own, so permission checks apply even to root.
#pragma once

#include <functional>

namespace nlx::test {

// Runs `body` as the user nobody when the tests run as root, root staying the saved user and
// coming back afterwards; as any other user, runs it unchanged. False, without running `body`,
// when the user cannot be changed.
bool run_without_root(const std::function<void()>& body);

}  // namespace nlx::test
