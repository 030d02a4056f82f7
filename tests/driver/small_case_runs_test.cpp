// Whole runs of the small test case. The mistakes new users make, each with what the console
// says: input files that cannot be read, a case code, FORMAT, axis, station count or water the
// program cannot use; a run that stops ends through the fatal exit. Points without equilibrium
// (exit status 2 within the work budget), and a case run again (.bak copies). Mutated case and
// offsets files: whatever the damage, a run ends at the final prompt with exit status 0, 1 or 2
// and never crashes, hangs or reads outside its arrays.
// The files written beside the resistance table: the per-point results file of a case
// (components adding up to the totals), the curve picture (its title escaped for XML, a point
// without equilibrium a gap in every curve), and one warning line for a file that cannot be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
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
using namespace test;

// "%" in the expected console stands for the working directory.
TEST(UserMistakes, RunsThatStopOrRecoverSayWhy) {
    const std::string cases = "and for the same folder and file names in other letter case";
    std::string crOnly = caseInputText({});
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    const auto moveOffsets = [](const ScratchDir& d, const fs::path& to) {
        fs::create_directories(d.path() / to);
        fs::rename(d.path() / "OFFSETS" / "OFFS_T01.TXT", d.path() / to / "OFFS_T01.TXT");
    };
    const auto withInput = [&](const std::string& text) {
        return [=](const ScratchDir& d) { d.write("INPUT/CX_T01_IN.TXT", text); };
    };
    const auto withEdit = [&](const std::string& from, const std::string& to) {
        std::string text = caseInputText({});
        return withInput(text.replace(text.find(from), from.size(), to));
    };
    const auto withCase = [](CaseSpec spec, int stations) {
        return [=](const ScratchDir& d) { writeCase(d, spec, ellipticHull(stations, 10)); };
    };
    const std::string row = "1.01 0 15 0.1 50 1", done = " Resistance values in file";
    const std::string noEquilibrium =
        " warning: 1 of 1 test points did not converge (rows of zeros in the table); exit status 2\n";
    const struct {
        const char* what;
        std::function<void(const ScratchDir&)> edit;  // after the whole case is written
        int status;
        std::string console;
        std::string keyboard = "T01\n";
    } runs[] = {
        {"no case input", [](const ScratchDir& d) { fs::remove_all(d.path() / "INPUT"); }, 1,
         " Input file does not exist\n looked for %/INPUT/CX_T01_IN.TXT " + cases + "\n"},
        {"empty", withInput(""), 1, " Input file does not exist\n INPUT/CX_T01_IN.TXT is empty\n"},
        {"title only", withInput("a\nb\n"), 1,
         " Input file does not exist\n INPUT/CX_T01_IN.TXT ends after line 2: a case input starts with 3 title lines"
         " and goes on with the values\n"},
        {"old Mac line ends", withInput(crOnly), 0, done},
        {"offsets in OFFSET", [&](const ScratchDir& d) { moveOffsets(d, "OFFSET"); }, 0, done},
        {"no offsets", [&](const ScratchDir& d) { moveOffsets(d, "ELSEWHERE"); }, 1,
         " Offsets file OFFSETS/OFFS_T01.TXT does not exist\n looked for %/OFFSETS/OFFS_T01.TXT " + cases +
             ", and in the folder OFFSET\n"},
        {"empty appendages", [](const ScratchDir& d) { d.write("APPEND/KEEL.APP", ""); }, 0,
         " Input file for appendages does not exist\n APPEND/KEEL.APP is empty\n computation for bare hull only\n"},
        {"long case code", [](const ScratchDir&) {}, 0,
         "\n Resistance values in file: DRAG/DRAG_T01.TXT\n press Enter to quit\n", "  T01xyz more\n"},
        {"lower-case names", [](const ScratchDir& d) { fs::rename(d.path() / "INPUT", d.path() / "input"); }, 0,
         done},
        {"FORMAT 4", withCase({.format = 4}, 31), 1, " specified FORMAT for offset-file unknown\n" + kFatal},
        {"52 stations", withCase({}, 52), 0, done},
        {"53 stations", withCase({}, 53), 1, "53 too many stations, Max = 52\n" + kFatal},
        {"ZAXIS 2", withCase({.zaxis = 2}, 31), 1, " wrong value for ZAXIS, Y-keel larger than Y-deck\n" + kFatal},
        {"IWATER 3", withEdit("IWATER\n2", "IWATER\n3"), 1, " specify freshwater or seawater\n" + kFatal},
        {"end of input instead of a case code", [](const ScratchDir&) {}, 1, kFatal, ""},
        // a heel of 89.5 degrees lays the hull on its side, and a trimming moment of 1e7 Nm is far beyond
        // what the hull can balance: no equilibrium is found, and the search stops within the point's
        // work budget instead of spending minutes on failing boundary-layer marches
        {"on its side", withEdit(row, "1 0 15 0.1 50 89.5"), 2, noEquilibrium},
        {"moment beyond balance", withEdit(row, "1 1E7 15 0.1 50 1"), 2, noEquilibrium},
    };
    for (const auto& r : runs) {
        ScratchDir dir;
        writeCase(dir);
        r.edit(dir);
        auto out = runIn(dir.path(), r.keyboard);
        std::string expected = r.console;
        for (auto at = expected.find('%'); at != std::string::npos; at = expected.find('%'))
            expected.replace(at, 1, dir.path().string());
        EXPECT_EQ(out.status, r.status) << r.what << "\n" << out.console;
        EXPECT_TRUE(has(out.console, expected)) << r.what << "\n" << out.console;
        EXPECT_EQ(out.console.ends_with(kFatal), r.status == 1) << r.what;
        EXPECT_LE(out.state->point.EVALS, kMaxBalanceEvaluationsPerPoint) << r.what;
    }
}

