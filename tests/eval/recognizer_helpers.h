#pragma once
// Shared helpers for the recognizer tests: kind names of mirrored positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "eval/recognizer.h"
#include "eval_test_support.h"

namespace zelmora::test {

// The kind's name with the strong colour or the parameter's sign exchanged.
inline std::string mirrorName(std::string name) {
    auto swap = [&name](const std::string& a, const std::string& b) {
        const std::size_t at = name.find(a);
        if (at != std::string::npos) name.replace(at, a.size(), b);
        return at != std::string::npos;
    };
    if (!swap("/White", "/Black") && !swap("/Black", "/White") && !swap("/+100", "/-100")) swap("/-100", "/+100");
    return name;
}

}  // namespace zelmora::test
