#include "driver/campaign_files.h"

#include <exception>
#include <functional>
#include <ostream>

#include "driver/drag_plot.h"
#include "driver/points_file.h"
#include "platform/files.h"
#include "platform/fixed_format.h"

namespace carinex {

std::string pointsFileName(const std::string& code) { return "DRAG\\DRAG_" + code + "_points.csv"; }
std::string plotFileName(const std::string& code) { return "DRAG\\DRAG_" + code + ".svg"; }

namespace {

// Writes one file; any failure, including one thrown while the text is
// built, becomes one warning line.
bool writeOrWarn(RunFiles& io, const std::string& name, const std::function<void(std::ostream&)>& write) {
    try {
        auto out = openOutputFile(io.workdir, name);
        if (out) {
            write(*out);
            out->flush();
            if (*out) return true;
        }
    } catch (const std::exception&) {
        // reported below like any other failure to write
    }
    writeFree(io.console, "Warning: ", displayName(name), " could not be written");
    return false;
}

}  // namespace

bool writeCampaignFiles(const CaseState& st, RunFiles& io) {
    const std::span<const PointRecord> points = st.campaign.recorded();
    const int MODE = st.input.MODE;
    const bool csv = writeOrWarn(io, pointsFileName(st.run.CASE),
                                 [&](std::ostream& out) { writePointsFile(out, points); });
    const bool svg = writeOrWarn(io, plotFileName(st.run.CASE),
                                 [&](std::ostream& out) { out << dragPlotSvg(points, MODE, st.input.TITLE); });
    return csv && svg;
}

}  // namespace carinex
