#include "form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without this the toolkit aborts with a message about platform plugins that
// does not tell a user what is missing.
bool displayAvailable()
{
    auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("solitons: no display found (DISPLAY is not set); run it on a desktop, "
                   "or under a virtual one with: xvfb-run solitons\n",
            stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    Form1 window;
    window.show();
    return app.exec();
}
