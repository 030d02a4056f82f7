// The files written beside the resistance table: the per-point results file of a
// case (components adding up to the totals), the curve picture (its title
// escaped for XML, a point without equilibrium a gap in every curve), and one
// warning line for a file that cannot be written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "driver/drag_plot.h"
#include "driver/points_file.h"
#include "support/case_files.h"

namespace carinex {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> splitOn(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, sep);) out.push_back(field);
    if (!text.empty() && text.back() == sep) out.emplace_back();
    return out;
}

std::string panelOf(const std::string& svg, const std::string& id) {
    const auto a = svg.find("<g class=\"panel\" id=\"" + id + "\">");
    return a == std::string::npos ? "" : svg.substr(a, svg.find("</g>", a) - a);
}

struct Curve {
    std::string column;
    std::vector<int> points;
    std::vector<std::pair<double, double>> pixels;
};

std::vector<Curve> curves(const std::string& panel) {
    static const std::regex re(
        R"re(<polyline class="curve" data-column="([^"]+)" data-points="([^"]+)"[^>]* points="([^"]+)")re");
    std::vector<Curve> out;
    for (auto it = std::sregex_iterator(panel.begin(), panel.end(), re); it != std::sregex_iterator(); ++it) {
        Curve& c = out.emplace_back(Curve{(*it)[1], {}, {}});
        for (const std::string& n : splitOn((*it)[2], ' ')) c.points.push_back(std::stoi(n));
        for (const std::string& xy : splitOn((*it)[3], ' '))
            c.pixels.emplace_back(std::stod(xy), std::stod(xy.substr(xy.find(',') + 1)));
    }
    return out;
}

// Balanced tags with quoted attributes, one root, no bare '&' or '<' in text:
// enough of XML to know a browser parses the file. The first fault, or "".
std::string xmlFault(const std::string& xml) {
    static const std::regex tag(R"(<[^<>]*>)"), text(R"(([^&<>]|&(amp|lt|gt|quot|apos);)*)");
    static const std::regex element(R"(<(/?)([A-Za-z][\w:.-]*)(\s+[\w:.-]+="[^"<>]*")*\s*(/?)>)");
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = xml.find("?>") + 2;
    for (auto it = std::sregex_iterator(xml.begin() + at, xml.end(), tag); it != std::sregex_iterator(); ++it) {
        std::smatch m;
        const std::string t = it->str(), between = xml.substr(at, it->position() + xml.find("?>") + 2 - at);
        if (!std::regex_match(between, text)) return "text " + between;
        at = static_cast<std::size_t>(it->position() + it->length()) + xml.find("?>") + 2;
        if (!std::regex_match(t, m, element)) return "tag " + t;
        if (m[1] == "/" && (open.empty() || open.back() != m[2])) return "unbalanced " + t;
        if (m[1] == "/") open.pop_back();
        else if (m[4] != "/") roots += open.empty(), open.push_back(m[2]);
    }
    return !open.empty() ? "unclosed " + open.back() : roots != 1 ? "roots" : "";
}

// The data rows of a resistance table, by column head.
std::map<std::string, std::vector<double>> tableColumns(const std::string& text) {
    std::vector<std::string> heads;
    std::map<std::string, std::vector<double>> columns;
    for (const std::string& line : splitOn(text, '\n')) {
        const std::vector<std::string> f = splitOn(line, ',');
        for (std::size_t k = 0; f.size() >= 7 && k + 1 < f.size(); ++k) {
            if (heads.size() < f.size() - 1) heads.push_back(std::regex_replace(f[k], std::regex(" "), ""));
            else columns[heads[k]].push_back(std::stod(f[k]));
        }
    }
    return columns;
}

// Every vertex of a panel, read back through its first and last tick label, is the
// table value of its point and column, within a hundredth of a pixel and the
// table's rounding. Returns the number of vertices.
int checkVertices(const std::string& panel, const std::map<std::string, std::vector<double>>& table,
                  const std::string& xColumn) {
    auto axis = [&](const char* cls, int coordinate) {
        const std::regex re(std::string("<text class=\"") + cls + R"re(" x="([-0-9.]+)" y="([-0-9.]+)"[^>]*>([^<]+)<)re");
        std::vector<std::pair<double, double>> at;  // pixel, value
        for (auto it = std::sregex_iterator(panel.begin(), panel.end(), re); it != std::sregex_iterator(); ++it)
            at.emplace_back(std::stod((*it)[coordinate]), std::stod((*it)[3]));
        EXPECT_GE(at.size(), 2u) << cls;
        const double slope = (at.back().second - at.front().second) / (at.back().first - at.front().first);
        return std::pair{[=](double p) { return at.front().second + (p - at.front().first) * slope; }, std::fabs(slope)};
    };
    const auto [x, xPerPixel] = axis("xtick", 1);
    const auto [y, yPerPixel] = axis("ytick", 2);
    int vertices = 0;
    for (const Curve& c : curves(panel)) {
        EXPECT_EQ(c.points.size(), c.pixels.size());
        for (std::size_t k = 0; k < c.points.size() && k < c.pixels.size(); ++k, ++vertices) {
            const auto row = static_cast<std::size_t>(c.points[k] - 1);
            const double xv = table.at(xColumn).at(row), yv = table.at(c.column).at(row);
            EXPECT_NEAR(x(c.pixels[k].first), xv, 0.01 * xPerPixel + 5e-7 * std::fabs(xv) + 1e-12) << c.column;
            EXPECT_NEAR(y(c.pixels[k].second), yv, 0.01 * yPerPixel + 0.005) << c.column << " point " << c.points[k];
        }
    }
    return vertices;
}

// The small test case with keel and rudder at three speeds and 2 degrees heel; the second run finds a
// folder where the picture should go.
constexpr int kPoints = 3;

struct CampaignRun {
    test::ScratchDir dir;
    test::RunOutcome run;
    explicit CampaignRun(bool blocked) {
        test::writeCase(dir, {.ntest = kPoints, .heel = 2.0});
        if (blocked) fs::create_directories(dir.path() / "DRAG" / "DRAG_T01.svg");
        run = test::runIn(dir.path(), "T01\n");
    }
};

const CampaignRun& campaign(bool blocked = false) {
    static const CampaignRun plain(false), withFolderInTheWay(true);
    return blocked ? withFolderInTheWay : plain;
}

// Columns the points file shares with the table, and half the table's last digit.
const std::tuple<const char*, const char*, double> kShared[] = {
    {"FN", "Fn [-]", 5e-8},           {"Rkeel", "R_keel [N]", 0.005}, {"Rrudder", "R_rudder [N]", 0.005},
    {"Rresidu", "R_residuary [N]", 0.005}, {"Rtotal", "R_total [N]", 0.005}, {"Fside", "F_side [N]", 0.005},
    {"pitchangle", "pitch_angle [deg]", 5e-7}, {"leeway", "leeway [deg]", 5e-7}};

TEST(CampaignFiles, PointsFileHoldsTheInputsWithComponentsAddingUp) {
    const CampaignRun& c = campaign();
    ASSERT_EQ(c.run.status, 0) << c.run.console;
    const auto table = tableColumns(c.dir.read("DRAG/DRAG_T01.TXT"));
    const std::vector<std::string> lines = splitOn(c.dir.read("DRAG/DRAG_T01_points.csv"), '\n');
    const std::vector<std::string> heads = splitOn(lines.at(0), ',');
    std::map<std::string, std::size_t> at;
    for (std::size_t k = 0; k < heads.size(); ++k) at[heads[k]] = k;
    const CaseInput& in = c.run.state->input;
    int rows = 0;
    for (std::size_t n = 1; n < lines.size() && !lines[n].empty(); ++n) {
        const std::vector<std::string> f = splitOn(lines[n], ',');
        ASSERT_EQ(f.size(), heads.size()) << lines[n];
        const auto v = [&](const char* name) { return std::stod(f.at(at.at(name))); };
        ++rows;
        EXPECT_EQ(v("point"), rows);
        EXPECT_EQ(f[at["status"]], "solved");
        EXPECT_EQ(v("heel [deg]"), in.TP(6, rows));
        if (rows == kPoints) { EXPECT_NEAR(v("trim [deg]"), -std::atan(c.run.state->point.TRIMW) * 180 / M_PI, 1e-6); }
        const double total = v("R_total [N]");
        EXPECT_NEAR(v("R_friction [N]") + v("R_hull_other [N]") + v("R_keel [N]") + v("R_rudder [N]") +
                        v("R_residuary [N]"), total, 1e-12 * std::fabs(total));
        EXPECT_NEAR(v("R_stim_hull [N]") + v("R_stim_keel [N]") + v("R_stim_rudder [N]"), v("R_stimulators [N]"),
                    1e-12);
        EXPECT_NEAR(v("F_side_hull [N]") + v("F_side_keel [N]") + v("F_side_rudder [N]"), v("F_side [N]"), 1e-9);
        for (const auto& [column, field, rounding] : kShared)
            EXPECT_NEAR(v(field), table.at(column).at(rows - 1), rounding + 1e-12) << column;
    }
    EXPECT_EQ(rows, kPoints);
}

TEST(CampaignFiles, PictureIsWellFormedAndDrawsTheTableValues) {
    const CampaignRun& c = campaign();
    ASSERT_EQ(c.run.status, 0) << c.run.console;
    const std::string svg = c.dir.read("DRAG/DRAG_T01.svg");
    EXPECT_EQ(xmlFault(svg), "");
    for (const char* external : {"<script", "href", "url(", "@import", "<image", "<foreignObject"})
        EXPECT_EQ(svg.find(external), std::string::npos) << external;
    const auto table = tableColumns(c.dir.read("DRAG/DRAG_T01.TXT"));
    ASSERT_EQ(table.at("FN").size(), static_cast<std::size_t>(kPoints));
    EXPECT_EQ(checkVertices(panelOf(svg, "resistance"), table, "FN"), 6 * kPoints) << "six components";
    EXPECT_EQ(panelOf(svg, "resistance").find("#888888"), std::string::npos) << "drag from 0: no zero line on the frame";
}

TEST(CampaignFiles, AFileThatCannotBeWrittenCostsOneWarningLineOnly) {
    const CampaignRun &plain = campaign(), &blocked = campaign(true);
    ASSERT_EQ(blocked.run.status, 0) << blocked.run.console;
    EXPECT_EQ(blocked.dir.read("DRAG/DRAG_T01_points.csv"), plain.dir.read("DRAG/DRAG_T01_points.csv"));
    const std::string warning = " Warning: DRAG/DRAG_T01.svg could not be written\n", console = blocked.run.console;
    const auto w = console.find(warning);
    ASSERT_NE(w, std::string::npos) << console;
    EXPECT_EQ(console.substr(0, w) + console.substr(w + warning.size()), plain.run.console);
}

// Five speeds of one series, the third without an equilibrium: a gap in every
// curve, and a points row with its inputs and status only.
TEST(CampaignFiles, APointWithoutEquilibriumIsAGap) {
    std::vector<PointRecord> points(5);
    for (std::size_t k = 0; k < points.size(); ++k) {
        PointRecord& r = points[k];
        r.in.V = 1.0 + static_cast<double>(k);
        r.in.appendages = r.APPON = true;
        r.status = k == 2 ? PointStatus::NotConverged : PointStatus::Solved;
        r.row.FN = 0.1 * r.in.V;
        r.row.RFRIC = r.row.RHULL = 10.0 * r.in.V;
        r.row.FXK = r.row.FXR = 1.0;
        r.row.RTOT = 15.0 * r.in.V;
    }
    const std::string svg = dragPlotSvg(points, 1, "gap & <series> \x80\xff");
    EXPECT_NE(svg.find(">gap &amp; &lt;series&gt; ?\?<"), std::string::npos) << "the title escaped for XML, in ASCII";
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_EQ(svg.find("data-point=\"3\""), std::string::npos) << "no marker for the failed point";
    int totals = 0;
    for (const Curve& c : curves(panelOf(svg, "resistance"))) {
        EXPECT_TRUE(c.points == std::vector<int>({1, 2}) || c.points == std::vector<int>({4, 5})) << c.column;
        totals += c.column == "Rtotal";
    }
    EXPECT_EQ(totals, 2) << "the total is broken into two curves";
    const std::vector<std::string> heads = splitOn(pointsHeaderLine(), ',');
    const std::vector<std::string> f = splitOn(pointsRowLine(3, points[2]), ',');
    ASSERT_EQ(f.size(), heads.size());
    std::size_t status = 0;
    while (heads[status] != "status") ++status;
    EXPECT_EQ(f[status], "not converged");
    for (std::size_t k = 0; k < f.size(); ++k) EXPECT_EQ(f[k].empty(), k > status) << heads[k];
}

}  // namespace
}  // namespace carinex
