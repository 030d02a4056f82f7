// The report and console lines the example runs do not reach (those they do
// reach are guarded by the whole-run references): the waterline-length
// warning, and the messages of points accepted, not converged or with the
// transition forward of the bow. Expected strings follow the field layout.
#include "driver/report_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "driver/console_messages.h"

namespace carinex {
namespace {

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
