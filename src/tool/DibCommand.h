// The colour-reduction, copy and adjustment functions of `vantorsee-tool dib`.
#pragma once

#include "vantor/dibkit.h"

#include <functional>
#include <string>
#include <vector>

namespace vs::tool {

using DibStep = std::function<VDK_HDIB(VDK_HDIB)>;

extern const char* const kDibAdjustmentHelp;

// True when `name` is one of these functions; then either `step` is set from the arguments or
// `problem` says what is wrong with them.
bool ParseDibAdjustment(const std::string& name, const std::vector<std::string>& args, DibStep& step,
                        std::string& problem);

}  // namespace vs::tool
