#pragma once
// A named temporary file with given contents, removed again at the end of the test.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace zelmora::test {

class TempFile {
public:
    explicit TempFile(const std::string& content = "", const std::string& directory = "/tmp") {
        std::string pattern = directory + "/zelmora-test-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) return;
        path_ = pattern;
        if (write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) path_.clear();
        close(fd);
    }
    ~TempFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    const char* name() const { return path_.c_str(); }

    std::string read() const {
        std::string result;
        if (std::FILE* f = std::fopen(path_.c_str(), "rb")) {
            char chunk[4096];
            for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) result.append(chunk, n);
            std::fclose(f);
        }
        return result;
    }

private:
    std::string path_;
};

}  // namespace zelmora::test
