#include "test_registry.h"

#include <QApplication>
#include <QTest>

std::vector<TestFactory> &testRegistry()
{
    static std::vector<TestFactory> registry;
    return registry;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failures = 0;
    for (const TestFactory &make : testRegistry()) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
