#include "driver/drag_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace carinex {

namespace {

// ---------------------------------------------------------------------------
// What is drawn

// A plotted quantity: a column of the table's row, or the side force of the
// balance where the table of the mode has no side-force column.
struct Quantity {
    int column;              // column of the row values; -1 for the balance's side force
    std::string_view label;  // legend text
    std::string_view colour;
    bool appendagesOnly;     // not drawn for bare-hull points, where it is zero by definition
};

constexpr std::string_view kBlue = "#0072b2", kSky = "#56b4e9", kGreen = "#009e73", kPurple = "#cc79a7",
                           kRed = "#d55e00", kOrange = "#e69f00", kBlack = "#000000";

struct ModeLayout {
    std::string_view yTitle, xTitle;
    std::vector<Quantity> resistance;  // against the Froude number (column 0)
    std::vector<Quantity> side;        // against the leeway
    int leewayColumn;
};

ModeLayout layoutOf(int MODE) {
    const std::string_view fn = "Froude number FN (-)";
    switch (MODE) {
        case 1:
            return {"resistance (N)", fn,
                    {{5, "Rtotal", kBlack, false}, {1, "Rvisc-cb", kBlue, false}, {4, "Rresidu", kRed, false},
                     {2, "Rkeel", kGreen, true}, {3, "Rrudder", kPurple, true}, {6, "Rvisc-trip", kOrange, false}},
                    {{7, "Fside (side-force panel)", kBlack, false}}, 9};
        case 2:
        case 3:
            return {MODE == 2 ? "drag area (m\u00b2)" : "resistance coefficient (-)", fn,
                    {{4, MODE == 2 ? "DA total" : "C total", kBlack, false},
                     {1, MODE == 2 ? "DA b.l.-cb" : "C b.l.-cb", kBlue, false},
                     {2, MODE == 2 ? "DA viscous" : "C viscous", kSky, false},
                     {3, MODE == 2 ? "DA residu" : "C residu", kRed, false},
                     {5, MODE == 2 ? "DA trip" : "C trip", kOrange, false}},
                    {{-1, "side force (side-force panel)", kBlack, false}}, 7};
        default:
            return {"resistance (N)", "Froude number FN on the upright waterline (-)",
                    {{2, "Rtotal", kBlack, false}, {1, "Rviscous", kBlue, false}},
                    {{3, "FS keel", kGreen, true}, {4, "FS rudder", kPurple, true}}, 5};
    }
}

bool regressionTable(int MODE) { return MODE < 1 || MODE > 3; }

// The row values of a point as its table row holds them; nullopt for a
// point the table has no values for (no equilibrium).
std::optional<RowValues> tableValues(const PointRecord& r, int MODE) {
    if (regressionTable(MODE)) {
        if (!r.hasRegression) return std::nullopt;
        return regressionRowValues(r.regression);
    }
    if (r.status != PointStatus::Solved && r.status != PointStatus::Accepted) return std::nullopt;
    return resistanceRowValues(MODE, r.row);
}

std::optional<double> valueOf(const PointRecord& r, int MODE, int column) {
    const std::optional<RowValues> v = tableValues(r, MODE);
    if (!v) return std::nullopt;
    const double value = column < 0 ? r.row.FSIDE : v->value[static_cast<std::size_t>(column)];
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

// ---------------------------------------------------------------------------
// Series: the points one curve runs through, in the order it runs

struct Series {
    std::vector<int> members;  // indices into the records, in drawing order
    double heel = 0, leeway = 0, V = 0;
    bool bare = false;
};

// Groups the points by a key and orders each group by the abscissa input
// (stable, so equal abscissae keep input order).
template <class Key, class KeyOf, class Along>
std::vector<Series> groupPoints(std::span<const PointRecord> points, KeyOf keyOf, Along along) {
    std::map<Key, Series> groups;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PointRecord& r = points[i];
        Series& s = groups[keyOf(r)];
        s.members.push_back(static_cast<int>(i));
        s.heel = r.in.heel;
        s.leeway = r.in.leeway;
        s.V = r.in.V;
        s.bare = !r.APPON;
    }
    std::vector<Series> out;
    for (auto& [key, s] : groups) {
        std::stable_sort(s.members.begin(), s.members.end(),
                         [&](int a, int b) { return along(points[static_cast<std::size_t>(a)]) < along(points[static_cast<std::size_t>(b)]); });
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<Series> speedSeries(std::span<const PointRecord> points) {
    using Key = std::tuple<bool, double, double, double>;
    return groupPoints<Key>(points, [](const PointRecord& r) { return Key{r.APPON, r.in.heel, r.in.leeway, r.in.rudder}; },
                            [](const PointRecord& r) { return r.in.V; });
}

std::vector<Series> leewaySeries(std::span<const PointRecord> points) {
    using Key = std::tuple<bool, double, double>;
    return groupPoints<Key>(points, [](const PointRecord& r) { return Key{r.APPON, r.in.heel, r.in.V}; },
                            [](const PointRecord& r) { return r.in.leeway; });
}

// ---------------------------------------------------------------------------
// Axes

std::string fixed(double v, int decimals) {
    std::array<char, 48> buf{};
    std::snprintf(buf.data(), buf.size(), "%.*f", decimals, v);
    std::string s = buf.data();
    if (s.find_first_not_of("-0.") == std::string::npos && s.front() == '-') s.erase(0, 1);  // no "-0.00"
    return s;
}

std::string px(double v) { return fixed(v, 2); }

// A linear axis over whole tick steps of 1, 2 or 5 times a power of ten,
// mapped onto the pixel range p0 .. p1.
struct Axis {
    double lo = 0, hi = 1, step = 1;
    double p0 = 0, p1 = 1;
    double map(double v) const { return p0 + (v - lo) / (hi - lo) * (p1 - p0); }
    int decimals() const { return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9))); }
};

