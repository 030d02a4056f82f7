// The report file (and the console and table lines it shares): the header,
// the waterline-length warning, the water line and the block of values
// upright at rest.
//
// The line builders return one record without its line end; the writers add
// the line end. Free-format records start with one blank column; an empty
// line is written as nothing but the line end.
#pragma once

#include <array>
#include <ostream>
#include <string>

#include "platform/run_files.h"

namespace carinex {

// Report lines 2 to 7: an empty line and the title (A70), the offsets file
// the geometry comes from, an empty line, the program line, the web-site line
// and an empty line. CASE is the three-character case code.
void writeReportHeader(std::ostream& report, const std::string& TITLE, const std::string& CASE);

// "Length of waterline only" 100*ratio "% of length of hull" in A25, F6.1,
// A20; ratio = LWL over the length between the first and last stations.
std::string lengthWarningLine(double ratio);

// The length warning and the line after it ("SCALE might not match the
// prescribed VOLUME") into one sink. The driver writes them when ratio < 0.5.
void writeLengthWarning(std::ostream& os, double ratio);

// The length warning into the console, the report and the resistance table.
void writeLengthWarning(RunFiles& io, double ratio);

// Report line 10, the water of the upright block (free format).
void writeWaterLine(std::ostream& report, bool seawater);

// Values of the upright block, as the driver has them after the upright
// particulars and the hydrostatics at rest.
struct UprightBlock {
    double VOLUME = 0;  // immersed volume of the canoe body, m3
    double VKEEL = 0;   // keel volume, m3
    double VRUDD = 0;   // rudder volume, m3
    double RHO = 0;     // density of the block's water, kg/m3
    double SWET0 = 0;   // wetted surface of the canoe body, m2
    double AWP0 = 0;    // waterplane area, m2
    double LWL = 0;     // waterline length, m
    double BMAX = 0;    // largest waterline beam, m
    double TMAX = 0;    // largest canoe-body draft, m
    double KDEPTH = 0;  // keel depth below the canoe body, m
    double CX = 0;      // midship-section coefficient
    double CP = 0;      // prismatic coefficient
    double CWP = 0;     // waterplane coefficient
    double LCB = 0;     // centre of buoyancy behind the forward end, fraction of LWL
    double LCF = 0;     // centre of flotation behind the forward end, fraction of LWL
    double rocker = 0;  // slope of the keel line at the aft end of the waterline (TCLTOH)
};

inline constexpr int kUprightBlockLines = 16;

// The 16 lines of the upright block: a blank column, the 34-character label
// (T2, A34) and the value in its field (G12.6, G12.5, F8.3 or F8.4).
std::array<std::string, kUprightBlockLines> uprightBlockLines(const UprightBlock& b);

void writeUprightBlock(std::ostream& report, const UprightBlock& b);

}  // namespace carinex
