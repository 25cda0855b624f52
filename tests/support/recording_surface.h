#pragma once

#include "plot_surface.h"

#include <QList>
#include <QString>

#include <variant>
#include <vector>

// A plot surface that keeps every call in order instead of drawing, with
// fixed font metrics given in pixels of a design-sized area.
class RecordingSurface final : public PlotSurface
{
public:
    struct Segment {
        float x1, y1, x2, y2;
        QRgb colour;
        std::int16_t style;
    };
    struct Text {
        float x, y;
        QString text;
    };
    struct ScaleWrite {
        char which; // 'L', 'T', 'W', 'H'
        float value;
    };
    struct Cleared {
    };
    struct Refreshed {
    };
    using Call = std::variant<Segment, Text, ScaleWrite, Cleared, Refreshed>;

    static constexpr int DesignWidth = 609;
    static constexpr int DesignHeight = 337;
    static constexpr double CharPixels = 7;
    static constexpr double LinePixels = 15;

    explicit RecordingSurface(int width = DesignWidth, int height = DesignHeight);

    // Scale values without recording a write, for setting up a case.
    void setScale(double left, double top, double width, double height);
    void clearLog()
    {
        calls.clear();
        unrepresentableCount = 0;
    }

    std::vector<Segment> segments() const;
    std::vector<Segment> segmentsIn(QRgb colour) const;
    std::vector<Text> texts() const;
    QStringList printed() const;
    int count(QRgb colour) const { return int(segmentsIn(colour).size()); }

    void setScaleLeft(double v) override;
    void setScaleTop(double v) override;
    void setScaleWidth(double v) override;
    void setScaleHeight(double v) override;
    int Width() const override { return m_width; }
    void Cls() override { calls.emplace_back(Cleared {}); }
    void Refresh() override { calls.emplace_back(Refreshed {}); }

    std::vector<Call> calls;
    int unrepresentableCount = 0;

protected:
    void drawSegment(float x1, float y1, float x2, float y2, QRgb colour) override;
    void drawText(float x, float y, const QString &text) override;
    double textWidth(const QString &text) const override;
    double lineHeight() const override;
    double columnWidth() const override;
    void unrepresentable() override { ++unrepresentableCount; }

private:
    int m_width;
    int m_height;
    bool m_recording = true;
};
