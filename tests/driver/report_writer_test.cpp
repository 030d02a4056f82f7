// Golden-line tests of the report lines and of the per-point console lines.
// Every expected string is spelled out from the field layout of its line:
// An right-aligns, T2 leaves column 1 blank, Fw.d and Gw.d as in the fixed
// formatter, free-format records start with one blank.
#include "driver/report_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "driver/console_messages.h"

namespace carinex {
namespace {

// ---------------------------------------------------------------------------
// Report header

TEST(ReportHeader, TitleIsAFullSeventyColumnRecordAfterAnEmptyLine) {
    std::ostringstream out;
    writeReportHeader(out, "Test yacht 10 m", "T01");
    const std::string title = "Test yacht 10 m" + std::string(55, ' ');  // 15 + 55 = 70 columns
    EXPECT_EQ(out.str(),
              "\n" + title + "\n"
              " Geometry defined in: OFFS_T01.TXT\n"
              "\n"
              " Hull properties calculated with Carinex 3.3\n"
              " Documentation and updates of Carinex: see the Carinex web site\n"
              "\n");
}

TEST(ReportHeader, ShortCaseCodeIsPaddedToThreeCharacters) {
    std::ostringstream out;
    writeReportHeader(out, std::string(70, 'x'), "ab");
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "");
    std::getline(lines, line);
    EXPECT_EQ(line, std::string(70, 'x'));
    std::getline(lines, line);
    EXPECT_EQ(line, " Geometry defined in: OFFS_ab .TXT");
    EXPECT_EQ(line.size(), 34u);  // the blank column and the 33 characters of the name
}

TEST(ReportHeader, LongerTitleKeepsItsFirstSeventyCharacters) {
    std::ostringstream out;
    writeReportHeader(out, std::string(70, 'a') + "bcd", "T01");
    EXPECT_EQ(out.str().substr(0, 72), "\n" + std::string(70, 'a') + "\n");
}

// ---------------------------------------------------------------------------
// Waterline-length warning and water line

TEST(ReportLengthWarning, LineHasTheTextFieldsAroundTheRatio) {
    // A25: one blank before the 24 characters; F6.1; A20: one blank before 19.
    EXPECT_EQ(lengthWarningLine(0.453), " Length of waterline only  45.3 % of length of hull");
    EXPECT_EQ(lengthWarningLine(0.05), " Length of waterline only   5.0 % of length of hull");
    EXPECT_EQ(lengthWarningLine(0.4999), " Length of waterline only  50.0 % of length of hull");
}

TEST(ReportLengthWarning, RatioTooLargeForF61GivesAsterisks) {
    EXPECT_EQ(lengthWarningLine(12345.0), " Length of waterline only****** % of length of hull");
}

TEST(ReportLengthWarning, GoesToConsoleReportAndTable) {
    std::istringstream keyboard;
    std::ostringstream console;
    RunFiles io(keyboard, console, ".");
    auto report = std::make_unique<std::ostringstream>();
    auto table = std::make_unique<std::ostringstream>();
    std::ostringstream* reportText = report.get();
    std::ostringstream* tableText = table.get();
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

// ---------------------------------------------------------------------------
// Upright block

UprightBlock sampleBlock() {
    UprightBlock b;
    b.VOLUME = 8.123456789;
    b.VKEEL = 0.4567891;
    b.VRUDD = 0.0345678;
    b.RHO = 1025.0;  // mass 8.614813589 * 1025 = 8830.18...
    b.SWET0 = 28.7654321;
    b.AWP0 = 19.25;
    b.LWL = 10.1234;
    b.BMAX = 3.4567;
    b.TMAX = 0.6543;
    b.KDEPTH = 1.5;
    b.CX = 0.71234;
    b.CP = 0.54321;
    b.CWP = 0.68888;
    b.LCB = 0.5321;
    b.LCF = 0.5612;
    b.rocker = 0.1;  // atan(0.1) = 5.7106 degrees
    return b;
}

TEST(ReportUprightBlock, SixteenLinesWithLabelsFromColumnTwo) {
    const auto lines = uprightBlockLines(sampleBlock());
    // G12.6 / G12.5 in fixed form: F8.x and four blanks; below 0.1 exponent form.
    EXPECT_EQ(lines[0], " immersed volume canoe body (m3) =  8.12346    ");
    EXPECT_EQ(lines[1], " immersed volume fin keel (m3)   =  0.45679    ");
    EXPECT_EQ(lines[2], " immersed volume rudder (m3)     =  0.34568E-01");
    EXPECT_EQ(lines[3], " total mass of the yacht (kg)    =   8830.2    ");
    EXPECT_EQ(lines[4], " wetted surface canoe body (m2)  =  28.7654    ");
    EXPECT_EQ(lines[5], " waterplane area (m2)            =  19.2500    ");
    EXPECT_EQ(lines[6], " waterline length (m)            =   10.123");
    EXPECT_EQ(lines[7], " maximum beam in waterplane (m)  =    3.457");
    EXPECT_EQ(lines[8], " maximum draft canoe body (m)    =    0.654");
    EXPECT_EQ(lines[9], " maximum draft with keel (m)     =    2.154");
    EXPECT_EQ(lines[10], " Cx                              =   0.7123");
    EXPECT_EQ(lines[11], " Cp                              =   0.5432");
    EXPECT_EQ(lines[12], " Cwp                             =   0.6889");
    EXPECT_EQ(lines[13], " LCB in % Lwl behind FP          =   53.210");
    EXPECT_EQ(lines[14], " LCF in % Lwl behind FP          =   56.120");
    EXPECT_EQ(lines[15], " Rocker angle aft end DWL (deg)  =    5.711");
}

TEST(ReportUprightBlock, LineWidthsFollowTheFields) {
    const auto lines = uprightBlockLines(sampleBlock());
    for (int k = 0; k < kUprightBlockLines; ++k) {
        const std::size_t width = k < 6 ? 1 + 34 + 12 : 1 + 34 + 8;
        EXPECT_EQ(lines[static_cast<std::size_t>(k)].size(), width) << "line " << k;
        EXPECT_EQ(lines[static_cast<std::size_t>(k)].substr(33, 2), "= ") << "line " << k;
    }
}

TEST(ReportUprightBlock, WriterPutsTheLinesInOrder) {
    std::ostringstream out;
    writeUprightBlock(out, sampleBlock());
    const std::string text = out.str();
    EXPECT_TRUE(text.starts_with(" immersed volume canoe body (m3) =  8.12346    \n"
                                 " immersed volume fin keel (m3)   =  0.45679    \n"));
    EXPECT_TRUE(text.ends_with(" LCF in % Lwl behind FP          =   56.120\n"
                               " Rocker angle aft end DWL (deg)  =    5.711\n"));
    std::size_t count = 0;
    for (char c : text) count += c == '\n';
    EXPECT_EQ(count, 16u);
}

TEST(ReportUprightBlock, LargeVolumeNegativeRockerAndOverflow) {
    UprightBlock b = sampleBlock();
    b.VOLUME = 1234567.0;  // beyond the fixed range of G12.6
    b.rocker = -0.05;      // atan(-0.05) = -2.8624 degrees
    b.LWL = 123456.7;      // needs 10 columns in F8.3
    const auto lines = uprightBlockLines(b);
    EXPECT_EQ(lines[0], " immersed volume canoe body (m3) = 0.123457E+07");
    EXPECT_EQ(lines[6], " waterline length (m)            = ********");
    EXPECT_EQ(lines[15], " Rocker angle aft end DWL (deg)  =   -2.862");
}

TEST(ReportUprightBlock, BareHullHasZeroAppendageVolumes) {
    UprightBlock b = sampleBlock();
    b.VOLUME = 10.0;
    b.VKEEL = 0.0;
    b.VRUDD = 0.0;
    b.RHO = 999.5;
    b.KDEPTH = 0.0;
    const auto lines = uprightBlockLines(b);
    EXPECT_EQ(lines[0], " immersed volume canoe body (m3) =  10.0000    ");
    EXPECT_EQ(lines[1], " immersed volume fin keel (m3)   =   0.0000    ");
    EXPECT_EQ(lines[2], " immersed volume rudder (m3)     =   0.0000    ");
    EXPECT_EQ(lines[3], " total mass of the yacht (kg)    =   9995.0    ");
    EXPECT_EQ(lines[9], " maximum draft with keel (m)     =    0.654");
}

// ---------------------------------------------------------------------------
// Console lines of a test point

TEST(ConsoleMessages, FroudeNumberLines) {
    EXPECT_EQ(solvedLine(0.35), "   solved for FN =   0.35");
    EXPECT_EQ(acceptedLine(0.4123), " solution accepted for FN =   0.41");
    EXPECT_EQ(noConvergenceLine(0.512), "     NO convergence at FN =   0.51");
    EXPECT_EQ(solvedLine(-0.1), "   solved for FN =  -0.10");
    EXPECT_EQ(solvedLine(123456.0), "   solved for FN =*******");
}

TEST(ConsoleMessages, TransitionLineStartsInColumnOne) {
    // A14 holds the 14 characters exactly; F7.0 ends with the decimal point.
    EXPECT_EQ(transitionLine(0.8234), "transition at    823. mm behind FP");
    EXPECT_EQ(transitionLine(1.2), "transition at   1200. mm behind FP");
    EXPECT_EQ(transitionLine(0.0), "transition at      0. mm behind FP");
    EXPECT_EQ(transitionLine(-0.0456), "transition at    -46. mm behind FP");
}

TEST(ConsoleMessages, ResidualLines) {
    EXPECT_EQ(residuaryErrorLine(0.09), "residuary error in equilibrium = 0.9E-01 %");
    EXPECT_EQ(residuaryErrorLine(0.5), "residuary error in equilibrium = 0.5     %");
    EXPECT_EQ(relativeErrorLine(0.0123), "      relative residuary error = 0.1E-01");
    EXPECT_EQ(relativeErrorLine(0.5), "      relative residuary error = 0.5    ");
    EXPECT_EQ(relativeErrorLine(2.7), "      relative residuary error =  3.    ");
}

TEST(ConsoleMessages, SolvedPoint) {
    std::ostringstream out;
    writeSolved(out, 0.35, 0.8234);
    EXPECT_EQ(out.str(),
              "   solved for FN =   0.35\n"
              "transition at    823. mm behind FP\n"
              "\n");
}

TEST(ConsoleMessages, SolvedPointWithTransitionForwardOfFP) {
    std::ostringstream out;
    writeSolved(out, 0.35, -0.012);
    EXPECT_EQ(out.str(),
              "   solved for FN =   0.35\n"
              "transition at    -12. mm behind FP\n"
              " transition forward of FP, water-plane above DWL at bow\n"
              "\n");
}

TEST(ConsoleMessages, AcceptedPointReportsTheLargerResidualInPercent) {
    std::ostringstream out;
    writeAccepted(out, 0.3, 0.0009, 0.0004, 1.2);
    EXPECT_EQ(out.str(),
              "       spurious convergence\n"
              "residuary error in equilibrium = 0.9E-01 %\n"
              " solution accepted for FN =   0.30\n"
              "transition at   1200. mm behind FP\n"
              "\n");
    std::ostringstream momentLarger;
    writeAccepted(momentLarger, 0.3, 0.0001, 0.0009, 1.2);
    EXPECT_EQ(momentLarger.str(), out.str());
}

TEST(ConsoleMessages, PointWithoutConvergence) {
    std::ostringstream out;
    writeNotConverged(out, 0.45, 0.02, 0.3);
    EXPECT_EQ(out.str(),
              "     NO convergence at FN =   0.45\n"
              "      relative residuary error = 0.3    \n"
              "\n");
}

TEST(ConsoleMessages, FreeLines) {
    std::ostringstream restart, note;
    writeRestart(restart);
    writeBareHullNote(note);
    EXPECT_EQ(restart.str(), " Neustart\n");
    EXPECT_EQ(note.str(), " no valid appendages defined, resistance of bare hull computed instead\n");
}

}  // namespace
}  // namespace carinex
