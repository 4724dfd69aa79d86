#include "util/text.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmora {
namespace {

std::string trimmed(std::string s) {
    trimTrailingWhite(s.data());
    return s.c_str();
}

std::string squeezed(std::string s) {
    squeezeBlanks(s.data());
    return s.c_str();
}

TEST(Text, TrimAndSqueezeTouchOnlyWhatTheyShould) {
    EXPECT_EQ(trimmed("  go  depth 3 \t\n\v\f\r"), "  go  depth 3");
    EXPECT_EQ(trimmed(" \t \r\n"), "");
    EXPECT_EQ(trimmed("x\xA0"), "x\xA0");  // not ASCII white space
    EXPECT_EQ(squeezed("   info depth       3 "), " info depth 3 ");
    EXPECT_EQ(squeezed("a\t\tb"), "a\t\tb");
}

TEST(Text, LineBufferCutsInsteadOfOverflowing) {
    LineBuffer line;
    std::string chunk(3000, 'x');
    line.append(chunk.c_str());
    line.appendf("%s", chunk.c_str());
    line.append("y");
    EXPECT_EQ(line.length(), LineBuffer::CAPACITY - 1);
    EXPECT_EQ(std::string(line.text()), std::string(LineBuffer::CAPACITY - 1, 'x'));
}

}  // namespace
}  // namespace zelmora
