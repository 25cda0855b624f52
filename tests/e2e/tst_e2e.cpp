// The real program on a private X server, and natively on Wayland in a weston nested there, driven by xdotool and
// judged by the logical pixels of its plot area on screen.
#include "pixels.h"
#include "window_table.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class E2E : public QObject
{
    Q_OBJECT

    static constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255), Black = qRgb(0, 0, 0);
    static inline int dpr = 1; // QT_SCALE_FACTOR, or weston's output scale
    QProcess m_program, m_weston;
    QTemporaryDir m_dir;
    QString m_window; // the X window that shows the program: its own, or weston's
    QPoint m_origin; // of the window's client area in m_window

    static int count(const QImage &p, QRgb c, QRect r = {}) { return int(pixels(p, c, Pixels::In, r).size()); }
    static constexpr int Patience = 60000; // ms: as long as a machine busy building packages beside needs
    static bool waitFor(auto ready, int ms = Patience) { return QTest::qWaitFor(ready, ms); }
    static QString output(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(Patience) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }
    static QString xdotool(const QStringList &args) { return output("xdotool", args).section('\n', 0, 0); }
    QImage screen() const { return QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong()).toImage(); }
    QImage grab() const { return screen().copy(QRect(m_origin, QSize(624, 419) * dpr)); }
    static constexpr QRect PlotArea {8, 8, 609, 337}; // of the client area, in logical pixels
    static QRect scaled(QRect logical) { return {logical.topLeft() * dpr, logical.size() * dpr}; }
    QImage plot() const { return grab().copy(scaled(PlotArea)); }
    QImage band() const { return grab().copy(scaled({0, 346, 624, 73})); }
    // Waits for the client area somewhere other than `was`, found by the plot area where most rows and columns are
    // black, anywhere on weston's output; a window or output still black all over would put it off the image.
    bool located(QPoint was = {-1, -1}, int ms = Patience)
    {
        return waitFor(
            [&] {
                const QImage all = screen();
                QPoint corner(-1, -1);
                for (int y = 0; y < all.height() && corner.y() < 0; ++y)
                    corner.ry() = count(all, Black, {0, y, all.width(), 1}) > 300 * dpr ? y : -1;
                for (int x = 0; x < all.width() && corner.x() < 0; ++x)
                    corner.rx() = count(all, Black, {x, 0, 1, all.height()}) > 150 * dpr ? x : -1;
                m_origin = corner - QPoint(8, 8) * dpr;
                return m_origin.x() >= 0 && m_origin.y() >= 0 && all.pixel(m_origin) != Black && m_origin != was;
            },
            ms);
    }
    // A copy under another name, given toolkit options that must change nothing; on Wayland inside a weston of its
    // own whose output has the pixel ratio.
    bool start(int scale, const QStringList &args = {})
    {
        QFETCH_GLOBAL(bool, wayland);
        cleanup();
        dpr = scale;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString renamed = m_dir.filePath("solitons-renamed");
        QFile::copy(qEnvironmentVariable("SOLITONS"), renamed);
        if (wayland) {
            env.insert("XDG_RUNTIME_DIR", m_dir.path());
            m_weston.setProcessEnvironment(env);
            m_weston.start("weston",
                {"--backend=x11-backend.so", "--use-pixman", "--socket=e2e", "--width=" + QString::number(1260 / dpr),
                    "--height=" + QString::number(1000 / dpr), "--scale=" + QString::number(dpr), "-c",
                    QFINDTESTDATA("weston.ini")});
            m_window = xdotool({"search", "--sync", "--classname", "^weston"});
            env.insert("WAYLAND_DISPLAY", "e2e");
            env.insert("QT_QPA_PLATFORM", "wayland");
            env.insert("WAYLAND_DEBUG", "client");
        } else {
            env.insert("QT_SCALE_FACTOR", QString::number(dpr));
        }
        m_program.setProcessEnvironment(env);
        // To a file: a pipe nobody reads while xdotool runs would fill with the protocol log and stall the program.
        m_program.setStandardErrorFile(m_dir.filePath("stderr"));
        m_program.start(renamed, args);
        if (!wayland)
            m_window = xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(m_program.processId()),
                "--name", "^Tarvelon 課題 8$"});
        return located() && waitFor([this] {
            return laidOut();
        });
    }
    // The window of the pixel ratio's size (on X11 all the X window shows), black filling the plot area at (8, 8) and
    // not one pixel beyond, the three curves in it.
    bool laidOut() const
    {
        const QImage window = grab(), p = plot();
        return (m_weston.state() || screen().size() == QSize(624, 419) * dpr)
            && count(window, Black, scaled({0, 0, 624, 346})) == count(window, Black, scaled(PlotArea))
            && count(p, Red) > 20 && count(p, Green) > 20 && count(p, Blue) > 20;
    }
    // The steps of the table shared with the page: click a control (Name*N: N times), type over a box's text (c*N: the
    // character N times) or wait seconds.
    void run(const QString &steps) const
    {
        xdotool({"mousemove", "1270", "1010"}); // weston takes the pointer only once it has come in from outside
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const auto m = QRegularExpression(R"(^([^*=]+)\*?(\d*)(=?)(.*)$)").match(step);
            if (bool wait = false; QTest::qWait(int(step.toDouble(&wait) * 1000)), wait)
                continue;
            const ControlDesign &c
                = *std::ranges::find(WindowTable(), m.captured(1).toStdString(), &ControlDesign::name);
            const QPoint at = m_origin + QPoint(c.left + c.width / 2, c.top + c.height / 2) / TwipsPerPixel * dpr;
            xdotool({"mousemove", "--window", m_window, QString::number(at.x()), QString::number(at.y()), "click",
                "--repeat", m.captured(2).isEmpty() ? "1" : m.captured(2), "--delay", "1", "1"});
            QString text = m.captured(4);
            for (QRegularExpressionMatch r; (r = QRegularExpression(R"((.)\*(\d+))").match(text)).hasMatch();)
                text.replace(r.capturedStart(), r.capturedLength(), r.captured(1).repeated(r.captured(2).toInt()));
            if (!m.captured(3).isEmpty())
                xdotool({"key", "ctrl+a"}), xdotool({"type", "--delay", "1", "--", text});
        }
    }
    // Each colour's crest in logical pixels, and whether it lies where `want` says, within 3 pixels.
    bool crestsAt(const QJsonArray &want, QList<QPointF> &seen) const
    {
        bool all = true;
        seen.clear();
        for (int i = 0; i < 3; ++i) {
            seen << crestOf(plot(), QList<QRgb> {Red, Green, Blue}[i]) / dpr;
            for (int j = 0; j < want[i].toArray().size(); ++j)
                all = all
                    && (want[i][j].isNull() || std::abs((j ? seen[i].y() : seen[i].x()) - want[i][j].toDouble()) <= 3);
        }
        return all;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::newRow("x11") << false;
        QTest::newRow("wayland") << true;
    }
    void cleanup()
    {
        for (QProcess *p : {&m_program, &m_weston})
            p->kill(), p->waitForFinished(5000);
    }

    // What the desktop knows the program by, whatever its binary is called; the toolkit's options change nothing.
    void identityAndOptions()
    {
        QFETCH_GLOBAL(bool, wayland);
        QVERIFY(start(1));
        const QImage band = this->band();
        QFile log(m_dir.filePath("stderr"));
        const QString said = wayland && log.open(QIODevice::ReadOnly)
            ? QString::fromUtf8(log.readAll())
            : output("xprop", {"-id", m_window, "_NET_WM_ICON", "WM_CLASS"});
        QVERIFY(wayland ? said.contains(R"(set_app_id("invalid.solitons.solitons"))")
                        : said.contains("Icon (16 x 16)") && said.contains(R"("solitons")"));
        QVERIFY(start(1, {"-reverse", "-style", "windows", "-platform", "offscreen"}));
        QCOMPARE(this->band(), band);
    }

    // The table shared with the page, at pixel ratio 2: each colour's lowest row where the table says.
    void table_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QJsonArray>("crests");
        QFile file(QFINDTESTDATA("cases.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QJsonValue c : QJsonDocument::fromJson(file.readAll())["cases"].toArray())
            QTest::newRow(qPrintable(c["name"].toString())) << c["steps"].toString() << c["crests"].toArray();
    }
    void table()
    {
        QFETCH(QString, steps);
        QFETCH(QJsonArray, crests);
        QVERIFY(start(2));
        run(steps);
        QList<QPointF> seen;
        QVERIFY2(waitFor(
                     [&] {
                         return crestsAt(crests, seen);
                     },
                     10000),
            qPrintable(QDebug::toString(seen)));
    }

    // Maximized from Qt's title bar on Wayland, the window runs on and keeps its layout at the top-left of the output.
    // Qt 6.8 on weston 14 may lose a click soon after mapping, so it is given until the window moves. Weston 10 takes
    // pointer input only after the pointer has entered its window, from the strip of screen it leaves free.
    void maximized()
    {
        QFETCH_GLOBAL(bool, wayland);
        if (!wayland)
            QSKIP("no window manager on the X server");
        QVERIFY(start(2));
        const QPoint was = m_origin;
        QVERIFY(waitFor([&] {
            xdotool({"mousemove", "1270", "1010"});
            xdotool({"mousemove", "--window", m_window, QString::number(was.x() + 587 * dpr),
                QString::number(was.y() - 15 * dpr), "click", "1"});
            return located(was, Patience / 6);
        }) && m_program.state() == QProcess::Running);
        // Weston draws the pointer into its output: below the controls it covers nothing judged.
        xdotool({"mousemove", "--window", m_window, QString::number(m_origin.x() + 600 * dpr),
            QString::number(m_origin.y() + 440 * dpr)});
        QVERIFY(m_origin.manhattanLength() < 40 * dpr && waitFor([this] {
            return laidOut();
        }));
    }
};

QTEST_MAIN(E2E)
#include "tst_e2e.moc"