// Each run moves the results before it to .bak copies; a failed run's own
// results are not worth keeping, so a second failure leaves the copies of
// the last complete run alone.
TEST(RunDriver, RunningACaseAgainKeepsTheEarlierResults) {
    ScratchDir dir;
    writeCase(dir);
    ASSERT_EQ(runIn(dir.path(), "T01\n").status, 0);
    const std::string good = dir.read("DRAG/DRAG_T01.TXT");
    dir.write("DRAG/DRAG_T01.svg", "<svg/>");
    const std::string kept = " results of the earlier run of this case kept in CXRUN/OUT_T01.TXT.bak, "
                             "DRAG/DRAG_T01.TXT.bak, DRAG/DRAG_T01.svg.bak, DRAG/DRAG_T01_points.csv.bak\n";
    int run = 0;
    for (const auto& [offsets, status, note] : {std::tuple{true, 0, kept}, {false, 1, kept}, {false, 1, ""}}) {
        if (!offsets) std::filesystem::remove(dir.path() / "OFFSETS" / "OFFS_T01.TXT");
        auto out = runIn(dir.path(), "T01\n");
        EXPECT_EQ(out.status, status);
        EXPECT_EQ(has(out.console, " results of the earlier run"), !note.empty()) << out.console;
        EXPECT_TRUE(note.empty() || has(out.console, note)) << out.console;
        EXPECT_EQ(dir.read("DRAG/DRAG_T01.TXT.bak"), good);
        EXPECT_TRUE(++run > 1 || dir.read("DRAG/DRAG_T01.svg.bak") == "<svg/>");
    }
}

std::string mutate(std::string text, std::mt19937& rng) {
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n ? n - 1 : 0)(rng); };
    const char junk[] = "0123456789.-+eE, */'\"\t\r\nxyzQ ";
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = pick(text.size());
        switch (pick(6)) {
            case 0: text[at] = junk[pick(sizeof junk - 1)]; break;                  // one character changed
            case 1: text.erase(at, 1 + pick(20)); break;                             // a few characters lost
            case 2: text.resize(at); break;                                          // file truncated
            case 3: text.insert(at, std::string(1 + pick(3), junk[pick(sizeof junk - 1)])); break;
            case 4: {                                                                 // a line duplicated
                const auto start = text.rfind('\n', at);
                const auto end = text.find('\n', at);
                const auto from = start == std::string::npos ? 0 : start + 1;
                if (end != std::string::npos) text.insert(from, text.substr(from, end - from + 1));
                break;
            }
            default: text.insert(at, std::to_string(static_cast<long long>(rng()) - 2147483648LL)); break;
        }
    }
    return text;
}

// A whole run of a case whose files may be damaged ends at the final prompt, through the fatal
// exit if it stops.
void expectCleanRun(const std::string& caseText, const std::string& appendages, const std::string& offsets,
                    const std::string& what) {
    ScratchDir dir;
    dir.write("INPUT/CX_FZ1_IN.TXT", caseText);
    dir.write("APPEND/KEEL.APP", appendages);
    dir.write("OFFSETS/OFFS_FZ1.TXT", offsets);
    const RunOutcome out = runIn(dir.path(), "FZ1\n");
    ASSERT_TRUE(out.status >= 0 && out.status <= 2) << what;
    EXPECT_TRUE(out.console.ends_with(" press Enter to quit\n")) << what;
    EXPECT_EQ(out.console.ends_with(kFatal), out.status == 1) << what;
}

TEST(ReaderFuzz, MutatedOffsetsFiles) {
    std::mt19937 rng(20261206);
    const auto hull = ellipticHull(31, 12);
    for (int format : {1, 2, 3}) {
        // no test points: the readers are under test, not the equilibrium
        const std::string caseText = caseInputText({.format = format, .ntest = 0});
        const std::string original = offsetsText(format, hull);
        for (int k = 0; k < 120; ++k) {
            const std::string damaged = mutate(original, rng);
            const std::string what = "format " + std::to_string(format) + ":\n" + damaged;
            expectCleanRun(caseText, appendageText(), damaged, what);
        }
    }
}

TEST(ReaderFuzz, MutatedCaseAndAppendageFiles) {
    std::mt19937 rng(6122026);
    const std::string offsets = format3Text(ellipticHull(31, 12));
    const std::string caseText = caseInputText({.ntest = 2}), appendages = appendageText();
    for (int k = 0; k < 200; ++k) {
        // the case input and the appendage file damaged in turn
        const std::string damagedCase = k % 2 == 0 ? mutate(caseText, rng) : caseText;
        const std::string damagedAppendages = k % 2 == 1 ? mutate(appendages, rng) : appendages;
        expectCleanRun(damagedCase, damagedAppendages, offsets, damagedCase + "\n----\n" + damagedAppendages);
    }
}

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
    const auto status = static_cast<std::size_t>(std::find(heads.begin(), heads.end(), "status") - heads.begin());
    EXPECT_EQ(f.at(status), "not converged");
    for (std::size_t k = 0; k < f.size(); ++k) EXPECT_EQ(f[k].empty(), k > status) << heads[k];
}

}  // namespace
}  // namespace carinex
