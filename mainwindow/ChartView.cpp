// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ChartView.h"

#include <QChart>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace qurvex {

namespace {

// A marker drawn once per shape, size and colour and then copied to every
// point: copying a small image is much cheaper than filling a path each time.
const QImage& sprite(TMarker marker, int size, QRgb colour) {
    static QHash<quint64, QImage> cache;
    const quint64 key =
        (quint64(static_cast<int>(marker)) << 56) | (quint64(size & 0xFF) << 48) | colour;
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    const int side = size + 2;
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(colour));
    // An outline one shade darker keeps light markers visible on the curves.
    p.setPen(QPen(QColor(colour).darker(130), 1.0));
    const double c = side / 2.0;
    const double r = size / 2.0;
    QPolygonF shape;
    switch (marker) {
        case TMarker::Circle:
            p.drawEllipse(QPointF(c, c), r, r);
            break;
        case TMarker::Diamond:
            shape << QPointF(c, c - r) << QPointF(c + r, c) << QPointF(c, c + r)
                  << QPointF(c - r, c);
            p.drawPolygon(shape);
            break;
        case TMarker::TriangleUp:
            shape << QPointF(c, c - r) << QPointF(c + r, c + r) << QPointF(c - r, c + r);
            p.drawPolygon(shape);
            break;
        case TMarker::TriangleDown:
            shape << QPointF(c - r, c - r) << QPointF(c + r, c - r) << QPointF(c, c + r);
            p.drawPolygon(shape);
            break;
    }
    p.end();
    return *cache.insert(key, img);
}

// Distance in pixels from q to the segment a-b.
double segmentDistance(QPointF q, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double len2 = d.x() * d.x() + d.y() * d.y();
    double t = len2 > 0 ? ((q.x() - a.x()) * d.x() + (q.y() - a.y()) * d.y()) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF e = q - (a + t * d);
    return std::hypot(e.x(), e.y());
}

}  // namespace

TChartView::TChartView(const QString& xTitle, const QString& yTitle, double ymin, double ymax,
                       QWidget* parent)
    : QChartView(new QChart, parent), axisX_(new QValueAxis), axisY_(new QValueAxis) {
    QChart* c = chart();
    c->setBackgroundBrush(Qt::white);
    c->legend()->hide();
    c->setMargins(QMargins(2, 2, 2, 2));
    axisX_->setTitleText(xTitle);
    axisX_->setRange(0, 40);
    axisY_->setTitleText(yTitle);
    axisY_->setRange(ymin, ymax);
    c->addAxis(axisX_, Qt::AlignBottom);
    c->addAxis(axisY_, Qt::AlignLeft);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setRubberBand(QChartView::NoRubberBand);
    setMinimumSize(200, 140);
    connect(axisX_, &QValueAxis::rangeChanged, this, [this] { Invalidate(); });
    connect(axisY_, &QValueAxis::rangeChanged, this, [this] { Invalidate(); });
    connect(c, &QChart::plotAreaChanged, this, [this] { Invalidate(); });
}

namespace {

// At most this many intervals on an axis, whatever range and step it is given.
constexpr double kMaxIntervals = 20.0;

// 1, 2 or 5 times a power of ten: the first at or above raw (raw > 0, finite).
double niceStep(double raw) {
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * decade >= raw * (1 - 1e-9)) return m * decade;
    return 10.0 * decade;
}

// A range the axis can lay out: finite ends well inside the doubles, and max
// above min by more than the rounding of either end (else adding a tick step
// to a value would not move it). NaN ends give 0..1.
void saneRange(double& min, double& max) {
    constexpr double kFar = 1e300;
    min = std::isnan(min) ? 0.0 : std::clamp(min, -kFar, kFar);
    max = std::isnan(max) ? min + 1.0 : std::clamp(max, -kFar, kFar);
    const double least = std::max(std::fabs(min), std::fabs(max)) * 1e-9;
    if (!(max - min > least)) max = min + std::max(min != 0.0 ? std::fabs(min) * 0.1 : 1.0, least);
}

}  // namespace

// Every change of an axis is laid out by Qt at once, so the order matters:
// the axis goes to a handful of fixed ticks first, then takes the new range,
// and only then its own interval. No step in between ever has a range laid
// out with a step that belongs to another range (a log range's step of 0.5
// over a linear range of thousands would make ten thousand tick labels).
void TChartView::SetYAxis(double min, double max, double increment) {
    saneRange(min, max);
    const double range = max - min;
    axisY_->setTickType(QValueAxis::TicksFixed);
    axisY_->setTickCount(5);
    axisY_->setRange(min, max);
    if (!std::isfinite(increment) || increment <= 0.0) increment = niceStep(range / 6.0);
    if (range / increment > kMaxIntervals) increment = niceStep(range / kMaxIntervals);
    const double steps = range / increment;
    if (std::fabs(steps - std::round(steps)) < 1e-9 && steps >= 1.0) {
        // Whole steps from end to end: fixed ticks put both ends on a label
        // (summing the increment may step just past the top and lose it).
        axisY_->setTickInterval(increment);
        axisY_->setTickCount(static_cast<int>(std::round(steps)) + 1);
    } else {
        axisY_->setTickInterval(increment);
        axisY_->setTickAnchor(std::ceil(min / increment) * increment);
        axisY_->setTickType(QValueAxis::TicksDynamic);
    }
}

