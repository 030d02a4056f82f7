// The run's text sinks and sources: the console (keyboard and screen) and the
// report, resistance table and diagnostic files. Each file is an ostream the
// run driver opens; a test may hand in string streams instead, or read the
// files back from a scratch working directory.
#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>

namespace carinex {

class RunFiles {
public:
    RunFiles(std::istream& keyboard, std::ostream& console, std::filesystem::path workdir)
        : keyboard(keyboard), console(console), workdir(std::move(workdir)) {}

    std::istream& keyboard;
    std::ostream& console;
    std::filesystem::path workdir;  // the folder INPUT, OFFSETS, ... live in

    // Files not opened (yet) swallow what is written to them.
    std::ostream& report() { return report_ ? *report_ : null_; }
    std::ostream& table() { return table_ ? *table_ : null_; }
    std::ostream& control() { return control_ ? *control_ : null_; }
    std::ostream& paramet() { return paramet_ ? *paramet_ : null_; }
    bool reportOpen() const { return report_ != nullptr; }

    void setReport(std::unique_ptr<std::ostream> s) { report_ = std::move(s); }
    void setTable(std::unique_ptr<std::ostream> s) { table_ = std::move(s); }
    void setControl(std::unique_ptr<std::ostream> s) { control_ = std::move(s); }
    void setParamet(std::unique_ptr<std::ostream> s) { paramet_ = std::move(s); }

private:
    std::unique_ptr<std::ostream> report_, table_, control_, paramet_;
    std::ostream null_{nullptr};
};

}  // namespace carinex