Axis niceAxis(double lo, double hi, double p0, double p1) {
    if (!(hi > lo)) {
        const double pad = lo != 0.0 ? 0.1 * std::fabs(lo) : 1.0;
        lo -= pad;
        hi += pad;
    }
    const double raw = (hi - lo) / 7.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * magnitude;
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw) {
            step = m * magnitude;
            break;
        }
    Axis a;
    a.step = step;
    // a value a few hundredths of a step past a tick does not cost a whole
    // empty step of the picture; its marker sits on the frame
    constexpr double kSlack = 0.05;
    a.lo = std::floor(lo / step + kSlack) * step;
    a.hi = std::ceil(hi / step - kSlack) * step;
    a.p0 = p0;
    a.p1 = p1;
    return a;
}

// ---------------------------------------------------------------------------
// SVG text

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // control characters are not allowed in XML text
                if (static_cast<unsigned char>(c) >= 0x20) out += c;
        }
    }
    return out;
}

std::string_view dashOf(std::size_t heelGroup) {
    constexpr std::array<std::string_view, 5> dashes = {"", "9 4", "2 3", "12 3 2 3", "5 5"};
    return dashes[heelGroup % dashes.size()];
}

std::string dashAttribute(std::size_t heelGroup) {
    const std::string_view d = dashOf(heelGroup);
    return d.empty() ? std::string() : " stroke-dasharray=\"" + std::string(d) + "\"";
}

// A closed polygon through the given offsets (in marker radii) from (x, y).
std::string polygonPath(double x, double y, double r, std::initializer_list<std::pair<double, double>> corners) {
    std::string d;
    for (const auto& [dx, dy] : corners) d += (d.empty() ? "M" : " L") + px(x + dx * r) + " " + px(y + dy * r);
    return "<path d=\"" + d + " Z\"";
}

