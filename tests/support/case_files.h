// Builders of small case input, appendage and offsets files for tests, and whole runs of a small
// case written into a scratch working directory.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/scratch_dir.h"

namespace carinex::test {

struct CaseSpec {
    int format = 3;
    int xaxis = 1, zaxis = 1;
    double hstud = 0.0, xstud = 1000.0, hstim = 0.0;
    int nstud = 10;  // below 1: a trip strip
    int ntest = 1;       // announced rows
    int rowsWritten = -1;  // rows actually written (-1: ntest)
    double heel = -1.0;  // every row's heel (below 0: row i heels i degrees)
};

inline std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// The case input: label line before every value line, as users write it.
inline std::string caseInputText(const CaseSpec& c) {
    std::string s = "Carinex case input\nTest hull\nFORMAT of the offsets file\n" + std::to_string(c.format) + "\n";
    const auto text = [](int v) { return std::to_string(v); };
    const std::pair<const char*, std::string> fields[] = {
        {"XAXIS", text(c.xaxis)},   {"ZAXIS", text(c.zaxis)},     {"SCALE", "1"},   {"XORIG", "0.1"},
        {"XKEEL", "5"}, {"XRUDD", "1"},   {"XLOAD", "4"},   {"VOLUME", "2"},
        {"IWATER", "2"},         {"ZTOW", "0"},             {"XLEVER", "4.5"},         {"HLIFTF", "1"},
        {"CHINE", "1"},          {"RDRFTF", "0.5"},         {"APPFIL", "KEEL.APP"},      {"ASCALE", "2"},
        {"HSTUD mm", num(c.hstud)}, {"DSTUD mm", "3"},      {"NSTUD", text(c.nstud)},     {"XSTUD mm", num(c.xstud)},
        {"HSTIM mm", num(c.hstim)}, {"DSTIM mm", "3"},      {"NSTK", "4"},             {"NSTR", "2"},
        {"NTEST", text(c.ntest)},   {"MODE", "1"}};
    for (const auto& [label, value] : fields) s += std::string(label) + "\n" + value + "\n";
    s += "test points\n\nV MEXT T TURBU XTRANS HEEL APP LEEWAY RUDDER LOAD\n-\n";
    const int rows = c.rowsWritten < 0 ? c.ntest : c.rowsWritten;
    for (int i = 1; i <= rows; ++i) {
        s += num(1.0 + 0.01 * i) + " 0 15 0.1 50 " + num(c.heel < 0.0 ? i % 30 : c.heel) + " 1.0 3 2 " + num(i) + "\n";
    }
    return s;
}

inline std::string appendageText(int kstype = 63, int rstype = 64) {
    std::string s = "keel\nKDX\n0.25\nKSECTF\n0.7\nKDEPTH\n0.75\nKSWEEP\n10\nchord thickness\n";
    for (int k = 1; k <= 8; ++k) s += num(0.6 - 0.03 * k) + " " + num(0.10 + 0.001 * k) + "\n";
    s += "KSTYPE\n" + std::to_string(kstype) + "\nrudder\nRDX\n0.1\nRSPAN\n0.6\nRSWEEP\n5\nRCROOT\n0.2\n";
    s += "RCTIP\n0.12\nRTCRT\n0.12\nRTCTP\n0.1\nRSECTF\n0.66\nRSTYPE\n" + std::to_string(rstype) + "\n";
    return s;
}

struct Point {
    double y, z;
};
struct Station {
    double x;
    std::vector<Point> points;
};
using Hull = std::vector<Station>;

// A simple yacht-like hull: elliptic sections from the keel point up to the
// sheer at z = 1; the keel line is a parabola that rises through the
// waterline z = 0 near both ends, and the half-breadth a parabola.
inline Hull ellipticHull(int stations, int points, double length = 10.0) {
    Hull h;
    for (int i = 0; i < stations; ++i) {
        const double x = length * i / (stations - 1);
        const double xi = 2.0 * x / length - 1.0;
        const double keel = 0.15 - 0.75 * (1.0 - xi * xi);
        const double b = 1.5 * (0.3 + 0.7 * (1.0 - xi * xi)) * (1.0 - 0.1 * xi);  // fuller aft
        Station st{x, {}};
        for (int j = 0; j < points; ++j) {
            const double t = 1.5707963267948966 * j / (points - 1);
            st.points.push_back({j == 0 ? 0.0 : b * std::sin(t), keel + (1.0 - keel) * (1.0 - std::cos(t))});
        }
        h.push_back(st);
    }
    return h;
}

inline std::string format3Text(const Hull& h) {
    std::string s = "offsets of a test hull\n* stations follow\nNST\n" + std::to_string(h.size()) + "\n";
    for (const auto& st : h) {
        s += num(st.x) + " " + std::to_string(st.points.size()) + "\n";
        for (const auto& p : st.points) s += num(p.y) + " " + num(p.z) + "\n";
    }
    return s;
}

inline std::string format2Text(const Hull& h) {
    std::string s;
    for (const auto& st : h) {
        char head[64];
        std::snprintf(head, sizeof head, "Station  %10.4f", st.x);
        s += std::string(head) + "\n   y        z\n---------------\n";
        for (const auto& p : st.points) s += " " + num(p.y) + " " + num(p.z) + "\n";
        s += "---------------\n\n";
    }
    return s;
}

inline std::string format1Text(const Hull& h) {
    std::string s;
    for (const auto& st : h)
        for (const auto& p : st.points) s += num(st.x) + " " + num(p.y) + " " + num(p.z) + "\n";
    return s;
}

inline std::string offsetsText(int format, const Hull& h) {
    return format == 3 ? format3Text(h) : format == 2 ? format2Text(h) : format1Text(h);
}

inline void writeCase(const ScratchDir& dir, const CaseSpec& spec = {},
                      const Hull& hull = ellipticHull(31, 12)) {
    dir.write("INPUT/CX_T01_IN.TXT", caseInputText(spec));
    dir.write("OFFSETS/OFFS_T01.TXT", offsetsText(spec.format, hull));
    dir.write("APPEND/KEEL.APP", appendageText());
}

inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline const std::string kFatal = " fatal error occured, execution terminated\n press Enter to quit\n";

}  // namespace carinex::test
