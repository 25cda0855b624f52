#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Each test binary gathers the test classes of its area; main runs them all
// and fails when any of them fails.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory> &testRegistry();

#define REGISTER_TEST(Class)                                                                                           \
    namespace {                                                                                                        \
    const bool registered##Class = (testRegistry().push_back([] {                                                      \
        return std::make_unique<Class>();                                                                              \
    }),                                                                                                                \
        true);                                                                                                         \
    }
