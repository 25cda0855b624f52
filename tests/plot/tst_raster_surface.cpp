#include "raster_surface.h"
#include "test_registry.h"

#include <QPainter>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

constexpr QRgb Black = 0xff000000;
constexpr QRgb Red = 0xffff0000;
constexpr QRgb Yellow = 0xffffff00;
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

// The pixels not of the background colour.
QPolygon lit(const QImage &image, QRgb background = Black)
{
    QPolygon points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                points.append(QPoint(x, y));
    return points;
}

} // namespace

class TestRasterSurface : public QObject
{
    Q_OBJECT

private slots:
    void lineLightsExactlyItsPixelsUntilCls_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("top-left corner") << QLineF(-10, -0.9, -10, -0.9) << QRect(0, 0, 1, 1);
        QTest::newRow("far corner is the last pixel") << QLineF(30, 5.4, 30, 5.4) << QRect(608, 336, 1, 1);
        // 10/40 of 609 columns, 0.9/6.3 of 337 rows; 5.4/6.3 of 337 rows is 288.86.
        QTest::newRow("origin") << QLineF(0, 0, 0, 0) << QRect(152, 48, 1, 1);
        QTest::newRow("crest of height 4.5") << QLineF(0, 4.5, 0, 4.5) << QRect(152, 288, 1, 1);
        QTest::newRow("edge to edge") << QLineF(-10, 0, 30, 0) << QRect(0, 48, 609, 1);
        QTest::newRow("clipped to a far end") << QLineF(0, 0, 1e38, 0) << QRect(152, 48, 457, 1);
        QTest::newRow("clipped from a far end") << QLineF(-3e38, 0, 0, 0) << QRect(0, 48, 153, 1);
        QTest::newRow("wholly left of the view") << QLineF(-1e38, 0, -20, 0) << QRect();
        QTest::newRow("NaN start") << QLineF(qQNaN(), qQNaN(), 10, 1) << QRect();
        QTest::newRow("NaN end") << QLineF(0, 0, 10, qQNaN()) << QRect();
        QTest::newRow("end beyond single precision") << QLineF(0, 0, 1e39, 1) << QRect();
        QTest::newRow("start beyond single precision") << QLineF(-1e39, 1, 0, 1) << QRect();
        QTest::newRow("infinite end") << QLineF(0, 0, 0, qInf()) << QRect();
    }
    void lineLightsExactlyItsPixelsUntilCls()
    {
        QFETCH(QLineF, line);
        QFETCH(QRect, pixels);
        // A background of its own, which Cls must restore.
        const QRgb background = 0xff203040;
        QImage blank(609, 337, QImage::Format_RGB32);
        blank.fill(background);
        QImage expected = blank;
        QPainter(&expected).fillRect(pixels, QColor(Red));
        auto given = plotArea(1, background), chained = plotArea(1, background);
        given->Line(line.x1(), line.y1(), line.x2(), line.y2(), Red);
        chained->setCurrentX(line.x1());
        chained->setCurrentY(line.y1());
        chained->Line(line.x2(), line.y2(), Red);
        for (RasterSurface *s : {given.get(), chained.get()}) {
            s->setCurrentX(qQNaN());
            s->Print({"text"}, End::Semicolon);
            QCOMPARE(s->image(), expected);
            // Drawing goes on after anything unrepresentable.
            s->Line(-10, 5.4, 30, 5.4, Red);
            QCOMPARE(lit(s->image().copy(0, 336, 609, 1), background).size(), 609);
            s->setCurrentX(0);
            s->setCurrentY(0);
            s->Print({"text"});
            s->Cls();
            QCOMPARE(s->image(), blank);
        }
    }

    void chainedLinesJoin()
    {
        auto s = plotArea();
        s->setCurrentX(-10);
        s->setCurrentY(0);
        s->Line(0, 2, Red);
        s->Line(10, 0, Red);
        QCOMPARE(QPointF(s->CurrentX(), s->CurrentY()), QPointF(10, 0));
        // The shared end (0, 2) is column 152, row 2.9/6.3*337; every column from 0 to 304 touches its left neighbour.
        QCOMPARE(s->image().pixel(152, 155), Red);
        const QPolygon points = lit(s->image());
        QCOMPARE(std::pair(points.boundingRect().left(), points.boundingRect().right()), std::pair(0, 304));
        for (const QPoint &p : points)
            QVERIFY(p.x() == 0 || !lit(s->image().copy(p.x() - 1, p.y() - 1, 1, 3)).isEmpty());
    }

    void printedTextSitsRightOfPosition()
    {
        auto items = plotArea(), whole = plotArea();
        items->Print({"(", "1.000", ",", "-0.50", ")"}, End::Semicolon);
        whole->Print({"(1.000,-0.50)"}, End::Semicolon);
        QCOMPARE(items->CurrentY(), 0.0f);
        // The items make one unbroken text of thirteen characters, several pixels each.
        QCOMPARE(whole->CurrentX(), items->CurrentX());
        QCOMPARE(whole->image(), items->image());
        const double endColumn = (items->CurrentX() + 10) / 40 * 609;
        QVERIFY2(endColumn > 152 + 13 * 4 && endColumn < 152 + 13 * 12, qPrintable(QString::number(endColumn)));
        const QPolygon points = lit(items->image());
        const QRect box = points.boundingRect();
        QVERIFY(box.left() >= 152 && box.top() >= 48);
        QVERIFY(box.right() <= endColumn + 1 && box.right() > endColumn - 6);
        // Antialiasing blends yellow into black; no other hue may appear.
        int yellow = 0;
        for (const QPoint &p : points) {
            const QRgb c = items->image().pixel(p);
            QVERIFY(qBlue(c) == 0 && qRed(c) == qGreen(c));
            yellow += c == Yellow;
        }
        QVERIFY(yellow > 0);
    }

    void printWithLineBreak()
    {
        auto s = plotArea();
        for (int line = 1; line <= 2; ++line) {
            s->setCurrentX(0);
            s->Print({"Hg"});
            QCOMPARE(s->CurrentX(), -10.0f);
        }
        // Two lines of text, each a line height apart, the first at y = 0.
        const QRect both = lit(s->image()).boundingRect();
        const double lineRows = s->CurrentY() / 2 / 6.3 * 337;
        QVERIFY(both.top() >= 48 && both.top() < 48 + lineRows / 2);
        QVERIFY2(both.height() > lineRows && both.height() <= 2 * lineRows, qPrintable(QString::number(lineRows)));
    }

    void dottedLightsAboutHalf()
    {
        auto s = plotArea();
        s->setDrawStyle(PlotSurface::Dotted);
        s->Line(-10, 0, 30, 0, Red);
        const QPolygon points = lit(s->image());
        QVERIFY2(points.size() > 609 * 0.4 && points.size() < 609 * 0.6, qPrintable(QString::number(points.size())));
        QCOMPARE(points.boundingRect().height(), 1);
    }

    void highDpiDoublesPixels()
    {
        auto s = plotArea(2), single = plotArea(1);
        QCOMPARE(s->Width(), 609);
        QCOMPARE(s->image().size(), QSize(1218, 674));
        s->Line(0, -0.9, 0, 5.4, Red);
        s->Line(-10, 0, 30, 0, Red);
        // Column 152 and row 48 at ratio 1: one lit device pixel of each doubled-up pair, nothing left or above.
        const QPolygon points = lit(s->image());
        QCOMPARE(points.boundingRect(), QRect(0, 0, 1218, 674));
        for (const QPoint &p : points)
            QVERIFY(p.x() / 2 == 152 || p.y() / 2 == 48);
        QCOMPARE(s->image().pixel(2 * 152, 0), Red);
        QCOMPARE(s->image().pixel(0, 2 * 48), Red);
        // Text advances by the same user distance at any pixel density.
        s->setCurrentX(0);
        s->Print({"(4.50,-4.5)"}, End::Semicolon);
        single->Print({"(4.50,-4.5)"}, End::Semicolon);
        QVERIFY(std::abs(s->CurrentX() - single->CurrentX()) < 40.0f / 609);
    }
};

REGISTER_TEST(TestRasterSurface)
#include "tst_raster_surface.moc"
