#include "form1_window.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

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

int main()
{
    if (!displayAvailable()) {
        std::fputs("solitons: no display found (DISPLAY is not set); run it on a desktop, "
                   "or under a virtual one with: xvfb-run solitons\n",
            stderr);
        return EXIT_FAILURE;
    }
    // The program takes no command line, so the toolkit gets none either:
    // -reverse, -style or -platform change nothing; its environment variables
    // still act. The name is X11's WM_CLASS, and the desktop entry's name is
    // the Wayland app id: by them task bars find the entry's icon and name,
    // whatever the binary is called.
    char name[] = "solitons";
    char *toolkitArgv[] = {name, nullptr};
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, toolkitArgv);
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.solitons.solitons"));
    // Embedded PNGs, one folder a size as the build renders them: reading the
    // installed SVG would need an image plugin.
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &size : icons.entryList())
        icon.addFile(icons.filePath(size + QStringLiteral("/solitons.png")));
    QApplication::setWindowIcon(icon);
    Form1Window window;
    window.show();
    return app.exec();
}
