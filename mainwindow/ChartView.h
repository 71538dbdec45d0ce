// SPDX-License-Identifier: GPL-3.0-or-later
// The one chart view of the main window's five charts. Qt Charts supplies the
// frame, the axes and their labels; the series are held here as plain values
// and painted by the view itself: the data series once into a cached image
// (redrawn only when they or the axes change), the lines and markers on top
// at every paint. Hit tests (a line within a few pixels, the nearest point)
// are done here on the values, and the chart reports them as signals.
#pragma once

#include <QChartView>
#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <vector>

class QValueAxis;

namespace qurvex {

// 24-bit colour in blue-green-red byte order (0x00BBGGRR) as a Qt colour.
constexpr QRgb bgrToRgb(unsigned bgr) {
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

enum class TSeriesKind { Points, Line, Bars };
enum class TMarker { Circle, Diamond, TriangleUp, TriangleDown };

struct TChartSeries {
    QString name;
    TSeriesKind kind = TSeriesKind::Points;
    TMarker marker = TMarker::Circle;
    int size = 5;   // marker size in pixels
    int width = 1;  // line width in pixels
    QRgb colour = qRgb(0, 0, 0);
    std::vector<QPointF> points;
    std::vector<QRgb> colours;  // one per point; empty: every point in `colour`
    // Line series: indices where a new polyline starts (0 implied); the line
    // is not drawn from the point before such an index to it.
    std::vector<int> breaks;
    bool visible = true;
    // Overlay series (limit, threshold and baseline lines, markers) are drawn
    // at every paint; the others are painted once into the cached image.
    bool overlay = false;
    // Reported by hit tests: a line series as a line, a point series by point.
    bool clickable = false;
};

class TChartView : public QChartView {
    Q_OBJECT
public:
    // A chart with white background, no legend, X and Y value axes.
    TChartView(const QString& xTitle, const QString& yTitle, double ymin, double ymax,
               QWidget* parent = nullptr);

    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }
    // Sets the Y axis; increment > 0 fixes the tick interval, else ticks are
    // left to the axis. A range with max <= min is widened around min.
    void SetYAxis(double min, double max, double increment = 0.0);
    void SetXRange(double min, double max);
    // A vertical axis of counts 0..max: whole-number ticks only.
    void SetCountAxis(double max);

    // Adds a series (kept in this order: later ones are painted on top);
    // returns its position.
    int AddSeries(TChartSeries series);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    int IndexOf(const QString& name) const;
    // The series by name (nullptr when there is none). After changing one,
    // call Changed(name) so the view repaints what is needed.
    TChartSeries* Series(const QString& name);
    const TChartSeries* Series(const QString& name) const;
    const TChartSeries& SeriesAt(int index) const {
        return series_[static_cast<std::size_t>(index)];
    }
    TChartSeries& SeriesAt(int index) { return series_[static_cast<std::size_t>(index)]; }
    void Changed(const QString& name);
    void Changed(int index);

    // Conversions between chart values and viewport pixels.
    QPointF ValueAt(QPointF viewportPos) const;
    QPointF PixelOf(QPointF value) const;

    // The line series (clickable, visible) within `tolerance` pixels of the
    // viewport position, topmost first; -1 when none.
    int LineAt(QPointF viewportPos, double tolerance = 4.0) const;
    // The clickable point series and point nearest to the position, within
    // `tolerance` pixels; false when none.
    bool PointAt(QPointF viewportPos, int& series, int& point, double tolerance = 6.0) const;

    // How often the cached data image was painted (tests, benchmarks).
    int DataPaints() const { return dataPaints_; }
    // Paints the cached data image now if it is out of date (benchmarks).
    void RenderData();

signals:
    // Left button on a line (series index, chart value at the mouse).
    void lineClicked(int series, QPointF value);
    // Left button on a point of a clickable point series (and the chart value
    // at the mouse).
    void pointClicked(int series, int point, QPointF value);
    // Left button elsewhere in the chart (chart value at the mouse).
    void chartClicked(QPointF value);
    // Right button anywhere in the chart.
    void rightClicked();
    // The mouse moved over the chart (chart value at the mouse).
    void mouseMovedTo(QPointF value);

protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintSeries(QPainter& p, const TChartSeries& s, const QRectF& area) const;
    QRectF PlotArea() const;  // in viewport pixels
    void Invalidate();

    QValueAxis* axisX_;
    QValueAxis* axisY_;
    std::vector<TChartSeries> series_;
    QImage data_;
    bool dataValid_ = false;
    QRectF dataArea_;
    int dataPaints_ = 0;
};

}  // namespace qurvex