// Cycles and sample numbers: whole-number ticks at 1, 2 or 5 times a power
// of ten, about eight over the range.
void TChartView::SetXRange(double min, double max) {
    saneRange(min, max);
    const double step = std::max(niceStep((max - min) / 8.0), 1.0);
    axisX_->setTickType(QValueAxis::TicksFixed);
    axisX_->setTickCount(5);
    axisX_->setRange(min, max);
    axisX_->setTickAnchor(0.0);
    axisX_->setTickInterval(step);
    axisX_->setTickType(QValueAxis::TicksDynamic);
    axisX_->setLabelFormat(QStringLiteral("%d"));
}

void TChartView::SetCountAxis(double max) {
    if (!(max > 0.0) || !std::isfinite(max)) max = 1.0;
    const double step = std::max(niceStep(max / 6.0), 1.0);
    axisY_->setTickType(QValueAxis::TicksFixed);
    axisY_->setTickCount(5);
    axisY_->setRange(0.0, std::ceil(max / step) * step);
    axisY_->setTickAnchor(0.0);
    axisY_->setTickInterval(step);
    axisY_->setTickType(QValueAxis::TicksDynamic);
    axisY_->setLabelFormat(QStringLiteral("%d"));
}

int TChartView::AddSeries(TChartSeries series) {
    series_.push_back(std::move(series));
    Invalidate();
    return static_cast<int>(series_.size()) - 1;
}

int TChartView::IndexOf(const QString& name) const {
    for (std::size_t i = 0; i < series_.size(); ++i)
        if (series_[i].name == name) return static_cast<int>(i);
    return -1;
}

TChartSeries* TChartView::Series(const QString& name) {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : &series_[static_cast<std::size_t>(i)];
}

const TChartSeries* TChartView::Series(const QString& name) const {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : &series_[static_cast<std::size_t>(i)];
}

void TChartView::Changed(const QString& name) { Changed(IndexOf(name)); }

void TChartView::Changed(int index) {
    if (index < 0 || index >= SeriesCount()) return;
    if (!series_[static_cast<std::size_t>(index)].overlay) dataValid_ = false;
    viewport()->update();
}

void TChartView::Invalidate() {
    dataValid_ = false;
    viewport()->update();
}

QRectF TChartView::PlotArea() const {
    const QRectF scene = chart()->mapRectToScene(chart()->plotArea());
    return viewportTransform().mapRect(scene);
}

QPointF TChartView::ValueAt(QPointF pos) const {
    const QRectF a = PlotArea();
    if (a.width() <= 0 || a.height() <= 0) return {};
    const double x =
        axisX_->min() + (pos.x() - a.left()) / a.width() * (axisX_->max() - axisX_->min());
    const double y =
        axisY_->min() + (a.bottom() - pos.y()) / a.height() * (axisY_->max() - axisY_->min());
    return {x, y};
}

QPointF TChartView::PixelOf(QPointF v) const {
    const QRectF a = PlotArea();
    const double dx = axisX_->max() - axisX_->min();
    const double dy = axisY_->max() - axisY_->min();
    if (dx <= 0 || dy <= 0) return a.topLeft();
    return {a.left() + (v.x() - axisX_->min()) / dx * a.width(),
            a.bottom() - (v.y() - axisY_->min()) / dy * a.height()};
}

