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
#include <vector>

#include "driver/drag_plot.h"
#include "driver/points_file.h"
#include "driver/whole_runs.h"

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
};

std::vector<Curve> curves(const std::string& panel) {
    static const std::regex re(
        R"re(<polyline class="curve" data-column="([^"]+)" data-points="([^"]+)")re");
    std::vector<Curve> out;
    for (auto it = std::sregex_iterator(panel.begin(), panel.end(), re); it != std::sregex_iterator(); ++it) {
        Curve& c = out.emplace_back(Curve{(*it)[1], {}});
        for (const std::string& n : splitOn((*it)[2], ' ')) c.points.push_back(std::stoi(n));
    }
    return out;
}

// The small test case with keel and rudder at three speeds; the second run finds a
// folder where the picture should go.
constexpr int kPoints = 3;

struct CampaignRun {
    test::ScratchDir dir;
    test::RunOutcome run;
    explicit CampaignRun(bool blocked) {
        test::writeCase(dir, {.ntest = kPoints});
        if (blocked) fs::create_directories(dir.path() / "DRAG" / "DRAG_T01.svg");
        run = test::runIn(dir.path(), "T01\n");
    }
};

const CampaignRun& campaign(bool blocked = false) {
    static const CampaignRun plain(false), withFolderInTheWay(true);
    return blocked ? withFolderInTheWay : plain;
}

TEST(CampaignFiles, PointsFileHoldsTheInputsWithComponentsAddingUp) {
    const CampaignRun& c = campaign();
    ASSERT_EQ(c.run.status, 0) << c.run.console;
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
        const double total = v("R_total [N]");
        EXPECT_NEAR(v("R_friction [N]") + v("R_hull_other [N]") + v("R_keel [N]") + v("R_rudder [N]") +
                        v("R_residuary [N]"), total, 1e-12 * std::fabs(total));
        EXPECT_NEAR(v("R_stim_hull [N]") + v("R_stim_keel [N]") + v("R_stim_rudder [N]"), v("R_stimulators [N]"),
                    1e-12);
        EXPECT_NEAR(v("F_side_hull [N]") + v("F_side_keel [N]") + v("F_side_rudder [N]"), v("F_side [N]"), 1e-9);
    }
    EXPECT_EQ(rows, kPoints);
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
    const std::string svg = dragPlotSvg(points, 1, "gap & <series>");
    EXPECT_NE(svg.find(">gap &amp; &lt;series&gt;<"), std::string::npos) << "the title escaped for XML";
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
