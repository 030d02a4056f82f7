// Whole runs of a small case written into a scratch working directory.
#pragma once

#include <string>

#include "support/case_files.h"
#include "support/scratch_dir.h"

namespace carinex::test {

inline void writeCase(const ScratchDir& dir, const CaseSpec& spec = {}, const Hull& hull = ellipticHull(31, 12)) {
    dir.write("INPUT/CX_T01_IN.TXT", caseInputText(spec));
    dir.write("OFFSETS/OFFS_T01.TXT", offsetsText(spec.format, hull));
    dir.write("APPEND/KEEL.APP", appendageText());
}

inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline const std::string kFatal = " fatal error occured, execution terminated\n press Enter to quit\n";

}  // namespace carinex::test
