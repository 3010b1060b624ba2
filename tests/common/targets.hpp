// The vector targets this processor runs, for comparing each with the scalar target.
#pragma once

#include <vector>

#include "frame/target.hpp"

namespace qpxtest {

inline std::vector<qpx::Target> vector_targets() {
    std::vector<qpx::Target> t;
    for (int i = 1; i < qpx::kTargetCount; ++i)
        if (qpx::target_runs(qpx::Target(i))) t.push_back(qpx::Target(i));
    return t;
}

}  // namespace qpxtest
