// The real program on a private X server, and natively on Wayland in a weston nested there, driven by xdotool and
// judged by the logical pixels of its plot area.
#include "pixels.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class E2E : public QObject
{
    Q_OBJECT

    static constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255), Black = qRgb(0, 0, 0);
    static inline int dpr = 1; // QT_SCALE_FACTOR
    QProcess m_program;
    QProcess m_weston;
    QTemporaryDir m_dir;
    QString m_window; // the X window that shows the program: its own, or weston's
    QPoint m_origin; // of the window's client area in m_window

    static int count(const QImage &p, QRgb c, QRect r = {}) { return int(pixels(p, c, Pixels::In, r).size()); }
    // After apply with the opening inputs x = 0 is column 203 and height u lies on row (u + 0.9) / 6.3 * 337.
    static int row(double u) { return int((u + 0.9) / 6.3 * 337); }
    static bool at(const QImage &p, QRgb c, double u)
    {
        return (crestOf(p, c) / dpr - QPointF(203, row(u))).manhattanLength() < 3;
    }
    // Crest labels: white text beside the crest, anti-aliased, yet some pixels wholly white.
    static int label(const QImage &p, double u) { return count(p, qRgb(255, 255, 255), {205, row(u) + 2, 80, 16}); }
    static bool started(const QImage &p) { return count(p, Red) > 20; }
    // Apply: a flat green line on height 0 for k = 0 under the blue tails, labels beside the other crests on x = 0.
    static bool flat(const QImage &p)
    {
        const int green = count(p, Green, {0, row(0), 609, 1});
        return green > 4 && green == count(p, Green) && green + count(p, Blue, {0, row(0), 609, 1}) == 609
            && label(p, 0.5) > 3 && label(p, 4.5) > 3 && !label(p, 2);
    }
    // Black text on the light panel, the first line empty and no line reaching the right edge; nothing of the plot.
    static bool help(const QImage &p)
    {
        return qGray(p.pixel(600, 330)) > 200 && count(p, Black) > 1000 && !count(p, Black, {0, 0, 609, 16})
            && !count(p, Black, {600, 0, 9, 337}) && !count(p, Red);
    }
    static bool following(const QImage &p) { return at(p, Blue, 4.5) && crestOf(p, Red).x() < 190; }

    static QString xdotool(const QStringList &args)
    {
        QProcess p;
        p.start("xdotool", args);
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput()).section('\n', 0, 0);
    }
    bool m_wayland = false;
    // The window's client area, found by its plot area where most rows and columns are black: on Wayland it lies
    // anywhere on weston's output.
    QPoint origin() const
    {
        const QImage all = QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong()).toImage();
        QPoint corner(-1, -1);
        for (int y = 0; y < all.height() && corner.y() < 0; ++y)
            corner.ry() = count(all, Black, {0, y, all.width(), 1}) > 300 * dpr ? y : -1;
        for (int x = 0; x < all.width() && corner.x() < 0; ++x)
            corner.rx() = count(all, Black, {x, 0, 1, all.height()}) > 150 * dpr ? x : -1;
        return corner - QPoint(8, 8) * dpr;
    }
    QImage grab() const
    {
        const QPixmap window = QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong());
        return window.toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(m_origin, QSize(624, 419) * dpr));
    }
    QImage plot() const { return grab().copy(8 * dpr, 8 * dpr, 609 * dpr, 337 * dpr); }
    QImage band() const { return grab().copy(0, 346 * dpr, 624 * dpr, 73 * dpr); }
    // Polls instead of sleeping a fixed time: a loaded machine only makes it slower.
    template<typename Ok> bool shows(Ok ok) const
    {
        QElapsedTimer clock;
        for (clock.start(); !ok(plot()); QTest::qWait(50))
            if (clock.elapsed() > 20000)
                return false;
        return true;
    }
    // A copy under another name, given toolkit options that must change nothing; on Wayland inside a weston of its
    // own whose output has the pixel ratio.
    bool start(int scale, const QStringList &args = {})
    {
        cleanup();
        dpr = scale;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString renamed = m_dir.filePath("solitons-renamed");
        QFile::copy(qEnvironmentVariable("SOLITONS"), renamed);
        if (m_wayland) {
            env.insert("XDG_RUNTIME_DIR", m_dir.path());
            m_weston.setProcessEnvironment(env);
            m_weston.start("weston",
                {"--backend=x11-backend.so", "--use-pixman", "--socket=e2e", "--width=" + QString::number(1280 / dpr),
                    "--height=" + QString::number(1024 / dpr), "--scale=" + QString::number(dpr), "-c",
                    QFINDTESTDATA("weston.ini")});
            m_window = xdotool({"search", "--sync", "--classname", "^weston"});
            env.insert("WAYLAND_DISPLAY", "e2e");
            env.insert("QT_QPA_PLATFORM", "wayland");
            env.insert("WAYLAND_DEBUG", "client");
        } else {
            env.insert("QT_SCALE_FACTOR", QString::number(dpr));
        }
        m_program.setProcessEnvironment(env);
        m_program.start(renamed, args);
        if (!m_wayland)
            m_window = xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(m_program.processId()),
                "--name", "^Tarvelon 課題 8$"});
        return QTest::qWaitFor(
                   [this] {
                       return (m_origin = origin()).x() >= 0;
                   },
                   20000)
            && shows(started);
    }
    // A control's name clicks it, "name=text" types into it; "stop" clicks pause and waits for a still picture.
    bool act(const QStringList &steps) const
    {
        static const QHash<QString, QPoint> place {{"k1", {36, 377}}, {"k2", {84, 377}}, {"k3", {132, 377}},
            {"pause", {168, 400}}, {"stop", {168, 400}}, {"follow 3", {120, 360}}, {"apply", {564, 364}},
            {"help", {564, 396}}, {"maximize", {587, -15}}}; // the last on Qt's Wayland title bar
        for (const QString &step : steps) {
            const QPoint p = place.value(step.section('=', 0, 0)) * dpr + m_origin;
            xdotool({"mousemove", "--window", m_window, QString::number(p.x()), QString::number(p.y()), "click", "1"});
            if (step.contains('='))
                xdotool({"key", "--clearmodifiers", "ctrl+a", "type", "--delay", "30", step.section('=', 1)});
            if (step == "stop" && !shows([this](const QImage &was) {
                    return QTest::qWait(150), plot() == was;
                }))
                return false;
        }
        return true;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::newRow("x11") << false;
        QTest::newRow("wayland") << true;
    }
    void init()
    {
        QFETCH_GLOBAL(bool, wayland);
        m_wayland = wayland;
    }
    void cleanup()
    {
        for (QProcess *p : {&m_program, &m_weston})
            p->kill(), p->waitForFinished(5000);
    }

    void oneSessionOfUse()
    {
        QVERIFY(start(1));
        const QImage band = this->band();
        // Black fills the plot area at (8, 8) of the window, and not one pixel beyond.
        auto blackOnlyInPlot = [this] {
            const QImage window = grab();
            return window.size() == QSize(624, 419)
                && count(window, Black, {0, 0, 624, 346}) == count(window, Black, {8, 8, 609, 337});
        };
        QVERIFY(blackOnlyInPlot());
        QVERIFY(act({"stop", "k2=0", "apply"}) && shows(flat));
        QVERIFY(act({"help"}) && shows(help));
        // Clearing pause runs the plot again; following graph 3 holds its crest at one third, graph 1 falls behind.
        QVERIFY(act({"pause", "follow 3"}) && shows(following));
        if (m_wayland) {
            QVERIFY(QString::fromUtf8(m_program.readAllStandardError()).contains(R"(set_app_id("solitons"))"));
            // Maximized, the window still runs and keeps its layout at the top-left of the output.
            const QPoint normal = m_origin;
            QVERIFY(act({"maximize"}));
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return (m_origin = origin()) != normal;
                },
                20000));
            QVERIFY(m_origin.manhattanLength() < 40 && m_program.state() == QProcess::Running && blackOnlyInPlot()
                && shows(following));
        } else {
            QProcess xprop;
            xprop.start("xprop", {"-id", m_window, "_NET_WM_ICON", "WM_CLASS"});
            const QString props = xprop.waitForFinished() ? QString::fromUtf8(xprop.readAllStandardOutput()) : "";
            QVERIFY(props.contains("Icon (16 x 16)") && props.contains(R"("solitons")"));
        }
        // The toolkit's options change nothing.
        QVERIFY(start(1, {"-reverse", "-style", "windows", "-platform", "offscreen"}));
        QCOMPARE(this->band(), band);
    }

    // The window twice as large, the crest where it belongs at pixel ratio 2.
    void pixelRatio2()
    {
        QVERIFY(start(2) && act({"stop", "apply"}) && shows([](const QImage &p) {
            return at(p, Blue, 4.5);
        }));
        QCOMPARE(grab().size(), QSize(1248, 838));
    }
};

QTEST_MAIN(E2E)
#include "tst_e2e.moc"