// Draws one series in viewport pixels; values are mapped with the axis ranges.
void TChartView::PaintSeries(QPainter& p, const TChartSeries& s, const QRectF& area) const {
    if (!s.visible || s.points.empty()) return;
    const double x0 = axisX_->min(), y0 = axisY_->min();
    const double dx = axisX_->max() - x0, dy = axisY_->max() - y0;
    if (dx <= 0 || dy <= 0) return;
    const double sx = area.width() / dx, sy = area.height() / dy;
    auto px = [&](QPointF v) {
        // Far-off values are pinned so that the painter's integer maths stays sane.
        return QPointF(std::clamp(area.left() + (v.x() - x0) * sx, -1e6, 1e6),
                       std::clamp(area.bottom() - (v.y() - y0) * sy, -1e6, 1e6));
    };
    auto colourOf = [&](std::size_t i) { return i < s.colours.size() ? s.colours[i] : s.colour; };
    switch (s.kind) {
        case TSeriesKind::Line: {
            p.setPen(QPen(QColor(s.colour), s.width, Qt::SolidLine, Qt::FlatCap));
            p.setRenderHint(QPainter::Antialiasing, s.width > 1);
            QPolygonF line;
            line.reserve(static_cast<int>(s.points.size()));
            std::size_t nextBreak = 0;
            for (std::size_t i = 0; i < s.points.size(); ++i) {
                while (nextBreak < s.breaks.size() && s.breaks[nextBreak] < static_cast<int>(i))
                    ++nextBreak;
                if (nextBreak < s.breaks.size() && s.breaks[nextBreak] == static_cast<int>(i)) {
                    if (line.size() > 1) p.drawPolyline(line);
                    line.clear();
                }
                line << px(s.points[i]);
            }
            if (line.size() > 1) p.drawPolyline(line);
            break;
        }
        case TSeriesKind::Points: {
            for (std::size_t i = 0; i < s.points.size(); ++i) {
                const QImage& img = sprite(s.marker, s.size, colourOf(i));
                const QPointF c = px(s.points[i]);
                p.drawImage(QPointF(c.x() - img.width() / 2.0, c.y() - img.height() / 2.0), img);
            }
            break;
        }
        case TSeriesKind::Bars: {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            const double w = std::max(1.0, 0.6 * sx);
            const double base = std::clamp(0.0, y0, y0 + dy);
            for (std::size_t i = 0; i < s.points.size(); ++i) {
                const QPointF top = px(s.points[i]);
                const QPointF bottom = px(QPointF(s.points[i].x(), base));
                p.setBrush(QColor(colourOf(i)));
                p.drawRect(
                    QRectF(QPointF(top.x() - w / 2, top.y()), QPointF(top.x() + w / 2, bottom.y()))
                        .normalized());
            }
            break;
        }
    }
}

void TChartView::RenderData() {
    const QRectF area = PlotArea();
    const QSize size = viewport()->size();
    if (dataValid_ && area == dataArea_ && data_.size() == size) return;
    if (data_.size() != size)
        data_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    data_.fill(Qt::transparent);
    QPainter p(&data_);
    p.setClipRect(area.adjusted(-3, -3, 3, 3));
    for (const TChartSeries& s : series_)
        if (!s.overlay) PaintSeries(p, s, area);
    p.end();
    dataArea_ = area;
    dataValid_ = true;
    ++dataPaints_;
}

void TChartView::drawForeground(QPainter* painter, const QRectF& rect) {
    QChartView::drawForeground(painter, rect);
    RenderData();
    painter->save();
    painter->resetTransform();
    painter->drawImage(QPointF(0, 0), data_);
    const QRectF area = PlotArea();
    painter->setClipRect(area.adjusted(-6, -6, 6, 6));
    for (const TChartSeries& s : series_)
        if (s.overlay) PaintSeries(*painter, s, area);
    painter->restore();
}

int TChartView::LineAt(QPointF pos, double tolerance) const {
    for (int k = SeriesCount() - 1; k >= 0; --k) {
        const TChartSeries& s = series_[static_cast<std::size_t>(k)];
        if (s.kind != TSeriesKind::Line || !s.clickable || !s.visible) continue;
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            if (std::find(s.breaks.begin(), s.breaks.end(), static_cast<int>(i)) != s.breaks.end())
                continue;
            if (segmentDistance(pos, PixelOf(s.points[i - 1]), PixelOf(s.points[i])) <= tolerance)
                return k;
        }
    }
    return -1;
}

bool TChartView::PointAt(QPointF pos, int& series, int& point, double tolerance) const {
    double best = tolerance;
    bool found = false;
    for (int k = 0; k < SeriesCount(); ++k) {
        const TChartSeries& s = series_[static_cast<std::size_t>(k)];
        if (s.kind == TSeriesKind::Line || !s.clickable || !s.visible) continue;
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            QPointF c = PixelOf(s.points[i]);
            double d = std::hypot(c.x() - pos.x(), c.y() - pos.y());
            if (s.kind == TSeriesKind::Bars) {
                // A bar is hit anywhere over its column.
                const QPointF base =
                    PixelOf(QPointF(s.points[i].x(), std::max(0.0, axisY_->min())));
                const double lo = std::min(c.y(), base.y()), hi = std::max(c.y(), base.y());
                d = std::fabs(c.x() - pos.x()) + (pos.y() < lo   ? lo - pos.y()
                                                  : pos.y() > hi ? pos.y() - hi
                                                                 : 0.0);
            }
            if (d <= best) {
                best = d;
                series = k;
                point = static_cast<int>(i);
                found = true;
            }
        }
    }
    return found;
}

void TChartView::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    event->accept();
    if (event->button() == Qt::RightButton) {
        emit rightClicked();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const int line = LineAt(pos);
    if (line >= 0) {
        emit lineClicked(line, ValueAt(pos));
        return;
    }
    int series = -1, point = -1;
    if (PointAt(pos, series, point)) {
        emit pointClicked(series, point, ValueAt(pos));
        return;
    }
    emit chartClicked(ValueAt(pos));
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMovedTo(ValueAt(event->position()));
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    Invalidate();
}

}  // namespace qurvex
