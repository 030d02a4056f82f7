// The table, report and console lines the example runs do not reach (those they do reach, and
// their MODE 1 to 4 tables, are guarded by the whole-run references).
// The table: the regression table of every other MODE, the zero rows of points without
// convergence, and the parameter table of the diagnostics. 14 columns and a comma per column;
// G14.7 and G13.6 in fixed form are F10.x / F9.x and four blanks, below 0.1 exponent form.
// The report and console: the waterline-length warning, and the messages of points accepted, not
// converged or with the transition forward of the bow. Expected strings follow the field layout.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "driver/console_messages.h"
#include "driver/report_writer.h"
#include "driver/table_writer.h"

namespace carinex {
namespace {

TEST(TableWriter, EveryOtherModeGivesTheRegressionTable) {
    for (int MODE : {0, 4, 5}) {
        std::ostringstream out;
        writeTableHeader(out, MODE);
        EXPECT_EQ(out.str(),
                  " Resistanceforce in Newton - calculated with Delft-regression method after Keuning 2008\n"
                  " Supplied for comparison with results from Carinex\n"
                  "       FN     ,      Rviscous,        Rtotal,       FS keel,     FS rudder,        leeway,\n");
    }
    EXPECT_THROW(resistanceRowLine(4, ResistanceRow{}), std::invalid_argument);
    EXPECT_THROW(resistanceRowLine(0, ResistanceRow{}), std::invalid_argument);
}

// FN and five zeros through the format of the data rows, ending where the values run out.
TEST(TableWriter, ZeroRowOfAPointWithoutConvergence) {
    const std::pair<int, std::string> cases[] = {
        {1, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,          0.00,"},
        {3, " 0.3456789    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,  0.000000    ,"},
        {5, " 0.3456789    ,          0.00,          0.00,          0.00,          0.00,      0.000000,"},
    };
    for (const auto& [MODE, expected] : cases) EXPECT_EQ(zeroRowLine(MODE, 0.3456789), expected) << "MODE " << MODE;
    std::ostringstream out;
    writeZeroRow(out, 1, 1.25);
    EXPECT_EQ(out.str(),
              "  1.250000    ,          0.00,          0.00,          0.00,          0.00,          0.00,\n");
}

// RWELL = 100 - 60 - 10 - 5 = 25 (a negative one is written as zero); UMIN, DRFPHI and BDYN go in squared.
TEST(TableWriter, ParameterRowHasTwentyTwoFieldsInHeaderOrder) {
    ParameterRow p{.VBOOT = 2.5,     .TTANK = 15.0,    .RTOT = 100.0,   .RHULL = 60.0,   .FXK = 10.0,
                   .FXR = 5.0,       .LWLPHI = 10.25,  .BWLPHI = 3.125, .TCBPHI = 0.625, .VOLCB = 8.5,
                   .AHSPHI = 1.75,   .AWLPHI = 22.5,   .LCBPHI = 0.53125, .LCFPHI = 0.5625, .LWL1 = 4.5,
                   .LWL2 = 5.75,     .VCB1 = 3.25,     .WENTER = 0.375, .TCLTOH = 0.0625, .UMIN = 1.5,
                   .VOLFNZ = 7.5,    .OVRHNG = 0.25,   .DRFPHI = 0.875, .BDYN = 3.0};
    const std::string row = parameterRowLine(p);
    EXPECT_EQ(row.substr(26, 13), "  25.0000    ") << "RWELL";
    EXPECT_EQ(row.substr(17 * 13, 13), "  2.25000    ") << "UMIN squared";
    EXPECT_EQ(row.substr(20 * 13, 13), " 0.765625    ") << "DRFPHI squared";
    EXPECT_EQ(row.size(), 22u * 13u);
    p.RTOT = 50.0;
    EXPECT_EQ(parameterRowLine(p).substr(26, 13), "  0.00000    ");
}

// A25: one blank before 24 characters; F6.1; A20: one blank before 19.
TEST(ReportWriter, TheLengthWarning) {
    EXPECT_EQ(lengthWarningLine(0.4999), " Length of waterline only  50.0 % of length of hull");
    EXPECT_EQ(lengthWarningLine(12345.0), " Length of waterline only****** % of length of hull");
    std::ostringstream console;
    writeLengthWarning(console, 0.05);
    EXPECT_EQ(console.str(),
              " Length of waterline only   5.0 % of length of hull\n SCALE might not match the prescribed VOLUME\n");
}

// A18, A27 and F7.2 for FN; A14, F7.0 and A13 for the transition; G8.1 for the residuals.
TEST(ReportWriter, MessagesOfATestPoint) {
    std::ostringstream forward, accepted, momentLarger, notConverged, restart, note;
    writeSolved(forward, 0.35, -0.012);
    writeAccepted(accepted, 0.3, 0.000945, 0.0004, 1.2);  // the larger residual in percent
    writeAccepted(momentLarger, 0.3, 0.0001, 0.000945, 1.2);
    writeNotConverged(notConverged, 0.45, 0.02, 0.3);
    writeRestart(restart);
    writeBareHullNote(note);
    EXPECT_EQ(forward.str(), "   solved for FN =   0.35\ntransition at    -12. mm behind FP\n"
                             " transition forward of FP, water-plane above DWL at bow\n\n");
    const std::string acceptedText = "       spurious convergence\nresiduary error in equilibrium = 0.9E-01 %\n"
                                     " solution accepted for FN =   0.30\ntransition at   1200. mm behind FP\n\n";
    EXPECT_EQ(accepted.str(), acceptedText);
    EXPECT_EQ(momentLarger.str(), acceptedText);
    EXPECT_EQ(notConverged.str(),
              "     NO convergence at FN =   0.45\n      relative residuary error = 0.3    \n\n");
    EXPECT_EQ(restart.str(), " Neustart\n");
    EXPECT_EQ(note.str(), " no valid appendages defined, resistance of bare hull computed instead\n");
}

}  // namespace
}  // namespace carinex