// A marker of the given shape centred at (x, y): circle, square, triangle
// up, diamond, triangle down, cross, then the same again.
std::string marker(std::size_t shape, double x, double y, std::string_view colour, bool hollow, std::string_view extra) {
    const std::string fill = hollow ? "#ffffff" : std::string(colour);
    const std::string paint = " fill=\"" + fill + "\" stroke=\"" + std::string(colour) + "\" stroke-width=\"1.2\"";
    const double r = 3.2;
    std::string head;
    switch (shape % 6) {
        case 0: head = "<circle cx=\"" + px(x) + "\" cy=\"" + px(y) + "\" r=\"" + px(r) + "\""; break;
        case 1: head = polygonPath(x, y, r, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}); break;
        case 2: head = polygonPath(x, y, r, {{0, -1.25}, {1.15, 0.85}, {-1.15, 0.85}}); break;
        case 3: head = polygonPath(x, y, r, {{0, -1.35}, {1.35, 0}, {0, 1.35}, {-1.35, 0}}); break;
        case 4: head = polygonPath(x, y, r, {{0, 1.25}, {1.15, -0.85}, {-1.15, -0.85}}); break;
        default:
            return "<path d=\"M" + px(x - r) + " " + px(y - r) + " L" + px(x + r) + " " + px(y + r) + " M" + px(x - r) + " " +
                   px(y + r) + " L" + px(x + r) + " " + px(y - r) + "\" fill=\"none\" stroke=\"" + std::string(colour) +
                   "\" stroke-width=\"1.8\"" + std::string(extra) + "/>";
    }
    return head + paint + std::string(extra) + "/>";
}

// Index of v in the sorted distinct values.
std::size_t groupIndex(const std::vector<double>& distinct, double v) {
    return static_cast<std::size_t>(std::lower_bound(distinct.begin(), distinct.end(), v) - distinct.begin());
}

