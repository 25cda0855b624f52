// floor: the least a Qt Widgets program can do to show a new frame of the plot
// area's size 25 times a second. It fills an image, asks for a repaint and
// copies the image when painted: no curves, no grid, no text. make perf runs it
// beside solitons on the same X server; what solitons spends beyond it is the
// cost of its own drawing and window.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

// The plot area of solitons, in logical pixels.
constexpr QSize PlotSize(609, 337);
constexpr int TimerIntervalMs = 40;

class FloorWidget : public QWidget
{
public:
    FloorWidget()
        : m_image((QSizeF(PlotSize) * devicePixelRatioF()).toSize(), QImage::Format_RGB32)
    {
        setWindowTitle(QStringLiteral("solitons floor"));
        setFixedSize(PlotSize);
        setAttribute(Qt::WA_OpaquePaintEvent);
        m_image.setDevicePixelRatio(devicePixelRatioF());
        // The same kind of timer as the program's, so both wake as often.
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(TimerIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_image.fill(qRgb(0, 0, 0));
            update();
        });
        m_timer.start();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_image);
    }

private:
    QImage m_image;
    QTimer m_timer;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FloorWidget floor;
    floor.show();
    return app.exec();
}
