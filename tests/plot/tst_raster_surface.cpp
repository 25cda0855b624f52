#include "raster_surface.h"
#include "test_registry.h"

#include <QTest>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

constexpr QRgb Black = 0xff000000;
constexpr QRgb Red = 0xffff0000;
constexpr QRgb Yellow = 0xffffff00;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
using End = PlotSurface::PrintEnd;

// The plot area fitted to k = 3: x from -10 to 30, y from -0.9 to 5.4.
std::unique_ptr<RasterSurface> plotArea(qreal dpr = 1, QRgb background = Black)
{
    auto s = std::make_unique<RasterSurface>(
        QSize(609, 337), dpr, background, Yellow, QFont(QStringLiteral("DejaVu Sans"), 9));
    s->setScaleLeft(-10);
    s->setScaleTop(-0.9);
    s->setScaleWidth(40);
    s->setScaleHeight(6.3);
    return s;
}

QList<QPoint> lit(const QImage &image, QRgb background = Black)
{
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                points.append(QPoint(x, y));
        }
    }
    return points;
}

QRect bounds(const QList<QPoint> &points)
{
    QRect r;
    for (const QPoint &p : points)
        r |= QRect(p, QSize(1, 1));
    return r;
}

} // namespace

class TestRasterSurface : public QObject
{
    Q_OBJECT

private slots:
    void pointLandsInPixel_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("top-left corner") << -10.0 << -0.9 << QPoint(0, 0);
        QTest::newRow("far corner is the last pixel") << 30.0 << 5.4 << QPoint(608, 336);
        // 10/40 of 609 columns, 0.9/6.3 of 337 rows.
        QTest::newRow("origin") << 0.0 << 0.0 << QPoint(152, 48);
        // 5.4/6.3 of 337 rows is 288.86.
        QTest::newRow("crest of height 4.5") << 0.0 << 4.5 << QPoint(152, 288);
    }
    void pointLandsInPixel()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QPoint, pixel);
        auto s = plotArea();
        s->Line(x, y, x, y, Red);
        QCOMPARE(lit(s->image()), QList<QPoint> {pixel});
        QCOMPARE(s->image().pixel(pixel), Red);
    }

    void horizontalLineIsClipped_data()
    {
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("edge to edge") << -10.0 << 30.0 << 0 << 608;
        QTest::newRow("to a far end") << 0.0 << 1e38 << 152 << 608;
        QTest::newRow("from a far end") << -3e38 << 0.0 << 0 << 152;
        QTest::newRow("wholly left of the view") << -1e38 << -20.0 << 0 << -1;
    }
    void horizontalLineIsClipped()
    {
        QFETCH(double, x1);
        QFETCH(double, x2);
        QFETCH(int, first);
        QFETCH(int, last);
        auto s = plotArea();
        s->Line(x1, 0, x2, 0, Red);
        const QList<QPoint> points = lit(s->image());
        QCOMPARE(points.size(), last - first + 1);
        if (!points.isEmpty())
            QCOMPARE(bounds(points), QRect(QPoint(first, 48), QPoint(last, 48)));
    }

    void chainedLinesJoin()
    {
        auto s = plotArea();
        s->setCurrentX(-10);
        s->setCurrentY(0);
        s->Line(0, 2, Red);
        s->Line(10, 0, Red);
        QCOMPARE(QPointF(s->CurrentX(), s->CurrentY()), QPointF(10, 0));
        // The shared end (0, 2) is column 152, row 2.9/6.3*337.
        QCOMPARE(s->image().pixel(152, 155), Red);
        // Every column from 0 to 304 is lit and touches its left neighbour.
        QList<QPoint> points = lit(s->image());
        QCOMPARE(bounds(points).left(), 0);
        QCOMPARE(bounds(points).right(), 304);
        for (const QPoint &p : points) {
            const auto touches = [&](QPoint q) {
                return q.x() == p.x() - 1 && std::abs(q.y() - p.y()) <= 1;
            };
            QVERIFY2(
                p.x() == 0 || std::any_of(points.begin(), points.end(), touches), qPrintable(QString::number(p.x())));
        }
    }

    void printedTextSitsRightOfPosition()
    {
        auto s = plotArea();
        s->setCurrentX(0);
        s->setCurrentY(0);
        s->Print({"(", "1.000", ",", "-0.50", ")"}, End::Semicolon);
        QCOMPARE(s->CurrentY(), 0.0f);
        const double endColumn = (s->CurrentX() + 10) / 40 * 609;
        // Thirteen characters of a 9-point face, several pixels each.
        QVERIFY2(endColumn > 152 + 13 * 4 && endColumn < 152 + 13 * 12, qPrintable(QString::number(endColumn)));

        const QList<QPoint> points = lit(s->image());
        const QRect box = bounds(points);
        QVERIFY(box.left() >= 152 && box.top() >= 48);
        QVERIFY(box.right() <= endColumn + 1 && box.right() > endColumn - 6);
        // Antialiasing blends yellow into black; no other hue may appear.
        for (const QPoint &p : points) {
            const QRgb c = s->image().pixel(p);
            QVERIFY(qBlue(c) == 0 && qRed(c) == qGreen(c));
        }
        QVERIFY(std::any_of(points.begin(), points.end(), [&](QPoint p) {
            return s->image().pixel(p) == Yellow;
        }));

        // The items make one unbroken text.
        auto whole = plotArea();
        whole->setCurrentX(0);
        whole->setCurrentY(0);
        whole->Print({"(1.000,-0.50)"}, End::Semicolon);
        QCOMPARE(whole->CurrentX(), s->CurrentX());
        QCOMPARE(whole->image(), s->image());
    }

    void printWithLineBreak()
    {
        auto s = plotArea();
        s->setCurrentY(0);
        for (int line = 1; line <= 2; ++line) {
            s->setCurrentX(0);
            s->Print({"Hg"});
            QCOMPARE(s->CurrentX(), -10.0f);
        }
        const QRect both = bounds(lit(s->image()));
        // Two lines of text, each a line height apart, the first at y = 0.
        const double lineRows = s->CurrentY() / 2 / 6.3 * 337;
        QCOMPARE(both.top() >= 48 && both.top() < 48 + lineRows / 2, true);
        QVERIFY2(both.height() > lineRows && both.height() <= 2 * lineRows, qPrintable(QString::number(lineRows)));
    }

    void clsFillsBackground()
    {
        const QRgb background = 0xff203040;
        auto s = plotArea(1, background);
        s->Line(-10, -0.9, 30, 5.4, Red);
        s->Print({"text"});
        QVERIFY(!lit(s->image(), background).isEmpty());
        s->Cls();
        QVERIFY(lit(s->image(), background).isEmpty());
    }

    void unrepresentableDrawsNothing_data()
    {
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<double>("y2");
        QTest::newRow("NaN start") << NaN << NaN << 10.0 << 1.0;
        QTest::newRow("NaN end") << 0.0 << 0.0 << 10.0 << NaN;
        QTest::newRow("end beyond single precision") << 0.0 << 0.0 << 1e39 << 1.0;
        QTest::newRow("start beyond single precision") << -1e39 << 1.0 << 0.0 << 1.0;
        QTest::newRow("infinite end") << 0.0 << 0.0 << 0.0 << std::numeric_limits<double>::infinity();
    }
    void unrepresentableDrawsNothing()
    {
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, x2);
        QFETCH(double, y2);
        auto s = plotArea();
        s->Line(x1, y1, x2, y2, Red);
        s->setCurrentX(x1);
        s->setCurrentY(y1);
        s->Line(x2, y2, Red);
        s->setCurrentX(NaN);
        s->Print({"text"}, End::Semicolon);
        QVERIFY(lit(s->image()).isEmpty());
        // Drawing goes on afterwards.
        s->Line(-10, 0, 30, 0, Red);
        QCOMPARE(lit(s->image()).size(), 609);
    }

    void dottedLightsAboutHalf()
    {
        auto s = plotArea();
        s->setDrawStyle(PlotSurface::Dotted);
        s->Line(-10, 0, 30, 0, Red);
        const QList<QPoint> points = lit(s->image());
        QVERIFY2(points.size() > 609 * 0.4 && points.size() < 609 * 0.6, qPrintable(QString::number(points.size())));
        QCOMPARE(bounds(points).height(), 1);
    }

    void highDpiDoublesPixels()
    {
        auto s = plotArea(2);
        QCOMPARE(s->Width(), 609);
        QCOMPARE(s->image().size(), QSize(1218, 674));
        s->Line(0, -0.9, 0, 5.4, Red);
        s->Line(-10, 0, 30, 0, Red);
        // Column 152 and row 48 at ratio 1; a lit device pixel of each
        // doubled-up pair, and nothing left of or above it.
        const QList<QPoint> points = lit(s->image());
        QCOMPARE(bounds(points), QRect(0, 0, 1218, 674));
        const auto inColumn = [](QPoint p) {
            return p.x() == 2 * 152 || p.x() == 2 * 152 + 1;
        };
        const auto inRow = [](QPoint p) {
            return p.y() == 2 * 48 || p.y() == 2 * 48 + 1;
        };
        QVERIFY(std::all_of(points.begin(), points.end(), [&](QPoint p) {
            return inColumn(p) || inRow(p);
        }));
        QCOMPARE(s->image().pixel(2 * 152, 0), Red);
        QCOMPARE(s->image().pixel(0, 2 * 48), Red);

        // Text advances by the same user distance at any pixel density.
        auto single = plotArea(1);
        for (RasterSurface *surface : {s.get(), single.get()}) {
            surface->setCurrentX(0);
            surface->Print({"(4.50,-4.5)"}, End::Semicolon);
        }
        QVERIFY(std::abs(s->CurrentX() - single->CurrentX()) < 40.0f / 609);
    }
};

REGISTER_TEST(TestRasterSurface)
#include "tst_raster_surface.moc"
