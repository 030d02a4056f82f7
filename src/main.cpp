// Carinex: a virtual towing tank for sailing yachts. The case is chosen by a
// three-character code typed at the prompt; all files live in folders of the
// working directory.
#include <filesystem>
#include <iostream>

#include "driver/run_driver.h"
#include "platform/fpu.h"

int main() {
    carinex::flushDenormalsToZero();
    auto state = carinex::makeCaseState();
    carinex::RunFiles io(std::cin, std::cout, std::filesystem::current_path());
    return carinex::runCase(*state, io);
}