std::vector<double> distinctOf(std::span<const PointRecord> points, double PointInputs::*field) {
    std::vector<double> v;
    for (const PointRecord& r : points) v.push_back(r.in.*field);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// ---------------------------------------------------------------------------
// Panels

struct Box {
    double left, top, right, bottom;
};

struct PanelSpec {
    std::string_view id, xTitle, yTitle;
    const std::vector<Quantity>* quantities;
    const std::vector<Series>* series;
    int xColumn;
    bool speedLabels;  // label each curve at its end with its Froude number
};

// A curve's name written beside its last vertex.
struct EndLabel {
    double x, y;
    std::string text;
};

struct Panel {
    const PanelSpec& spec;
    std::span<const PointRecord> points;
    int MODE;
    Box box;
    const std::vector<double>& heels;
    const std::vector<double>& leeways;
    std::vector<EndLabel> labels{};
};

bool drawn(const Quantity& q, const Series& s) { return !(q.appendagesOnly && s.bare); }

// The range of the plotted values of a panel: x from the abscissa column,
// y from every quantity (always including zero).
void valueRanges(const Panel& p, double& xlo, double& xhi, double& ylo, double& yhi) {
    xlo = ylo = yhi = 0.0;
    xhi = 0.0;
    bool first = true;
    for (const Series& s : *p.spec.series)
        for (int m : s.members) {
            const PointRecord& r = p.points[static_cast<std::size_t>(m)];
            const std::optional<double> x = valueOf(r, p.MODE, p.spec.xColumn);
            if (!x) continue;
            for (const Quantity& q : *p.spec.quantities) {
                const std::optional<double> y = valueOf(r, p.MODE, q.column);
                if (!y || !drawn(q, s)) continue;
                if (first) xlo = xhi = *x;
                first = false;
                xlo = std::min(xlo, *x);
                xhi = std::max(xhi, *x);
                ylo = std::min(ylo, *y);
                yhi = std::max(yhi, *y);
            }
        }
}

void drawAxes(std::string& svg, const Panel& p, const Axis& ax, const Axis& ay) {
    const Box& b = p.box;
    svg += "<rect x=\"" + px(b.left) + "\" y=\"" + px(b.top) + "\" width=\"" + px(b.right - b.left) + "\" height=\"" +
           px(b.bottom - b.top) + "\" fill=\"#ffffff\" stroke=\"#000000\"/>\n";
    for (double t = ax.lo; t <= ax.hi + 0.5 * ax.step; t += ax.step) {
        const double x = ax.map(t);
        svg += "<line x1=\"" + px(x) + "\" y1=\"" + px(b.top) + "\" x2=\"" + px(x) + "\" y2=\"" + px(b.bottom) +
               "\" stroke=\"#e3e3e3\"/>\n";
        svg += "<text class=\"xtick\" x=\"" + px(x) + "\" y=\"" + px(b.bottom + 16) + "\" text-anchor=\"middle\">" +
               fixed(t, ax.decimals()) + "</text>\n";
    }
    for (double t = ay.lo; t <= ay.hi + 0.5 * ay.step; t += ay.step) {
        const double y = ay.map(t);
        svg += "<line x1=\"" + px(b.left) + "\" y1=\"" + px(y) + "\" x2=\"" + px(b.right) + "\" y2=\"" + px(y) +
               "\" stroke=\"#e3e3e3\"/>\n";
        svg += "<text class=\"ytick\" x=\"" + px(b.left - 6) + "\" y=\"" + px(y) +
               "\" text-anchor=\"end\" dominant-baseline=\"middle\">" + fixed(t, ay.decimals()) + "</text>\n";
    }
    if (ay.lo < 0.0 && ay.hi > 0.0)
        svg += "<line x1=\"" + px(b.left) + "\" y1=\"" + px(ay.map(0.0)) + "\" x2=\"" + px(b.right) + "\" y2=\"" +
               px(ay.map(0.0)) + "\" stroke=\"#888888\"/>\n";
    svg += "<text x=\"" + px(0.5 * (b.left + b.right)) + "\" y=\"" + px(b.bottom + 38) + "\" text-anchor=\"middle\">" +
           escaped(p.spec.xTitle) + "</text>\n";
    svg += "<text transform=\"translate(" + px(b.left - 58) + " " + px(0.5 * (b.top + b.bottom)) +
           ") rotate(-90)\" text-anchor=\"middle\">" + escaped(p.spec.yTitle) + "</text>\n";
}

struct Vertex {
    int point;  // test-point number, from 1
    double x, y;
};

void drawSegment(std::string& svg, const std::vector<Vertex>& seg, const Quantity& q, std::string_view column,
                 std::size_t heelGroup, const std::string& what) {
    if (seg.size() < 2) return;  // a lone point keeps its marker only
    std::string points, numbers;
    for (const Vertex& v : seg) {
        if (!points.empty()) points += ' ', numbers += ' ';
        points += px(v.x) + "," + px(v.y);
        numbers += std::to_string(v.point);
    }
    svg += "<polyline class=\"curve\" data-column=\"" + escaped(column) + "\" data-points=\"" + numbers +
           "\" fill=\"none\" stroke=\"" + std::string(q.colour) + "\" stroke-width=\"1.6\"" + dashAttribute(heelGroup) +
           " points=\"" + points + "\"><title>" + escaped(what) + "</title></polyline>\n";
}

std::string seriesText(const Series& s, bool bySpeed) {
    std::string t = "heel " + fixed(s.heel, 1) + " deg";
    t += bySpeed ? ", V " + fixed(s.V, 3) + " m/s" : ", leeway " + fixed(s.leeway, 1) + " deg";
    if (s.bare) t += ", bare hull";
    return t;
}

// One quantity along one series: polylines broken at every point without a
// value, and a marker at every vertex.
void drawCurve(std::string& svg, Panel& p, const Series& s, const Quantity& q, const Axis& ax, const Axis& ay) {
    const std::size_t heelGroup = groupIndex(p.heels, s.heel);
    const std::string what = std::string(q.label) + ", " + seriesText(s, p.spec.speedLabels);
    // the table's own column head, or the side force the table of the mode does not list
    const std::string_view column = q.column >= 0 ? columnHeadText(p.MODE, static_cast<std::size_t>(q.column)) : "side force";
    std::vector<Vertex> seg;
    std::string markers;
    for (int m : s.members) {
        const PointRecord& r = p.points[static_cast<std::size_t>(m)];
        const std::optional<double> x = valueOf(r, p.MODE, p.spec.xColumn);
        const std::optional<double> y = valueOf(r, p.MODE, q.column);
        if (!x || !y) {  // no equilibrium: a gap
            drawSegment(svg, seg, q, column, heelGroup, what);
            seg.clear();
            continue;
        }
        const Vertex v{m + 1, ax.map(*x), ay.map(*y)};
        seg.push_back(v);
        const std::size_t shape = p.spec.speedLabels ? 0 : groupIndex(p.leeways, r.in.leeway);
        markers += marker(shape, v.x, v.y, q.colour, s.bare, " class=\"vertex\" data-point=\"" + std::to_string(v.point) + "\"");
        markers += '\n';
    }
    drawSegment(svg, seg, q, column, heelGroup, what);
    svg += markers;
    if (p.spec.speedLabels && !seg.empty()) {
        const PointRecord& last = p.points[static_cast<std::size_t>(seg.back().point - 1)];
        p.labels.push_back({seg.back().x + 6, seg.back().y, "FN " + fixed(last.FNU, 2) + ", " + fixed(s.heel, 0) + " deg"});
    }
}

// End labels moved apart vertically so that none covers another.
void drawLabels(std::string& svg, std::vector<EndLabel>& labels) {
    constexpr double kSpacing = 11.0;
    std::stable_sort(labels.begin(), labels.end(), [](const EndLabel& a, const EndLabel& b) { return a.y < b.y; });
    for (std::size_t k = 1; k < labels.size(); ++k) labels[k].y = std::max(labels[k].y, labels[k - 1].y + kSpacing);
    for (const EndLabel& l : labels)
        svg += "<text class=\"label\" x=\"" + px(l.x) + "\" y=\"" + px(l.y) +
               "\" dominant-baseline=\"middle\" font-size=\"10\" fill=\"#555555\">" + escaped(l.text) + "</text>\n";
}

void drawPanel(std::string& svg, Panel&& p) {
    double xlo, xhi, ylo, yhi;
    valueRanges(p, xlo, xhi, ylo, yhi);
    const Axis ax = niceAxis(xlo, xhi, p.box.left, p.box.right);
    const Axis ay = niceAxis(ylo, yhi, p.box.bottom, p.box.top);
    svg += "<g class=\"panel\" id=\"" + std::string(p.spec.id) + "\">\n";
    drawAxes(svg, p, ax, ay);
    // the total last, so it lies on top
    for (auto q = p.spec.quantities->rbegin(); q != p.spec.quantities->rend(); ++q)
        for (const Series& s : *p.spec.series)
            if (drawn(*q, s)) drawCurve(svg, p, s, *q, ax, ay);
    drawLabels(svg, p.labels);
    svg += "</g>\n";
}

// ---------------------------------------------------------------------------
// Legend

void legendLine(std::string& svg, double x, double& y, std::string_view colour, std::size_t heelGroup,
                std::string_view text) {
    svg += "<line x1=\"" + px(x) + "\" y1=\"" + px(y) + "\" x2=\"" + px(x + 34) + "\" y2=\"" + px(y) + "\" stroke=\"" +
           std::string(colour) + "\" stroke-width=\"1.6\"" + dashAttribute(heelGroup) + "/>\n";
    svg += "<text x=\"" + px(x + 42) + "\" y=\"" + px(y) + "\" dominant-baseline=\"middle\">" + escaped(text) + "</text>\n";
    y += 18;
}

void legendHeading(std::string& svg, double x, double& y, std::string_view text) {
    y += 6;
    svg += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\" font-weight=\"bold\">" + escaped(text) + "</text>\n";
    y += 18;
}

void drawLegend(std::string& svg, const ModeLayout& layout, bool sidePanel, const std::vector<double>& heels,
                const std::vector<double>& leeways, bool anyBare, double x, double y) {
    svg += "<g class=\"legend\">\n";
    legendHeading(svg, x, y, "components");
    for (const Quantity& q : layout.resistance) legendLine(svg, x, y, q.colour, 0, q.label);
    if (sidePanel)
        for (const Quantity& q : layout.side) legendLine(svg, x, y, q.colour, 0, q.label);
    legendHeading(svg, x, y, "heel (line style)");
    for (std::size_t k = 0; k < heels.size(); ++k) legendLine(svg, x, y, "#333333", k, fixed(heels[k], 1) + " deg");
    legendHeading(svg, x, y, "leeway (marker)");
    for (std::size_t k = 0; k < leeways.size(); ++k) {
        svg += marker(k, x + 17, y, "#333333", false, "") + "\n";
        svg += "<text x=\"" + px(x + 42) + "\" y=\"" + px(y) + "\" dominant-baseline=\"middle\">" +
               fixed(leeways[k], 1) + " deg</text>\n";
        y += 18;
    }
    if (anyBare) {
        y += 6;
        svg += marker(0, x + 17, y, "#333333", true, "") + "\n";
        svg += "<text x=\"" + px(x + 42) + "\" y=\"" + px(y) + "\" dominant-baseline=\"middle\">bare hull</text>\n";
        y += 18;
    }
    y += 6;
    svg += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\" font-size=\"11\" fill=\"#555555\">gaps: no equilibrium</text>\n";
    svg += "</g>\n";
}

bool hasLeeway(std::span<const PointRecord> points, int MODE) {
    for (const PointRecord& r : points)
        if (r.in.leeway != 0.0 && tableValues(r, MODE)) return true;
    return false;
}

// Curves of side force need at least two leeway angles.
std::vector<Series> sideForceSeries(std::span<const PointRecord> points) {
    std::vector<Series> out;
    for (Series& s : leewaySeries(points)) {
        const double first = points[static_cast<std::size_t>(s.members.front())].in.leeway;
        const bool varies = std::any_of(s.members.begin(), s.members.end(), [&](int m) {
            return points[static_cast<std::size_t>(m)].in.leeway != first;
        });
        if (varies) out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

std::string dragPlotSvg(std::span<const PointRecord> points, int MODE, std::string_view title) {
    const ModeLayout layout = layoutOf(MODE);
    const std::vector<double> heels = distinctOf(points, &PointInputs::heel);
    const std::vector<double> leeways = distinctOf(points, &PointInputs::leeway);
    const bool anyBare = std::any_of(points.begin(), points.end(), [](const PointRecord& r) { return !r.APPON; });
    const std::vector<Series> bySpeed = speedSeries(points);
    const std::vector<Series> byLeeway = sideForceSeries(points);
    const bool sidePanel = hasLeeway(points, MODE) && !byLeeway.empty();

    const double width = 1000, height = sidePanel ? 860 : 520;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + px(width) + "\" height=\"" + px(height) +
           "\" viewBox=\"0 0 " + px(width) + " " + px(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    // the title is the case file's text, of unknown encoding: keep it ASCII
    std::string shown(title.substr(0, title.find_last_not_of(' ') + 1));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    svg += "<text x=\"80\" y=\"28\" font-size=\"15\" font-weight=\"bold\">" + escaped(shown) + "</text>\n";

    const PanelSpec resistance{"resistance", layout.xTitle, layout.yTitle, &layout.resistance, &bySpeed, 0, false};
    drawPanel(svg, Panel{resistance, points, MODE, {80, 50, 720, 440}, heels, leeways});
    if (sidePanel) {
        const std::string_view yTitle = regressionTable(MODE) ? "side force, Delft regression (N)" : "side force (N)";
        const PanelSpec side{"sideforce", "leeway (deg)", yTitle, &layout.side, &byLeeway, layout.leewayColumn, true};
        drawPanel(svg, Panel{side, points, MODE, {80, 530, 720, 800}, heels, leeways});
    }
    drawLegend(svg, layout, sidePanel, heels, leeways, anyBare, 760, 60);
    svg += "</svg>\n";
    return svg;
}

}  // namespace carinex
