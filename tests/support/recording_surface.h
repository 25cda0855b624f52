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

    std::vector<Segment> segmentsIn(QRgb colour) const;
    std::vector<Text> texts() const { return all<Text>(); }
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
    void drawSegment(float x1, float y1, float x2, float y2, QRgb c) override
    {
        calls.emplace_back(Segment {x1, y1, x2, y2, c, DrawStyle()});
    }
    void drawText(float x, float y, const QString &text) override { calls.emplace_back(Text {x, y, text}); }
    double textWidth(const QString &text) const override { return text.size() * CharPixels * ScaleWidth() / m_width; }
    double lineHeight() const override { return LinePixels * ScaleHeight() / m_height; }
    double columnWidth() const override { return CharPixels * ScaleWidth() / m_width; }
    void unrepresentable() override { ++unrepresentableCount; }

private:
    template<typename T> std::vector<T> all() const
    {
        std::vector<T> out;
        for (const Call &c : calls)
            if (const auto *t = std::get_if<T>(&c))
                out.push_back(*t);
        return out;
    }

    int m_width;
    int m_height;
};
