#pragma once
// A temporary FILE* whose contents tests can read back, or fill as an input stream.

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace zelmora::test {

class CapturedFile {
public:
    CapturedFile() : file_(std::tmpfile()) {}
    ~CapturedFile() { std::fclose(file_); }
    CapturedFile(const CapturedFile&) = delete;
    CapturedFile& operator=(const CapturedFile&) = delete;

    std::FILE* get() const { return file_; }

    std::string text() const {
        std::fflush(file_);
        std::string result(static_cast<std::size_t>(lseek(fileno(file_), 0, SEEK_END)), '\0');
        if (pread(fileno(file_), result.data(), result.size(), 0) != static_cast<ssize_t>(result.size())) return {};
        return result;
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::string all = text();
        for (std::size_t start = 0, end; start < all.size(); start = end + 1) {
            end = all.find('\n', start);
            if (end == std::string::npos) end = all.size();
            result.push_back(all.substr(start, end - start));
        }
        return result;
    }

    void clear() {
        std::fflush(file_);
        if (ftruncate(fileno(file_), 0) == 0) std::rewind(file_);
    }

    // Written beside stdio, so that the reader may still set the stream's buffering.
    void load(const std::string& content) {
        if (pwrite(fileno(file_), content.data(), content.size(), 0) != static_cast<ssize_t>(content.size())) return;
        lseek(fileno(file_), 0, SEEK_SET);
    }

private:
    std::FILE* file_;
};

}  // namespace zelmora::test
