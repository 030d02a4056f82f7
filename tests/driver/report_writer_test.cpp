// Golden-line tests of the report lines and of the per-point console lines.
// Every expected string is spelled out from the field layout of its line:
// An right-aligns, T2 leaves column 1 blank, Fw.d and Gw.d as in the fixed
// formatter, free-format records start with one blank.
#include "driver/report_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "driver/console_messages.h"

namespace carinex {
namespace {

TEST(ReportHeader, TitleIsASeventyColumnRecordAndTheCaseCodeThreeCharacters) {
    const struct {
        std::string TITLE, CASE, titleLine, geometryLine;
    } cases[] = {
        {"Test yacht 10 m", "T01", "Test yacht 10 m" + std::string(55, ' '), " Geometry defined in: OFFS_T01.TXT"},
        {std::string(70, 'a') + "bcd", "ab", std::string(70, 'a'), " Geometry defined in: OFFS_ab .TXT"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        writeReportHeader(out, c.TITLE, c.CASE);
        EXPECT_EQ(out.str(), "\n" + c.titleLine + "\n" + c.geometryLine +
                                 "\n\n"
                                 " Hull properties calculated with Carinex 3.3\n"
                                 " Documentation and updates of Carinex: see the Carinex web site\n"
                                 "\n");
    }
}

TEST(ReportLengthWarning, TextFieldsAroundTheRatioInF61) {
    // A25: one blank before the 24 characters; F6.1; A20: one blank before 19.
    EXPECT_EQ(lengthWarningLine(0.453), " Length of waterline only  45.3 % of length of hull");
    EXPECT_EQ(lengthWarningLine(0.05), " Length of waterline only   5.0 % of length of hull");
    EXPECT_EQ(lengthWarningLine(0.4999), " Length of waterline only  50.0 % of length of hull");
    EXPECT_EQ(lengthWarningLine(12345.0), " Length of waterline only****** % of length of hull");
}

TEST(ReportLengthWarning, GoesToConsoleReportAndTable) {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    auto report = std::make_unique<std::ostringstream>();
    auto table = std::make_unique<std::ostringstream>();
    const std::ostringstream* reportText = report.get();
    const std::ostringstream* tableText = table.get();
    io.setReport(std::move(report));
    io.setTable(std::move(table));
    writeLengthWarning(io, 0.4);
    const std::string expected =
        " Length of waterline only  40.0 % of length of hull\n"
        " SCALE might not match the prescribed VOLUME\n";
    EXPECT_EQ(console.str(), expected);
    EXPECT_EQ(reportText->str(), expected);
    EXPECT_EQ(tableText->str(), expected);
}

TEST(ReportWaterLine, FreshAndSeawater) {
    std::ostringstream fresh, sea;
    writeWaterLine(fresh, false);
    writeWaterLine(sea, true);
    EXPECT_EQ(fresh.str(), " values upright at rest, without trim in fresh water\n");
    EXPECT_EQ(sea.str(), " values upright at rest, without trim in seawater\n");
}

// Mass (8.123456789 + 0.4567891 + 0.0345678) * 1025 = 8830.18; draft with
// keel 0.6543 + 1.5; rocker atan(0.1) = 5.7106 degrees.
constexpr UprightBlock kBlock{.VOLUME = 8.123456789, .VKEEL = 0.4567891, .VRUDD = 0.0345678, .RHO = 1025.0,
                              .SWET0 = 28.7654321,   .AWP0 = 19.25,      .LWL = 10.1234,     .BMAX = 3.4567,
                              .TMAX = 0.6543,        .KDEPTH = 1.5,      .CX = 0.71234,      .CP = 0.54321,
                              .CWP = 0.68888,        .LCB = 0.5321,      .LCF = 0.5612,      .rocker = 0.1};

// G12.6 / G12.5 in fixed form: F8.x and four blanks; below 0.1 exponent form.
const std::array<std::string, kUprightBlockLines> kBlockLines = {
    " immersed volume canoe body (m3) =  8.12346    ",
    " immersed volume fin keel (m3)   =  0.45679    ",
    " immersed volume rudder (m3)     =  0.34568E-01",
    " total mass of the yacht (kg)    =   8830.2    ",
    " wetted surface canoe body (m2)  =  28.7654    ",
    " waterplane area (m2)            =  19.2500    ",
    " waterline length (m)            =   10.123",
    " maximum beam in waterplane (m)  =    3.457",
    " maximum draft canoe body (m)    =    0.654",
    " maximum draft with keel (m)     =    2.154",
    " Cx                              =   0.7123",
    " Cp                              =   0.5432",
    " Cwp                             =   0.6889",
    " LCB in % Lwl behind FP          =   53.210",
    " LCF in % Lwl behind FP          =   56.120",
    " Rocker angle aft end DWL (deg)  =    5.711",
};

TEST(ReportUprightBlock, SixteenLinesWithLabelsFromColumnTwo) {
    const auto lines = uprightBlockLines(kBlock);
    std::string all;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k], kBlockLines[k]) << "line " << k;
        all += kBlockLines[k] + "\n";
    }
    std::ostringstream out;
    writeUprightBlock(out, kBlock);
    EXPECT_EQ(out.str(), all);
}

// A18, A27 and F7.2 for FN; A14, F7.0 and A13 for the transition; A32 and
// G8.1 for the residuals.
TEST(ConsoleMessages, MessagesOfATestPoint) {
    std::ostringstream solved, forward, accepted, momentLarger, notConverged, restart, note;
    writeSolved(solved, 0.35, 0.8234);
    writeSolved(forward, 0.35, -0.012);
    writeAccepted(accepted, 0.3, 0.0009, 0.0004, 1.2);  // the larger residual in percent
    writeAccepted(momentLarger, 0.3, 0.0001, 0.0009, 1.2);
    writeNotConverged(notConverged, 0.45, 0.02, 0.3);
    writeRestart(restart);
    writeBareHullNote(note);
    EXPECT_EQ(solved.str(), "   solved for FN =   0.35\ntransition at    823. mm behind FP\n\n");
    EXPECT_EQ(forward.str(),
              "   solved for FN =   0.35\n"
              "transition at    -12. mm behind FP\n"
              " transition forward of FP, water-plane above DWL at bow\n"
              "\n");
    const std::string acceptedText =
        "       spurious convergence\n"
        "residuary error in equilibrium = 0.9E-01 %\n"
        " solution accepted for FN =   0.30\n"
        "transition at   1200. mm behind FP\n"
        "\n";
    EXPECT_EQ(accepted.str(), acceptedText);
    EXPECT_EQ(momentLarger.str(), acceptedText);
    EXPECT_EQ(notConverged.str(), "     NO convergence at FN =   0.45\n      relative residuary error = 0.3    \n\n");
    EXPECT_EQ(restart.str(), " Neustart\n");
    EXPECT_EQ(note.str(), " no valid appendages defined, resistance of bare hull computed instead\n");
    // the residual lines in the G8.1 forms the messages above do not reach
    EXPECT_EQ(residuaryErrorLine(0.5), "residuary error in equilibrium = 0.5     %");
    EXPECT_EQ(relativeErrorLine(0.0123), "      relative residuary error = 0.1E-01");
    EXPECT_EQ(relativeErrorLine(2.7), "      relative residuary error =  3.    ");
}

}  // namespace
}  // namespace carinex
